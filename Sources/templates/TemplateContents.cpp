#include "TemplateContents.h"

#include <QDebug>
#include <QSignalBlocker>
#include <QSet>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <algorithm>

#include "ListWidget.h"
#include "SharedCodes.h"
#include "TemplateDialog.h"
#include "TreeWidget.h"

namespace {

const QString kEntryTag = QStringLiteral("entry");
const QString kContentTag = QStringLiteral("content");

// Taking items out one by one makes the model renumber every remembered
// index each time; above this many, the children are taken out at once.
constexpr int kSingleRemovalLimit = 64;

// The child entries below item (at any depth) that are expanded.
void collectExpanded(const QTreeWidgetItem* item, QList<QTreeWidgetItem*>& expanded)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QTreeWidgetItem* child = item->child(i);
        if (!TreeWidget::isEntry(child))
            continue;
        if (child->isExpanded())
            expanded << child;
        collectExpanded(child, expanded);
    }
}

// Puts the entry's children back as `children`, all at once, with the
// contents below hidden again and expanded child entries expanded again.
void resetChildren(TemplateDialog* page, QTreeWidgetItem* entry, const QList<QTreeWidgetItem*>& children,
                   const QList<QTreeWidgetItem*>& expanded)
{
    entry->addChildren(children);
    TemplateContents::hideContentsBelow(page, entry);
    for (QTreeWidgetItem* item : expanded)
        item->setExpanded(true);
}

} // namespace

QTreeWidgetItem* TemplateContents::newEntry(const QString& title)
{
    auto* item = new QTreeWidgetItem(QStringList(title));
    item->setData(0, Qt::UserRole, kEntryTag);
    item->setText(1, QStringLiteral("title"));
    return item;
}

QTreeWidgetItem* TemplateContents::newContent(const QString& text)
{
    auto* item = new QTreeWidgetItem(QStringList(text));
    item->setData(0, Qt::UserRole, kContentTag);
    item->setText(1, kContentTag);
    return item;
}

QList<QTreeWidgetItem*> TemplateContents::contentsOf(const QTreeWidgetItem* entry)
{
    QList<QTreeWidgetItem*> contents;
    if (!entry)
        return contents;
    const int count = entry->childCount();
    contents.reserve(count);
    for (int i = 0; i < count; ++i)
        if (!TreeWidget::isEntry(entry->child(i)))
            contents << entry->child(i);
    return contents;
}

QStringList TemplateContents::textsOf(const QTreeWidgetItem* entry)
{
    QStringList texts;
    for (const QTreeWidgetItem* item : contentsOf(entry))
        texts << item->text(0);
    return texts;
}

bool TemplateContents::listShows(TemplateDialog* page, const QTreeWidgetItem* entry)
{
    return page && entry && page->getTreeWidget()->currentItem() == entry;
}

void TemplateContents::insert(TemplateDialog* page, QTreeWidgetItem* entry, int row, const QStringList& texts)
{
    qDebug() << Q_FUNC_INFO << ", row =" << row << ", count =" << texts.size();
    if (!entry || texts.isEmpty())
        return;
    const QList<QTreeWidgetItem*> contents = contentsOf(entry);
    row = qBound(0, row, contents.size());
    // Right after the content of the row before, else before the first content.
    int child = 0;
    if (row > 0)
        child = entry->indexOfChild(contents.at(row - 1)) + 1;
    else if (!contents.isEmpty())
        child = entry->indexOfChild(contents.first());

    QList<QTreeWidgetItem*> items;
    items.reserve(texts.size());
    for (const QString& text : texts)
        items << newContent(text);
    entry->insertChildren(child, items);
    if (page) {
        TreeWidget* tree = page->getTreeWidget();
        const QModelIndex parent = tree->indexForItem(entry);
        if (parent.isValid() || entry == tree->invisibleRootItem())
            for (int i = 0; i < items.size(); ++i)
                tree->setRowHidden(child + i, parent, true);
        if (listShows(page, entry))
            page->getListWidget()->insertItems(row, texts);
    }
}

