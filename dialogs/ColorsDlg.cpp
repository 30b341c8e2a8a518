#include "dialogs/ColorsDlg.h"

#include "app/CommandIds.h"
#include "app/UiServices.h"
#include "dialogs/ColorSwatchButton.h"
#include "dialogs/DialogButtons.h"
#include "dialogs/PickColor.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CColorsDlg::CColorsDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Colors"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    const CDialogButtons b = CreateDialogButtons(this, res::HELP_CONTEXT_COLORS);
    QPushButton* ok = b.ok;
    QPushButton* cancel = b.cancel;
    QPushButton* help = b.help;

    m_pBackground = new CColorSwatchButton(&m_clrBackground, this);
    m_pBackground->setObjectName(QStringLiteral("ctl1017"));
    m_pLink = new CColorSwatchButton(&m_clrLink, this);
    m_pLink->setObjectName(QStringLiteral("ctl1018"));
    m_pVisitedLink = new CColorSwatchButton(&m_clrVisitedLink, this);
    m_pVisitedLink->setObjectName(QStringLiteral("ctl1019"));

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Background:"), this), 0, 0);
    grid->addWidget(m_pBackground, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Unvisited Links:"), this), 1, 0);
    grid->addWidget(m_pLink, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Visited Links:"), this), 2, 0);
    grid->addWidget(m_pVisitedLink, 2, 1);
    grid->setColumnStretch(2, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    QHBoxLayout* buttons = b.row;

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(line);
    layout->addLayout(buttons);

    // Tab order: OK, Cancel, Help, then the three swatches.
    setTabOrder(ok, cancel);
    setTabOrder(cancel, help);
    setTabOrder(help, m_pBackground);
    setTabOrder(m_pBackground, m_pLink);
    setTabOrder(m_pLink, m_pVisitedLink);

    connect(m_pBackground, &QAbstractButton::clicked, this,
            [this] { OnSwatch(m_pBackground, m_clrBackground); });
    connect(m_pLink, &QAbstractButton::clicked, this, [this] { OnSwatch(m_pLink, m_clrLink); });
    connect(m_pVisitedLink, &QAbstractButton::clicked, this,
            [this] { OnSwatch(m_pVisitedLink, m_clrVisitedLink); });
}

void CColorsDlg::OnSwatch(CColorSwatchButton* button, COLORREF& color) {
    if (PickColor(this, color))
        button->update();
}

int CColorsDlg::DoModal() {
    return CUiServices::Instance().ExecDialog(*this) == QDialog::Accepted ? QDialog::Accepted
                                                                          : QDialog::Rejected;
}

bool CColorsDlg::Edit(QWidget* parent, COLORREF& background, COLORREF& link,
                      COLORREF& visitedLink) {
    CColorsDlg dlg(parent);
    dlg.m_clrBackground = background;
    dlg.m_clrLink = link;
    dlg.m_clrVisitedLink = visitedLink;
    if (dlg.DoModal() != QDialog::Accepted)
        return false;
    background = dlg.m_clrBackground;
    link = dlg.m_clrLink;
    visitedLink = dlg.m_clrVisitedLink;
    return true;
}
