#pragma once

class QDialog;
class QLayout;
class QScrollArea;
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

// The body of a dialog (everything above its button row) in a frameless
// scroll area that asks for the body's whole size: on a screen too small for
// the dialog (a large scale factor, a long translation) the body scrolls and
// the buttons stay in view.
QScrollArea* createScrollingBody(QDialog* dialog, QLayout* body);
// Gives a dialog laid out with createScrollingBody() its whole size, or as
// much of it as the screen holds with room for a window frame (a window's
// first size is otherwise at most two thirds of the screen).
void fitDialogToScreen(QDialog* dialog);

// A one-line text field with no length limit (Qt's default stops at 32767):
// pasted line breaks and tabs are handled by SingleLineValidator.
QLineEdit* createUnlimitedEdit(QDialog* dialog, const QString& objectName);
