#include "editor/LinkCheckWindow.h"

#include "LinkStatus.h"

#include "core/OutsideText.h"
#include "core/Project.h"
#include "editor/LinkListModel.h"
#include "editor/LinkListView.h"
#include "editor/ProjectCommands.h"
#include "editor/ProjectDocument.h"
#include "editor/ProjectForm.h"
#include "gui/HelpLauncher.h"
#include "gui/QtText.h"
#include "gui/UrlElide.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <map>
#include <tuple>
#include <unordered_map>

namespace {

constexpr int kEntryRole = Qt::UserRole + 1;
// What the columns sort by: the shown value, except that the group column
// sorts by group and then row, so that equal groups keep their row order.
constexpr int kSortRole = Qt::UserRole + 2;

// Texts on one line, cut in the middle; addresses keep their host whole and
// lose the middle of their path.
class MiddleElidingDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
        option->features &= ~QStyleOptionViewItem::WrapText;
        const int column = index.column();
        if (column == LinkCheckWindow::kUrl || column == LinkCheckWindow::kFinalUrl) {
            // The cell's text margins, as the style draws them.
            const QWidget* view = option->widget;
            const QStyle* style = view ? view->style() : nullptr;
            const int margin =
                style ? style->pixelMetric(QStyle::PM_FocusFrameHMargin, option, view) + 1 : 4;
            option->text =
                elideUrl(option->text, option->fontMetrics, option->rect.width() - 2 * margin);
        }
    }
};

// A plain QWidget is told to screen readers as a pane without a role; the
// results windows are windows.
QAccessibleInterface* windowAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String("LinkCheckWindow") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

void installWindowAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(windowAccessible);
        return true;
    }();
    (void)installed;
}

// How long a window shown without the keyboard gives an activation back: a
// window system that activates every window it maps does so at once.
constexpr int kKeepActiveMs = 500;

} // namespace

