#pragma once

#include <string>
#include <string_view>

// Parts of a path selected by pathPart's mask, always joined in this order.
enum : unsigned {
    kPathDrive = 1,     // "C:" when the second character is ':'
    kPathDir = 2,       // after the drive, up to and including the last '\' or '/'
    kPathBaseName = 4,  // between the directory and the extension
    kPathExtension = 8, // from the last '.' after the directory, dot included
};

std::string pathPart(std::string_view path, unsigned mask);
