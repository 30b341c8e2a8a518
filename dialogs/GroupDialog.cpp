#include "dialogs/GroupDialog.h"

#include "dialogs/DialogButtons.h"
#include "dialogs/FontDialog.h"
#include "dialogs/SingleLineValidator.h"
#include "gui/HelpLauncher.h"
#include "gui/ImageFilters.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kGroupFontPoints = 14;
}

GroupDialog::Values GroupDialog::Values::fromGroup(const LinkGroup& group) {
    return Values{group.title, group.bullet,
                  FontDialog::Values{group.face, group.style, group.textColor}};
}

void GroupDialog::Values::applyTo(LinkGroup& group) const {
    group.title = title;
    group.bullet = bullet;
    group.face = font.face;
    group.style = font.style;
    group.textColor = font.color;
}

GroupDialog::GroupDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Group Properties"));
    // A caption without a system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    m_titleEdit = createUnlimitedEdit(this, QStringLiteral("titleEdit"));
    m_titleEdit->setMinimumWidth(200);
    auto* font = new QPushButton(tr("&Font..."), this);
    font->setObjectName(QStringLiteral("fontButton"));
    m_bulletEdit = createUnlimitedEdit(this, QStringLiteral("bulletEdit"));
    auto* browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName(QStringLiteral("browseButton"));

    const DialogButtons b = createDialogButtons(this, help::Page::GroupDialog);

    auto* titleLabel = new QLabel(tr("&Title:"), this);
    titleLabel->setBuddy(m_titleEdit);
    auto* bulletLabel = new QLabel(tr("Bullet &Image:"), this);
    bulletLabel->setBuddy(m_bulletEdit);

    auto* grid = new QGridLayout;
    grid->addWidget(titleLabel, 0, 0);
    grid->addWidget(m_titleEdit, 0, 1);
    grid->addWidget(font, 0, 2);
    grid->addWidget(bulletLabel, 1, 0);
    grid->addWidget(m_bulletEdit, 1, 1);
    grid->addWidget(browse, 1, 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(b.row);

    setTabOrder(m_titleEdit, font);
    setTabOrder(font, m_bulletEdit);
    setTabOrder(m_bulletEdit, browse);
    setTabOrder(browse, b.ok);
    setTabOrder(b.ok, b.cancel);
    setTabOrder(b.cancel, b.help);

    connect(font, &QPushButton::clicked, this, &GroupDialog::onFont);
    connect(browse, &QPushButton::clicked, this, &GroupDialog::onBrowse);
}

void GroupDialog::onFont() {
    if (auto chosen = FontDialog::pick(this, kGroupFontPoints, m_font))
        m_font = *chosen;
}

void GroupDialog::onBrowse() {
    UiServices::FileDialogOptions options;
    options.filters = imageFileFilters();
    const QString path = UiServices::instance().getOpenFileName(this, options);
    if (!path.isEmpty())
        SingleLineValidator::showStoredText(m_bulletEdit, path);
}

std::optional<GroupDialog::Values> GroupDialog::edit(QWidget* parent, const Values& start) {
    GroupDialog dlg(parent);
    dlg.m_font = start.font;
    SingleLineValidator::showStoredText(dlg.m_bulletEdit, toQString(start.bullet));
    SingleLineValidator::showStoredText(dlg.m_titleEdit, toQString(start.title));
    dlg.m_titleEdit->setFocus();
    if (UiServices::instance().execDialog(dlg) != QDialog::Accepted)
        return std::nullopt;
    return Values{toProjectText(dlg.m_titleEdit->text()), toProjectText(dlg.m_bulletEdit->text()),
                  dlg.m_font};
}
