#include "editor/LinkListModel.h"

#include "gui/QtText.h"

namespace {

// More runs of rows than this are told as one reset.
constexpr std::size_t kMaxRunsOneByOne = 64;

// Runs of adjacent rows: (first, last), ascending.
std::vector<std::pair<int, int>> runsOf(const std::vector<std::size_t>& rows) {
    std::vector<std::pair<int, int>> runs;
    for (std::size_t r : rows) {
        const int row = static_cast<int>(r);
        if (!runs.empty() && runs.back().second + 1 == row)
            runs.back().second = row;
        else
            runs.emplace_back(row, row);
    }
    return runs;
}

} // namespace

LinkListModel::LinkListModel(QObject* parent) : QAbstractTableModel(parent) {}

LinkListModel::~LinkListModel() {
    if (m_project)
        m_project->removeObserver(this);
}

void LinkListModel::setProject(Project* project) {
    if (m_project)
        m_project->removeObserver(this);
    m_project = project;
    if (m_project)
        m_project->addObserver(this);
    reset();
}

void LinkListModel::setGroup(int group) {
    m_group = group;
    reset();
}

int LinkListModel::projectCount() const {
    return m_project ? static_cast<int>(m_project->linkList(m_group).size()) : 0;
}

void LinkListModel::reset() {
    beginResetModel();
    m_count = projectCount();
    endResetModel();
}

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
    if (!m_project || row < 0 || row >= projectCount())
        return {};
    const LinkList& links = m_project->linkList(m_group);
    if (column == 0)
        return std::string(links.description(static_cast<std::size_t>(row)));
    if (column == 1)
        return std::string(links.url(static_cast<std::size_t>(row)));
    return {};
}

void LinkListModel::linksRemoved(int group, const std::vector<std::size_t>& rows) {
    if (group != m_group)
        return;
    const auto runs = runsOf(rows);
    if (runs.size() > kMaxRunsOneByOne) {
        reset();
        return;
    }
    // Highest first, so that earlier removals do not renumber later ones.
    for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
        beginRemoveRows(QModelIndex(), it->first, it->second);
        m_count -= it->second - it->first + 1;
        endRemoveRows();
    }
}

void LinkListModel::linksInserted(int group, const std::vector<std::size_t>& rows) {
    if (group != m_group)
        return;
    const auto runs = runsOf(rows);
    if (runs.size() > kMaxRunsOneByOne) {
        reset();
        return;
    }
    // Lowest first: each run's rows are numbered as after every insertion.
    for (const auto& [first, last] : runs) {
        beginInsertRows(QModelIndex(), first, last);
        m_count += last - first + 1;
        endInsertRows();
    }
}

void LinkListModel::linksChanged(int group, const std::vector<std::size_t>& rows) {
    if (group != m_group || rows.empty())
        return;
    emit dataChanged(index(static_cast<int>(rows.front()), 0),
                     index(static_cast<int>(rows.back()), 1));
}

void LinkListModel::groupReset(int group) {
    if (group == m_group)
        reset();
}

void LinkListModel::projectReset() {
    reset();
}
