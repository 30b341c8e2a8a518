#pragma once

#include <QString>

#include <string>

// The window's text of a file error. The core words its file errors in
// English (core/FileError.h: fileErrorText, also what the headless verbs
// print); this finds which of its messages a text is and gives that message
// in the user's language, the file name kept as the bytes gave it. A text
// that is no file error (or no translation) comes back as it is.
QString translatedFileError(const std::string& coreText);
