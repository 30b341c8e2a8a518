#include "app/UiServices.h"

#include <QColorDialog>
#include <QDesktopServices>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace {

QStringList ToQtNameFilters(const QStringList& filters);

const char* const kCaption = "Linkfold";

class CQtUiServices : public CUiServices {
public:
    QMessageBox::StandardButton MessageBox(QWidget* parent, const QString& text,
                                           QMessageBox::Icon icon,
                                           QMessageBox::StandardButtons buttons) override {
        QMessageBox box(icon, QString::fromLatin1(kCaption), text, buttons, parent);
        return static_cast<QMessageBox::StandardButton>(box.exec());
    }

    QString GetOpenFileName(QWidget* parent, const FileDialogOptions& o) override {
        QFileDialog dlg(parent, o.title, o.initialPath);
        dlg.setAcceptMode(QFileDialog::AcceptOpen);
        dlg.setFileMode(QFileDialog::ExistingFile);
        dlg.setNameFilters(ToQtNameFilters(o.filters));
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return {};
        return dlg.selectedFiles().first();
    }

    QString GetSaveFileName(QWidget* parent, const FileDialogOptions& o) override {
        QFileDialog dlg(parent, o.title, o.initialPath);
        dlg.setAcceptMode(QFileDialog::AcceptSave);
        dlg.setFileMode(QFileDialog::AnyFile);
        dlg.setNameFilters(ToQtNameFilters(o.filters));
        dlg.setDefaultSuffix(o.defaultSuffix);
        if (!o.confirmOverwrite)
            dlg.setOption(QFileDialog::DontConfirmOverwrite);
        if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
            return {};
        return dlg.selectedFiles().first();
    }

    std::optional<QColor> GetColor(QWidget* parent, const QColor& initial) override {
        QColor c = QColorDialog::getColor(initial, parent);
        if (!c.isValid())
            return std::nullopt;
        return c;
    }

    int ExecDialog(QDialog& dialog) override { return dialog.exec(); }

    bool OpenInBrowser(const QString& pathOrUrl) override {
        QUrl url = QUrl::fromUserInput(pathOrUrl, QString(), QUrl::AssumeLocalFile);
        if (QFileInfo(pathOrUrl).isRelative() && !pathOrUrl.contains(QLatin1String("://")))
            url = QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
        return QDesktopServices::openUrl(url);
    }
};

CUiServices* g_override = nullptr;

} // namespace

QString ToQtNameFilter(const QString& filter) {
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

QStringList ToQtNameFilters(const QStringList& filters) {
    QStringList out;
    for (const QString& f : filters)
        out << ToQtNameFilter(f);
    return out;
}

} // namespace

CUiServices& CUiServices::Instance() {
    static CQtUiServices qt;
    return g_override ? *g_override : qt;
}

void CUiServices::SetInstance(CUiServices* services) {
    g_override = services;
}

void ShowError(QWidget* parent, const QString& text) {
    CUiServices::Instance().MessageBox(parent, text, QMessageBox::Warning, QMessageBox::Ok);
}
