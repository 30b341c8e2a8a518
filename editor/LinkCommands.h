#pragma once

#include "core/Link.h"

#include <QObject>
#include <QPoint>

#include <vector>

class ProjectForm;
class QLineEdit;
class QMenu;
class QWidget;

// The link editing commands of the form and their enable rules: add,
// delete, link and group properties, move up and down, cut, copy and paste,
// the title font and colours buttons, drags onto another tab and the context
// menu.
//
// Cut, Copy, Paste and Delete act on the link list when it has the keyboard
// focus, and on the title, subtitle or top-image edit when one of those has
// it (ProjectForm::commandFocus: while the menu bar holds the keyboard, the
// widget that had it before). Links travel through the clipboard as plain-text URL lines (URL, tab,
// description, line feed), top row first.
class LinkCommands : public QObject {
    Q_OBJECT
public:
    explicit LinkCommands(ProjectForm* view);

    // Enable rules of the commands, for the widget that has the focus (or had
    // it before the menu bar took it).
    int selectedLinkCount() const;
    bool canCut() const;
    bool canCopy() const { return canCut(); }
    bool canPaste() const;
    // Whether the clipboard's text begins (after blank lines) with a URL line.
    // Decided once per clipboard change, so asking is cheap whatever the
    // clipboard holds.
    bool canPasteLinks() const { return m_clipboardHasUrlLine; }

    // The context menu with its items enabled by the current state; each item
    // runs its command. The caller owns it.
    QMenu* createContextMenu(QWidget* parent);

public slots:
    // The commands carry themselves out whatever their enable state: the
    // menus, toolbar and keys are disabled through the rules above, and a
    // double-click runs Link Properties and the Del key Delete without them.
    void addLink();
    // Edit > Delete, the toolbar's and the context menu's Delete: the list's
    // selected rows, or the focused text field's selected text.
    void deleteSelected();
    void cut();
    void copy();
    void paste();
    void linkProperties();
    void groupProperties();

    // Form buttons.
    void titleFont();
    void colors();
    // Page > Page Style...: the dialog's result is one undoable step ("Page
    // Style") of the page settings.
    void pageStyle();
    void moveUp();
    void moveDown();
    // selected rows dragged onto the tab of another group.
    void moveSelectedRowsToGroup(int group);
    // A row dragged within the list: it is to stand at row `to`.
    void moveRow(int from, int to);
    // Links dropped on the list from another program.
    void addDroppedLinks(const std::vector<Link>& links);
    // The context menu at a global position (a right-click in the list, the
    // Menu key, Shift+F10).
    void showContextMenu(const QPoint& globalPos);

signals:
    // The context menu's Check Links: the selected rows are to be checked.
    void checkLinksRequested();

private:
    bool listHasFocus() const;
    // The title, subtitle or top-image edit when it has the focus.
    QLineEdit* focusedPageEdit() const;
    bool focusedEditHasSelection() const;
    void readClipboard();
    void pasteLinks();
    void copyLinks();
    // Move Up (-1) and Move Down (+1) of the one selected row.
    void moveSelectedRow(int step);
    // Appends the links to the shown group as one step named `name`.
    void appendLinks(const std::vector<Link>& links, const char* one, const char* many);

    ProjectForm* m_form;
    bool m_clipboardHasText = false;
    bool m_clipboardHasUrlLine = false;
};
