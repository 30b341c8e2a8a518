#include "dialogs/ColorPicker.h"

#include "gui/QtColor.h"
#include "gui/UiServices.h"

#include <QColorDialog>

namespace {

// Qt remembers custom colours across runs; this program starts every run on
// sixteen white ones and keeps the user's for the rest of the run.
void initCustomColorsOnce() {
    static const bool done = [] {
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, QColor(Qt::white));
        return true;
    }();
    (void)done;
}

} // namespace

bool pickColor(QWidget* parent, RgbColor& color) {
    initCustomColorsOnce();
    const std::optional<QColor> chosen = UiServices::instance().getColor(parent, toQColor(color));
    if (!chosen || !chosen->isValid())
        return false;
    color = toColorRef(*chosen);
    return true;
}
