#pragma once

#include <QRect>
#include <QSize>

class QFont;

// Converts the program's layout measures to pixels for a font. The form and
// the font picker are drawn to fixed sizes given in these units: a quarter
// of the font's average character width across and an eighth of its height
// down, so both grow and shrink with the user's font.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    int baseY() const { return m_baseY; }

    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

private:
    int m_baseX;
    int m_baseY;
};
