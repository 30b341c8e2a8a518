#include "editor/SpinArrows.h"

#include <QToolButton>

CSpinArrows::CSpinArrows(QWidget* parent)
    : QWidget(parent), m_pUp(new QToolButton(this)), m_pDown(new QToolButton(this)) {
    for (QToolButton* b : {m_pUp, m_pDown}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setIconSize(QSize(6, 6));
    }
    m_pUp->setArrowType(Qt::UpArrow);
    m_pDown->setArrowType(Qt::DownArrow);
    connect(m_pUp, &QToolButton::clicked, this, [this] { emit stepped(1); });
    connect(m_pDown, &QToolButton::clicked, this, [this] { emit stepped(-1); });
}

void CSpinArrows::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    m_pUp->setGeometry(0, 0, width(), half);
    m_pDown->setGeometry(0, half, width(), height() - half);
}
