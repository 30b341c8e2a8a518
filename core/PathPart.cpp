#include "core/PathPart.h"

std::string pathPart(std::string_view path, unsigned mask) {
    // The separators are ASCII, and ASCII bytes never occur inside a UTF-8
    // sequence: splitting bytes splits characters.
    size_t driveEnd = (path.size() >= 2 && path[1] == ':') ? 2 : 0;
    size_t dirEnd = driveEnd;
    for (size_t i = driveEnd; i < path.size(); ++i)
        if (path[i] == '\\' || path[i] == '/')
            dirEnd = i + 1;
    size_t extBegin = path.size();
    for (size_t i = path.size(); i > dirEnd; --i)
        if (path[i - 1] == '.') {
            extBegin = i - 1;
            break;
        }
    std::string out;
    if (mask & kPathDrive)
        out.append(path.substr(0, driveEnd));
    if (mask & kPathDir)
        out.append(path.substr(driveEnd, dirEnd - driveEnd));
    if (mask & kPathBaseName)
        out.append(path.substr(dirEnd, extBegin - dirEnd));
    if (mask & kPathExtension)
        out.append(path.substr(extBegin));
    return out;
}
