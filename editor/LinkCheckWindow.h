#pragma once

#include "LinkCheckResult.h"

#include "core/DuplicateLinks.h"

#include <QWidget>

#include <string>
#include <vector>

class ProjectForm;
class QComboBox;
class QLabel;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

// A window of its own, never modal, listing the links a check or a duplicate
// search found, over all groups. The table sorts by any column and, for a
// check, filters by result. Activating a row (double-click, Enter) shows that
// link in its group's tab; "Update to Final URL" and "Delete" edit the
// project for the selected rows, one editing step each. What it lists lives
// only as long as the program: nothing of it goes into the project file.
class LinkCheckWindow : public QWidget {
    Q_OBJECT
public:
    enum class Mode { Check, Duplicates };
    enum Column { kGroup, kRow, kDescription, kUrl, kResult, kCode, kFinalUrl, kColumnCount };

    // One listed link. Group and row are 0-based; description and url are the
    // project's text as it was when listed (to find the link again after
    // other edits).
    struct Entry {
        int group = 0;
        int row = 0;
        std::string description;
        std::string url;
        LinkCheckResult result;
        int set = 0;          // duplicate set, from 1 (Duplicates)
        bool updated = false; // its address was changed to the final URL
    };

    LinkCheckWindow(Mode mode, ProjectForm* form, QWidget* parent = nullptr);

    Mode mode() const { return m_mode; }
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
    // The entry shown on a table row (after sorting and filtering), or -1.
    int entryAtRow(int tableRow) const;
    // A line below the table telling what the last action did.
    QString noteText() const;

public slots:
    // "Update to Final URL": the selected moved links get the address their
    // permanent redirects ended at.
    void updateToFinalUrl();
    // "Delete": the selected links leave the project.
    void deleteSelected();
    // Shows the entry's link selected in its group's tab.
    void goToEntry(int entry);

private:
    void rebuild();
    void rebuildFilter();
    void applyFilter();
    void updateButtons();
    std::vector<int> selectedEntries() const;
    // Brings the rows of the group the form shows into the project, so that
    // every group can be edited there.
    void takeShownGroup();
    // Where the entry's link is now: its row when the address there is still
    // the listed one, else the first row in its group with that address, else -1.
    int locate(const Entry& entry) const;
    // After an edit of the project's groups: the list shows them again and the
    // project is marked modified.
    void finishEdit(bool shownGroupChanged);
    QString resultText(const Entry& entry) const;

    Mode m_mode;
    ProjectForm* m_form;
    std::vector<Entry> m_entries;
    QStandardItemModel* m_model = nullptr;
    QSortFilterProxyModel* m_proxy = nullptr;
    QTableView* m_table = nullptr;
    QComboBox* m_filter = nullptr;
    QPushButton* m_updateButton = nullptr;
    QPushButton* m_deleteButton = nullptr;
    QLabel* m_note = nullptr;
};
