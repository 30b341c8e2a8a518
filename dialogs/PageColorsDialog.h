#pragma once

#include "core/LinkGroup.h"

#include <QDialog>

class ColorSwatchButton;

// "Colors": the page's background, unvisited-link and visited-link colours,
// each shown on a swatch button (objects "ctl1017", "ctl1018", "ctl1019")
// that opens the colour chooser. The dialog works on its own three members;
// the caller fills them, runs runModal and copies them back only on OK.
class PageColorsDialog : public QDialog {
    Q_OBJECT
public:
    explicit PageColorsDialog(QWidget* parent = nullptr);

    RgbColor m_backgroundColor = 0;
    RgbColor m_linkColor = 0;
    RgbColor m_visitedLinkColor = 0;

    // Runs the dialog modally; returns QDialog::Accepted for OK.
    int runModal();

    // Copies the three colours in, runs the dialog and copies them back on
    // OK. Returns true for OK; on Cancel the three are left untouched.
    static bool edit(QWidget* parent, RgbColor& background, RgbColor& link, RgbColor& visitedLink);

private:
    void onSwatch(ColorSwatchButton* button, RgbColor& color);

    ColorSwatchButton* m_backgroundSwatch;
    ColorSwatchButton* m_linkSwatch;
    ColorSwatchButton* m_visitedLinkSwatch;
};
