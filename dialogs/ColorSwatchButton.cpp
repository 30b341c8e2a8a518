#include "dialogs/ColorSwatchButton.h"

#include "gui/QtColor.h"

#include <QPainter>

ColorSwatchButton::ColorSwatchButton(const RgbColor* color, QWidget* parent)
    : QAbstractButton(parent), m_color(color) {
    setFocusPolicy(Qt::StrongFocus);
}

void ColorSwatchButton::setCaption(const QString& caption) {
    m_caption = caption;
    colorChanged();
}

void ColorSwatchButton::colorChanged() {
    const QString hex = toQColor(*m_color).name(QColor::HexRgb).toUpper();
    setAccessibleName(m_caption.isEmpty() ? hex : m_caption + QStringLiteral(": ") + hex);
    update();
}

QSize ColorSwatchButton::sizeHint() const {
    return QSize(75, 23);
}

void ColorSwatchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Window));

    const QColor light = palette().color(QPalette::Light);
    const QColor dark = palette().color(QPalette::Shadow);
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), light);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), light);
    painter.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 1), dark);
    painter.fillRect(QRect(r.left() + 1, r.bottom(), r.width() - 1, 1), dark);

    painter.fillRect(r.adjusted(4, 3, -4, -3), toQColor(*m_color));

    if (hasFocus()) {
        // In the gap between the frame and the colour.
        QPen pen(palette().color(QPalette::WindowText), 1, Qt::DotLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(r.adjusted(2, 1, -3, -2));
    }
}
