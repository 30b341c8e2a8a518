#include "dialogs/GroupDialog.h"

#include "dialogs/DialogButtons.h"
#include "dialogs/FontDialog.h"
#include "gui/CommandIds.h"
#include "gui/ImageFilters.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

namespace {
constexpr int kGroupFontPoints = 14;
}

GroupDialog::GroupDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Group Properties"));
    // A caption without a system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    m_titleEdit = createUnlimitedEdit(this, QStringLiteral("ctl1000"));
    m_titleEdit->setMinimumWidth(200);
    auto* font = new QPushButton(QStringLiteral("Font"), this);
    font->setObjectName(QStringLiteral("ctl1005"));
    m_bulletEdit = createUnlimitedEdit(this, QStringLiteral("ctl1013"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    browse->setObjectName(QStringLiteral("ctl1014"));

    const DialogButtons b = createDialogButtons(this, res::HELP_CONTEXT_GROUP);
    QPushButton* ok = b.ok;
    QPushButton* cancel = b.cancel;
    QPushButton* help = b.help;

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Title:"), this), 0, 0);
    grid->addWidget(m_titleEdit, 0, 1);
    grid->addWidget(font, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Bullet Image:"), this), 1, 0);
    grid->addWidget(m_bulletEdit, 1, 1);
    grid->addWidget(browse, 1, 2);

    QHBoxLayout* buttons = b.row;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(m_titleEdit, font);
    setTabOrder(font, m_bulletEdit);
    setTabOrder(m_bulletEdit, browse);
    setTabOrder(browse, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);

    connect(font, &QPushButton::clicked, this, &GroupDialog::onFont);
    connect(browse, &QPushButton::clicked, this, &GroupDialog::onBrowse);
}

void GroupDialog::onFont() {
    pickFont(this, kGroupFontPoints, m_face, m_style, m_textColor);
}

void GroupDialog::onBrowse() {
    UiServices::FileDialogOptions options;
    options.filters = imageFileFilters();
    const QString path = UiServices::instance().getOpenFileName(this, options);
    if (!path.isEmpty())
        m_bulletEdit->setText(path);
}

int GroupDialog::runModal() {
    m_bulletEdit->setText(toQString(m_bullet));
    m_titleEdit->setText(toQString(m_title));
    m_titleEdit->setFocus();
    if (UiServices::instance().execDialog(*this) != QDialog::Accepted)
        return QDialog::Rejected;
    m_bullet = toProjectText(m_bulletEdit->text());
    m_title = toProjectText(m_titleEdit->text());
    return QDialog::Accepted;
}

bool GroupDialog::edit(QWidget* parent, LinkGroup& group) {
    GroupDialog dlg(parent);
    dlg.m_title = group.m_title;
    dlg.m_bullet = group.m_bullet;
    dlg.m_face = group.m_face;
    dlg.m_style = group.m_style;
    dlg.m_textColor = group.m_textColor;
    if (dlg.runModal() != QDialog::Accepted)
        return false;
    group.m_title = std::move(dlg.m_title);
    group.m_bullet = std::move(dlg.m_bullet);
    group.m_face = std::move(dlg.m_face);
    group.m_style = dlg.m_style;
    group.m_textColor = dlg.m_textColor;
    return true;
}
