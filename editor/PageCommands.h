#pragma once

class Project;
class QWidget;

// Page menu commands. The caller has the form commit its edits first; parent
// is the parent of the file dialog and the messages.

// "Generate...": asks for the page file, writes the page and offers to open
// it in the browser.
void generatePage(QWidget* parent, const Project& project);

// "Preview": writes the page to "$Linkfold$.htm" in the current directory and
// opens it in the browser.
void previewPage(QWidget* parent, const Project& project);

// Name of the preview page, resolved against the current directory.
inline constexpr const char* kPreviewFileName = "$Linkfold$.htm";
