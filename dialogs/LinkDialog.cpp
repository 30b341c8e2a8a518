#include "dialogs/LinkDialog.h"

#include "dialogs/DialogButtons.h"
#include "dialogs/SingleLineValidator.h"
#include "gui/HelpLauncher.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

LinkDialog::LinkDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Link Entry Properties"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    m_descriptionEdit = createUnlimitedEdit(this, QStringLiteral("descriptionEdit"));
    m_urlEdit = createUnlimitedEdit(this, QStringLiteral("urlEdit"));
    m_descriptionEdit->setMinimumWidth(320);

    const DialogButtons b = createDialogButtons(this, help::Page::LinkDialog);

    auto* descriptionLabel = new QLabel(tr("&Description:"), this);
    descriptionLabel->setBuddy(m_descriptionEdit);
    auto* urlLabel = new QLabel(tr("&URL:"), this);
    urlLabel->setBuddy(m_urlEdit);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(descriptionLabel);
    layout->addWidget(m_descriptionEdit);
    layout->addWidget(urlLabel);
    layout->addWidget(m_urlEdit);
    layout->addLayout(b.row);

    setTabOrder(m_descriptionEdit, m_urlEdit);
    setTabOrder(m_urlEdit, b.ok);
    setTabOrder(b.ok, b.cancel);
    setTabOrder(b.cancel, b.help);
}

std::optional<LinkDialog::Values> LinkDialog::edit(QWidget* parent, const Values& start) {
    LinkDialog dlg(parent);
    SingleLineValidator::showStoredText(dlg.m_descriptionEdit, toQString(start.description));
    SingleLineValidator::showStoredText(dlg.m_urlEdit, toQString(start.url));
    dlg.m_descriptionEdit->setFocus();
    if (UiServices::instance().execDialog(dlg) != QDialog::Accepted)
        return std::nullopt;
    return Values{toProjectText(dlg.m_descriptionEdit->text()),
                  toProjectText(dlg.m_urlEdit->text())};
}
