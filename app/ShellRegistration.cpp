#include "app/ShellRegistration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const char* const kProgramIconName = "linkfold";

QString AppIconPath(const QString& home) {
    return home + QStringLiteral("/icons/hicolor/scalable/apps/linkfold.svg");
}
QString DocIconPath(const QString& home) {
    return home + QStringLiteral("/icons/hicolor/scalable/mimetypes/%1.svg")
                      .arg(QLatin1String(kMimeIconName));
}
QString MimePackagePath(const QString& home) {
    return home + QStringLiteral("/mime/packages/linkfold.xml");
}
QString DesktopEntryPath(const QString& home) {
    return home + QStringLiteral("/applications/linkfold.desktop");
}

// One argument of a desktop entry's Exec key: quoted when it holds a
// reserved character, then escaped for the key's string value.
QString ExecArgument(const QString& arg) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    QString out = arg;
    bool quote = false;
    for (QChar c : arg)
        if (reserved.contains(c))
            quote = true;
    if (quote) {
        QString q;
        for (QChar c : arg) {
            if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                c == QLatin1Char('\\'))
                q += QLatin1Char('\\');
            q += c;
        }
        out = QLatin1Char('"') + q + QLatin1Char('"');
    }
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('%'), QStringLiteral("%%"));
    return out;
}

QByteArray ResourceBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

CShellRegistration::CShellRegistration(QString dataHome, QString program)
    : m_dataHome(std::move(dataHome)), m_program(std::move(program)) {}

QString CShellRegistration::DefaultDataHome() {
    const QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty())
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QStringList CShellRegistration::Files() const {
    return {MimePackagePath(m_dataHome), AppIconPath(m_dataHome), DocIconPath(m_dataHome),
            DesktopEntryPath(m_dataHome)};
}

bool CShellRegistration::OtherTypeClaimsExtension() const {
    QStringList dirs = {m_dataHome};
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    dirs += dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString& dir : dirs) {
        QFile globs(dir + QStringLiteral("/mime/globs2"));
        if (!globs.open(QIODevice::ReadOnly | QIODevice::Text))
            continue;
        while (!globs.atEnd()) {
            // weight:type:glob[:flags]
            const QList<QByteArray> fields = globs.readLine().trimmed().split(':');
            if (fields.size() < 3 || fields[0].startsWith('#'))
                continue;
            if (fields[2].compare("*.lfp", Qt::CaseInsensitive) == 0 && fields[1] != kMimeType)
                return true;
        }
    }
    return false;
}

QString CShellRegistration::MimePackageText(bool claimExtension) const {
    QString text =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
            "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
            "  <mime-type type=\"%1\">\n"
            "    <comment>%2</comment>\n"
            "    <icon name=\"%3\"/>\n")
            .arg(QLatin1String(kMimeType), QLatin1String(kFileTypeName),
                 QLatin1String(kMimeIconName));
    if (claimExtension)
        text += QStringLiteral("    <glob pattern=\"*.lfp\"/>\n");
    text += QStringLiteral("  </mime-type>\n</mime-info>\n");
    return text;
}

QString CShellRegistration::DesktopEntryText() const {
    const QString program = ExecArgument(m_program);
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=Linkfold\n"
                          "GenericName=Start Page Editor\n"
                          "Comment=Edit personal HTML start pages of links\n"
                          "Exec=%1 %f\n"
                          "Icon=%2\n"
                          "Terminal=false\n"
                          "Categories=Office;\n"
                          "MimeType=%3;\n"
                          "Actions=Print;\n"
                          "\n"
                          "[Desktop Action Print]\n"
                          "Name=Print\n"
                          "Exec=%1 -p %f\n")
        .arg(program, QLatin1String(kProgramIconName), QLatin1String(kMimeType));
}

bool CShellRegistration::WriteIfChanged(const QString& path, const QByteArray& bytes,
                                        bool& changed) const {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes)
        return true;
    existing.close();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return false;
    changed = true;
    return true;
}

bool CShellRegistration::Register() {
    const bool claim = !OtherTypeClaimsExtension();
    bool changed = false;
    const bool ok =
        WriteIfChanged(MimePackagePath(m_dataHome), MimePackageText(claim).toUtf8(), changed) &&
        WriteIfChanged(AppIconPath(m_dataHome),
                       ResourceBytes(QStringLiteral(":/icons/linkfold.svg")), changed) &&
        WriteIfChanged(DocIconPath(m_dataHome),
                       ResourceBytes(QStringLiteral(":/icons/linkfold-document.svg")), changed) &&
        WriteIfChanged(DesktopEntryPath(m_dataHome), DesktopEntryText().toUtf8(), changed);
    if (changed)
        RefreshCaches();
    return ok;
}

bool CShellRegistration::Unregister() {
    bool ok = true;
    bool removed = false;
    for (const QString& path : Files()) {
        QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        if (QFile::remove(path))
            removed = true;
        else
            ok = false;
    }
    if (removed)
        RefreshCaches();
    return ok;
}

void CShellRegistration::RefreshCaches() const {
    auto run = [](const QString& tool, const QString& dir) {
        const QString exe = QStandardPaths::findExecutable(tool);
        if (exe.isEmpty() || !QFileInfo(dir).isDir())
            return;
        QProcess process;
        process.setStandardOutputFile(QProcess::nullDevice());
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(exe, {dir});
        if (process.waitForStarted(5000) && !process.waitForFinished(20000))
            process.kill();
        process.waitForFinished(1000);
    };
    run(QStringLiteral("update-mime-database"), m_dataHome + QStringLiteral("/mime"));
    run(QStringLiteral("update-desktop-database"), m_dataHome + QStringLiteral("/applications"));
}
