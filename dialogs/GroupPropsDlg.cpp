#include "dialogs/GroupPropsDlg.h"

#include "app/CommandIds.h"
#include "app/UiServices.h"
#include "dialogs/DialogButtons.h"
#include "dialogs/FontPickerDlg.h"
#include "dialogs/ImageFilters.h"
#include "editor/Cp1252Text.h"

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

CGroupPropsDlg::CGroupPropsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Group Properties"));
    // A caption without a system menu or close box.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    m_pTitle = CreateUnlimitedEdit(this, QStringLiteral("ctl1000"));
    m_pTitle->setMinimumWidth(200);
    auto* font = new QPushButton(QStringLiteral("Font"), this);
    font->setObjectName(QStringLiteral("ctl1005"));
    m_pBullet = CreateUnlimitedEdit(this, QStringLiteral("ctl1013"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), this);
    browse->setObjectName(QStringLiteral("ctl1014"));

    const CDialogButtons b = CreateDialogButtons(this, res::HELP_CONTEXT_GROUP);
    QPushButton* ok = b.ok;
    QPushButton* cancel = b.cancel;
    QPushButton* help = b.help;

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Title:"), this), 0, 0);
    grid->addWidget(m_pTitle, 0, 1);
    grid->addWidget(font, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Bullet Image:"), this), 1, 0);
    grid->addWidget(m_pBullet, 1, 1);
    grid->addWidget(browse, 1, 2);

    QHBoxLayout* buttons = b.row;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    setTabOrder(m_pTitle, font);
    setTabOrder(font, m_pBullet);
    setTabOrder(m_pBullet, browse);
    setTabOrder(browse, ok);
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);

    connect(font, &QPushButton::clicked, this, &CGroupPropsDlg::OnFont);
    connect(browse, &QPushButton::clicked, this, &CGroupPropsDlg::OnBrowse);
}

void CGroupPropsDlg::OnFont() {
    PickFont(this, kGroupFontPoints, m_strFace, m_nStyle, m_clrText);
}

void CGroupPropsDlg::OnBrowse() {
    CUiServices::FileDialogOptions options;
    options.filters = ImageFileFilters();
    const QString path = CUiServices::Instance().GetOpenFileName(this, options);
    if (!path.isEmpty())
        m_pBullet->setText(path);
}

int CGroupPropsDlg::DoModal() {
    m_pBullet->setText(FromCp1252(m_strBullet));
    m_pTitle->setText(FromCp1252(m_strTitle));
    m_pTitle->setFocus();
    if (CUiServices::Instance().ExecDialog(*this) != QDialog::Accepted)
        return QDialog::Rejected;
    m_strBullet = ToCp1252(m_pBullet->text());
    m_strTitle = ToCp1252(m_pTitle->text());
    return QDialog::Accepted;
}

bool CGroupPropsDlg::Edit(QWidget* parent, CUrlGroup& group) {
    CGroupPropsDlg dlg(parent);
    dlg.m_strTitle = group.m_strTitle;
    dlg.m_strBullet = group.m_strBullet;
    dlg.m_strFace = group.m_strFace;
    dlg.m_nStyle = group.m_nStyle;
    dlg.m_clrText = group.m_clrText;
    if (dlg.DoModal() != QDialog::Accepted)
        return false;
    group.m_strTitle = std::move(dlg.m_strTitle);
    group.m_strBullet = std::move(dlg.m_strBullet);
    group.m_strFace = std::move(dlg.m_strFace);
    group.m_nStyle = dlg.m_nStyle;
    group.m_clrText = dlg.m_clrText;
    return true;
}
