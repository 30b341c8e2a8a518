#pragma once

#include <QTreeView>

// Placeholder until the striped link list lands.
class CLinkListCtrl : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;
};
