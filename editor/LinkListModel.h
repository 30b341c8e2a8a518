#pragma once

#include "core/Link.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

// The rows of the link list: a description and a URL per row, kept as the
// project keeps them (UTF-8 links) and turned into QString only when the
// view asks for them. links() is what the form hands back to the project.
class LinkListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit LinkListModel(QObject* parent = nullptr);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    const std::vector<Link>& links() const { return m_rows; }
    int linkCount() const { return static_cast<int>(m_rows.size()); }
    // Column 0 is the description, column 1 the URL; empty for a row or
    // column out of range.
    std::string cellText(int row, int column) const;

    // Inserts a row at `row` (clamped to 0..row count); returns its index.
    int insertRow(int row, std::string description, std::string url = {});
    // Sets one cell; false when the row or column does not exist.
    bool setCell(int row, int column, std::string text);
    bool removeRow(int row);
    // Removes the given rows (any order, duplicates and rows out of range
    // ignored) with one notification per run of adjacent rows, or one reset
    // when the runs are many.
    void removeRows(std::vector<int> rows);
    // Appends many rows with one notification.
    void appendRows(const std::vector<Link>& links);
    // Replaces every row with one reset.
    void setRows(const std::vector<Link>& links);
    void clear();

private:
    std::vector<Link> m_rows;
};
