#include "editor/LinkListView.h"

#include "gui/Resources.h"

#include "core/LinkFile.h"
#include "core/OutsideText.h"
#include "core/PathPart.h"
#include "editor/LinkListDelegate.h"
#include "editor/LinkListModel.h"
#include "gui/QtText.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTabBar>
#include <QUrl>

#include <algorithm>

namespace {

const QColor kColumnLine(0x80, 0x80, 0x80);
const char* const kMozUrl = "text/x-moz-url";
const char* const kNetscapeUrl = "_NETSCAPE_URL";

// A dropped link file becomes a link named after the file; other files, and
// link files whose URL may not go on the page, are passed over.
void addLinkFile(const QUrl& file, std::vector<Link>& links) {
    const QString path = file.toLocalFile();
    const std::string url = shortcutUrl(toFileNameBytes(path));
    if (url.empty())
        return;
    if (std::optional<Link> link = linkFileLink(pathPart(toProjectText(path), kPathBaseName), url))
        links.push_back(std::move(*link));
}

// A browser's link titles are plain text; links it offers with a script or
// data URL are passed over.
void addBrowserLinks(const QByteArray& data, std::vector<Link>& links) {
    for (const DroppedLink& l :
         parseMozUrl(std::string_view(data.constData(), static_cast<size_t>(data.size()))))
        if (std::optional<Link> link = outsideLink(l.title, l.url))
            links.push_back(std::move(*link));
}

} // namespace

LinkListView::LinkListView(QWidget* parent)
    : QTreeView(parent), m_model(new LinkListModel(this)),
      m_rowHeight(LinkListDelegate::rowHeight(font())) {
    setModel(m_model);
    setItemDelegate(new LinkListDelegate(this));
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setExpandsOnDoubleClick(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(false);
    setDropIndicatorShown(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setTextElideMode(Qt::ElideRight);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setAutoFillBackground(false);

    QHeaderView* h = header();
    h->setStretchLastSection(false);
    h->setSectionsMovable(false);
    h->setContextMenuPolicy(Qt::PreventContextMenu);
    h->viewport()->installEventFilter(this);
    setColumnWidth(0, kDefaultColumnWidths[0]);
    setColumnWidth(1, kDefaultColumnWidths[1]);
    // A column resize repaints the stripes and column lines at the new widths.
    connect(h, &QHeaderView::sectionResized, viewport(), qOverload<>(&QWidget::update));
}

LinkListView::~LinkListView() {
    if (m_dragging)
        QApplication::restoreOverrideCursor();
}

// --- Rows ----------------------------------------------------------------------

void LinkListView::setProject(Project* project) {
    m_model->setProject(project);
}

void LinkListView::setGroup(int group) {
    m_model->setGroup(group);
}

int LinkListView::group() const {
    return m_model->group();
}

std::vector<int> LinkListView::selectedRows() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& r : selectionModel()->selection())
        for (int i = r.top(); i <= r.bottom(); ++i)
            rows.push_back(i);
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int LinkListView::selectedCount() const {
    // Counted from the selection's ranges (rows of a range may repeat in
    // another: ranges of other columns, or ranges a toggle split), never
    // from the rows one by one: the action states ask this at every change.
    std::vector<std::pair<int, int>> ranges;
    const QItemSelection selection = selectionModel()->selection();
    ranges.reserve(static_cast<std::size_t>(selection.size()));
    for (const QItemSelectionRange& r : selection)
        ranges.emplace_back(r.top(), r.bottom());
    std::sort(ranges.begin(), ranges.end());
    long long count = 0;
    int covered = -1; // the last row counted
    for (const auto& [top, bottom] : ranges) {
        const int from = std::max(top, covered + 1);
        if (bottom >= from) {
            count += bottom - from + 1;
            covered = bottom;
        }
    }
    return static_cast<int>(count);
}

int LinkListView::focusedRow() const {
    QModelIndex i = selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void LinkListView::setFocusedRow(int row) {
    if (row < 0 || row >= linkCount())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    else
        selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
}

int LinkListView::linkCount() const {
    return m_model->linkCount();
}

std::string LinkListView::cellText(int row, int column) const {
    return m_model->cellText(row, column);
}

void LinkListView::selectRow(int row, bool select) {
    if (row < 0 || row >= linkCount())
        return;
    selectionModel()->select(m_model->index(row, 0), (select ? QItemSelectionModel::Select
                                                             : QItemSelectionModel::Deselect) |
                                                         QItemSelectionModel::Rows);
}

bool LinkListView::isRowSelected(int row) const {
    return row >= 0 && row < linkCount() && selectionModel()->isRowSelected(row, QModelIndex());
}

void LinkListView::showRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [this](int r) { return r < 0 || r >= linkCount(); });
    // One range per run of adjacent rows: a selection of single rows costs
    // time by the square of their number.
    QItemSelection selection;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.append(
            QItemSelectionRange(m_model->index(rows[i], 0), m_model->index(rows[j], 1)));
        i = j + 1;
    }
    selectionModel()->select(selection,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (rows.empty())
        return;
    setFocusedRow(rows.front());
    scrollTo(m_model->index(rows.front(), 0));
}

