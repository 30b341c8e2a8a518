#include "dialogs/ImportBookmarksDialog.h"

#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/BookmarkReader.h"
#include "core/OutsideText.h"
#include "gui/HelpLauncher.h"
#include "gui/QtText.h"
#include "gui/UiServices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace {

enum Column { kNameColumn, kCountColumn, kGroupColumn };

// "N Title", the group title shown as the page shows it (it is HTML).
QString groupName(int index, const std::string& title) {
    QString name = QString::number(index + 1);
    if (!title.empty())
        name += QLatin1Char(' ') + toQString(htmlToPlainText(title));
    return name;
}

// The same for a label, where "&" would mark a mnemonic.
QString groupLabelText(int index, const std::string& title) {
    return groupName(index, title).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The group a combo shows: index 0 is "No group".
int comboGroup(const QComboBox* combo) {
    return combo->currentIndex() - 1;
}

} // namespace

ImportBookmarksDialog::ImportBookmarksDialog(const Input& input, QWidget* parent)
    : QDialog(parent), m_input(input) {
    setWindowTitle(QStringLiteral("Import Bookmarks"));

    m_source = new QComboBox(this);
    m_source->setObjectName(QStringLiteral("sourceCombo"));
    for (const BrowserProfile& profile : m_input.profiles)
        m_source->addItem(toQString(profile.browser) + QStringLiteral(" \u2014 ") +
                          toQString(profile.profile));
    m_source->addItem(QStringLiteral("From a file..."));
    if (!m_input.profiles.empty())
        m_source->setCurrentIndex(-1);
    auto* sourceLabel = new QLabel(QStringLiteral("&Source:"), this);
    sourceLabel->setBuddy(m_source);
    m_sourceLabel = new QLabel(this);
    m_sourceLabel->setObjectName(QStringLiteral("sourceLabel"));
    m_sourceLabel->setWordWrap(true);

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_tree->setAccessibleName(QStringLiteral("Folders"));
    m_tree->setHeaderLabels(
        {QStringLiteral("Folder"), QStringLiteral("Links"), QStringLiteral("Group")});
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_tree->header()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    m_tree->header()->setStretchLastSection(false);
    m_tree->setMinimumSize(460, 240);
    m_tree->installEventFilter(this);

    m_tickAll = new QPushButton(QStringLiteral("&Tick All"), this);
    m_tickAll->setObjectName(QStringLiteral("tickAllButton"));
    m_untickAll = new QPushButton(QStringLiteral("&Untick All"), this);
    m_untickAll->setObjectName(QStringLiteral("untickAllButton"));
    connect(m_tickAll, &QPushButton::clicked, this, [this] {
        // Every top row: the folders inside go with them.
        std::vector<size_t> rows;
        for (size_t r = 0; r < m_folders.size(); ++r)
            if (m_folders[r].parent < 0)
                rows.push_back(r);
        setTicked(rows, true);
    });
    connect(m_untickAll, &QPushButton::clicked, this, [this] {
        std::vector<size_t> rows(m_folders.size());
        for (size_t r = 0; r < rows.size(); ++r)
            rows[r] = r;
        setTicked(rows, false);
    });

    auto* groupsBox = new QGroupBox(QStringLiteral("Groups"), this);
    auto* groupsGrid = new QGridLayout(groupsBox);
    const int rows = (static_cast<int>(m_input.groups.size()) + 1) / 2;
    for (size_t g = 0; g < m_input.groups.size(); ++g) {
        const int index = static_cast<int>(g);
        auto* label = new QLabel(groupLabelText(index, m_input.groups[g].title), groupsBox);
        auto* mode = new QComboBox(groupsBox);
        mode->setObjectName(QStringLiteral("modeCombo%1").arg(index + 1));
        mode->addItems({QStringLiteral("Append"), QStringLiteral("Replace")});
        mode->setAccessibleName(QStringLiteral("Group %1: append or replace")
                                    .arg(groupName(index, m_input.groups[g].title)));
        label->setBuddy(mode);
        const int column = index < rows ? 0 : 2;
        groupsGrid->addWidget(label, index % rows, column);
        groupsGrid->addWidget(mode, index % rows, column + 1);
        connect(mode, &QComboBox::currentIndexChanged, this, &ImportBookmarksDialog::updatePlan);
        m_modeCombos.push_back(mode);
    }

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    m_summary->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    buttons->button(QDialogButtonBox::Help)->setObjectName(QStringLiteral("helpButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons, &QDialogButtonBox::helpRequested, this,
            [this] { help::launchHelp(this, help::Page::Bookmarks); });
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WidgetWithChildrenShortcut);
    connect(f1, &QShortcut::activated, this,
            [this] { help::launchHelp(this, help::Page::Bookmarks); });

    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(sourceLabel);
    sourceRow->addWidget(m_source, 1);
    auto* tickRow = new QHBoxLayout;
    tickRow->addWidget(m_tickAll);
    tickRow->addWidget(m_untickAll);
    tickRow->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sourceRow);
    layout->addWidget(m_sourceLabel);
    layout->addWidget(m_tree, 1);
    layout->addLayout(tickRow);
    layout->addWidget(groupsBox);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);

    connect(m_source, &QComboBox::activated, this, &ImportBookmarksDialog::onSourceActivated);
    connect(m_tree, &QTreeWidget::itemChanged, this, &ImportBookmarksDialog::onItemChanged);
    clearSource(QStringLiteral("No bookmarks read yet."));
}

