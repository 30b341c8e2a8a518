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
class QTreeWidget;
class QTreeWidgetItem;

// "Import Bookmarks": where the bookmarks come from (combo "sourceCombo":
// the browser profiles found, then "From a file..."), the source's folders
// (tree "folderTree": name, link count and, for each top-level folder, a
// check box and a group combo "groupCombo" 1..10), what each group does with
// what it receives (combos "modeCombo1".."modeCombo10": Append or Replace)
// and the summary of the result (label "summaryLabel"), kept current.
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
    // mapping. `name` is what the source line says.
    void showSource(const std::string& name, const BookmarkTree& tree);
    // The plan for the choices shown.
    ImportPlan plan() const;
    QString summaryText() const;

private:
    void onSourceActivated(int index);
    void loadSource(const std::string& path, const QString& name);
    void updatePlan();

    Input m_input;
    std::vector<ImportFolder> m_folders;
    std::vector<QTreeWidgetItem*> m_folderItems; // per import folder
    std::vector<QComboBox*> m_groupCombos;       // per import folder
    std::vector<QComboBox*> m_modeCombos;        // per group
    QComboBox* m_source = nullptr;
    QLabel* m_sourceLabel = nullptr;
    QTreeWidget* m_tree = nullptr;
    QLabel* m_summary = nullptr;
    bool m_filling = false;
};
