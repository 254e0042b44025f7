#include "DirTreeView.h"

#include <QContextMenuEvent>
#include <QDebug>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QMenu>
#include <QUrl>

#include "FilePropertyDialog.h"
#include "Prompt.h"

DirTreeView::DirTreeView(QWidget* parent)
    : QTreeView(parent)
{
    qDebug() << Q_FUNC_INFO;
}

QString DirTreeView::filePath(const QModelIndex& index) const
{
    qDebug() << Q_FUNC_INFO << ", row =" << index.row();
    const auto* fileModel = qobject_cast<const QFileSystemModel*>(model());
    return fileModel && index.isValid() ? fileModel->filePath(index) : QString();
}

void DirTreeView::contextMenuEvent(QContextMenuEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", pos =" << event->pos();
    const QModelIndex index = indexAt(event->pos());
    const QString path = filePath(index);
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    setCurrentIndex(index);

    // A menu per click, gone when it closes.
    QMenu menu(this);
    QAction* openAction = menu.addAction(tr("打开"));
    QAction* folderAction = menu.addAction(tr("系统默认程序打开所在目录"));
    QAction* propertyAction = menu.addAction(tr("文件属性"));
    QAction* chosen = Prompt::current().execMenu(menu, event->globalPos());
    if (chosen == openAction) {
        emit activated(index);
    } else if (chosen == folderAction) {
        Prompt::current().openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
    } else if (chosen == propertyAction) {
        FilePropertyDialog dialog(this);
        dialog.setFileName(path);
        Prompt::current().execDialog(dialog);
    }
    event->accept();
}
