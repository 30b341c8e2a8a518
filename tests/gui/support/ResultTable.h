#pragma once

#include "editor/LinkCheckWindow.h"

#include <QAbstractItemModel>
#include <QStringList>
#include <QTableView>

// "group.row text" of each row of a results or duplicates window, in table
// order, with the text from the given column.
inline QStringList tableRows(const LinkCheckWindow* window, int column) {
    QStringList out;
    const QAbstractItemModel* model = window->table()->model();
    for (int r = 0; r < model->rowCount(); ++r)
        out << QStringLiteral("%1.%2 %3")
                   .arg(model->index(r, LinkCheckWindow::kGroup).data().toInt())
                   .arg(model->index(r, LinkCheckWindow::kRow).data().toInt())
                   .arg(model->index(r, column).data().toString());
    return out;
}
