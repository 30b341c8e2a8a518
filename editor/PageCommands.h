#pragma once

#include <QString>

class ProjectForm;

// Page menu commands of the form view.

// "Generate...": takes the form's edits into the document, asks for the page
// file, refuses the project's own file, asks before replacing another file,
// writes the page and offers to open it in the browser.
void generatePage(ProjectForm& view);

// "Preview": takes the form's edits into the document, writes the page to
// "$Linkfold$.htm" in the current directory and opens it in the browser.
void previewPage(ProjectForm& view);

// "NAME already exists. Do you want to replace it?" for the page at path.
QString overwriteQuestion(const QString& path);

// Name of the preview page, resolved against the current directory.
inline constexpr const char* kPreviewFileName = "$Linkfold$.htm";
