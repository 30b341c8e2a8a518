#include "dialogs/LinkDialog.h"

#include "dialogs/DialogButtons.h"
#include "gui/CommandIds.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

LinkDialog::LinkDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Link Entry Properties"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_descriptionEdit = createUnlimitedEdit(this, QStringLiteral("ctl1001"));
    m_urlEdit = createUnlimitedEdit(this, QStringLiteral("ctl1003"));
    m_descriptionEdit->setMinimumWidth(320);

    const DialogButtons b = createDialogButtons(this, res::HELP_CONTEXT_LINK);
    QPushButton* ok = b.ok;
    QPushButton* cancel = b.cancel;
    QPushButton* help = b.help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Description:"), this));
    layout->addWidget(m_descriptionEdit);
    layout->addWidget(new QLabel(QStringLiteral("URL:"), this));
    layout->addWidget(m_urlEdit);
    QHBoxLayout* buttons = b.row;
    layout->addLayout(buttons);

    setTabOrder(m_descriptionEdit, m_urlEdit);
    setTabOrder(m_urlEdit, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);
}

int LinkDialog::runModal() {
    m_descriptionEdit->setText(toQString(m_description));
    m_urlEdit->setText(toQString(m_url));
    m_descriptionEdit->setFocus();
    if (UiServices::instance().execDialog(*this) != QDialog::Accepted)
        return QDialog::Rejected;
    m_description = toProjectText(m_descriptionEdit->text());
    m_url = toProjectText(m_urlEdit->text());
    return QDialog::Accepted;
}

bool LinkDialog::edit(QWidget* parent, std::string& description, std::string& url) {
    LinkDialog dlg(parent);
    dlg.m_description = description;
    dlg.m_url = url;
    if (dlg.runModal() != QDialog::Accepted)
        return false;
    description = std::move(dlg.m_description);
    url = std::move(dlg.m_url);
    return true;
}
