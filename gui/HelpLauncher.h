#pragma once

#include <QString>

class QWidget;

// The help pages are HTML files shipped beside the program (help/ next to the
// executable, or share/linkfold/help under the install prefix). Each help
// context has its own page; they open in the desktop's browser.
namespace help {

// The help pages: the contents (index), one page per property dialog, the
// bookmarks page and the page of the link check and duplicates windows.
enum class Page {
    Contents,
    LinkDialog,
    GroupDialog,
    ColorsDialog,
    PageStyleDialog,
    Bookmarks,
    LinkCheck
};

// The file name of a page.
QString pageFileName(Page page);

// The folder holding the pages; empty when none was found.
QString helpDirectory();
// Tests point the lookup at a folder of their own; empty restores the search.
void setHelpDirectory(const QString& dir);

// Opens the page in the browser. When the page is missing or no
// browser could be started, shows "Failed to launch help." and returns false.
bool launchHelp(QWidget* parent, Page page);

} // namespace help