int TemplateContents::remove(TemplateDialog* page, QTreeWidgetItem* entry, QList<int> rows)
{
    qDebug() << Q_FUNC_INFO << ", rows =" << rows.size();
    if (!entry)
        return 0;
    const QList<QTreeWidgetItem*> contents = contentsOf(entry);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::remove_if(rows.begin(), rows.end(), [&](int row) { return row < 0 || row >= contents.size(); }),
               rows.end());
    if (rows.isEmpty())
        return 0;
    const bool list = listShows(page, entry);
    ListWidget* listWidget = page ? page->getListWidget() : nullptr;

    if (rows.size() <= kSingleRemovalLimit) {
        for (int i = rows.size() - 1; i >= 0; --i) {
            QTreeWidgetItem* item = contents.at(rows.at(i));
            delete entry->takeChild(entry->indexOfChild(item));
            if (list && rows.at(i) < listWidget->count())
                delete listWidget->takeItem(rows.at(i));
        }
        return rows.size();
    }

    QSet<QTreeWidgetItem*> gone;
    for (int row : qAsConst(rows))
        gone.insert(contents.at(row));
    QList<QTreeWidgetItem*> expanded;
    collectExpanded(entry, expanded);
    QList<QTreeWidgetItem*> kept;
    for (QTreeWidgetItem* child : entry->takeChildren()) {
        if (gone.contains(child))
            delete child;
        else
            kept << child;
    }
    resetChildren(page, entry, kept, expanded);
    if (list) {
        listWidget->clear();
        listWidget->addItems(textsOf(entry));
    }
    return rows.size();
}

bool TemplateContents::setText(TemplateDialog* page, QTreeWidgetItem* entry, int row, const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", row =" << row << ", text =" << text;
    const QList<QTreeWidgetItem*> contents = contentsOf(entry);
    if (row < 0 || row >= contents.size())
        return false;
    contents.at(row)->setText(0, text);
    if (listShows(page, entry)) {
        if (QListWidgetItem* item = page->getListWidget()->item(row)) {
            item->setText(text);
            item->setToolTip(QString());
        }
    }
    return true;
}

void TemplateContents::setTexts(TemplateDialog* page, QTreeWidgetItem* entry, const QStringList& texts)
{
    qDebug() << Q_FUNC_INFO << ", count =" << texts.size();
    if (!entry)
        return;
    const QList<QTreeWidgetItem*> contents = contentsOf(entry);
    const int kept = qMin(contents.size(), texts.size());
    const bool list = listShows(page, entry);
    ListWidget* listWidget = page ? page->getListWidget() : nullptr;

    // The texts change in place, told to the views once rather than per item.
    if (kept > 0) {
        QAbstractItemModel* model = contents.first()->treeWidget() ? contents.first()->treeWidget()->model() : nullptr;
        {
            const QSignalBlocker treeBlocker(model);
            const QSignalBlocker listBlocker(list ? listWidget->model() : nullptr);
            for (int i = 0; i < kept; ++i) {
                if (contents.at(i)->text(0) != texts.at(i))
                    contents.at(i)->setText(0, texts.at(i));
                if (list && i < listWidget->count())
                    listWidget->item(i)->setText(texts.at(i));
            }
        }
        if (model && page) {
            TreeWidget* tree = page->getTreeWidget();
            emit model->dataChanged(tree->indexForItem(contents.first()), tree->indexForItem(contents.at(kept - 1)));
        }
        if (list && listWidget->count() > 0)
            emit listWidget->model()->dataChanged(listWidget->model()->index(0, 0),
                                                  listWidget->model()->index(qMin(kept, listWidget->count()) - 1, 0));
    }
    if (texts.size() > contents.size()) {
        insert(page, entry, contents.size(), texts.mid(contents.size()));
    } else if (texts.size() < contents.size()) {
        QList<int> rows;
        for (int row = kept; row < contents.size(); ++row)
            rows << row;
        remove(page, entry, rows);
    }
}

QStringList TemplateContents::sorted(const QStringList& texts)
{
    QStringList result = texts;
    std::stable_sort(result.begin(), result.end(), localeAwareLessThan);
    return result;
}

QStringList TemplateContents::withoutDuplicates(const QStringList& texts)
{
    QStringList result;
    result.reserve(texts.size());
    QSet<QString> seen;
    seen.reserve(texts.size());
    for (const QString& text : texts) {
        if (seen.contains(text))
            continue;
        seen.insert(text);
        result << text;
    }
    return result;
}

