#include "app/DesktopIntegration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const char* const kProgramIconName = "linkfold";

QString appIconPath(const QString& home) {
    return home + QStringLiteral("/icons/hicolor/scalable/apps/linkfold.svg");
}
QString docIconPath(const QString& home) {
    return home + QStringLiteral("/icons/hicolor/scalable/mimetypes/%1.svg")
                      .arg(QLatin1String(kMimeIconName));
}
QString mimePackagePath(const QString& home) {
    return home + QStringLiteral("/mime/packages/linkfold.xml");
}
QString desktopEntryPath(const QString& home) {
    return home + QStringLiteral("/applications/linkfold.desktop");
}

// One argument of a desktop entry's Exec key: quoted when it holds a
// reserved character, then escaped for the key's string value.
QString execArgument(const QString& arg) {
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

QByteArray resourceBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

DesktopIntegration::DesktopIntegration(QString dataHome, QString program)
    : m_dataHome(std::move(dataHome)), m_program(std::move(program)) {}

QString DesktopIntegration::defaultDataHome() {
    QString xdg = qEnvironmentVariable("XDG_DATA_HOME");
    if (!xdg.isEmpty())
        return xdg;
    return QDir::homePath() + QStringLiteral("/.local/share");
}

QStringList DesktopIntegration::files() const {
    return {mimePackagePath(m_dataHome), appIconPath(m_dataHome), docIconPath(m_dataHome),
            desktopEntryPath(m_dataHome)};
}

bool DesktopIntegration::otherTypeClaimsExtension() const {
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

QString DesktopIntegration::mimePackageText(bool claimExtension) const {
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

QString DesktopIntegration::desktopEntryText() const {
    const QString program = execArgument(m_program);
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
                          "MimeType=%3;\n")
        .arg(program, QLatin1String(kProgramIconName), QLatin1String(kMimeType));
}

QString DesktopIntegration::earlierDesktopEntryText() const {
    // Earlier versions offered a Print action, which prints nothing here.
    return desktopEntryText() + QStringLiteral("Actions=Print;\n"
                                               "\n"
                                               "[Desktop Action Print]\n"
                                               "Name=Print\n"
                                               "Exec=%1 -p %f\n")
                                    .arg(execArgument(m_program));
}

QList<QByteArray> DesktopIntegration::contentsWritten(const QString& path) const {
    if (path == mimePackagePath(m_dataHome))
        return {mimePackageText(true).toUtf8(), mimePackageText(false).toUtf8()};
    if (path == appIconPath(m_dataHome))
        return {resourceBytes(QStringLiteral(":/icons/linkfold.svg"))};
    if (path == docIconPath(m_dataHome))
        return {resourceBytes(QStringLiteral(":/icons/linkfold-document.svg"))};
    if (path == desktopEntryPath(m_dataHome)) {
        return {desktopEntryText().toUtf8(), earlierDesktopEntryText().toUtf8()};
    }
    return {};
}

bool DesktopIntegration::writeIfChanged(const QString& path, const QByteArray& bytes,
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

QString DesktopIntegration::firstExecWord(const QString& entry) {
    for (const QString& line : entry.split(QLatin1Char('\n'))) {
        if (!line.startsWith(QLatin1String("Exec=")))
            continue;
        // The key's string value unescapes "\\"; a quoted word then drops
        // its quotes and the backslashes before the characters it escapes.
        QString value = line.mid(5);
        value.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        QString word;
        if (value.startsWith(QLatin1Char('"'))) {
            for (qsizetype i = 1; i < value.size() && value[i] != QLatin1Char('"'); ++i) {
                if (value[i] == QLatin1Char('\\') && i + 1 < value.size())
                    ++i;
                word += value[i];
            }
        } else {
            word = value.section(QLatin1Char(' '), 0, 0);
        }
        return word;
    }
    return {};
}

bool DesktopIntegration::isInstalledSystemWide() const {
    const QString self = QFileInfo(m_program).canonicalFilePath();
    const QString program = self.isEmpty() ? QDir::cleanPath(m_program) : self;
    QString dataDirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dataDirs.isEmpty())
        dataDirs = QStringLiteral("/usr/local/share:/usr/share");
    for (const QString& dir : dataDirs.split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        if (QDir::cleanPath(dir) == QDir::cleanPath(m_dataHome))
            continue;
        if (!QFileInfo::exists(mimePackagePath(dir)))
            continue;
        QFile entry(desktopEntryPath(dir));
        if (!entry.open(QIODevice::ReadOnly))
            continue;
        const QString exec = firstExecWord(QString::fromUtf8(entry.readAll()));
        if (exec.isEmpty())
            continue;
        // A bare word is looked up in PATH as the desktop starts it, never
        // in the current folder; then the real files are compared.
        const QString found =
            exec.contains(QLatin1Char('/')) ? exec : QStandardPaths::findExecutable(exec);
        if (found.isEmpty())
            continue;
        QString target = QFileInfo(found).canonicalFilePath();
        if (target.isEmpty())
            target = QDir::cleanPath(found);
        if (target == program)
            return true;
    }
    return false;
}

bool DesktopIntegration::registerFileTypes() {
    // An installed program is registered by its package: per-user copies
    // would hide the system's entry and its updates, so remove ours.
    if (isInstalledSystemWide())
        return unregisterFileTypes();
    const bool claim = !otherTypeClaimsExtension();
    bool changed = false;
    const bool ok =
        writeIfChanged(mimePackagePath(m_dataHome), mimePackageText(claim).toUtf8(), changed) &&
        writeIfChanged(appIconPath(m_dataHome),
                       resourceBytes(QStringLiteral(":/icons/linkfold.svg")), changed) &&
        writeIfChanged(docIconPath(m_dataHome),
                       resourceBytes(QStringLiteral(":/icons/linkfold-document.svg")), changed) &&
        writeIfChanged(desktopEntryPath(m_dataHome), desktopEntryText().toUtf8(), changed);
    if (changed)
        refreshCaches();
    return ok;
}

bool DesktopIntegration::unregisterFileTypes() {
    bool ok = true;
    bool removed = false;
    for (const QString& path : files()) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        // Only what this program wrote: a file the user changed stays.
        if (!contentsWritten(path).contains(file.readAll()))
            continue;
        file.close();
        if (QFile::remove(path))
            removed = true;
        else
            ok = false;
    }
    if (removed)
        refreshCaches();
    return ok;
}

void DesktopIntegration::refreshCaches() const {
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
