#pragma once

#include "model/Codepage.h"

#include <QString>

#include <string>

// The model keeps Windows-1252 bytes; the dialogs' controls show Unicode.
// A character Windows-1252 cannot hold comes back as '?'.
inline QString FromCp1252(const std::string& bytes) {
    const std::u16string text = Cp1252ToUtf16(bytes);
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToCp1252(const QString& text) {
    return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()),
                                             static_cast<size_t>(text.size())));
}
