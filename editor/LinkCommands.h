#pragma once

#include <QObject>
#include <QPoint>

class ProjectForm;
class QLineEdit;
class QMenu;
class QWidget;

// The link editing commands of the form: add, delete, link and group
// properties, move up and down, cut, copy and paste, the title font and
// colours buttons, drags onto another tab and the context menu.
//
// Cut, Copy, Paste and Delete act on the link list when it has the keyboard
// focus, and on the title, subtitle or top-image edit when one of those has
// it. Links travel through the clipboard as plain-text URL lines (URL, tab,
// description, line feed), top row first.
class LinkCommands : public QObject {
    Q_OBJECT
public:
    explicit LinkCommands(ProjectForm* view);

    // Carries out the command and returns true when it is one of these.
    // Enable rules are the caller's affair (menus, toolbar and keys are
    // disabled through isCommandEnabled); a double-click runs Link
    // Properties and the Del key over the list runs Delete without them.
    bool onCommand(int id);
    // Returns true when the command is one of these, with its enable state.
    bool isCommandEnabled(int id, bool& enabled) const;

    // Form buttons.
    void onTitleFont(); // button 1016 "Font"
    void onColors();    // button 1004 "Colors"
    void onMoveUp();    // button 1013 "Move Up"
    void onMoveDown();  // button 1014 "Move Down"
    // selected rows dragged onto the tab of another group.
    void moveSelectedRowsToGroup(int group);
    // Right-click anywhere in the list (header included).
    void showContextMenu(const QPoint& globalPos);

    // The context menu with its items enabled by the current state; each item
    // (object "ctx<id>") runs its command on the view. The caller owns it.
    QMenu* createContextMenu(QWidget* parent) const;

    // 1 when the clipboard's text begins (after blank lines) with a URL line,
    // else 0. Outside test mode the URL lines are appended as rows.
    int pasteUrls(bool testMode);

private:
    bool listHasFocus() const;
    // The title, subtitle or top-image edit when it has the focus.
    QLineEdit* focusedPageEdit() const;
    bool focusedEditHasSelection() const;
    void onAddLink();
    void deleteSelectedRows();
    void onCut();
    void copyUrls();
    void onPaste();
    void onLinkProperties();
    void onGroupProperties();

    ProjectForm* m_form;
};
