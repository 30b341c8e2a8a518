#include "gui/ImageFilters.h"

#include <QCoreApplication>

QStringList imageFileFilters() {
    // The file dialog service turns the pattern lists into ones the
    // platform's dialog matches (both JPEG extensions; "*" for All).
    const auto shown = [](const char* text) {
        return QCoreApplication::translate("ImageFilters", text);
    };
    return {shown(QT_TRANSLATE_NOOP("ImageFilters",
                                    "Images (*.png *.jpg *.jpeg *.gif *.svg *.webp *.bmp)")),
            shown(QT_TRANSLATE_NOOP("ImageFilters", "GIF (*.gif)")),
            shown(QT_TRANSLATE_NOOP("ImageFilters", "JPEG (*.jpg,*.jpeg)")),
            shown(QT_TRANSLATE_NOOP("ImageFilters", "Windows Bitmap (*.bmp)")),
            shown(QT_TRANSLATE_NOOP("ImageFilters", "All (*.*)"))};
}
