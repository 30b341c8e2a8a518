#pragma once

#include "core/Link.h"

#include <QCursor>
#include <QPointer>
#include <QTreeView>

#include <string>
#include <vector>

class LinkListModel;
class QTabBar;

// The link list of the form: two columns, "Description" and "URL", over a
// row model of our own (no widget or item object per row). Several rows can
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
// selected) and releasing it over another row puts it before that row;
// released below the rows it becomes the last row. When a tab bar is set as
// the tab target, releasing over one of its tabs other than the selected one
// emits rowsDroppedOnTab instead and moves nothing in the list.
//
// Drops: link files (Internet shortcuts and freedesktop links) from a file
// manager and links dragged from a web browser are appended as rows.
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

    // --- Row operations ------------------------------------------------
    // Column 0: inserts a new row at `row` (clamped to the row count) whose
    // description is `text` and returns its index. Other columns: sets that
    // cell of an existing row and returns nonzero, or 0 when there is no such
    // row or column.
    int setCellText(const std::string& text, int row, int column);
    // Every selected row, highest index first, however many there are.
    std::vector<int> selectedRows() const;
    int selectedCount() const;
    // The lowest row that has the focus (the current index, selected or
    // not), or -1.
    int focusedRow() const;
    // Makes `row` the focused row without changing the selection; -1 clears it.
    void setFocusedRow(int row);
    // Inserts a row with empty texts at `row`; returns its index.
    int insertBlankRow(int row);
    int linkCount() const;
    // Empty for a row or column that does not exist.
    std::string cellText(int row, int column) const;
    // Removes one row; false when it does not exist.
    bool deleteRow(int row);
    // Removes many rows at once (e.g. the result of selectedRows); much
    // faster than one deleteRow per row when thousands are selected.
    void deleteRows(const std::vector<int>& rows);
    void deleteAllRows();
    // Adds the row to the selection (select = true) or takes it out of it.
    void selectRow(int row, bool select = true);
    bool isRowSelected(int row) const;
    // Appends many rows at once (one model notification).
    void appendRows(const std::vector<Link>& links);
    // Replaces every row (one model reset); the selection is cleared.
    void setRows(const std::vector<Link>& links);

    // Every row, top to bottom.
    const std::vector<Link>& links() const;
    LinkListModel* linkModel() const { return m_model; }

    // --- Row drag --------------------------------------------------------
    // Moves row `from` so that it stands before the row that was at `to`
    // (-1 or the row count: to the end), keeping every text whole. The row
    // is re-created unselected. Emits linkListChanged(from, to).
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
    // Rows were moved by a drag or added by a drop (even when a drop added
    // nothing). from/to: the last drag's rows.
    void linkListChanged(int from, int to);
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