std::optional<ImportPlan> ImportBookmarksDialog::edit(QWidget* parent, const Input& input) {
    ImportBookmarksDialog dialog(input, parent);
    if (!input.profiles.empty()) {
        dialog.m_source->setCurrentIndex(0);
        dialog.onSourceActivated(0);
    }
    if (UiServices::instance().execDialog(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.plan();
}

void ImportBookmarksDialog::onSourceActivated(int index) {
    if (index >= 0 && static_cast<size_t>(index) < m_input.profiles.size()) {
        const BrowserProfile& profile = m_input.profiles[static_cast<size_t>(index)];
        loadSource(profile.bookmarkPath, m_source->itemText(index));
        return;
    }
    UiServices::FileDialogOptions options;
    options.title = QStringLiteral("Import Bookmarks");
    options.filters = {
        QStringLiteral("Bookmark files (*.html *.htm *.xbel *.json *.sqlite Bookmarks)"),
        QStringLiteral("Bookmark HTML (*.html *.htm)"),
        QStringLiteral("XBEL (*.xbel)"),
        QStringLiteral("Chromium bookmarks (Bookmarks *.json)"),
        QStringLiteral("Firefox places (*.sqlite)"),
        QStringLiteral("All files (*.*)"),
    };
    const QString name = UiServices::instance().getOpenFileName(this, options);
    if (name.isEmpty()) {
        clearSource(QStringLiteral("No file chosen."));
        return;
    }
    loadSource(toFileNameBytes(name), QFileInfo(name).fileName());
}

void ImportBookmarksDialog::loadSource(const std::string& path, const QString& name) {
    BookmarkReadResult read = readBookmarkFile(path);
    if (!read.ok()) {
        clearSource(QStringLiteral("Nothing read from %1.").arg(name));
        showError(this, toQString(read.error));
        return;
    }
    showSource(toProjectText(name), read.tree);
}

void ImportBookmarksDialog::clearSource(const QString& why) {
    m_filling = true;
    m_tree->clear();
    m_folders.clear();
    m_held.clear();
    m_queries = {};
    m_ticked.clear();
    m_items.clear();
    m_groupCombos.clear();
    m_sourceLabel->setText(why);
    m_filling = false;
    updatePlan();
}

void ImportBookmarksDialog::showSource(const std::string& name, const BookmarkTree& tree) {
    const size_t linkCount = tree.linkCount();
    m_filling = true;
    m_tree->clear();
    m_items.clear();
    m_groupCombos.clear();
    m_ticked.clear();
    m_folders = importFolders(tree, kLooseBookmarksName);
    m_held = heldGroups(m_folders, m_input.groups);
    m_queries = tree.queries();

    // The items are built before they join the tree widget, in one go.
    QList<QTreeWidgetItem*> topItems;
    for (size_t r = 0; r < m_folders.size(); ++r) {
        const ImportFolder& folder = m_folders[r];
        const QString folderName = toQString(folder.name);
        QStringList texts{folderName, QString::number(folder.linksBelow)};
        QTreeWidgetItem* item;
        if (folder.parent < 0) {
            item = new QTreeWidgetItem(texts);
            topItems.append(item);
        } else {
            item = new QTreeWidgetItem(m_items[static_cast<size_t>(folder.parent)], texts);
        }
        item->setData(kNameColumn, Qt::UserRole, static_cast<qulonglong>(r));
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setTextAlignment(kCountColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setData(kCountColumn, Qt::AccessibleTextRole,
                      QStringLiteral("%1: %2 links").arg(folderName).arg(folder.linksBelow));
        m_items.push_back(item);
    }
    m_tree->addTopLevelItems(topItems);

    const std::vector<FolderChoice> defaults = defaultChoices(m_folders, m_input.groups, m_held);
    for (size_t r = 0; r < m_folders.size(); ++r) {
        QTreeWidgetItem* item = m_items[r];
        item->setCheckState(kNameColumn, defaults[r].checked ? Qt::Checked : Qt::Unchecked);
        m_ticked.push_back(defaults[r].checked);
        auto* combo = new QComboBox;
        combo->setObjectName(QStringLiteral("groupCombo"));
        combo->addItem(QStringLiteral("No group"));
        for (size_t g = 0; g < m_input.groups.size(); ++g)
            combo->addItem(groupName(static_cast<int>(g), m_input.groups[g].title));
        combo->setCurrentIndex(defaults[r].group + 1);
        combo->setAccessibleName(QStringLiteral("Group for %1").arg(toQString(m_folders[r].name)));
        m_tree->setItemWidget(item, kGroupColumn, combo);
        connect(combo, &QComboBox::currentIndexChanged, this, [this, r] {
            updateRow(r);
            updatePlan();
        });
        m_groupCombos.push_back(combo);
        updateRow(r);
    }
    // Tab goes from the tree through the rows' group boxes, in row order,
    // then on to the buttons below (a box of an unticked or hidden row is
    // passed over).
    QWidget* before = m_tree;
    for (QComboBox* combo : m_groupCombos) {
        setTabOrder(before, combo);
        before = combo;
    }
    setTabOrder(before, m_tickAll);
    m_tree->resizeColumnToContents(kCountColumn);
    // The group choices are widgets over the cells, which the column's own
    // sizing does not see: wide enough for the widest one.
    int groupWidth = m_tree->header()->sectionSizeHint(kGroupColumn);
    for (const QComboBox* combo : m_groupCombos)
        groupWidth = std::max(groupWidth, combo->sizeHint().width());
    m_tree->setColumnWidth(kGroupColumn, groupWidth);
    size_t top = 0;
    for (const ImportFolder& folder : m_folders)
        top += folder.parent < 0 ? 1 : 0;
    m_sourceLabel->setText(QStringLiteral("%1: %2 links in %3 folders, %4 at the top")
                               .arg(toQString(name), toQString(countText(linkCount)),
                                    toQString(countText(m_folders.size())),
                                    toQString(countText(top))));
    m_filling = false;
    updatePlan();
}

size_t ImportBookmarksDialog::rowOf(const QTreeWidgetItem* item) const {
    return static_cast<size_t>(item->data(kNameColumn, Qt::UserRole).toULongLong());
}

// What the row's cells say to a screen reader, and whether its group can
// be chosen.
void ImportBookmarksDialog::updateRow(size_t row) {
    QTreeWidgetItem* item = m_items[row];
    QComboBox* combo = m_groupCombos[row];
    const bool ticked = item->checkState(kNameColumn) == Qt::Checked;
    combo->setEnabled(ticked);
    const QString name = toQString(m_folders[row].name);
    const QString group = comboGroup(combo) < 0 ? QStringLiteral("no group")
                                                : QStringLiteral("group ") + combo->currentText();
    item->setData(kNameColumn, Qt::AccessibleTextRole,
                  ticked ? QStringLiteral("%1, ticked, into %2").arg(name, group)
                         : QStringLiteral("%1, not ticked").arg(name));
    item->setData(kGroupColumn, Qt::AccessibleTextRole,
                  ticked ? QStringLiteral("%1: %2").arg(name, group)
                         : QStringLiteral("%1: not imported on its own").arg(name));
    combo->setAccessibleDescription(ticked ? group : QStringLiteral("not ticked"));
}

void ImportBookmarksDialog::onItemChanged(QTreeWidgetItem* item, int column) {
    if (m_filling || column != kNameColumn)
        return;
    // Only a change of the box counts, not the texts updateRow gives the row.
    const size_t row = rowOf(item);
    const bool ticked = item->checkState(kNameColumn) == Qt::Checked;
    if (ticked != m_ticked[row])
        setTicked({row}, ticked);
}

// Ticks or unticks rows. The rows ticked now get their groups in one pass
// (tickRows): each keeps its group unless another ticked row has it, and
// the others take the groups the defaults would give them now, so that no
// two rows are given one group. Rows ticked already keep theirs.
void ImportBookmarksDialog::setTicked(const std::vector<size_t>& rows, bool ticked) {
    const bool wasFilling = std::exchange(m_filling, true);
    std::vector<size_t> changed;
    for (const size_t r : rows)
        if (m_ticked[r] != ticked)
            changed.push_back(r);
    if (ticked) {
        // A row's box may show its tick already (a click): the row is
        // ticked (m_ticked) only once it has its group.
        const std::vector<FolderChoice> now =
            tickRows(m_folders, choices(), changed, m_input.groups, m_held);
        for (const size_t r : changed)
            m_groupCombos[r]->setCurrentIndex(now[r].group + 1);
    }
    for (const size_t r : changed) {
        m_ticked[r] = ticked;
        m_items[r]->setCheckState(kNameColumn, ticked ? Qt::Checked : Qt::Unchecked);
    }
    for (const size_t r : changed)
        updateRow(r);
    m_filling = wasFilling;
    updatePlan();
}

bool ImportBookmarksDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_tree && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        // Space on a selection ticks every selected row, or unticks them
        // all when all are ticked.
        std::vector<size_t> rows;
        bool allTicked = true;
        for (const QTreeWidgetItem* item : m_tree->selectedItems()) {
            rows.push_back(rowOf(item));
            allTicked = allTicked && item->checkState(kNameColumn) == Qt::Checked;
        }
        if (rows.empty())
            return false;
        std::sort(rows.begin(), rows.end());
        setTicked(rows, !allTicked);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

std::vector<FolderChoice> ImportBookmarksDialog::choices() const {
    std::vector<FolderChoice> result(m_folders.size());
    for (size_t r = 0; r < m_folders.size() && r < m_items.size(); ++r)
        result[r] = {m_ticked[r], comboGroup(m_groupCombos[r])};
    return result;
}

ImportPlan ImportBookmarksDialog::plan() const {
    std::vector<ImportMode> modes;
    for (const QComboBox* mode : m_modeCombos)
        modes.push_back(mode->currentIndex() == 1 ? ImportMode::Replace : ImportMode::Append);
    ImportPlan plan = planImport(m_folders, choices(), modes, m_input.groups);
    plan.queries = m_queries;
    return plan;
}

QString ImportBookmarksDialog::summaryText() const {
    return m_summary->text();
}

void ImportBookmarksDialog::updatePlan() {
    if (m_filling)
        return;
    const bool loaded = !m_items.empty();
    m_ok->setEnabled(loaded);
    m_tickAll->setEnabled(loaded);
    m_untickAll->setEnabled(loaded);
    m_summary->setText(loaded ? toQString(plan().summary()) : QString());
}
