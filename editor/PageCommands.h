#pragma once

#include <QString>

class Project;
class QWidget;

// Page menu commands. The caller has the form commit its edits first; parent
// is the parent of the file dialog and the messages.

// "Generate...": asks for the page file, refuses the project's own file, asks
// before replacing another file, writes the page and offers to open it in
// the browser.
void generatePage(QWidget* parent, const Project& project);

// "Preview": writes the page to "$Linkfold$.htm" in the current directory
// (in previewCacheFolder() when that cannot be written) and opens it in the
// browser.
void previewPage(QWidget* parent, const Project& project);
// The user's cache folder for the preview: ~/.cache/linkfold.
QString previewCacheFolder();

// "NAME already exists. Do you want to replace it?" for the page at path.
QString overwriteQuestion(const QString& path);

// Name of the preview page, resolved against the current directory.
inline constexpr const char* kPreviewFileName = "$Linkfold$.htm";
