#pragma once

#include "core/Link.h"
#include "core/Project.h"

#include <QCursor>
#include <QPointer>
#include <QTreeView>

#include <string>
#include <vector>

class LinkListModel;
class QTabBar;

// The link list of the form: two columns, "Description" and "URL", over a
// model that shows one group of the project in place (no widget, item object
// or copy per row). The list never changes the project: moves and drops are
// asked for through its signals and the link commands make them steps. Several rows can
// be selected; the focused row (the current index) is separate from the
// selection.
//
// Look: light-blue (even index) and white (odd index) stripes that follow
// the row indices and continue below the last row, a grey line at each
// column's right edge, the selection filled one pixel short at top and
// bottom, text elided at the end and no grid. While the list has the
// keyboard focus a dotted mark surrounds the focused row; taking the focus
// with rows and no focused row makes the first selected row (else row 0) the
// focused one, so the mark shows at once.
//
// Mouse: dragging one row (the row under the pointer, whatever else is
// selected) and releasing it over another row asks to put it before that
// row; released below the rows, to make it the last row. When a tab bar is set as
// the tab target, releasing over one of its tabs other than the selected one
// emits rowsDroppedOnTab instead and moves nothing in the list.
//
// Drops: link files (Internet shortcuts and freedesktop links) from a file
// manager and links dragged from a web browser are offered (linksDropped)
// to be appended.
//
// Row and column indices are 0-based; column 0 is the description, column 1
// the URL. Texts are UTF-8, as the project keeps them.
class LinkListView : public QTreeView {
    Q_OBJECT
public:
    // The widths of the description and URL columns before the user moves them.
    static constexpr int kDefaultColumnWidths[2] = {200, 260};

    explicit LinkListView(QWidget* parent = nullptr);
    ~LinkListView() override;

    // The project whose group the list shows, and that group.
    void setProject(Project* project);
    void setGroup(int group);
    int group() const;

    // --- Rows ------------------------------------------------------------
    // Every selected row, highest index first, however many there are.
    std::vector<int> selectedRows() const;
    int selectedCount() const;
    // The lowest row that has the focus (the current index, selected or
    // not), or -1.
    int focusedRow() const;
    // Makes `row` the focused row without changing the selection; -1 clears it.
    void setFocusedRow(int row);
    int linkCount() const;
    // Empty for a row or column that does not exist.
    std::string cellText(int row, int column) const;
    // Adds the row to the selection (select = true) or takes it out of it.
    void selectRow(int row, bool select = true);
    bool isRowSelected(int row) const;
    // Selects exactly these rows (any order), makes the first the focused
    // row and scrolls it into view.
    void showRows(std::vector<int> rows);
    LinkListModel* linkModel() const { return m_model; }

    // --- Row drag --------------------------------------------------------
    // A row released over another row asks to move there: row `from` is to
    // stand before the row that was at `to` (-1 or the row count: at the
    // end). Emits rowMoveRequested(from, to) with `to` as the row it is to
    // stand at afterwards.
    void moveDraggedRow(int from, int to);
    // The tab bar whose tabs accept rows dragged from this list.
    void setTabTarget(QTabBar* tabBar) { m_tabTarget = tabBar; }
    bool isDragging() const { return m_dragging; }
    // Verdict of the last pointer move during a drag: a release there would
    // move the row (or drop on another tab).
    bool isDropAllowed() const { return m_dropAllowed; }
    // The drag cursor: an arrow standing on a tab page, hot spot (4, 6).
    static QCursor dragCursor();

    // Stripe colours by row index.
    static QColor stripeColor(int row);
    // Height of the stripes and the top of the first one, in viewport
    // coordinates; they follow the rows as drawn.
    int stripeHeight() const { return m_rowHeight; }

signals:
    // A dragged row is to move from row `from` to row `to`.
    void rowMoveRequested(int from, int to);
    // Links dropped from another program are to be added (never empty).
    void linksDropped(const std::vector<Link>& links);
    // The dragged rows were released on tab `tab` of the tab target.
    void rowsDroppedOnTab(int tab);
    // Right button pressed over the list or its header; the selection stays.
    void contextMenuRequested(const QPoint& globalPos);
    // Double-click anywhere in the list.
    void linkDoubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Target { None, Row, Tab };
    // Where a release at the global point would land; row or tab in `index`.
    Target hitTest(const QPoint& globalPos, int& index) const;
    int rowAtViewportY(int y) const;
    void updateDragCursor();
    void endDrag();
    void dropLinks(const QMimeData* mime);
    static bool canTakeDrop(const QMimeData* mime);
    static bool acceptAsCopy(QDropEvent* event);

    LinkListModel* m_model;
    QPointer<QTabBar> m_tabTarget;

    bool m_dragging = false;
    int m_dragFrom = -1;
    int m_dragTo = -1;
    bool m_dropAllowed = false;
    int m_pressRow = -1;           // row pressed with the left button, until release
    QPoint m_pressPos;             // viewport coordinates of that press
    bool m_deferredSelect = false; // press on a selected row: select it alone at release
    bool m_cursorSet = false;
    bool m_hadMouseTracking = false;

    mutable int m_rowHeight;
    mutable int m_firstRowTop = 0;
};