LinkCheckWindow::LinkCheckWindow(Mode mode, ProjectForm* form, QWidget* parent)
    : QWidget(parent, Qt::Window), m_mode(mode), m_form(form), m_project(form->project()) {
    const bool check = mode == Mode::Check;
    setObjectName(check ? QStringLiteral("linkCheckWindow") : QStringLiteral("duplicatesWindow"));
    setWindowTitle(check ? QStringLiteral("Link Check Results")
                         : QStringLiteral("Duplicate Links"));
    setAccessibleName(windowTitle());
    setWindowModality(Qt::NonModal);
    installWindowAccessible();
    resize(820, 420);

    m_model = new QStandardItemModel(0, kColumnCount, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("Group"), QStringLiteral("Row"),
                                        QStringLiteral("Description"), QStringLiteral("URL"),
                                        check ? QStringLiteral("Result") : QStringLiteral("Set"),
                                        QStringLiteral("HTTP Code"), QStringLiteral("Final URL")});
    m_proxy = new QSortFilterProxyModel(this);
    m_proxy->setSourceModel(m_model);
    m_proxy->setFilterKeyColumn(kResult);
    m_proxy->setSortRole(kSortRole);

    m_table = new QTableView(this);
    m_table->setObjectName(QStringLiteral("resultTable"));
    m_table->setModel(m_proxy);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setAccessibleName(check ? QStringLiteral("Link check results")
                                     : QStringLiteral("Duplicate links"));
    // One stop of the Tab chain: Tab goes on to the buttons, the arrows move
    // in the table.
    m_table->setTabKeyNavigation(false);
    m_table->setWordWrap(false);
    m_table->setItemDelegateForColumn(kUrl, new MiddleElidingDelegate(m_table));
    m_table->setItemDelegateForColumn(kFinalUrl, new MiddleElidingDelegate(m_table));
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(kGroup, Qt::AscendingOrder);
    m_table->verticalHeader()->hide();
    // One line of text a row.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setColumnWidth(kGroup, 50);
    m_table->setColumnWidth(kRow, 50);
    m_table->setColumnWidth(kDescription, 160);
    m_table->setColumnWidth(kUrl, 240);
    m_table->setColumnWidth(kResult, 90);
    m_table->setColumnWidth(kCode, 70);
    connect(m_table, &QTableView::activated, this,
            [this](const QModelIndex& index) { goToEntry(entryAtRow(index.row())); });
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &LinkCheckWindow::updateButtons);

    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("resultFilter"));
    m_filter->setAccessibleName(QStringLiteral("Show results"));
    connect(m_filter, &QComboBox::currentIndexChanged, this, &LinkCheckWindow::applyFilter);
    auto* filterLabel = new QLabel(QStringLiteral("&Show:"), this);
    filterLabel->setBuddy(m_filter);
    filterLabel->setVisible(check);
    m_filter->setVisible(check);

    m_updateButton = new QPushButton(QStringLiteral("&Update to Final URL"), this);
    m_updateButton->setObjectName(QStringLiteral("updateButton"));
    m_updateButton->setVisible(check);
    connect(m_updateButton, &QPushButton::clicked, this, &LinkCheckWindow::updateToFinalUrl);
    m_deleteButton = new QPushButton(QStringLiteral("&Delete"), this);
    m_deleteButton->setObjectName(QStringLiteral("deleteButton"));
    connect(m_deleteButton, &QPushButton::clicked, this, &LinkCheckWindow::deleteSelected);
    m_sortButton = new QPushButton(QStringLiteral("Sor&t"), this);
    m_sortButton->setObjectName(QStringLiteral("sortButton"));
    m_sortButton->setAccessibleName(QStringLiteral("Sort"));
    buildSortMenu();
    m_sortButton->setMenu(m_sortMenu);
    connect(m_table->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this,
            &LinkCheckWindow::showSortOrder);
    showSortOrder();
    auto* closeButton = new QPushButton(QStringLiteral("Close"), this);
    connect(closeButton, &QPushButton::clicked, this, &QWidget::close);

    // Del in the table deletes as the button does.
    auto* deleteKey = new QAction(this);
    deleteKey->setShortcut(QKeySequence::Delete);
    deleteKey->setShortcutContext(Qt::WidgetShortcut);
    m_table->addAction(deleteKey);
    connect(deleteKey, &QAction::triggered, this, &LinkCheckWindow::deleteSelected);
    // Esc closes the window, as it closes a dialog.
    auto* escapeKey = new QAction(this);
    escapeKey->setObjectName(QStringLiteral("closeOnEscape"));
    escapeKey->setShortcut(QKeySequence(Qt::Key_Escape));
    escapeKey->setShortcutContext(Qt::WindowShortcut);
    addAction(escapeKey);
    connect(escapeKey, &QAction::triggered, this, &QWidget::close);
    // F1 opens the page about these windows, as it does in the main window.
    auto* helpKey = new QAction(this);
    helpKey->setObjectName(QStringLiteral("helpOnF1"));
    helpKey->setShortcut(QKeySequence(Qt::Key_F1));
    helpKey->setShortcutContext(Qt::WindowShortcut);
    addAction(helpKey);
    connect(helpKey, &QAction::triggered, this,
            [this] { help::launchHelp(this, help::Page::LinkCheck); });

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("note"));

    auto* top = new QHBoxLayout;
    top->addWidget(filterLabel);
    top->addWidget(m_filter);
    top->addStretch();
    top->addWidget(m_sortButton);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_note, 1);
    buttons->addWidget(m_updateButton);
    buttons->addWidget(m_deleteButton);
    buttons->addWidget(closeButton);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_table, 1);
    layout->addLayout(buttons);
    // The chain in reading order: what the table shows, the table, what to
    // do with its rows.
    QWidget* const chain[] = {m_filter,       m_sortButton,   m_table,
                              m_updateButton, m_deleteButton, closeButton};
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    setFocusProxy(m_table);
    updateButtons();
    m_project->addObserver(this);
    connect(m_form->document(), &ProjectDocument::stateChanged, this,
            &LinkCheckWindow::followIfStale);
}

