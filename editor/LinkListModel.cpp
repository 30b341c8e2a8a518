#include "editor/LinkListModel.h"

#include "model/Codepage.h"

#include <algorithm>

namespace {

QString ToQString(const std::string& cp1252) {
    std::u16string u = Cp1252ToUtf16(cp1252);
    return QString::fromUtf16(u.data(), static_cast<qsizetype>(u.size()));
}

} // namespace

CLinkListModel::CLinkListModel(QObject* parent) : QAbstractTableModel(parent) {}

int CLinkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : GetRowCount();
}

int CLinkListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant CLinkListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= GetRowCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return ToQString(GetCellText(index.row(), index.column()));
}

QVariant CLinkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == 0)
        return QStringLiteral("Description");
    if (section == 1)
        return QStringLiteral("URL");
    return {};
}

std::string CLinkListModel::GetCellText(int row, int column) const {
    if (row < 0 || row >= GetRowCount())
        return {};
    const CLinkEntry& e = m_rows[static_cast<size_t>(row)];
    if (column == 0)
        return e.m_strDescription;
    if (column == 1)
        return e.m_strUrl;
    return {};
}

int CLinkListModel::InsertRow(int row, std::string description, std::string url) {
    row = std::clamp(row, 0, GetRowCount());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, CLinkEntry(std::move(description), std::move(url)));
    endInsertRows();
    return row;
}

bool CLinkListModel::SetCell(int row, int column, std::string text) {
    if (row < 0 || row >= GetRowCount() || column < 0 || column > 1)
        return false;
    CLinkEntry& e = m_rows[static_cast<size_t>(row)];
    (column == 0 ? e.m_strDescription : e.m_strUrl) = std::move(text);
    QModelIndex i = index(row, column);
    emit dataChanged(i, i);
    return true;
}

bool CLinkListModel::RemoveRow(int row) {
    if (row < 0 || row >= GetRowCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

void CLinkListModel::RemoveRows(std::vector<int> rows) {
    const int count = GetRowCount();
    std::erase_if(rows, [count](int r) { return r < 0 || r >= count; });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty())
        return;
    // Runs of adjacent rows, highest first, so that earlier removals do not
    // renumber later ones.
    std::vector<std::pair<int, int>> runs;
    for (int r : rows) {
        if (!runs.empty() && runs.back().second + 1 == r)
            runs.back().second = r;
        else
            runs.emplace_back(r, r);
    }
    constexpr size_t kMaxRunsRemovedOneByOne = 64;
    if (runs.size() > kMaxRunsRemovedOneByOne) {
        beginResetModel();
        std::vector<CLinkEntry> kept;
        kept.reserve(m_rows.size() - rows.size());
        auto next = rows.begin();
        for (int r = 0; r < count; ++r) {
            if (next != rows.end() && *next == r)
                ++next;
            else
                kept.push_back(std::move(m_rows[static_cast<size_t>(r)]));
        }
        m_rows.swap(kept);
        endResetModel();
        return;
    }
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        beginRemoveRows(QModelIndex(), it->first, it->second);
        m_rows.erase(m_rows.begin() + it->first, m_rows.begin() + it->second + 1);
        endRemoveRows();
    }
}

void CLinkListModel::AppendRows(const std::vector<CLinkEntry>& links) {
    if (links.empty())
        return;
    int first = GetRowCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(links.size()) - 1);
    m_rows.insert(m_rows.end(), links.begin(), links.end());
    endInsertRows();
}

void CLinkListModel::SetRows(const std::vector<CLinkEntry>& links) {
    beginResetModel();
    m_rows = links;
    endResetModel();
}

void CLinkListModel::Clear() {
    beginResetModel();
    std::vector<CLinkEntry>().swap(m_rows);
    endResetModel();
}
