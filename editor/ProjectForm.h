#pragma once

#include "core/Project.h"

#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <array>
#include <string>
#include <utility>
#include <vector>

class SettingsFile;
class LinkCommands;
class ProjectDocument;
struct ShownChange;
class LinkListView;
class SpinArrows;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabBar;

// The project form: page fields, the ten group tabs and the link list of the
// shown group. The main window owns it as its central widget.
//
// The form shows the project as it is: the list is a view of the shown
// group, and the page fields follow the project's changes. The form keeps
// no copy of anything: every edit, typing included, is a step pushed to the
// document (see ProjectDocument), so it can be undone in its place in time.
class ProjectForm : public QWidget, private ProjectObserver {
    Q_OBJECT
public:
    explicit ProjectForm(ProjectDocument* document, QWidget* parent = nullptr);
    ~ProjectForm() override;

    Project* project() const { return m_project; }

    // Fills the form from the document (after New and a successful open):
    // page fields, then group 0 in the list with tab "1" selected, and a
    // fresh history. Never marks the document modified.
    void loadFromProject();

    // The document the form shows and edits through.
    ProjectDocument* document() const { return m_document; }
    // Shows a step's change: its group, its links selected.
    void showChange(const ShownChange& shown);

    // Controls the editing commands work on.
    LinkListView* linkList() const;
    QTabBar* tabBar() const;
    QLineEdit* titleEdit() const;
    QLineEdit* subtitleEdit() const;
    QLineEdit* topImageEdit() const;
    QLineEdit* columnsEdit() const;
    // Index 0..9 of the group shown in the list.
    int currentTab() const;

    // Column widths per tab, read at start and written at close.
    void loadLayout(const SettingsFile& ini);
    void saveLayout(SettingsFile& ini) const;

    // The link commands; the main window's actions run its slots.
    LinkCommands* linkCommands() const { return m_linkCommands; }

    // What the enable rules of the commands depend on.
    int selectedLinkCount() const;
    bool canCut() const;
    bool canCopy() const;
    bool canPaste() const;
    bool canPasteLinks() const;

    // The widget the editing commands act on: the focused one, or while a
    // menu or the menu bar holds the keyboard, the form's widget that had the
    // focus before.
    QWidget* commandFocus() const;
    // The form's widget that last had the keyboard focus (null when none).

    // Shows the next (delta 1) or previous (delta -1) group, wrapping around,
    // as clicking its tab does.
    void switchGroup(int delta);

    // Selects tab `group` and shows that group's links in the list. Returns
    // the number of links.
    int loadGroup(int group);
    // Shows the project's page settings in the controls (a control that
    // already shows its value is left alone, with its own undo history).
    void showFields();
    // Checks the page fields in their order on the form (title, columns,
    // subtitle); the first failure shows its message and puts the focus and
    // selection on its field. The project holds what was typed either way
    // (a column count that is no number keeps the count before it). Returns
    // false when a check failed. Runs before every save.
    bool checkFields();
    // The width stored for column `column` (0 or 1) of tab `tab`.
    int storedColumnWidth(int tab, int column) const;
    // The "Browse..." button: choose the top image.
    void onBrowseTopImage();
    // One click of the "# Columns:" spin arrows (+1 up, -1 down).
    void stepColumns(int delta);

    // The form's classic size (see placeControls), in the current font: the
    // size at first start and the least; a larger form gives the room to the
    // link list.
    QSize sizeHint() const override { return minimumSize(); }

    // Longest title and subtitle, in characters.
    static constexpr int kMaxTitleLength = 50;

public slots:
    // Page > Generate and Page > Preview.
    void generate();
    void preview();

signals:
    // text for the status bar's message pane (a tab's group title while the
    // pointer rests on it); empty restores the idle text.
    void statusMessage(const QString& text);
    // Something in the view changed what the command enable rules depend on.
    void commandStateChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // ProjectObserver
    void pageChanged() override;
    void headingChanged(int group) override;
    void projectReset() override;
    // The names screen readers give the tabs and the controls that follow
    // the shown group.
    void nameTab(int group);

    void buildForm();
    void placeControls();
    // The controls at their classic places, grown by the room beyond the
    // classic size.
    void growControls();
    void onTabChanged(int index);
    // A page control changed: the project takes its value as a step.
    void onPageFieldChanged(QObject* control);
    void storeColumnWidths(int tab);
    void applyColumnWidths(int tab);
    // A page field's context menu, with the document's Undo and Redo.
    void showFieldContextMenu(QLineEdit* edit, const QPoint& globalPos);
    // The list's context menu below its current row (Menu key, Shift+F10).
    void showListContextMenuAtCurrentRow();

    ProjectDocument* m_document;
    Project* m_project;
    LinkCommands* m_linkCommands = nullptr;
    QPointer<QWidget> m_lastFocus;

    // Filling the controls from the project: their changes are no edits.
    bool m_initializing = true;
    // Column widths are applied at the first initial update only.
    bool m_firstUpdate = true;
    // Per tab: width of column 0 ("Description") and column 1 ("URL").
    std::array<std::array<int, 2>, kGroupCount> m_colWidths{};
    int m_currentTab = 0;

    QLineEdit* m_titleEdit = nullptr;
    QLineEdit* m_subtitleEdit = nullptr;
    QPushButton* m_fontButton = nullptr;
    QLineEdit* m_topImageEdit = nullptr;
    QPushButton* m_browseButton = nullptr;
    QLineEdit* m_columnsEdit = nullptr;
    SpinArrows* m_spin = nullptr;
    QCheckBox* m_bordersCheck = nullptr;
    QPushButton* m_colorsButton = nullptr;
    QTabBar* m_tabs = nullptr;
    QWidget* m_tabPanel = nullptr;
    LinkListView* m_list = nullptr;
    QPushButton* m_propertiesButton = nullptr;
    QPushButton* m_moveUpButton = nullptr;
    QPushButton* m_moveDownButton = nullptr;
    QWidget* m_pageBox = nullptr;
    QWidget* m_groupsBox = nullptr;
    QWidget* m_pagePicture = nullptr;
    QWidget* m_groupsPicture = nullptr;
    QWidget* m_titleLabel = nullptr;
    QWidget* m_imageLabel = nullptr;
    QWidget* m_columnsLabel = nullptr;
    QSize m_classicSize;
    int m_urlColumnGrowth = 0; // added to the URL column's width by a wider form
    std::vector<std::pair<QPointer<QWidget>, QRect>> m_classicPlaces;
};