void LinkCheckWindow::buildSortMenu() {
    m_sortMenu = new QMenu(this);
    m_sortMenu->setObjectName(QStringLiteral("sortMenu"));
    m_sortColumns = new QActionGroup(this);
    m_sortOrders = new QActionGroup(this);
    const bool check = m_mode == Mode::Check;
    const std::pair<int, QString> columns[] = {
        {kGroup, QStringLiteral("&Group")},
        {kRow, QStringLiteral("&Row")},
        {kDescription, QStringLiteral("&Description")},
        {kUrl, QStringLiteral("&URL")},
        {kResult, check ? QStringLiteral("Re&sult") : QStringLiteral("&Set")},
        {kCode, QStringLiteral("HTTP &Code")},
        {kFinalUrl, QStringLiteral("&Final URL")},
    };
    for (const auto& [column, name] : columns) {
        // Duplicates have no HTTP answer to sort by.
        if (!check && (column == kCode || column == kFinalUrl))
            continue;
        QAction* action = m_sortMenu->addAction(name);
        action->setCheckable(true);
        action->setData(column);
        m_sortColumns->addAction(action);
        connect(action, &QAction::triggered, this, [this, c = column] {
            sortBy(c, m_table->horizontalHeader()->sortIndicatorOrder());
        });
    }
    m_sortMenu->addSeparator();
    for (const auto& [order, name] :
         {std::pair(Qt::AscendingOrder, QStringLiteral("&Ascending")),
          std::pair(Qt::DescendingOrder, QStringLiteral("D&escending"))}) {
        QAction* action = m_sortMenu->addAction(name);
        action->setCheckable(true);
        action->setData(static_cast<int>(order));
        m_sortOrders->addAction(action);
        connect(action, &QAction::triggered, this, [this, o = order] {
            sortBy(m_table->horizontalHeader()->sortIndicatorSection(), o);
        });
    }
}

void LinkCheckWindow::sortBy(int column, Qt::SortOrder order) {
    m_table->sortByColumn(column, order);
}

void LinkCheckWindow::showSortOrder() {
    const QHeaderView* header = m_table->horizontalHeader();
    for (QAction* action : m_sortColumns->actions())
        action->setChecked(action->data().toInt() == header->sortIndicatorSection());
    for (QAction* action : m_sortOrders->actions())
        action->setChecked(action->data().toInt() ==
                           static_cast<int>(header->sortIndicatorOrder()));
}

void LinkCheckWindow::present(bool activate) {
    if (activate) {
        m_keepActive = nullptr;
        setAttribute(Qt::WA_ShowWithoutActivating, false);
        show();
        raise();
        activateWindow();
        return;
    }
    // Already open, it stays where it is and shows the new rows.
    if (isVisible())
        return;
    QWidget* active = QApplication::activeWindow();
    m_keepActive = active != this ? active : nullptr;
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    show();
    if (m_keepActive)
        QTimer::singleShot(kKeepActiveMs, this, [this, kept = m_keepActive.data()] {
            if (m_keepActive == kept)
                m_keepActive = nullptr;
        });
}

bool LinkCheckWindow::event(QEvent* event) {
    // A closed window follows nothing; shown again, it reads the project once.
    if (event->type() == QEvent::Show && m_stale)
        QTimer::singleShot(0, this, &LinkCheckWindow::followIfStale);
    if (event->type() == QEvent::WindowActivate && m_keepActive) {
        QWidget* back = m_keepActive;
        m_keepActive = nullptr;
        // The window that had the keyboard gets it back, with the field
        // that had its focus.
        back->activateWindow();
    }
    return QWidget::event(event);
}

LinkCheckWindow::~LinkCheckWindow() {
    // The form may be gone already (a sibling in the main window); the
    // project outlives both.
    m_project->removeObserver(this);
}

// A step may take links out of one group and put them into another: the
// window follows once the step is complete (the history tells), or before
// anything reads where its links are.
void LinkCheckWindow::linksRemoved(int, const std::vector<std::size_t>&) {
    followLater();
}
void LinkCheckWindow::linksInserted(int, const std::vector<std::size_t>&) {
    followLater();
}
void LinkCheckWindow::linksChanged(int, const std::vector<std::size_t>&) {
    followLater();
}

void LinkCheckWindow::followLater() {
    if (m_stale)
        return;
    m_stale = true;
    if (isVisible())
        QTimer::singleShot(0, this, &LinkCheckWindow::followIfStale);
}

void LinkCheckWindow::followIfStale() {
    if (m_stale && isVisible())
        followProject();
}
void LinkCheckWindow::groupReset(int) {
    if (isVisible())
        followProject();
    else
        m_stale = true;
}
void LinkCheckWindow::projectReset() {
    groupReset(-1);
}

