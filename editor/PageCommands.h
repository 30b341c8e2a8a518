#pragma once

class ProjectForm;

// Page menu commands of the form view.

// "Generate...": takes the form's edits into the document, asks for the page
// file, writes the page and offers to open it in the browser.
void generatePage(ProjectForm& view);

// "Preview": takes the form's edits into the document, writes the page to
// "$Linkfold$.htm" in the current directory and opens it in the browser.
void previewPage(ProjectForm& view);

// Name of the preview page, resolved against the current directory.
inline constexpr const char* kPreviewFileName = "$Linkfold$.htm";
