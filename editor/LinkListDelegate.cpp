#include "editor/LinkListDelegate.h"

#include <QFontMetrics>
#include <QPainter>

namespace {
// Only the start of a very long text can be seen; eliding the rest is waste.
constexpr qsizetype kMaxPaintedChars = 1000;
} // namespace

void LinkListDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QString text = index.data(Qt::DisplayRole).toString();
    if (text.size() > kMaxPaintedChars)
        text.truncate(text.at(kMaxPaintedChars - 1).isHighSurrogate() ? kMaxPaintedChars - 1
                                                                      : kMaxPaintedChars);
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::Active,
                                         selected ? QPalette::HighlightedText : QPalette::Text));
    QFontMetrics fm(option.font);
    QString shown = fm.elidedText(text, Qt::ElideRight, option.rect.width());
    painter->drawText(option.rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    painter->restore();
}

QSize LinkListDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
    return QSize(option.rect.width(), rowHeight(option.font));
}

int LinkListDelegate::rowHeight(const QFont& font) {
    return QFontMetrics(font).height() + 2;
}