void LinkCheckWindow::followProject(bool show) {
    m_stale = false;
    if (m_editing || (m_entries.empty() && m_gone.empty()))
        return;
    ++m_follows;
    const Project& project = *m_form->project();
    std::vector<LinkId> shownBefore;
    shownBefore.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        shownBefore.push_back(e.id);
    // The links that left are looked for too: an undo brings them back.
    const std::size_t listed = m_entries.size();
    m_entries.reserve(listed + m_gone.size());
    for (Entry& e : m_gone)
        m_entries.push_back(std::move(e));
    m_gone.clear();
    // Where each listed link stands now, by identity.
    std::unordered_map<LinkId, std::pair<int, std::size_t>> where;
    where.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        where.emplace(e.id, std::pair<int, std::size_t>(-1, 0));
    for (int g = 0; g < project.groupCount(); ++g) {
        const std::vector<LinkId>& ids = project.linkIds(g);
        for (std::size_t r = 0; r < ids.size(); ++r)
            if (const auto found = where.find(ids[r]); found != where.end())
                found->second = {g, r};
    }
    std::vector<Entry> kept;
    kept.reserve(m_entries.size());
    // Links gone or moved change the rows; new texts only their cells.
    bool moved = false;
    std::vector<int> retexted;
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        Entry& e = m_entries[i];
        const auto [group, row] = where[e.id];
        if (group < 0) {
            if (i < listed)
                moved = true;
            m_gone.push_back(std::move(e));
            continue;
        }
        const LinkView link = project.linkList(group).view(row);
        const bool updated = m_mode == Mode::Check && e.result.status == LinkStatus::Moved &&
                             !e.result.finalUrl.empty() && link.url == e.result.finalUrl &&
                             link.url != e.checkedUrl;
        const bool changed = !updated && link.url != e.checkedUrl;
        const bool retext = e.description != link.description || e.url != link.url ||
                            e.updated != updated || e.changed != changed;
        if (e.group != group || e.row != static_cast<int>(row))
            moved = true;
        else if (retext)
            retexted.push_back(static_cast<int>(kept.size()));
        if (e.group != group || e.row != static_cast<int>(row) || retext) {
            e.group = group;
            e.row = static_cast<int>(row);
            e.description = std::string(link.description);
            e.url = std::string(link.url);
            e.updated = updated;
            e.changed = changed;
        }
        kept.push_back(std::move(e));
    }
    if (m_mode == Mode::Duplicates)
        keepSharedAddresses(kept);
    m_entries = std::move(kept);
    // Entries back from an undo, or gone, change the rows.
    if (!moved) {
        moved = shownBefore.size() != m_entries.size() ||
                !std::equal(shownBefore.begin(), shownBefore.end(), m_entries.begin(),
                            [](LinkId id, const Entry& e) { return id == e.id; });
    }
    // What the last action did is told no longer once the project changed.
    if (moved || !retexted.empty())
        m_note->clear();
    if (!show)
        return;
    if (moved) {
        rebuildFilter();
        rebuild();
    } else if (!retexted.empty()) {
        showNewTexts(retexted);
        if (m_mode == Mode::Check)
            rebuildFilter();
    }
    // What the selected rows allow may have changed with their links.
    updateButtons();
    if (moved)
        emit entriesFollowed();
}

void LinkCheckWindow::keepSharedAddresses(std::vector<Entry>& entries) {
    // A duplicate whose address changed is no longer one of its set; a set
    // left with one link is no set. Both wait with the links that are gone:
    // an undo brings them back.
    std::unordered_map<int, int> members;
    for (const Entry& e : entries)
        if (!e.changed)
            ++members[e.set];
    std::vector<Entry> kept;
    kept.reserve(entries.size());
    for (Entry& e : entries) {
        if (e.changed || members[e.set] < 2)
            m_gone.push_back(std::move(e));
        else
            kept.push_back(std::move(e));
    }
    entries = std::move(kept);
}

void LinkCheckWindow::showNewTexts(const std::vector<int>& entries) {
    // The cells change in place, told to the sorting proxy once.
    {
        const QSignalBlocker block(m_model);
        for (int i : entries) {
            const Entry& e = m_entries[static_cast<std::size_t>(i)];
            auto put = [&](int column, const QVariant& value) {
                QStandardItem* item = m_model->item(i, column);
                item->setData(value, Qt::DisplayRole);
                item->setData(value, kSortRole);
                if (column == kDescription || column == kUrl)
                    item->setData(value, Qt::ToolTipRole);
            };
            put(kDescription, shownDescription(e));
            put(kUrl, toQString(e.url));
            if (m_mode == Mode::Check)
                put(kResult, resultText(e));
        }
    }
    const auto [low, high] = std::minmax_element(entries.begin(), entries.end());
    emit m_model->dataChanged(m_model->index(*low, 0), m_model->index(*high, kColumnCount - 1));
    updateButtons();
}

