#include "TreeWidget.h"

#include <QAction>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPersistentModelIndex>

#include "DomParser.h"
#include "ListWidget.h"
#include "TemplateDialog.h"

namespace {
const QString kEntryTag = QStringLiteral("entry");
const QString kContentTag = QStringLiteral("content");
}

TreeWidget::TreeWidget(QWidget* parent)
    : QTreeWidget(parent)
    , templateDialog(TemplateDialog::of(parent))
{
    qDebug() << Q_FUNC_INFO;
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setUniformRowHeights(true);
}

TreeWidget::~TreeWidget()
{
    qDebug() << Q_FUNC_INFO;
}

bool TreeWidget::isEntry(const QTreeWidgetItem* item)
{
    return item && item->data(0, Qt::UserRole).toString() == kEntryTag;
}

bool TreeWidget::isContentRow(const QTreeWidgetItem* item)
{
    return item && item->text(1) == kContentTag;
}

QString TreeWidget::copyActionText()
{
    return QCoreApplication::translate("MainWindow", "复制条目");
}

void TreeWidget::hideContentItems(QTreeWidgetItem* item)
{
    qDebug() << Q_FUNC_INFO;
    if (!item)
        return;
    DomParser::hideContents(this, item, item == invisibleRootItem() ? QModelIndex() : indexFromItem(item));
}

void TreeWidget::mousePressEvent(QMouseEvent* event)
{
    QTreeView::mousePressEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    const bool readOnly = templateDialog && templateDialog->property("ReadOnly").toBool();
    qDebug() << Q_FUNC_INFO << ", readOnly =" << readOnly;
    // Copying an entry changes nothing, so it works on a read-only page too.
    const QString copyText = copyActionText();
    for (QAction* action : actions()) {
        if (action->text() != copyText)
            action->setEnabled(!readOnly);
    }
}

void TreeWidget::keyReleaseEvent(QKeyEvent* event)
{
    TemplateDialog::requestCommandForKey(this, event->key());
}

bool TreeWidget::fromOwnList(const QDropEvent* event) const
{
    return templateDialog && templateDialog->getListWidget()->isOwnDrag(event->mimeData());
}

void TreeWidget::dragEnterEvent(QDragEnterEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", source =" << event->source();
    if (event->source() == this) {
        setDragDropMode(QAbstractItemView::InternalMove);
    } else if (fromOwnList(event)) {
        setDragDropMode(QAbstractItemView::DropOnly);
    } else {
        // Only the page's own contents may land here: the follow-up removes the
        // list's selected rows, which must be the ones that were dragged.
        event->ignore();
        return;
    }
    event->setDropAction(event->proposedAction());
    event->accept();
}

void TreeWidget::dropEvent(QDropEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", source =" << event->source();
    if (event->source() == this) {
        QTreeWidget::dropEvent(event);
        // Moved entries come back as new rows, their contents shown again.
        hideContentItems(invisibleRootItem());
        emit edited();
        return;
    }
    if (!fromOwnList(event)) {
        event->ignore();
        return;
    }

    struct Inserted
    {
        QPersistentModelIndex parent;
        int first;
        int last;
    };
    QList<Inserted> inserted;
    const QMetaObject::Connection connection =
        connect(model(), &QAbstractItemModel::rowsInserted, this,
                [&inserted](const QModelIndex& parent, int first, int last) {
                    inserted << Inserted{QPersistentModelIndex(parent), first, last};
                });
    QTreeWidget::dropEvent(event);
    disconnect(connection);

    bool landed = false;
    for (const Inserted& rows : qAsConst(inserted)) {
        QTreeWidgetItem* parent = rows.parent.isValid() ? itemFromIndex(rows.parent) : invisibleRootItem();
        if (parent && adoptDroppedRows(parent, rows.first, rows.last, event->pos()))
            landed = true;
    }
    // A copy as far as the list is concerned: the contents leave it only when
    // the removal that follows is confirmed.
    event->setDropAction(Qt::CopyAction);
    if (!landed) {
        event->ignore();
        return;
    }
    emit dropped();
    emit edited();
}

bool TreeWidget::adoptDroppedRows(QTreeWidgetItem* parent, int first, int last, const QPoint& position)
{
    qDebug() << Q_FUNC_INFO << ", first =" << first << ", last =" << last;
    QList<QTreeWidgetItem*> items;
    for (int row = last; row >= first; --row)
        items.prepend(parent->takeChild(row));

    // Between top-level entries: the entry under the drop point takes them.
    // The entry whose contents the list shows gains nothing from a copy of them.
    QTreeWidgetItem* target = parent;
    if (target == invisibleRootItem())
        target = itemAt(position);
    while (target && !isEntry(target))
        target = target->parent();
    if (!target || target == currentItem()) {
        qDeleteAll(items);
        return false;
    }

    const int firstRow = parent == target ? first : target->childCount();
    for (int i = 0; i < items.size(); ++i) {
        QTreeWidgetItem* item = items.at(i);
        item->setData(0, Qt::BackgroundRole, QVariant());
        item->setData(0, Qt::ToolTipRole, QVariant());
        item->setData(0, Qt::UserRole, kContentTag);
        item->setText(1, kContentTag);
        target->insertChild(firstRow + i, item);
        item->setHidden(true);
    }
    return true;
}
