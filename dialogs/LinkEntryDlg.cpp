#include "dialogs/LinkEntryDlg.h"

#include "app/CommandIds.h"
#include "app/UiServices.h"
#include "dialogs/DialogButtons.h"
#include "editor/Cp1252Text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

CLinkEntryDlg::CLinkEntryDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Link Entry Properties"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_pDescription = CreateUnlimitedEdit(this, QStringLiteral("ctl1001"));
    m_pUrl = CreateUnlimitedEdit(this, QStringLiteral("ctl1003"));
    m_pDescription->setMinimumWidth(320);

    const CDialogButtons b = CreateDialogButtons(this, res::HELP_CONTEXT_LINK);
    QPushButton* ok = b.ok;
    QPushButton* cancel = b.cancel;
    QPushButton* help = b.help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Description:"), this));
    layout->addWidget(m_pDescription);
    layout->addWidget(new QLabel(QStringLiteral("URL:"), this));
    layout->addWidget(m_pUrl);
    QHBoxLayout* buttons = b.row;
    layout->addLayout(buttons);

    setTabOrder(m_pDescription, m_pUrl);
    setTabOrder(m_pUrl, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);
}

int CLinkEntryDlg::DoModal() {
    m_pDescription->setText(FromCp1252(m_strDescription));
    m_pUrl->setText(FromCp1252(m_strUrl));
    m_pDescription->setFocus();
    if (CUiServices::Instance().ExecDialog(*this) != QDialog::Accepted)
        return QDialog::Rejected;
    m_strDescription = ToCp1252(m_pDescription->text());
    m_strUrl = ToCp1252(m_pUrl->text());
    return QDialog::Accepted;
}

bool CLinkEntryDlg::Edit(QWidget* parent, std::string& description, std::string& url) {
    CLinkEntryDlg dlg(parent);
    dlg.m_strDescription = description;
    dlg.m_strUrl = url;
    if (dlg.DoModal() != QDialog::Accepted)
        return false;
    description = std::move(dlg.m_strDescription);
    url = std::move(dlg.m_strUrl);
    return true;
}
