#include "dialogs/ImportBookmarksDialog.h"

#include "bookmarks/BookmarkCommands.h"
#include "bookmarks/BookmarkReader.h"
#include "core/OutsideText.h"
#include "gui/UiServices.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

enum Column { kNameColumn, kCountColumn, kGroupColumn };

QString fromUtf8(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// "N Title", the group title shown as the page shows it (it is HTML).
QString groupName(int index, const std::string& title) {
    QString name = QString::number(index + 1);
    if (!title.empty())
        name += QLatin1Char(' ') + fromUtf8(htmlToPlainText(title));
    return name;
}

// The same for a label, where "&" would mark a mnemonic.
QString groupLabelText(int index, const std::string& title) {
    return groupName(index, title).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

ImportBookmarksDialog::ImportBookmarksDialog(const Input& input, QWidget* parent)
    : QDialog(parent), m_input(input) {
    setWindowTitle(QStringLiteral("Import Bookmarks"));

    m_source = new QComboBox(this);
    m_source->setObjectName(QStringLiteral("sourceCombo"));
    for (const BrowserProfile& profile : m_input.profiles)
        m_source->addItem(fromUtf8(profile.browser) + QStringLiteral(" \u2014 ") +
                          fromUtf8(profile.profile));
    m_source->addItem(QStringLiteral("From a file..."));
    auto* sourceLabel = new QLabel(QStringLiteral("&Source:"), this);
    sourceLabel->setBuddy(m_source);
    m_sourceLabel = new QLabel(QStringLiteral("No bookmarks read yet."), this);
    m_sourceLabel->setObjectName(QStringLiteral("sourceLabel"));

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("folderTree"));
    m_tree->setHeaderLabels(
        {QStringLiteral("Folder"), QStringLiteral("Links"), QStringLiteral("Group")});
    m_tree->setUniformRowHeights(true);
    m_tree->header()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    m_tree->header()->setStretchLastSection(false);
    m_tree->setMinimumSize(460, 240);

    auto* groupsBox = new QGroupBox(QStringLiteral("Groups"), this);
    auto* groupsGrid = new QGridLayout(groupsBox);
    const int rows = (static_cast<int>(m_input.groups.size()) + 1) / 2;
    for (size_t g = 0; g < m_input.groups.size(); ++g) {
        const int index = static_cast<int>(g);
        auto* label = new QLabel(groupLabelText(index, m_input.groups[g].title), groupsBox);
        auto* mode = new QComboBox(groupsBox);
        mode->setObjectName(QStringLiteral("modeCombo%1").arg(index + 1));
        mode->addItems({QStringLiteral("Append"), QStringLiteral("Replace")});
        label->setBuddy(mode);
        const int column = index < rows ? 0 : 2;
        groupsGrid->addWidget(label, index % rows, column);
        groupsGrid->addWidget(mode, index % rows, column + 1);
        connect(mode, &QComboBox::currentIndexChanged, this, &ImportBookmarksDialog::updatePlan);
        m_modeCombos.push_back(mode);
    }

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("okButton"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cancelButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(sourceLabel);
    sourceRow->addWidget(m_source, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sourceRow);
    layout->addWidget(m_sourceLabel);
    layout->addWidget(m_tree, 1);
    layout->addWidget(groupsBox);
    layout->addWidget(m_summary);
    layout->addWidget(buttons);

    connect(m_source, &QComboBox::activated, this, &ImportBookmarksDialog::onSourceActivated);
    connect(m_tree, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (m_filling || column != kNameColumn)
            return;
        for (size_t f = 0; f < m_folderItems.size(); ++f)
            if (m_folderItems[f] == item)
                m_groupCombos[f]->setEnabled(item->checkState(kNameColumn) == Qt::Checked);
        updatePlan();
    });
    updatePlan();
}

std::optional<ImportPlan> ImportBookmarksDialog::edit(QWidget* parent, const Input& input) {
    ImportBookmarksDialog dialog(input, parent);
    if (!input.profiles.empty())
        dialog.onSourceActivated(0);
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
    if (!name.isEmpty())
        loadSource(QFile::encodeName(name).toStdString(), QFileInfo(name).fileName());
}

void ImportBookmarksDialog::loadSource(const std::string& path, const QString& name) {
    const BookmarkReadResult read = readBookmarkFile(path);
    if (!read.ok()) {
        showError(this, fromUtf8(read.error));
        return;
    }
    showSource(name.toStdString(), read.tree);
}

void ImportBookmarksDialog::showSource(const std::string& name, const BookmarkTree& tree) {
    m_filling = true;
    m_tree->clear();
    m_folderItems.clear();
    m_groupCombos.clear();
    m_folders = importFolders(tree, kLooseBookmarksName);

    // Links below each folder, subfolders included.
    std::vector<size_t> below(tree.size(), 0);
    for (size_t i = 0; i < tree.size(); ++i) {
        if (tree.items()[i].kind != BookmarkKind::Link)
            continue;
        for (int p = tree.items()[i].parent; p >= 0; p = tree.at(p).parent)
            ++below[static_cast<size_t>(p)];
    }

    // The items are built before they join the tree widget, in one go.
    std::vector<QTreeWidgetItem*> itemOf(tree.size(), nullptr);
    QList<QTreeWidgetItem*> topItems;
    bool rootShown = false;
    for (size_t i = 0; i < tree.size(); ++i) {
        const BookmarkItem& item = tree.items()[i];
        const bool rootLink = item.kind == BookmarkKind::Link && item.parent < 0;
        if (rootLink && !rootShown) {
            rootShown = true;
            const size_t slot = m_folderItems.size();
            auto* loose = new QTreeWidgetItem(
                {fromUtf8(m_folders[slot].name), QString::number(m_folders[slot].links.size())});
            topItems.append(loose);
            m_folderItems.push_back(loose);
        }
        if (item.kind != BookmarkKind::Folder)
            continue;
        QStringList texts{fromUtf8(item.title), QString::number(below[i])};
        QTreeWidgetItem* shown;
        if (item.parent < 0) {
            shown = new QTreeWidgetItem(texts);
            topItems.append(shown);
            m_folderItems.push_back(shown);
        } else {
            shown = new QTreeWidgetItem(itemOf[static_cast<size_t>(item.parent)], texts);
        }
        shown->setTextAlignment(kCountColumn, Qt::AlignRight | Qt::AlignVCenter);
        itemOf[i] = shown;
    }
    m_tree->addTopLevelItems(topItems);

    const std::vector<int> mapping =
        defaultMapping(m_folders, std::vector<bool>(m_folders.size(), true), m_input.groups);
    for (size_t f = 0; f < m_folderItems.size() && f < m_folders.size(); ++f) {
        QTreeWidgetItem* item = m_folderItems[f];
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(kNameColumn, mapping[f] >= 0 ? Qt::Checked : Qt::Unchecked);
        auto* combo = new QComboBox;
        combo->setObjectName(QStringLiteral("groupCombo"));
        for (size_t g = 0; g < m_input.groups.size(); ++g)
            combo->addItem(groupName(static_cast<int>(g), m_input.groups[g].title));
        combo->setCurrentIndex(std::max(0, mapping[f]));
        combo->setEnabled(mapping[f] >= 0);
        m_tree->setItemWidget(item, kGroupColumn, combo);
        connect(combo, &QComboBox::currentIndexChanged, this, &ImportBookmarksDialog::updatePlan);
        m_groupCombos.push_back(combo);
    }
    m_tree->resizeColumnToContents(kCountColumn);
    // The group choices are widgets over the cells, which the column's own
    // sizing does not see: wide enough for the widest one.
    int groupWidth = m_tree->header()->sectionSizeHint(kGroupColumn);
    for (const QComboBox* combo : m_groupCombos)
        groupWidth = std::max(groupWidth, combo->sizeHint().width());
    m_tree->setColumnWidth(kGroupColumn, groupWidth);
    m_sourceLabel->setText(QStringLiteral("%1: %2 links in %3 top-level folders")
                               .arg(QString::fromStdString(name))
                               .arg(tree.linkCount())
                               .arg(m_folders.size()));
    m_filling = false;
    updatePlan();
}

ImportPlan ImportBookmarksDialog::plan() const {
    std::vector<int> mapping(m_folders.size(), -1);
    for (size_t f = 0; f < m_folders.size() && f < m_folderItems.size(); ++f)
        if (m_folderItems[f]->checkState(kNameColumn) == Qt::Checked)
            mapping[f] = m_groupCombos[f]->currentIndex();
    std::vector<ImportMode> modes;
    for (const QComboBox* mode : m_modeCombos)
        modes.push_back(mode->currentIndex() == 1 ? ImportMode::Replace : ImportMode::Append);
    return planImport(m_folders, mapping, modes, m_input.groups);
}

QString ImportBookmarksDialog::summaryText() const {
    return m_summary->text();
}

void ImportBookmarksDialog::updatePlan() {
    if (m_filling)
        return;
    m_summary->setText(QString::fromStdString(plan().summary()));
}