std::vector<LinkCheckWindow::Entry>
LinkCheckWindow::duplicateEntries(const Project& project,
                                  const std::vector<DuplicateLinkSet>& sets) {
    std::vector<Entry> entries;
    for (std::size_t s = 0; s < sets.size(); ++s) {
        for (const LinkPosition& at : sets[s].links) {
            const Link link = project.linkList(at.group)[static_cast<std::size_t>(at.row)];
            Entry entry;
            entry.id = project.linkIds(at.group)[static_cast<std::size_t>(at.row)];
            entry.group = at.group;
            entry.row = at.row;
            entry.description = link.description;
            entry.url = link.url;
            entry.set = static_cast<int>(s) + 1;
            entries.push_back(std::move(entry));
        }
    }
    return entries;
}

void LinkCheckWindow::setEntries(std::vector<Entry> entries) {
    m_entries = std::move(entries);
    for (Entry& e : m_entries)
        if (e.checkedUrl.empty())
            e.checkedUrl = e.url;
    m_gone.clear();
    // Links edited or deleted while a check ran are listed as they are now.
    followProject(false);
    m_note->clear();
    rebuildFilter();
    rebuild();
}

QString LinkCheckWindow::shownDescription(const Entry& entry) {
    // A description is the page's HTML: shown as the text a reader sees.
    return toQString(htmlToPlainText(entry.description));
}

QString LinkCheckWindow::resultText(const Entry& entry) const {
    if (m_mode == Mode::Duplicates)
        return QString::number(entry.set);
    if (entry.updated)
        return tr("updated");
    if (entry.changed)
        return tr("changed since the check");
    const std::string_view word = statusWord(entry.result.status);
    return toQString(word);
}

void LinkCheckWindow::rebuild() {
    // The selection names rows of the table as it was: it goes first, and
    // nothing reads it while the rows are made again.
    {
        const QSignalBlocker block(m_table->selectionModel());
        m_table->clearSelection();
    }
    // Filled apart from the sorting proxy, which would sort again on every
    // item (minutes for 10,000 results), then sorted once.
    m_proxy->setSourceModel(nullptr);
    m_model->removeRows(0, m_model->rowCount());
    m_model->setRowCount(static_cast<int>(m_entries.size()));
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        const Entry& e = m_entries[i];
        const int row = static_cast<int>(i);
        auto put = [&](int column, const QVariant& value) {
            auto* item = new QStandardItem;
            item->setData(value, Qt::DisplayRole);
            item->setData(column == kGroup
                              ? QVariant(static_cast<qint64>(e.group) * 10000000 + e.row)
                              : value,
                          kSortRole);
            item->setData(row, kEntryRole);
            // Long texts are cut to the column: the tooltip has them whole.
            if (column == kDescription || column == kUrl || column == kFinalUrl)
                item->setData(value, Qt::ToolTipRole);
            m_model->setItem(row, column, item);
        };
        put(kGroup, e.group + 1);
        put(kRow, e.row + 1);
        put(kDescription, shownDescription(e));
        put(kUrl, toQString(e.url));
        if (m_mode == Mode::Duplicates)
            put(kResult, e.set);
        else
            put(kResult, resultText(e));
        put(kCode, e.result.httpCode ? QVariant(e.result.httpCode) : QVariant());
        put(kFinalUrl, toQString(e.result.finalUrl));
    }
    m_proxy->setSourceModel(m_model);
    // A new source model shows every column again; duplicates have no HTTP
    // answer to show.
    m_table->setColumnHidden(kCode, m_mode == Mode::Duplicates);
    m_table->setColumnHidden(kFinalUrl, m_mode == Mode::Duplicates);
    const QHeaderView* header = m_table->horizontalHeader();
    m_proxy->sort(header->sortIndicatorSection(), header->sortIndicatorOrder());
    updateButtons();
}

