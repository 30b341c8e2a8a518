#pragma once

#include "core/Codepage.h"

#include <QString>

#include <string>

// The document keeps texts as Windows-1252 bytes; widgets show QString.
inline QString fromCp1252(const std::string& bytes) {
    std::u16string u = cp1252ToUtf16(bytes);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

// A character Windows-1252 cannot hold becomes '?'.
inline std::string toCp1252(const QString& text) {
    return utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<size_t>(text.size())));
}
