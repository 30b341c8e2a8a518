#pragma once

#include "model/LFDoc.h"

#include <QAbstractTableModel>

#include <string>
#include <vector>

// The rows of the link list: a description and a URL per row, kept as the
// document keeps them (Windows-1252 bytes) and turned into QString only when
// the view asks for them. It is also the row source the document reads when
// it takes over a group's links.
class CLinkListModel : public QAbstractTableModel, public CLinkRowSource {
    Q_OBJECT
public:
    explicit CLinkListModel(QObject* parent = nullptr);

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // CLinkRowSource
    int GetRowCount() const override { return static_cast<int>(m_rows.size()); }
    // Empty for a row or column out of range.
    std::string GetCellText(int row, int column) const override;

    // Inserts a row at `row` (clamped to 0..row count); returns its index.
    int InsertRow(int row, std::string description, std::string url = {});
    // Sets one cell; false when the row or column does not exist.
    bool SetCell(int row, int column, std::string text);
    bool RemoveRow(int row);
    // Removes the given rows (any order, duplicates and rows out of range
    // ignored) with one notification per run of adjacent rows, or one reset
    // when the runs are many.
    void RemoveRows(std::vector<int> rows);
    // Appends many rows with one notification.
    void AppendRows(const std::vector<CLinkEntry>& links);
    // Replaces every row with one reset.
    void SetRows(const std::vector<CLinkEntry>& links);
    void Clear();

private:
    std::vector<CLinkEntry> m_rows;
};