void LinkCheckWindow::rebuildFilter() {
    const QString current = m_filter->currentData().toString();
    const QSignalBlocker block(m_filter);
    m_filter->clear();
    m_filter->addItem(QStringLiteral("All results"), QString());
    m_filter->addItem(QStringLiteral("All but ok"), QStringLiteral("^(?!ok$)"));
    // Counted by the word each row shows: an updated link is no longer
    // counted as moved, nor a changed one as what it was.
    std::map<std::tuple<int, bool, bool>, int> counts;
    for (const Entry& e : m_entries)
        ++counts[{static_cast<int>(e.result.status), e.updated, e.changed}];
    for (const auto& [kind, count] : counts) {
        Entry shown;
        shown.result.status = static_cast<LinkStatus>(std::get<0>(kind));
        shown.updated = std::get<1>(kind);
        shown.changed = std::get<2>(kind);
        const QString text = resultText(shown);
        m_filter->addItem(QStringLiteral("%1 (%2)").arg(text).arg(count),
                          QStringLiteral("^%1$").arg(text));
    }
    int keep = m_filter->findData(current);
    // The kind shown keeps its place when its last row changes kind.
    if (keep < 0 && current.startsWith(QLatin1Char('^')) && current.endsWith(QLatin1Char('$'))) {
        m_filter->addItem(QStringLiteral("%1 (0)").arg(current.mid(1, current.size() - 2)),
                          current);
        keep = m_filter->count() - 1;
    }
    m_filter->setCurrentIndex(keep >= 0 ? keep : 0);
    applyFilter();
}

void LinkCheckWindow::applyFilter() {
    m_proxy->setFilterRegularExpression(QRegularExpression(m_filter->currentData().toString()));
    updateButtons();
}

int LinkCheckWindow::entryAtRow(int tableRow) const {
    const QModelIndex index = m_proxy->index(tableRow, 0);
    return index.isValid() ? index.data(kEntryRole).toInt() : -1;
}

QString LinkCheckWindow::noteText() const {
    return m_note->text();
}

