#pragma once

class QDialog;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QString;

namespace help {
enum class Page;
}

// The OK / Cancel / Help row the property dialogs share: OK is the default
// button and accepts, Cancel rejects, Help (and F1 anywhere in the dialog)
// opens the given help page. The buttons carry the object names "okButton",
// "cancelButton" and "helpButton".
struct DialogButtons {
    QPushButton* ok;
    QPushButton* cancel;
    QPushButton* help;
    QHBoxLayout* row; // right-aligned, for the caller's layout
};
DialogButtons createDialogButtons(QDialog* dialog, help::Page helpPage);

// A one-line text field with no length limit (Qt's default stops at 32767):
// pasted line breaks and tabs are handled by SingleLineValidator.
QLineEdit* createUnlimitedEdit(QDialog* dialog, const QString& objectName);