// --- Look ----------------------------------------------------------------------

QColor LinkListView::stripeColor(int row) {
    return (row & 1) == 0 ? QColor(215, 235, 255) : QColor(Qt::white);
}

void LinkListView::paintEvent(QPaintEvent* event) {
    // Stripes behind the rows, in step with the row indices and continuing
    // below the last row, so the empty part looks like further empty rows.
    int i = 0;
    const int top = rowAtViewportY(0);
    if (top >= 0) {
        const QRect r = visualRect(m_model->index(top, 0));
        i = top;
        m_firstRowTop = r.top();
        m_rowHeight = std::max(1, r.height());
    } else if (linkCount() == 0) {
        m_firstRowTop = 0;
    }
    {
        QPainter p(viewport());
        const QRect client = viewport()->rect();
        int y = m_firstRowTop;
        for (; y > client.top(); y -= m_rowHeight)
            --i;
        for (; y <= client.bottom(); y += m_rowHeight, ++i)
            p.fillRect(QRect(client.left(), y, client.width(), m_rowHeight), stripeColor(i));
    }
    QTreeView::paintEvent(event);
}

void LinkListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                           const QModelIndex& index) const {
    const int row = index.row();
    const QRect band(0, option.rect.top(), std::max(viewport()->width(), option.rect.right() + 1),
                     option.rect.height());
    m_rowHeight = std::max(1, band.height());
    painter->fillRect(band, stripeColor(row));
    const bool selected = selectionModel()->isRowSelected(row, QModelIndex());
    if (selected)
        painter->fillRect(band.adjusted(0, 1, 0, -1),
                          palette().color(QPalette::Active, QPalette::Highlight));

    QStyleOptionViewItem cell = option;
    cell.state &= ~(QStyle::State_HasFocus | QStyle::State_Selected);
    if (selected)
        cell.state |= QStyle::State_Selected;
    painter->save();
    painter->setPen(QPen(kColumnLine, 1));
    for (int c = 0; c < m_model->columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const int x = columnViewportPosition(c);
        const int right = x + columnWidth(c);
        painter->drawLine(right - 1, band.top(), right - 1, band.bottom());
        cell.rect = QRect(x + 3, band.top(), std::max(0, right - 1 - (x + 3)), band.height());
        itemDelegate()->paint(painter, cell, m_model->index(row, c));
        painter->setPen(QPen(kColumnLine, 1));
    }
    if (hasFocus() && row == focusedRow()) {
        painter->setPen(
            QPen(palette().color(QPalette::Active, QPalette::WindowText), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(band.adjusted(0, 0, -1, -1));
    }
    painter->restore();
}

void LinkListView::focusInEvent(QFocusEvent* event) {
    QTreeView::focusInEvent(event);
    if (focusedRow() < 0 && linkCount() > 0) {
        const std::vector<int> selected = selectedRows(); // highest first
        setFocusedRow(selected.empty() ? 0 : selected.back());
    }
    viewport()->update();
}

// --- Mouse -----------------------------------------------------------------------

QCursor LinkListView::dragCursor() {
    initLinkfoldResources();
    static const QPixmap pixmap(QStringLiteral(":/cursors/drag.png"));
    if (pixmap.isNull())
        return QCursor(Qt::DragMoveCursor);
    return QCursor(pixmap, 4, 6);
}

int LinkListView::rowAtViewportY(int y) const {
    for (int c = 0; c < m_model->columnCount(); ++c) {
        QModelIndex i = indexAt(QPoint(std::max(0, columnViewportPosition(c)) + 1, y));
        if (i.isValid())
            return i.row();
    }
    return -1;
}

LinkListView::Target LinkListView::hitTest(const QPoint& globalPos, int& index) const {
    index = -1;
    QWidget* top = QApplication::topLevelAt(globalPos);
    if (top && top != window())
        return Target::None;
    if (m_tabTarget && m_tabTarget->isVisible() && m_tabTarget->window() == window()) {
        QPoint p = m_tabTarget->mapFromGlobal(globalPos);
        if (m_tabTarget->rect().contains(p)) {
            int tab = m_tabTarget->tabAt(p);
            if (tab < 0 || tab == m_tabTarget->currentIndex())
                return Target::None;
            index = tab;
            return Target::Tab;
        }
    }
    QPoint p = viewport()->mapFromGlobal(globalPos);
    if (!viewport()->rect().contains(p))
        return Target::None;
    index = rowAtViewportY(p.y());
    return Target::Row;
}

void LinkListView::updateDragCursor() {
    QCursor c = m_dropAllowed ? dragCursor() : QCursor(Qt::ForbiddenCursor);
    if (m_cursorSet) {
        QApplication::changeOverrideCursor(c);
    } else {
        QApplication::setOverrideCursor(c);
        m_cursorSet = true;
    }
}

void LinkListView::endDrag() {
    m_dragging = false;
    viewport()->setMouseTracking(m_hadMouseTracking);
    if (m_cursorSet) {
        QApplication::restoreOverrideCursor();
        m_cursorSet = false;
    }
}

void LinkListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The selection stays as it is.
        emit contextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    m_deferredSelect = false;
    m_pressRow = -1;
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        const QModelIndex index = indexAt(pos);
        m_pressPos = pos;
        m_pressRow = index.isValid() ? index.row() : -1;
        if (index.isValid() && event->modifiers() == Qt::NoModifier && isRowSelected(index.row())) {
            // A press on a selected row keeps the selection until the release,
            // so that several selected rows can be dragged onto a tab.
            m_deferredSelect = true;
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            event->accept();
            return;
        }
    }
    QTreeView::mousePressEvent(event);
}

