#pragma once

#include "core/SettingsFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>

// One fuzz input: read it as linkfold.ini. Written back unchanged it must give
// the same bytes (a line end added to a last line without one); a value set
// must read back, and every other line must stay as it was.
inline void fuzzOneSettingsText(const std::uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    SettingsFile ini;
    ini.fromText(text);
    std::string expected = text;
    if (!expected.empty() && expected.back() != '\n')
        expected += '\n';
    if (ini.toText() != expected)
        std::abort();
    const std::string before = ini.stringValue("Recent File List", "File1");
    ini.setStringValue("Settings", "PreviewPages", "3");
    SettingsFile again;
    again.fromText(ini.toText());
    if (again.intValue("Settings", "PreviewPages", -1) != 3 ||
        again.stringValue("Recent File List", "File1") != before)
        std::abort();
}
