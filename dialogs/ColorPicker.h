#pragma once

#include "core/LinkGroup.h"

class QWidget;

// Shows the colour chooser starting on color, owned by parent (the dialog it
// is opened from). On OK stores the chosen colour in color and returns true;
// on Cancel leaves it alone and returns false.
//
// The chooser's 16 custom colours are one set for every choice: white when
// the program first asks for a colour, then whatever the user defines there
// until the program ends.
bool pickColor(QWidget* parent, RgbColor& color);
