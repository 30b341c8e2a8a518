#pragma once

#include <QStyledItemDelegate>

// Paints the text of one link list cell: a single line, cut with an ellipsis
// at the end when it does not fit, in the highlighted-text colour on a
// selected row. The row's stripe, highlight and column line are painted by
// the list itself.
class LinkListDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Row height for the given font.
    static int rowHeight(const QFont& font);
};
