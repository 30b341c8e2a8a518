#pragma once

#include "core/LinkGroup.h"

#include <QAbstractButton>

// A push button that shows nothing but a colour: a one-pixel frame, light on
// the top and left edges and dark on the right and bottom, and the colour
// filling the rectangle 4 pixels in from the left and right and 3 from the
// top and bottom, and a dotted focus mark around the colour while the button
// has the keyboard focus. No caption or pressed look. The colour is
// read from *color at every paint, so the owner only calls update() after
// changing it.
class ColorSwatchButton : public QAbstractButton {
    Q_OBJECT
public:
    ColorSwatchButton(const RgbColor* color, QWidget* parent = nullptr);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const RgbColor* m_color;
};
