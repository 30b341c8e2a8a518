#include "editor/LinkListCtrl.h"

#include "editor/LinkListDelegate.h"
#include "editor/LinkListModel.h"
#include "model/Codepage.h"
#include "model/PathPart.h"
#include "model/ShortcutFile.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
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

std::string ToCp1252(const QString& s) {
    return Utf16ToCp1252(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()),
                                             static_cast<size_t>(s.size())));
}

void AddBrowserLinks(const QByteArray& data, std::vector<CLinkEntry>& links) {
    for (CDroppedLink& l : ParseMozUrl(std::string_view(data.constData(), data.size()))) {
        std::string description =
            l.m_strTitle.empty() ? UntitledDescription(l.m_strUrl) : std::move(l.m_strTitle);
        links.emplace_back(std::move(description), std::move(l.m_strUrl));
    }
}

} // namespace

CLinkListCtrl::CLinkListCtrl(QWidget* parent)
    : QTreeView(parent), m_pModel(new CLinkListModel(this)),
      m_nRowHeight(CLinkListDelegate::RowHeight(font())) {
    setModel(m_pModel);
    setItemDelegate(new CLinkListDelegate(this));
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
    setColumnWidth(0, 200);
    setColumnWidth(1, 260);
    // A column resize repaints the stripes and column lines at the new widths.
    connect(h, &QHeaderView::sectionResized, viewport(), qOverload<>(&QWidget::update));
}

CLinkListCtrl::~CLinkListCtrl() {
    if (m_bDragging)
        QApplication::restoreOverrideCursor();
}

// --- Row operations ----------------------------------------------------------

int CLinkListCtrl::SetCellText(const std::string& text, int row, int column) {
    if (column == 0)
        return m_pModel->InsertRow(row, text);
    return m_pModel->SetCell(row, column, text) ? 1 : 0;
}

std::vector<int> CLinkListCtrl::GetSelectedRows() const {
    std::vector<int> rows;
    for (const QItemSelectionRange& r : selectionModel()->selection())
        for (int i = r.top(); i <= r.bottom(); ++i)
            rows.push_back(i);
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int CLinkListCtrl::GetSelectedCount() const {
    return static_cast<int>(GetSelectedRows().size());
}

int CLinkListCtrl::GetFocusedRow() const {
    QModelIndex i = selectionModel()->currentIndex();
    return i.isValid() ? i.row() : -1;
}

void CLinkListCtrl::SetFocusedRow(int row) {
    if (row < 0 || row >= GetRowCount())
        selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    else
        selectionModel()->setCurrentIndex(m_pModel->index(row, 0), QItemSelectionModel::NoUpdate);
}

int CLinkListCtrl::InsertBlankRow(int row) {
    return m_pModel->InsertRow(row, std::string());
}

int CLinkListCtrl::GetRowCount() const {
    return m_pModel->GetRowCount();
}

std::string CLinkListCtrl::GetCellText(int row, int column) const {
    return m_pModel->GetCellText(row, column);
}

bool CLinkListCtrl::DeleteRow(int row) {
    return m_pModel->RemoveRow(row);
}

void CLinkListCtrl::DeleteRows(const std::vector<int>& rows) {
    m_pModel->RemoveRows(rows);
}

void CLinkListCtrl::DeleteAllRows() {
    m_pModel->Clear();
}

void CLinkListCtrl::SelectRow(int row, bool select) {
    if (row < 0 || row >= GetRowCount())
        return;
    selectionModel()->select(m_pModel->index(row, 0), (select ? QItemSelectionModel::Select
                                                              : QItemSelectionModel::Deselect) |
                                                          QItemSelectionModel::Rows);
}

bool CLinkListCtrl::IsRowSelected(int row) const {
    return row >= 0 && row < GetRowCount() && selectionModel()->isRowSelected(row, QModelIndex());
}

void CLinkListCtrl::AppendRows(const std::vector<CLinkEntry>& links) {
    m_pModel->AppendRows(links);
}

void CLinkListCtrl::SetRows(const std::vector<CLinkEntry>& links) {
    m_pModel->SetRows(links);
}

const CLinkRowSource& CLinkListCtrl::RowSource() const {
    return *m_pModel;
}

// --- Look ----------------------------------------------------------------------

QColor CLinkListCtrl::StripeColor(int row) {
    return (row & 1) == 0 ? QColor(215, 235, 255) : QColor(Qt::white);
}

void CLinkListCtrl::paintEvent(QPaintEvent* event) {
    // Stripes behind the rows, in step with the row indices and continuing
    // below the last row, so the empty part looks like further empty rows.
    int i = 0;
    const int top = RowAtViewportY(0);
    if (top >= 0) {
        const QRect r = visualRect(m_pModel->index(top, 0));
        i = top;
        m_nFirstRowTop = r.top();
        m_nRowHeight = std::max(1, r.height());
    } else if (GetRowCount() == 0) {
        m_nFirstRowTop = 0;
    }
    {
        QPainter p(viewport());
        const QRect client = viewport()->rect();
        int y = m_nFirstRowTop;
        for (; y > client.top(); y -= m_nRowHeight)
            --i;
        for (; y <= client.bottom(); y += m_nRowHeight, ++i)
            p.fillRect(QRect(client.left(), y, client.width(), m_nRowHeight), StripeColor(i));
    }
    QTreeView::paintEvent(event);
}

void CLinkListCtrl::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    const int row = index.row();
    const QRect band(0, option.rect.top(), std::max(viewport()->width(), option.rect.right() + 1),
                     option.rect.height());
    m_nRowHeight = std::max(1, band.height());
    painter->fillRect(band, StripeColor(row));
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
    for (int c = 0; c < m_pModel->columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const int x = columnViewportPosition(c);
        const int right = x + columnWidth(c);
        painter->drawLine(right - 1, band.top(), right - 1, band.bottom());
        cell.rect = QRect(x + 3, band.top(), std::max(0, right - 1 - (x + 3)), band.height());
        itemDelegate()->paint(painter, cell, m_pModel->index(row, c));
        painter->setPen(QPen(kColumnLine, 1));
    }
    painter->restore();
}

