#pragma once

#include "core/Project.h"

#include <QAbstractTableModel>

#include <string>

// The rows of the link list: the links of one group of the project, shown
// in place (UTF-8 links turned into QString only in data()). The model
// follows the project's changes; it never changes the project itself.
class LinkListModel : public QAbstractTableModel, private ProjectObserver {
    Q_OBJECT
public:
    explicit LinkListModel(QObject* parent = nullptr);
    ~LinkListModel() override;

    // The project and the group shown (a null project shows nothing).
    void setProject(Project* project);
    Project* project() const { return m_project; }
    void setGroup(int group);
    int group() const { return m_group; }

    // QAbstractTableModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    int linkCount() const { return m_count; }
    // Column 0 is the description, column 1 the URL; empty for a row or
    // column out of range.
    std::string cellText(int row, int column) const;

private:
    // ProjectObserver
    void linksRemoved(int group, const std::vector<std::size_t>& rows) override;
    void linksInserted(int group, const std::vector<std::size_t>& rows) override;
    void linksChanged(int group, const std::vector<std::size_t>& rows) override;
    void groupReset(int group) override;
    void projectReset() override;

    void reset();
    int projectCount() const;

    Project* m_project = nullptr;
    int m_group = 0;
    // The row count the views know; it follows the project's through the
    // notifications.
    int m_count = 0;
};
