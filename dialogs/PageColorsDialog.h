#pragma once

#include "core/LinkGroup.h"

#include <QDialog>

#include <optional>

class ColorSwatchButton;

// "Colors": the page's background, unvisited-link and visited-link colours,
// each shown on a swatch button ("backgroundSwatch", "linkSwatch",
// "visitedLinkSwatch") that opens the colour chooser. Colours chosen inside
// are held by the dialog until OK.
class PageColorsDialog : public QDialog {
    Q_OBJECT
public:
    struct Values {
        RgbColor background = 0;
        RgbColor link = 0;
        RgbColor visitedLink = 0;
    };

    // Shows the dialog on start. Returns the colours on OK, nothing on
    // Cancel.
    static std::optional<Values> edit(QWidget* parent, const Values& start);

private:
    PageColorsDialog(QWidget* parent, const Values& start);
    void onSwatch(ColorSwatchButton* button, RgbColor& color);

    Values m_values;
    ColorSwatchButton* m_backgroundSwatch;
    ColorSwatchButton* m_linkSwatch;
    ColorSwatchButton* m_visitedLinkSwatch;
};
