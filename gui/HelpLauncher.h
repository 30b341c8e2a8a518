#pragma once

#include <QString>

class QWidget;

// The help pages are HTML files shipped beside the program (help/ next to the
// executable, or share/linkfold/help under the install prefix). Each help
// context has its own page; they open in the desktop's browser.
namespace help {

// Help Contents: the index page.
inline constexpr int kContents = 0;

// The page file name for a context: 0 the index, 100 the link dialog, 101 the
// group dialog, 102 the colours dialog; any other context gives the index.
QString pageForContext(int context);

// The folder holding the pages; empty when none was found.
QString helpDirectory();
// Tests point the lookup at a folder of their own; empty restores the search.
void setHelpDirectory(const QString& dir);

// Opens the page for context in the browser. When the page is missing or no
// browser could be started, shows "Failed to launch help." and returns false.
bool launchHelp(QWidget* parent, int context);

} // namespace help
