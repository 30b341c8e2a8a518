#pragma once

#include "LinkCheckResult.h"

#include "core/DuplicateLinks.h"
#include "core/Project.h"

#include <QPointer>
#include <QWidget>

#include <string>
#include <vector>

class ProjectForm;
class QComboBox;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// A window of its own, never modal, listing the links a check or a duplicate
// search found, over all groups. The table sorts by any column (a click on
// its header, or the Sort menu from the keyboard) and, for a check, filters
// by result; it is one stop of the Tab chain. Descriptions show as plain
// text, addresses elided in the middle with the whole address as tooltip. Activating a row
// (double-click, Enter) shows that link in its group's tab; "Update to Final URL" and "Delete" edit
// the project for the selected rows, one undoable step each. Each entry follows its link by
// identity: a moved link is still found where it went, and the entry of a link that left the
// project (deleted, or the project replaced) leaves the window until an undo brings the link back.
// What it lists lives only as long as the program: nothing of it goes into the project file.
class LinkCheckWindow : public QWidget, private ProjectObserver {
    Q_OBJECT
public:
    enum class Mode { Check, Duplicates };
    enum Column { kGroup, kRow, kDescription, kUrl, kResult, kCode, kFinalUrl, kColumnCount };

    // One listed link: its identity, and where it stands and what it says
    // now (group and row 0-based).
    struct Entry {
        LinkId id = 0;
        int group = 0;
        int row = 0;
        std::string description;
        std::string url;
        LinkCheckResult result;
        int set = 0;          // duplicate set, from 1 (Duplicates)
        bool updated = false; // its address is the final URL
        // The address the result was found for (empty: url as given).
        // When the link's address is another now, the row says so and
        // neither Update nor Delete acts on it; a duplicate no longer
        // shares its set's address and leaves the set.
        std::string checkedUrl;
        bool changed = false;
    };

    LinkCheckWindow(Mode mode, ProjectForm* form, QWidget* parent = nullptr);
    ~LinkCheckWindow() override;

    Mode mode() const { return m_mode; }
    // Shows the window. activate: it takes the keyboard (the user asked for
    // it); otherwise the window that has the keyboard keeps it.
    void present(bool activate);
    // Replaces what the window lists.
    void setEntries(std::vector<Entry> entries);
    // The entries of the duplicate sets, read from the form's project.
    static std::vector<Entry> duplicateEntries(const Project& project,
                                               const std::vector<DuplicateLinkSet>& sets);
    const std::vector<Entry>& entries() const { return m_entries; }

    QTableView* table() const { return m_table; }
    QComboBox* filterBox() const { return m_filter; }
    QPushButton* updateButton() const { return m_updateButton; }
    QPushButton* deleteButton() const { return m_deleteButton; }
    QPushButton* sortButton() const { return m_sortButton; }
    // The entry shown on a table row (after sorting and filtering), or -1.
    int entryAtRow(int tableRow) const;
    // A line below the table telling what the last action did.
    QString noteText() const;
    // How often the window has read the project again (a closed window
    // reads nothing until it is shown).
    int followCount() const { return m_follows; }

signals:
    // Links listed left the project or came back: the counts changed.
    void entriesFollowed();

public slots:
    // "Update to Final URL": the selected moved links get the address their
    // permanent redirects ended at.
    void updateToFinalUrl();
    // "Delete": the selected links leave the project.
    void deleteSelected();
    // Shows the entry's link selected in its group's tab.
    void goToEntry(int entry);

protected:
    bool event(QEvent* event) override;

private:
    // ProjectObserver: a change of the project's links is followed.
    void linksRemoved(int group, const std::vector<std::size_t>& rows) override;
    void linksInserted(int group, const std::vector<std::size_t>& rows) override;
    void linksChanged(int group, const std::vector<std::size_t>& rows) override;
    void groupReset(int group) override;
    void projectReset() override;

    // The entries read again from the project: where their links stand and
    // what they say; the entries of links that are gone leave.
    // show: the table shows the change (else the caller fills it anew).
    void followProject(bool show = true);
    // Duplicates: entries whose address changed, and sets left with one
    // link, leave the list (to m_gone).
    void keepSharedAddresses(std::vector<Entry>& entries);
    // The entries' rows show their new texts (their places unchanged).
    void showNewTexts(const std::vector<int>& entries);
    void followLater();
    void followIfStale();
    void rebuild();
    void rebuildFilter();
    void applyFilter();
    void updateButtons();
    void buildSortMenu();
    void showSortOrder();
    void sortBy(int column, Qt::SortOrder order);
    std::vector<int> selectedEntries() const;
    std::vector<int> selectedEntriesNow();
    QString resultText(const Entry& entry) const;
    static QString shownDescription(const Entry& entry);

    Mode m_mode;
    ProjectForm* m_form;
    Project* m_project;
    std::vector<Entry> m_entries;
    // The entries of links that left the project, back when an undo
    // returns them.
    std::vector<Entry> m_gone;
    QStandardItemModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QTableView* m_table = nullptr;
    QComboBox* m_filter = nullptr;
    QPushButton* m_updateButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QPushButton* m_sortButton = nullptr;
    QMenu* m_sortMenu = nullptr;
    QActionGroup* m_sortColumns = nullptr;
    QActionGroup* m_sortOrders = nullptr;
    QLabel* m_note = nullptr;
    // While the window edits the project, it follows once at the end.
    bool m_editing = false;
    // The project changed since the window last followed it.
    bool m_stale = false;
    int m_follows = 0;
    // Shown without the keyboard: an activation the window system gives it
    // anyway goes back to the window that had it.
    QPointer<QWidget> m_keepActive;
};