QList<QTreeWidgetItem*> TemplateContents::topmostItems(const QList<QTreeWidgetItem*>& selection)
{
    const QSet<QTreeWidgetItem*> chosen(selection.cbegin(), selection.cend());
    QSet<QTreeWidgetItem*> taken;
    QList<QTreeWidgetItem*> topmost;
    for (QTreeWidgetItem* item : selection) {
        bool below = false;
        for (QTreeWidgetItem* up = item ? item->parent() : nullptr; up && !below; up = up->parent())
            below = chosen.contains(up);
        if (item && !below && !taken.contains(item)) {
            taken.insert(item);
            topmost << item;
        }
    }
    return topmost;
}

QTreeWidgetItem* TemplateContents::entryAt(QTreeWidget* tree, int number)
{
    if (number < 0)
        return nullptr;
    QList<QTreeWidgetItem*> stack{tree->invisibleRootItem()};
    while (!stack.isEmpty()) {
        QTreeWidgetItem* item = stack.takeLast();
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack << item->child(i);
        if (TreeWidget::isEntry(item) && number-- == 0)
            return item;
    }
    return nullptr;
}

void TemplateContents::addChildEntries(QTreeWidget* tree, const QStringList& titles)
{
    QTreeWidgetItem* current = tree->currentItem();
    for (const QString& title : titles) {
        QTreeWidgetItem* item = newEntry(title);
        if (current) {
            current->addChild(item);
            current->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            current->setExpanded(true);
        } else {
            tree->insertTopLevelItem(0, item);
        }
    }
}

bool TemplateContents::removeSelection(QTreeWidget* tree)
{
    QList<QTreeWidgetItem*> selected = tree->selectedItems();
    if (selected.isEmpty() && tree->currentItem())
        selected << tree->currentItem();
    if (selected.isEmpty())
        return false;
    const QSet<QTreeWidgetItem*> chosen(selected.cbegin(), selected.cend());
    // An item goes with a chosen ancestor.
    auto goes = [&chosen](QTreeWidgetItem* item) {
        for (; item; item = item->parent())
            if (chosen.contains(item))
                return true;
        return false;
    };
    QTreeWidgetItem* next = nullptr;
    if (QTreeWidgetItem* current = tree->currentItem()) {
        for (QTreeWidgetItem* item = tree->itemBelow(current); item && !next; item = tree->itemBelow(item))
            if (!goes(item))
                next = item;
        for (QTreeWidgetItem* item = tree->itemAbove(current); item && !next; item = tree->itemAbove(item))
            if (!goes(item))
                next = item;
    }
    // Every item is judged before any goes: a child deleted with its parent is
    // never touched again.
    const QList<QTreeWidgetItem*> doomed = topmostItems(selected);
    tree->setCurrentItem(next);
    qDeleteAll(doomed);
    return true;
}

void TemplateContents::removeRepeatedContents(QTreeWidgetItem* item)
{
    if (!item)
        return;
    const QString tag = item->data(0, Qt::UserRole).toString();
    qDebug().noquote() << Q_FUNC_INFO << item->text(0) + QStringLiteral(" [") + tag + QStringLiteral("]");
    if (tag == kEntryTag) {
        QSet<QString> seen;
        for (int i = 0; i < item->childCount();) {
            QTreeWidgetItem* child = item->child(i);
            removeRepeatedContents(child);
            if (!TreeWidget::isEntry(child)) {
                if (seen.contains(child->text(0))) {
                    delete item->takeChild(i);
                    continue;
                }
                seen.insert(child->text(0));
            }
            ++i;
        }
    } else if (tag == kContentTag) {
        if (item->childCount() > 0)
            qDebug().noquote() << QStringLiteral("ChildCount = ") + QString::number(item->childCount())
                    + QStringLiteral(", should be 0.");
    } else {
        qDebug().noquote() << QStringLiteral("Warning: skipped unknown data: ") + tag;
    }
}

QTreeWidgetItem* TemplateContents::deepCopy(const QTreeWidgetItem* item)
{
    return item ? item->clone() : nullptr;
}

void TemplateContents::hideContentsBelow(TemplateDialog* page, QTreeWidgetItem* item)
{
    if (page && item)
        page->getTreeWidget()->hideContentItems(item);
}
