#include "core/ModelText.h"

#include "core/Codepage.h"

std::string modelTextToUtf8(std::string_view text) {
    return cp1252ToUtf8(text);
}

std::string utf8ToModelText(std::string_view utf8) {
    return utf8ToCp1252(utf8);
}