void LinkListView::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && !(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere (a window took the mouse): no drop.
        endDrag();
        m_pressRow = -1;
        setState(QAbstractItemView::NoState);
    }
    if (m_dragging) {
        int index;
        m_dropAllowed = hitTest(event->globalPosition().toPoint(), index) != Target::None;
        updateDragCursor();
        event->accept();
        return;
    }
    if (m_pressRow >= 0 && (event->buttons() & Qt::LeftButton)) {
        // No drag-selection from a row: moving the pressed row drags it.
        if ((event->position().toPoint() - m_pressPos).manhattanLength() >=
            QApplication::startDragDistance()) {
            m_dragging = true;
            // Moves without a button must reach the list to end a drag whose
            // release went elsewhere.
            m_hadMouseTracking = viewport()->hasMouseTracking();
            viewport()->setMouseTracking(true);
            m_dragFrom = m_pressRow;
            m_dragTo = -1;
            int index;
            m_dropAllowed = hitTest(event->globalPosition().toPoint(), index) != Target::None;
            updateDragCursor();
        }
        event->accept();
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

void LinkListView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_dragging) {
        int index;
        const Target target = hitTest(event->globalPosition().toPoint(), index);
        const bool allowed = m_dropAllowed;
        endDrag();
        m_pressRow = -1;
        m_deferredSelect = false;
        setState(QAbstractItemView::NoState);
        event->accept();
        if (!allowed)
            return;
        if (target == Target::Tab) {
            emit rowsDroppedOnTab(index);
        } else if (target == Target::Row) {
            m_dragTo = index;
            if (m_dragTo != m_dragFrom)
                moveDraggedRow(m_dragFrom, m_dragTo);
        }
        return;
    }
    if (event->button() == Qt::LeftButton && m_deferredSelect) {
        m_deferredSelect = false;
        if (m_pressRow >= 0 && m_pressRow < linkCount()) {
            QModelIndex i = m_model->index(m_pressRow, 0);
            selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
        }
        m_pressRow = -1;
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton)
        m_pressRow = -1;
    QTreeView::mouseReleaseEvent(event);
}

void LinkListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit linkDoubleClicked();
}

bool LinkListView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header()->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            emit contextMenuRequested(me->globalPosition().toPoint());
            return true;
        }
    }
    return QTreeView::eventFilter(watched, event);
}

void LinkListView::moveDraggedRow(int from, int to) {
    const int count = linkCount();
    if (from < 0 || from >= count)
        return;
    if (to < 0 || to > count)
        to = count;
    m_dragFrom = from;
    m_dragTo = to;
    // Before the row that was at `to`: when the row stood above it, that
    // row moves up by one as the dragged one leaves.
    const int at = from < to ? to - 1 : to;
    if (at != from)
        emit rowMoveRequested(from, at);
}

// --- Drops from other programs -------------------------------------------------

bool LinkListView::canTakeDrop(const QMimeData* mime) {
    return mime && (mime->hasUrls() || mime->hasFormat(QLatin1String(kMozUrl)) ||
                    mime->hasFormat(QLatin1String(kNetscapeUrl)));
}

bool LinkListView::acceptAsCopy(QDropEvent* event) {
    // The dropped files stay where they are: never take a drop as a move.
    const Qt::DropActions possible = event->possibleActions();
    if (!canTakeDrop(event->mimeData()) || !(possible & (Qt::CopyAction | Qt::LinkAction))) {
        event->ignore();
        return false;
    }
    event->setDropAction(possible & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    event->accept();
    return true;
}

void LinkListView::dragEnterEvent(QDragEnterEvent* event) {
    acceptAsCopy(event);
}

void LinkListView::dragMoveEvent(QDragMoveEvent* event) {
    acceptAsCopy(event);
}

void LinkListView::dropEvent(QDropEvent* event) {
    if (acceptAsCopy(event))
        dropLinks(event->mimeData());
}

void LinkListView::dropLinks(const QMimeData* mime) {
    std::vector<Link> links;
    const QList<QUrl> urls = mime->urls();
    const bool onlyFiles =
        !urls.isEmpty() &&
        std::all_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
    if (onlyFiles) {
        // files from a file manager
        for (const QUrl& u : urls)
            addLinkFile(u, links);
    } else if (mime->hasFormat(QLatin1String(kMozUrl))) {
        addBrowserLinks(mime->data(QLatin1String(kMozUrl)), links);
    } else if (!urls.isEmpty()) {
        for (const QUrl& u : urls) {
            if (u.isLocalFile()) {
                addLinkFile(u, links);
            } else if (u.isValid()) {
                const std::string url = toProjectText(QString::fromLatin1(u.toEncoded()));
                if (std::optional<Link> link = outsideLink({}, url))
                    links.push_back(std::move(*link));
            }
        }
    } else if (mime->hasFormat(QLatin1String(kNetscapeUrl))) {
        addBrowserLinks(mime->data(QLatin1String(kNetscapeUrl)), links);
    }
    if (!links.empty())
        emit linksDropped(links);
}
