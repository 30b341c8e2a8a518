#include "gui/ImageFilters.h"

QStringList imageFileFilters() {
    // The file dialog service turns the pattern lists into ones the
    // platform's dialog matches (both JPEG extensions; "*" for All).
    return {QStringLiteral("Images (*.png *.jpg *.jpeg *.gif *.svg *.webp *.bmp)"),
            QStringLiteral("GIF (*.gif)"), QStringLiteral("JPEG (*.jpg,*.jpeg)"),
            QStringLiteral("Windows Bitmap (*.bmp)"), QStringLiteral("All (*.*)")};
}