// --- Mouse -----------------------------------------------------------------------

QCursor CLinkListCtrl::DragCursor() {
    static const QPixmap pixmap(QStringLiteral(":/cursors/drag.png"));
    if (pixmap.isNull())
        return QCursor(Qt::DragMoveCursor);
    return QCursor(pixmap, 4, 6);
}

int CLinkListCtrl::RowAtViewportY(int y) const {
    for (int c = 0; c < m_pModel->columnCount(); ++c) {
        QModelIndex i = indexAt(QPoint(std::max(0, columnViewportPosition(c)) + 1, y));
        if (i.isValid())
            return i.row();
    }
    return -1;
}

CLinkListCtrl::Target CLinkListCtrl::HitTest(const QPoint& globalPos, int& index) const {
    index = -1;
    QWidget* top = QApplication::topLevelAt(globalPos);
    if (top && top != window())
        return Target::None;
    if (m_pTabTarget && m_pTabTarget->isVisible() && m_pTabTarget->window() == window()) {
        QPoint p = m_pTabTarget->mapFromGlobal(globalPos);
        if (m_pTabTarget->rect().contains(p)) {
            int tab = m_pTabTarget->tabAt(p);
            if (tab < 0 || tab == m_pTabTarget->currentIndex())
                return Target::None;
            index = tab;
            return Target::Tab;
        }
    }
    QPoint p = viewport()->mapFromGlobal(globalPos);
    if (!viewport()->rect().contains(p))
        return Target::None;
    index = RowAtViewportY(p.y());
    return Target::Row;
}

void CLinkListCtrl::UpdateDragCursor() {
    QCursor c = m_bDropAllowed ? DragCursor() : QCursor(Qt::ForbiddenCursor);
    if (m_bCursorSet) {
        QApplication::changeOverrideCursor(c);
    } else {
        QApplication::setOverrideCursor(c);
        m_bCursorSet = true;
    }
}

void CLinkListCtrl::EndDrag() {
    m_bDragging = false;
    viewport()->setMouseTracking(m_bHadMouseTracking);
    if (m_bCursorSet) {
        QApplication::restoreOverrideCursor();
        m_bCursorSet = false;
    }
}

void CLinkListCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The selection stays as it is.
        emit contextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    m_bDeferredSelect = false;
    m_nPressRow = -1;
    if (event->button() == Qt::LeftButton) {
        const QPoint pos = event->position().toPoint();
        const QModelIndex index = indexAt(pos);
        m_pressPos = pos;
        m_nPressRow = index.isValid() ? index.row() : -1;
        if (index.isValid() && event->modifiers() == Qt::NoModifier && IsRowSelected(index.row())) {
            // A press on a selected row keeps the selection until the release,
            // so that several selected rows can be dragged onto a tab.
            m_bDeferredSelect = true;
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            event->accept();
            return;
        }
    }
    QTreeView::mousePressEvent(event);
}

void CLinkListCtrl::mouseMoveEvent(QMouseEvent* event) {
    if (m_bDragging && !(event->buttons() & Qt::LeftButton)) {
        // The release went elsewhere (a window took the mouse): no drop.
        EndDrag();
        m_nPressRow = -1;
        setState(QAbstractItemView::NoState);
    }
    if (m_bDragging) {
        int index;
        m_bDropAllowed = HitTest(event->globalPosition().toPoint(), index) != Target::None;
        UpdateDragCursor();
        event->accept();
        return;
    }
    if (m_nPressRow >= 0 && (event->buttons() & Qt::LeftButton)) {
        // No drag-selection from a row: moving the pressed row drags it.
        if ((event->position().toPoint() - m_pressPos).manhattanLength() >=
            QApplication::startDragDistance()) {
            m_bDragging = true;
            // Moves without a button must reach the list to end a drag whose
            // release went elsewhere.
            m_bHadMouseTracking = viewport()->hasMouseTracking();
            viewport()->setMouseTracking(true);
            m_nDragFrom = m_nPressRow;
            m_nDragTo = -1;
            int index;
            m_bDropAllowed = HitTest(event->globalPosition().toPoint(), index) != Target::None;
            UpdateDragCursor();
        }
        event->accept();
        return;
    }
    QTreeView::mouseMoveEvent(event);
}

void CLinkListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && m_bDragging) {
        int index;
        const Target target = HitTest(event->globalPosition().toPoint(), index);
        const bool allowed = m_bDropAllowed;
        EndDrag();
        m_nPressRow = -1;
        m_bDeferredSelect = false;
        setState(QAbstractItemView::NoState);
        event->accept();
        if (!allowed)
            return;
        if (target == Target::Tab) {
            emit rowsDroppedOnTab(index);
        } else if (target == Target::Row) {
            m_nDragTo = index;
            if (m_nDragTo != m_nDragFrom)
                MoveDraggedRow(m_nDragFrom, m_nDragTo);
        }
        return;
    }
    if (event->button() == Qt::LeftButton && m_bDeferredSelect) {
        m_bDeferredSelect = false;
        if (m_nPressRow >= 0 && m_nPressRow < GetRowCount()) {
            QModelIndex i = m_pModel->index(m_nPressRow, 0);
            selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect |
                                                     QItemSelectionModel::Rows);
        }
        m_nPressRow = -1;
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton)
        m_nPressRow = -1;
    QTreeView::mouseReleaseEvent(event);
}

void CLinkListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit linkDoubleClicked();
}

bool CLinkListCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == header()->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() == Qt::RightButton) {
            emit contextMenuRequested(me->globalPosition().toPoint());
            return true;
        }
    }
    return QTreeView::eventFilter(watched, event);
}

void CLinkListCtrl::MoveDraggedRow(int from, int to) {
    const int count = GetRowCount();
    if (from < 0 || from >= count)
        return;
    if (to < 0 || to > count)
        to = count;
    m_nDragFrom = from;
    m_nDragTo = to;
    // The row is re-created before the target row (keeping its whole text),
    // then the old one goes; when it stood below the target, the insertion
    // has pushed it down by one.
    std::string description = m_pModel->GetCellText(from, 0);
    std::string url = m_pModel->GetCellText(from, 1);
    m_pModel->InsertRow(to, std::move(description), std::move(url));
    m_pModel->RemoveRow(from > to ? from + 1 : from);
    emit linkListChanged(m_nDragFrom, m_nDragTo);
}

// --- Drops from other programs -------------------------------------------------

bool CLinkListCtrl::CanTakeDrop(const QMimeData* mime) {
    return mime && (mime->hasUrls() || mime->hasFormat(QLatin1String(kMozUrl)) ||
                    mime->hasFormat(QLatin1String(kNetscapeUrl)));
}

bool CLinkListCtrl::AcceptAsCopy(QDropEvent* event) {
    // The dropped files stay where they are: never take a drop as a move.
    const Qt::DropActions possible = event->possibleActions();
    if (!CanTakeDrop(event->mimeData()) || !(possible & (Qt::CopyAction | Qt::LinkAction))) {
        event->ignore();
        return false;
    }
    event->setDropAction(possible & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction);
    event->accept();
    return true;
}

void CLinkListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    AcceptAsCopy(event);
}

void CLinkListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    AcceptAsCopy(event);
}

void CLinkListCtrl::dropEvent(QDropEvent* event) {
    if (AcceptAsCopy(event))
        DropLinks(event->mimeData());
}

void CLinkListCtrl::DropLinks(const QMimeData* mime) {
    std::vector<CLinkEntry> links;
    const QList<QUrl> urls = mime->urls();
    const bool onlyFiles =
        !urls.isEmpty() &&
        std::all_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
    if (onlyFiles) {
        // Files from a file manager: each link file becomes a row named after
        // the file; other files are passed over.
        for (const QUrl& u : urls) {
            const std::string path = QFile::encodeName(u.toLocalFile()).toStdString();
            std::string url = GetShortcutUrl(path);
            if (url.empty())
                continue;
            links.emplace_back(Utf8ToCp1252(GetPathPart(path, kPathBaseName)), std::move(url));
        }
    } else if (mime->hasFormat(QLatin1String(kMozUrl))) {
        AddBrowserLinks(mime->data(QLatin1String(kMozUrl)), links);
    } else if (!urls.isEmpty()) {
        for (const QUrl& u : urls) {
            if (u.isLocalFile()) {
                const std::string path = QFile::encodeName(u.toLocalFile()).toStdString();
                std::string url = GetShortcutUrl(path);
                if (!url.empty())
                    links.emplace_back(Utf8ToCp1252(GetPathPart(path, kPathBaseName)),
                                       std::move(url));
            } else if (u.isValid()) {
                std::string url = ToCp1252(QString::fromLatin1(u.toEncoded()));
                links.emplace_back(UntitledDescription(url), url);
            }
        }
    } else if (mime->hasFormat(QLatin1String(kNetscapeUrl))) {
        AddBrowserLinks(mime->data(QLatin1String(kNetscapeUrl)), links);
    }
    AppendRows(links);
    // Told even when nothing was added: a drop always marks the project modified.
    emit linkListChanged(m_nDragFrom, m_nDragTo);
}
