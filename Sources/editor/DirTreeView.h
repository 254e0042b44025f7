#pragma once
// The tree view of the directory dock. Right-clicking an entry offers to open
// it, to open its folder with the desktop and to show its properties; the empty
// area offers nothing.

#include <QTreeView>

class DirTreeView : public QTreeView
{
    Q_OBJECT
public:
    explicit DirTreeView(QWidget* parent = nullptr);

    // The file-system path of an index of the view's model (empty when none).
    QString filePath(const QModelIndex& index) const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};
