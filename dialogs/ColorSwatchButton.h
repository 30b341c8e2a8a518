#pragma once

#include "core/LinkGroup.h"

#include <QAbstractButton>

// A push button that shows nothing but a colour: a one-pixel frame, light on
// the top and left edges and dark on the right and bottom, and the colour
// filling the rectangle 4 pixels in from the left and right and 3 from the
// top and bottom, and a dotted focus mark around the colour while the button
// has the keyboard focus. No caption or pressed look. The colour is
// read from *color at every paint, so the owner only calls colorChanged()
// after changing it. Screen readers hear the caption and the colour
// ("Background: #FFFFFF").
class ColorSwatchButton : public QAbstractButton {
    Q_OBJECT
public:
    ColorSwatchButton(const RgbColor* color, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    // What the colour is for, as its label says it without the colon.
    void setCaption(const QString& caption);
    // Repaints the colour and says it in the accessible name.
    void colorChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const RgbColor* m_color;
    QString m_caption;
};
