#include "editor/LinkListModel.h"

#include "gui/QtText.h"

#include <algorithm>

LinkListModel::LinkListModel(QObject* parent) : QAbstractTableModel(parent) {}

int LinkListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : linkCount();
}

int LinkListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant LinkListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= linkCount() ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return toQString(cellText(index.row(), index.column()));
}

QVariant LinkListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == 0)
        return QStringLiteral("Description");
    if (section == 1)
        return QStringLiteral("URL");
    return {};
}

std::string LinkListModel::cellText(int row, int column) const {
    if (row < 0 || row >= linkCount())
        return {};
    const Link& e = m_rows[static_cast<size_t>(row)];
    if (column == 0)
        return e.m_description;
    if (column == 1)
        return e.m_url;
    return {};
}

int LinkListModel::insertRow(int row, std::string description, std::string url) {
    row = std::clamp(row, 0, linkCount());
    beginInsertRows(QModelIndex(), row, row);
    m_rows.insert(m_rows.begin() + row, Link(std::move(description), std::move(url)));
    endInsertRows();
    return row;
}

bool LinkListModel::setCell(int row, int column, std::string text) {
    if (row < 0 || row >= linkCount() || column < 0 || column > 1)
        return false;
    Link& e = m_rows[static_cast<size_t>(row)];
    (column == 0 ? e.m_description : e.m_url) = std::move(text);
    QModelIndex i = index(row, column);
    emit dataChanged(i, i);
    return true;
}

bool LinkListModel::removeRow(int row) {
    if (row < 0 || row >= linkCount())
        return false;
    beginRemoveRows(QModelIndex(), row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
    return true;
}

void LinkListModel::removeRows(std::vector<int> rows) {
    const int count = linkCount();
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
        std::vector<Link> kept;
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

void LinkListModel::appendRows(const std::vector<Link>& links) {
    if (links.empty())
        return;
    int first = linkCount();
    beginInsertRows(QModelIndex(), first, first + static_cast<int>(links.size()) - 1);
    m_rows.insert(m_rows.end(), links.begin(), links.end());
    endInsertRows();
}

void LinkListModel::setRows(const std::vector<Link>& links) {
    beginResetModel();
    m_rows = links;
    endResetModel();
}

void LinkListModel::clear() {
    beginResetModel();
    std::vector<Link>().swap(m_rows);
    endResetModel();
}
