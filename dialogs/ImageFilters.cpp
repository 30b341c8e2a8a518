#include "dialogs/ImageFilters.h"

QStringList ImageFileFilters() {
    // JPEG names both of its extensions as separate patterns so that .jpg and
    // .jpeg files both show; "All" is "*" so that files without an
    // extension show too.
    return {QStringLiteral("GIF (*.gif)"), QStringLiteral("JPEG (*.jpg *.jpeg)"),
            QStringLiteral("Windows Bitmap (*.bmp)"), QStringLiteral("All (*)")};
}