std::vector<int> LinkCheckWindow::selectedEntries() const {
    std::vector<int> out;
    // By the selection's ranges: asking each row whether all its cells are
    // selected costs more than the rest of an update of 100,000 links.
    std::vector<int> rows;
    for (const QItemSelectionRange& range : m_table->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows.push_back(r);
    for (int row : rows) {
        const int entry = entryAtRow(row);
        if (entry >= 0 && static_cast<std::size_t>(entry) < m_entries.size())
            out.push_back(entry);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

void LinkCheckWindow::updateButtons() {
    const std::vector<int> selected = selectedEntries();
    bool anyMoved = false;
    bool anyAsChecked = false;
    for (int i : selected) {
        const Entry& e = m_entries[static_cast<std::size_t>(i)];
        anyMoved = anyMoved || (e.result.status == LinkStatus::Moved && !e.updated && !e.changed &&
                                !e.result.finalUrl.empty());
        anyAsChecked = anyAsChecked || !e.changed;
    }
    m_updateButton->setEnabled(anyMoved);
    m_deleteButton->setEnabled(anyAsChecked);
}

std::vector<int> LinkCheckWindow::selectedEntriesNow() {
    // The selection names entries as the table shows them; the window
    // follows the project first, keeping the chosen links.
    std::vector<LinkId> chosen;
    for (int i : selectedEntries())
        chosen.push_back(m_entries[static_cast<std::size_t>(i)].id);
    followIfStale();
    std::sort(chosen.begin(), chosen.end());
    std::vector<int> out;
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        if (std::binary_search(chosen.begin(), chosen.end(), m_entries[i].id))
            out.push_back(static_cast<int>(i));
    return out;
}

void LinkCheckWindow::updateToFinalUrl() {
    // Every chosen link in one step, each group rebuilt once.
    std::map<int, LinkEditCommand::TextChange> changes;
    std::size_t count = 0;
    for (int i : selectedEntriesNow()) {
        const Entry& e = m_entries[static_cast<std::size_t>(i)];
        if (e.result.status != LinkStatus::Moved || e.updated || e.changed ||
            e.result.finalUrl.empty())
            continue;
        LinkEditCommand::TextChange& c = changes[e.group];
        c.group = e.group;
        c.rows.push_back(static_cast<std::size_t>(e.row));
        c.links.emplace_back(e.description, e.result.finalUrl);
        ++count;
    }
    std::vector<LinkEditCommand::TextChange> list;
    for (auto& [group, c] : changes) {
        // Ascending rows, each once.
        std::vector<std::size_t> order(c.rows.size());
        for (std::size_t k = 0; k < order.size(); ++k)
            order[k] = k;
        const std::vector<std::size_t>& rows = c.rows;
        std::sort(order.begin(), order.end(),
                  [&rows](std::size_t a, std::size_t b) { return rows[a] < rows[b]; });
        LinkEditCommand::TextChange sorted;
        sorted.group = group;
        for (std::size_t k : order) {
            sorted.rows.push_back(c.rows[k]);
            sorted.links.push_back(std::move(c.links[k]));
        }
        list.push_back(std::move(sorted));
    }
    const QString name =
        count == 1 ? tr("Update Link to Final URL")
                   : tr("Update %1 Links to Final URL").arg(QLocale().toString(qulonglong(count)));
    LinkEditCommand* command = LinkEditCommand::setTexts(*m_form->project(), name, list);
    int changed = 0;
    if (command) {
        // The main list stays where it is; an undo shows the links again.
        command->setShown({}, command->shownAfterUndo());
        m_editing = true;
        m_form->document()->push(command);
        m_editing = false;
        for (const auto& c : list)
            changed += static_cast<int>(c.rows.size());
        followProject();
    }
    m_note->setText(
        changed == 1
            ? tr("1 link updated to its final URL.")
            : tr("%1 links updated to their final URLs.").arg(QLocale().toString(changed)));
}

void LinkCheckWindow::deleteSelected() {
    std::map<int, std::vector<std::size_t>> doomed;
    std::size_t refused = 0;
    for (int i : selectedEntriesNow()) {
        const Entry& e = m_entries[static_cast<std::size_t>(i)];
        // Only a link that still has the address its row is about (or the
        // final one this window gave it).
        if (e.changed) {
            ++refused;
            continue;
        }
        doomed[e.group].push_back(static_cast<std::size_t>(e.row));
    }
    std::vector<LinkEditCommand::GroupEdit> edits;
    std::size_t deleted = 0;
    Project& project = *m_form->project();
    for (auto& [group, rows] : doomed) {
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        LinkEditCommand::GroupEdit edit;
        edit.group = group;
        const LinkList& links = project.linkList(group);
        const std::vector<LinkId>& ids = project.linkIds(group);
        for (std::size_t r : rows) {
            if (r >= links.size())
                continue;
            edit.removed.rows.push_back(r);
            edit.removed.links.push_back(links[r]);
            edit.removed.ids.push_back(ids[r]);
        }
        deleted += edit.removed.size();
        if (!edit.removed.empty())
            edits.push_back(std::move(edit));
    }
    if (!edits.empty()) {
        ShownChange undone{edits.front().group, edits.front().removed.ids, 0, false};
        auto* command = new LinkEditCommand(
            project,
            deleted == 1 ? tr("Delete Link")
                         : tr("Delete %1 Links").arg(QLocale().toString(qulonglong(deleted))),
            std::move(edits));
        command->setShown({}, std::move(undone));
        m_editing = true;
        m_form->document()->push(command);
        m_editing = false;
        followProject();
    }
    QString note = deleted == 1
                       ? tr("1 link deleted.")
                       : tr("%1 links deleted.").arg(QLocale().toString(qulonglong(deleted)));
    if (refused > 0)
        note += QLatin1Char(' ') +
                (refused == 1 ? tr("1 link whose address changed since the check was left alone.")
                              : tr("%1 links whose addresses changed since the check were left "
                                   "alone.")
                                    .arg(QLocale().toString(qulonglong(refused))));
    m_note->setText(note);
}

void LinkCheckWindow::goToEntry(int entry) {
    if (entry < 0 || static_cast<std::size_t>(entry) >= m_entries.size())
        return;
    const LinkId id = m_entries[static_cast<std::size_t>(entry)].id;
    followIfStale();
    const auto found = std::find_if(m_entries.begin(), m_entries.end(),
                                    [id](const Entry& e) { return e.id == id; });
    if (found == m_entries.end()) {
        m_note->setText(QStringLiteral("That link is no longer in the project."));
        return;
    }
    const Entry& e = *found;
    ShownChange shown;
    shown.group = e.group;
    shown.select = {e.id};
    m_form->showChange(shown);
    QWidget* editor = m_form->window();
    editor->raise();
    editor->activateWindow();
    m_form->linkList()->setFocus(Qt::OtherFocusReason);
    emit m_form->commandStateChanged();
    m_note->clear();
}
