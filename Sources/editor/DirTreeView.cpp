#include "DirTreeView.h"

DirTreeView::DirTreeView(QWidget* parent)
    : QTreeView(parent)
{
}
