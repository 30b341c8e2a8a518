#include "gui/FileErrorText.h"

#include "gui/QtText.h"

#include <QCoreApplication>

namespace {

// core/FileError.cpp's messages; %1 is the file.
const char* const kFileErrors[] = {
    QT_TRANSLATE_NOOP("FileError", "No error occurred."),
    QT_TRANSLATE_NOOP("FileError", "An unknown error occurred while accessing %1."),
    QT_TRANSLATE_NOOP("FileError", "%1 was not found."),
    QT_TRANSLATE_NOOP("FileError", "%1 contains an invalid path."),
    QT_TRANSLATE_NOOP("FileError", "%1 could not be opened because there are too many open files."),
    QT_TRANSLATE_NOOP("FileError", "Access to %1 was denied."),
    QT_TRANSLATE_NOOP("FileError", "An invalid file handle was associated with %1."),
    QT_TRANSLATE_NOOP("FileError", "%1 could not be removed because it is the current directory."),
    QT_TRANSLATE_NOOP("FileError", "%1 could not be created because the directory is full."),
    QT_TRANSLATE_NOOP("FileError", "Seek failed on %1"),
    QT_TRANSLATE_NOOP("FileError", "A hardware I/O error was reported while accessing %1."),
    QT_TRANSLATE_NOOP("FileError", "A sharing violation occurred while accessing %1."),
    QT_TRANSLATE_NOOP("FileError", "A locking violation occurred while accessing %1."),
    QT_TRANSLATE_NOOP("FileError", "Disk full while accessing %1."),
    QT_TRANSLATE_NOOP("FileError", "An attempt was made to access %1 past its end."),
    QT_TRANSLATE_NOOP("FileError", "Unexpected file format."),
    QT_TRANSLATE_NOOP("FileError", "Failed to open document."),
    QT_TRANSLATE_NOOP("FileError", "Failed to save document."),
    QT_TRANSLATE_NOOP("FileError", "%1 is the project itself; the page was not written over it."),
};

} // namespace

QString translatedFileError(const std::string& coreText) {
    for (const char* message : kFileErrors) {
        const std::string_view pattern(message);
        const std::size_t hole = pattern.find("%1");
        if (hole == std::string_view::npos) {
            if (coreText == pattern)
                return QCoreApplication::translate("FileError", message);
            continue;
        }
        const std::string_view head = pattern.substr(0, hole);
        const std::string_view tail = pattern.substr(hole + 2);
        if (coreText.size() < head.size() + tail.size() || !coreText.starts_with(head) ||
            !coreText.ends_with(tail))
            continue;
        const std::string file =
            coreText.substr(head.size(), coreText.size() - head.size() - tail.size());
        return QCoreApplication::translate("FileError", message).arg(fromFileNameBytes(file));
    }
    return fromFileNameBytes(coreText);
}
