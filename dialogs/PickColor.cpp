#include "dialogs/PickColor.h"

#include "app/UiServices.h"
#include "dialogs/ColorRef.h"

#include <QColorDialog>

namespace {

// Qt remembers custom colours across runs; this program starts every run on
// sixteen white ones and keeps the user's for the rest of the run.
void InitCustomColorsOnce() {
    static const bool done = [] {
        for (int i = 0; i < QColorDialog::customCount(); ++i)
            QColorDialog::setCustomColor(i, QColor(Qt::white));
        return true;
    }();
    (void)done;
}

} // namespace

bool PickColor(QWidget* parent, COLORREF& color) {
    InitCustomColorsOnce();
    const std::optional<QColor> chosen = CUiServices::Instance().GetColor(parent, ToQColor(color));
    if (!chosen || !chosen->isValid())
        return false;
    color = ToColorRef(*chosen);
    return true;
}
