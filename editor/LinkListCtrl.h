#pragma once

#include "model/LinkEntry.h"

#include <QCursor>
#include <QPointer>
#include <QTreeView>

#include <string>
#include <vector>

class CLinkListModel;
class CLinkRowSource;
class QTabBar;

// The link list of the form: two columns, "Description" and "URL", over a
// row model of our own (no widget or item object per row). Several rows can
// be selected; the focused row (the current index) is separate from the
// selection.
//
// Look: light-blue (even index) and white (odd index) stripes that follow
// the row indices and continue below the last row, a grey line at each
// column's right edge, the selection filled one pixel short at top and
// bottom, text elided at the end, no focus rectangle and no grid.
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
// the URL. Texts are Windows-1252 bytes, as the document keeps them.
class CLinkListCtrl : public QTreeView {
    Q_OBJECT
public:
    explicit CLinkListCtrl(QWidget* parent = nullptr);
    ~CLinkListCtrl() override;

    // --- Row operations ------------------------------------------------
    // Column 0: inserts a new row at `row` (clamped to the row count) whose
    // description is `text` and returns its index. Other columns: sets that
    // cell of an existing row and returns nonzero, or 0 when there is no such
    // row or column.
    int SetCellText(const std::string& text, int row, int column);
    // Every selected row, highest index first, however many there are.
    std::vector<int> GetSelectedRows() const;
    int GetSelectedCount() const;
    // The lowest row that has the focus (the current index, selected or
    // not), or -1.
    int GetFocusedRow() const;
    // Makes `row` the focused row without changing the selection; -1 clears it.
    void SetFocusedRow(int row);
    // Inserts a row with empty texts at `row`; returns its index.
    int InsertBlankRow(int row);
    int GetRowCount() const;
    // Empty for a row or column that does not exist.
    std::string GetCellText(int row, int column) const;
    // Removes one row; false when it does not exist.
    bool DeleteRow(int row);
    // Removes many rows at once (e.g. the result of GetSelectedRows); much
    // faster than one DeleteRow per row when thousands are selected.
    void DeleteRows(const std::vector<int>& rows);
    void DeleteAllRows();
    // Adds the row to the selection (select = true) or takes it out of it.
    void SelectRow(int row, bool select = true);
    bool IsRowSelected(int row) const;
    // Appends many rows at once (one model notification).
    void AppendRows(const std::vector<CLinkEntry>& links);
    // Replaces every row (one model reset); the selection is cleared.
    void SetRows(const std::vector<CLinkEntry>& links);

    // The rows as the document reads them (ReplaceLinksFromList).
    const CLinkRowSource& RowSource() const;
    CLinkListModel* GetModel() const { return m_pModel; }

    // --- Row drag --------------------------------------------------------
    // Moves row `from` so that it stands before the row that was at `to`
    // (-1 or the row count: to the end), keeping every text whole. The row
    // is re-created unselected. Emits linkListChanged(from, to).
    void MoveDraggedRow(int from, int to);
    // The tab bar whose tabs accept rows dragged from this list.
    void SetTabTarget(QTabBar* tabBar) { m_pTabTarget = tabBar; }
    bool IsDragging() const { return m_bDragging; }
    // Verdict of the last pointer move during a drag: a release there would
    // move the row (or drop on another tab).
    bool IsDropAllowed() const { return m_bDropAllowed; }
    // The drag cursor: an arrow standing on a tab page, hot spot (4, 6).
    static QCursor DragCursor();

    // Stripe colours by row index.
    static QColor StripeColor(int row);
    // Height of the stripes and the top of the first one, in viewport
    // coordinates; they follow the rows as drawn.
    int StripeHeight() const { return m_nRowHeight; }
    int StripeTop() const { return m_nFirstRowTop; }

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
    Target HitTest(const QPoint& globalPos, int& index) const;
    int RowAtViewportY(int y) const;
    void UpdateDragCursor();
    void EndDrag();
    void DropLinks(const QMimeData* mime);
    static bool CanTakeDrop(const QMimeData* mime);
    static bool AcceptAsCopy(QDropEvent* event);

    CLinkListModel* m_pModel;
    QPointer<QTabBar> m_pTabTarget;

    bool m_bDragging = false;
    int m_nDragFrom = -1;
    int m_nDragTo = -1;
    bool m_bDropAllowed = false;
    int m_nPressRow = -1;           // row pressed with the left button, until release
    QPoint m_pressPos;              // viewport coordinates of that press
    bool m_bDeferredSelect = false; // press on a selected row: select it alone at release
    bool m_bCursorSet = false;
    bool m_bHadMouseTracking = false;

    mutable int m_nRowHeight;
    mutable int m_nFirstRowTop = 0;
};
