#pragma once

#include "bookmarks/BookmarkTree.h"
#include "bookmarks/BrowserProfiles.h"
#include "bookmarks/ImportPlan.h"

#include <QDialog>

#include <optional>
#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// "Import Bookmarks": where the bookmarks come from (combo "sourceCombo":
// the browser profiles found, then "From a file..."), the source's folders
// (tree "folderTree": the folders the user made, at any depth, with the
// browser's own roots unwrapped; each row has a check box, its link count
// and a group combo "groupCombo": "No group" or 1..10), "Tick All" and
// "Untick All" (buttons "tickAllButton", "untickAllButton"; Space ticks or
// unticks the selected rows; the rows ticked get their groups in one pass,
// never one group for two; Tab goes from the tree through the rows' group
// boxes in row order), what each group does with what it receives
// (combos "modeCombo1".."modeCombo10": Append or Replace) and the summary
// of the result, naming what is left out (label "summaryLabel").
//
// The tree, OK and the summary always belong to the source the Source box
// shows: a source that fails or a file choice that is cancelled leaves the
// tree empty and OK disabled. F1 opens the bookmarks help page.
//
// It works on plain data: the groups as they stand (UTF-8) and the profiles.
class ImportBookmarksDialog : public QDialog {
    Q_OBJECT
public:
    struct Input {
        std::vector<BrowserProfile> profiles;
        std::vector<ExistingGroup> groups; // one per group, in order
    };

    // Shows the dialog; returns the plan on OK (even one that imports
    // nothing), nothing on Cancel.
    static std::optional<ImportPlan> edit(QWidget* parent, const Input& input);

    ImportBookmarksDialog(const Input& input, QWidget* parent);

    // Shows a source that has been read: its folders with the default
    // choices. `name` is what the source line says.
    void showSource(const std::string& name, const BookmarkTree& tree);
    // The plan for the choices shown.
    ImportPlan plan() const;
    QString summaryText() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onSourceActivated(int index);
    void loadSource(const std::string& path, const QString& name);
    void clearSource(const QString& why);
    void setTicked(const std::vector<size_t>& rows, bool ticked);
    void onItemChanged(QTreeWidgetItem* item, int column);
    void updateRow(size_t row);
    void updatePlan();
    std::vector<FolderChoice> choices() const;
    size_t rowOf(const QTreeWidgetItem* item) const;

    Input m_input;
    std::vector<ImportFolder> m_folders;
    std::vector<int> m_held;               // per row: the group holding its links already
    SkippedNames m_queries;                // the saved queries the source held
    std::vector<QTreeWidgetItem*> m_items; // per row
    std::vector<QComboBox*> m_groupCombos; // per row
    std::vector<bool> m_ticked;            // per row: ticked, as the plan sees it
    std::vector<QComboBox*> m_modeCombos;  // per group
    QComboBox* m_source = nullptr;
    QLabel* m_sourceLabel = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_summary = nullptr;
    QPushButton* m_ok = nullptr;
    QPushButton* m_tickAll = nullptr;
    QPushButton* m_untickAll = nullptr;
    bool m_filling = false;
};
