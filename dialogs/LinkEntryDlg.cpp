#include "dialogs/LinkEntryDlg.h"

#include "app/CommandIds.h"
#include "app/HelpLauncher.h"
#include "app/UiServices.h"
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

    m_pDescription = new QLineEdit(this);
    m_pDescription->setObjectName(QStringLiteral("ctl1001"));
    m_pDescription->setMaxLength(std::numeric_limits<int>::max());
    m_pUrl = new QLineEdit(this);
    m_pUrl->setObjectName(QStringLiteral("ctl1003"));
    m_pUrl->setMaxLength(std::numeric_limits<int>::max());
    m_pDescription->setMinimumWidth(320);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("ctl1"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("ctl2"));
    auto* help = new QPushButton(QStringLiteral("Help"), this);
    help->setObjectName(QStringLiteral("ctl3"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Description:"), this));
    layout->addWidget(m_pDescription);
    layout->addWidget(new QLabel(QStringLiteral("URL:"), this));
    layout->addWidget(m_pUrl);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    layout->addLayout(buttons);

    setTabOrder(m_pDescription, m_pUrl);
    setTabOrder(m_pUrl, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this,
            [this] { help::LaunchHelp(this, res::HELP_CONTEXT_LINK); });
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
