#pragma once
// Changes to the contents of one entry of an open template, made in the
// outline tree and, when the entry is the one the page shows, in its contents
// list at the same time. List row i always stands for the entry's i-th child
// that is no entry, whatever child entries stand between the contents, so the
// commands address contents by row and never by their text.

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>

class QTreeWidget;
class QTreeWidgetItem;
class TemplateDialog;

class TemplateContents
{
    Q_DECLARE_TR_FUNCTIONS(TemplateContents)

public:
    // New outline items. Contents carry "content" in column 1 wherever they
    // come from, so that every later pass that hides contents finds them.
    static QTreeWidgetItem* newEntry(const QString& title);
    static QTreeWidgetItem* newContent(const QString& text);

    // The entry's children that are no entries, in order, and their texts.
    static QList<QTreeWidgetItem*> contentsOf(const QTreeWidgetItem* entry);
    static QStringList textsOf(const QTreeWidgetItem* entry);

    // Puts texts in as contents so that they become rows row, row + 1, … of the
    // entry's list (row is clamped to 0 … number of contents). The tree items
    // are hidden.
    static void insert(TemplateDialog* page, QTreeWidgetItem* entry, int row, const QStringList& texts);
    // Takes out the contents at these list rows (out-of-range rows are
    // ignored); returns how many went.
    static int remove(TemplateDialog* page, QTreeWidgetItem* entry, QList<int> rows);
    // Gives the content at a list row a new text.
    static bool setText(TemplateDialog* page, QTreeWidgetItem* entry, int row, const QString& text);
    // Gives the contents these texts, in order, where they stand: extra texts
    // are added at the end, contents beyond the texts are taken out.
    static void setTexts(TemplateDialog* page, QTreeWidgetItem* entry, const QStringList& texts);

    // The texts in the order of localeAwareLessThan; equal texts keep their order.
    static QStringList sorted(const QStringList& texts);
    // The texts without repeats (exact comparison), first occurrences kept.
    static QStringList withoutDuplicates(const QStringList& texts);

    // The items of a selection that have no selected ancestor, in selection
    // order and without repeats: deleting these deletes the whole selection,
    // and no item is reached again after one of its ancestors went.
    static QList<QTreeWidgetItem*> topmostItems(const QList<QTreeWidgetItem*>& selection);

    // The entry at pre-order position `number` among all entries of the tree, or null.
    static QTreeWidgetItem* entryAt(QTreeWidget* tree, int number);
    // New entries of these titles below the tree's current item (which shows
    // them expanded), in order; without a current item each goes to the top,
    // so that they stand there in reverse order.
    static void addChildEntries(QTreeWidget* tree, const QStringList& titles);
    // Deletes the selected items, or the current one when none is selected,
    // with everything below them. The nearest item below the current one that
    // stays, else the nearest above, becomes current. False when nothing went.
    static bool removeSelection(QTreeWidget* tree);
    // Takes out the repeated contents (exact comparison, first occurrences
    // kept) of an entry and of every entry below it; child entries stay.
    static void removeRepeatedContents(QTreeWidgetItem* item);

    // A deep copy of item and everything below it.
    static QTreeWidgetItem* deepCopy(const QTreeWidgetItem* item);
    // Hides the contents below item, at any depth, in the tree of the page.
    static void hideContentsBelow(TemplateDialog* page, QTreeWidgetItem* item);

private:
    // Whether the page's list shows the contents of entry.
    static bool listShows(TemplateDialog* page, const QTreeWidgetItem* entry);
};
