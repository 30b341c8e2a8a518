#pragma once

#include "core/Project.h"

#include <QPointer>
#include <QWidget>

#include <array>
#include <string>

class SettingsFile;
class LinkCommands;
class LinkListView;
class SpinArrows;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QTabBar;

// The project form: page fields, the ten group tabs and the link list of the
// shown group. The main window owns it as its central widget.
//
// The form holds working copies: the page fields in its members and
// controls, the links of the shown group only as list rows. The project gets
// them back when a tab is left (that group's rows) and through commitEdits,
// which the callers of save, generate and preview call first.
class ProjectForm : public QWidget {
    Q_OBJECT
public:
    ProjectForm(Project* doc, QWidget* parent = nullptr);
    ~ProjectForm() override;

    Project* project() const { return m_project; }

    // Fills the form from the document (after New and a successful open):
    // page fields, then group 0 in the list with tab "1" selected. Never
    // marks the document modified.
    void loadFromProject();

    // Controls the editing commands work on.
    LinkListView* linkList() const;
    QTabBar* tabBar() const;
    QLineEdit* titleEdit() const;
    QLineEdit* subtitleEdit() const;
    QLineEdit* topImageEdit() const;
    QLineEdit* columnsEdit() const;
    // Index 0..9 of the group shown in the list.
    int currentTab() const;
    // Sets row `row` to the link, or appends it when row is -1.
    void setLinkRow(const std::string& description, const std::string& url, int row);
    // Marks the document modified and refreshes command states.
    void setModified();

    // Hands the page fields (validated as far as they pass) and the shown
    // group's rows to the project.
    void commitEdits();
    // Hands the shown group's rows to the project; no edit of its own, so
    // the modified flag stays as it is.
    void storeShownGroup();

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

    // Empties the list, selects tab `group` (without leaving the shown group
    // the usual way) and fills the list with that group's links. Returns the
    // number of links. The current tab index and the document stay as they
    // are.
    int loadGroup(int group);
    // Shows the working copies of the page fields in the controls.
    void showFields();
    // Takes every page field from the controls, then checks them in their
    // order on the form (title, columns, subtitle); the first failure shows
    // its message and puts the focus and selection on its field. A failing
    // value is kept as it stands (a column count that is no number keeps the
    // count before it). Returns false when a check failed.
    bool readFields();
    // The width stored for column `column` (0 or 1) of tab `tab`.
    int storedColumnWidth(int tab, int column) const;
    // The "Browse..." button: choose the top image.
    void onBrowseTopImage();
    // One click of the "# Columns:" spin arrows (+1 up, -1 down).
    void stepColumns(int delta);

    // The form's fixed size (see placeControls), in the current font.
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

private:
    void buildForm();
    void placeControls();
    void onTabChanged(int index);
    void onPageFieldChanged();
    void storeColumnWidths(int tab);
    void applyColumnWidths(int tab);
    // The list's context menu below its current row (Menu key, Shift+F10).
    void showListContextMenuAtCurrentRow();

    Project* m_project;
    LinkCommands* m_linkCommands = nullptr;
    QPointer<QWidget> m_lastFocus;

    // Filling the form from the document: changes do not mark it modified.
    bool m_initializing = true;
    // Column widths are applied at the first initial update only.
    bool m_firstUpdate = true;
    // Per tab: width of column 0 ("Description") and column 1 ("URL").
    std::array<std::array<int, 2>, kGroupCount> m_colWidths{};
    int m_currentTab = 0;

    // Mirrors of the document's page fields.
    std::int32_t m_borders = 0;
    std::string m_title;
    std::string m_topImage;
    std::int32_t m_columns = 0;
    std::string m_subtitle;

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
};
