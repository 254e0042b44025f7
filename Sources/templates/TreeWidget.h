#pragma once
// The outline of an open template: entries are shown, contents are hidden rows
// (the page's contents list shows those of the current entry). Keys, drops and
// the read-only state of the page are handled here; what the keys ask for is
// passed on as signals, which the window showing the page connects to its
// editing commands.

#include <QTreeWidget>

class TemplateDialog;

class TreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TreeWidget(QWidget* parent = nullptr);
    ~TreeWidget() override;

    // Hides every content below item, at any depth; entries stay visible.
    void hideContentItems(QTreeWidgetItem* item);

    // The item of a model index of this tree, or null.
    QTreeWidgetItem* itemForIndex(const QModelIndex& index) const { return itemFromIndex(index); }
    // The model index of an item of this tree.
    QModelIndex indexForItem(const QTreeWidgetItem* item) const { return indexFromItem(item); }

    // Outline items carry their tag in column 0 under Qt::UserRole.
    static bool isEntry(const QTreeWidgetItem* item);
    // Column 1 reads "content" for the items that stay hidden in the tree.
    static bool isContentRow(const QTreeWidgetItem* item);
    // The text of the copy action, which stays enabled on a read-only page.
    static QString copyActionText();

signals:
    // After contents were dropped here from the page's contents list.
    void dropped();
    // After every drop that changed the outline.
    void edited();
    // Delete, Insert and F2, on release.
    void removeRequested();
    void newRequested();
    void editRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Contents dropped from the list arrive as bare rows: tag them, put them
    // under an entry and hide them. False when they had nowhere to go.
    bool adoptDroppedRows(QTreeWidgetItem* parent, int first, int last, const QPoint& position);
    bool fromOwnList(const QDropEvent* event) const;

    TemplateDialog* templateDialog;
};
