#pragma once
// The tree view of the directory dock.

#include <QTreeView>

class DirTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit DirTreeView(QWidget* parent = nullptr);
};
