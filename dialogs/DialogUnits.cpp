#include "dialogs/DialogUnits.h"

#include <QFontMetrics>
#include <QString>

#include <algorithm>

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics fm(font);
    // The average width of the 52 Latin letters, rounded.
    const QString sample = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    m_baseX = std::max(1, (fm.horizontalAdvance(sample) / 26 + 1) / 2);
    m_baseY = std::max(1, fm.height());
}

QRect DialogUnits::rect(int x, int y, int width, int height) const {
    return QRect(x * m_baseX / 4, y * m_baseY / 8, width * m_baseX / 4, height * m_baseY / 8);
}

QSize DialogUnits::size(int width, int height) const {
    return QSize(width * m_baseX / 4, height * m_baseY / 8);
}
