#include "gui/UiServices.h"

#include <QApplication>
#include <QColorDialog>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QUrl>

namespace {

QStringList toQtNameFilters(const QStringList& filters);

const char* const kCaption = "Linkfold";

// What the program runs with: modal Qt dialogs and the desktop's services.
class DialogUiServices : public UiServices {
public:
    QMessageBox::StandardButton messageBox(QWidget* parent, const QString& text,
                                           QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons) override {
        QMessageBox box(icon, QString::fromLatin1(kCaption), text, buttons, parent);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    QString getOpenFileName(QWidget* parent, const FileDialogOptions& o) override {
        QFileDialog dlg(parent, o.title, o.initialPath);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setNameFilters(toQtNameFilters(o.filters));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return {};
        return dlg.selectedFiles().first();
    }

    QString getSaveFileName(QWidget* parent, const FileDialogOptions& o) override {
        QFileDialog dlg(parent, o.title, o.initialPath);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setNameFilters(toQtNameFilters(o.filters));
        dlg.setDefaultSuffix(o.defaultSuffix);
        // A name typed without an extension takes the chosen filter's.
        QObject::connect(&dlg, &QFileDialog::filterSelected, &dlg, [&dlg](const QString& filter) {
            const QRegularExpressionMatch m =
                QRegularExpression(QStringLiteral("\\(\\*\\.(\\w+)")).match(filter);
            if (m.hasMatch())
                dlg.setDefaultSuffix(m.captured(1));
        });
        if (!o.confirmOverwrite)
            dlg.setOption(QFileDialog::DontConfirmOverwrite);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return {};
        return dlg.selectedFiles().first();
    }

    std::optional<QColor> getColor(QWidget* parent, const QColor& initial) override {
        QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }

    int execDialog(QDialog& dialog) override { return dialog.exec(); }

    bool openInBrowser(const QString& pathOrUrl) override { return openOrExplain(pathOrUrl); }
};

UiServices* g_override = nullptr;

} // namespace

QString toQtNameFilter(const QString& filter) {
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return filter;
    QStringList patterns =
        filter.mid(open + 1, close - open - 1)
            .split(QRegularExpression(QStringLiteral("[,; ]+")), Qt::SkipEmptyParts);
    for (QString& p : patterns)
        if (p == QLatin1String("*.*"))
            p = QStringLiteral("*");
    return filter.left(open + 1) + patterns.join(QLatin1Char(' ')) + filter.mid(close);
}

namespace {

QStringList toQtNameFilters(const QStringList& filters) {
    QStringList out;
    for (const QString& f : filters)
        out << toQtNameFilter(f);
    return out;
}

} // namespace

bool openWithDesktop(const QString& pathOrUrl) {
    QUrl url = QUrl::fromUserInput(pathOrUrl, QString(), QUrl::AssumeLocalFile);
    if (QFileInfo(pathOrUrl).isRelative() && !pathOrUrl.contains(QLatin1String("://")))
        url = QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
    const QString xdgOpen = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (xdgOpen.isEmpty())
        return QDesktopServices::openUrl(url);
    // xdg-open ends at once when it hands the file on, or when it finds no
    // program for it (status 3); with some desktops it waits for the browser.
    constexpr int kAnswerMs = 2000;
    auto* process = new QProcess;
    process->setProgram(xdgOpen);
    process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString()});
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(kAnswerMs)) {
        delete process;
        return false;
    }
    if (process->waitForFinished(kAnswerMs)) {
        const bool ok = process->exitStatus() == QProcess::NormalExit && process->exitCode() == 0;
        delete process;
        return ok;
    }
    // Still running: a browser it waits for. It goes on after this program
    // ends; the object goes when the process does.
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    return true;
}

QString noBrowserMessage(const QString& pathOrUrl) {
    return QCoreApplication::translate(
               "UiServices",
               "No web browser could be started to show %1.\nInstall a web browser or choose "
               "your default one in the desktop's settings.")
        .arg(pathOrUrl);
}

bool openOrExplain(const QString& pathOrUrl) {
    if (openWithDesktop(pathOrUrl))
        return true;
    showError(QApplication::activeWindow(), noBrowserMessage(pathOrUrl));
    return false;
}

UiServices& UiServices::instance() {
    static DialogUiServices dialogs;
    return g_override ? *g_override : dialogs;
}

void UiServices::setInstance(UiServices* services) {
    g_override = services;
}

void showError(QWidget* parent, const QString& text) {
    UiServices::instance().messageBox(parent, text, QMessageBox::Warning, QMessageBox::Ok);
}
