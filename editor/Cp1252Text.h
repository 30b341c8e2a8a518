#pragma once

#include "model/Codepage.h"

#include <QString>

#include <string>

// The document keeps texts as Windows-1252 bytes; widgets show QString.
inline QString FromCp1252(const std::string& bytes) {
    std::u16string u = Cp1252ToUtf16(bytes);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

// A character Windows-1252 cannot hold becomes '?'.
inline std::string ToCp1252(const QString& text) {
    return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<size_t>(text.size())));
}
