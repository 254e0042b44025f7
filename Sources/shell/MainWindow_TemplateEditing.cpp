// Main window: the editing commands of a template tab: entries of the outline
// (new, edit, remove, copy and paste), the title, the contents list (new, edit,
// remove, copy, paste, sort, repeats) and entries and contents taken from the
// editor's selection.

#include "MainWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QInputDialog>
#include <QListWidgetItem>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextCursor>

#include "DatabaseTemplate.h"
#include "Embellish.h"
#include "ListWidget.h"
#include "MainWindow_TemplatesSupport.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "TemplateContents.h"
#include "TemplateDialog.h"
#include "TreeWidget.h"

// The helpers the template files of the main window share.
using namespace TemplateTabs;

namespace {

// Asks for a text in the editing commands' input dialog; false when cancelled.
// A note shows in red above the label.
bool askText(MainWindow* window, const QString& title, const QString& label, const QString& note, QString& text)
{
    QInputDialog dialog(window);
    dialog.setWindowTitle(title);
    dialog.setLabelText(note.isEmpty() ? label
                                       : QStringLiteral("<font color=\"#FF0000\">") + note.toHtmlEscaped()
                                             + QStringLiteral("</font><br>") + label.toHtmlEscaped());
    dialog.setTextValue(text);
    dialog.setOkButtonText(MainWindow::tr("&O确定"));
    dialog.setCancelButtonText(MainWindow::tr("&C取消"));
    dialog.resize(qMax(400, window->width() - 600), window->height());
    if (Prompt::current().execDialog(dialog) != QDialog::Accepted)
        return false;
    text = dialog.textValue();
    return true;
}

// Asks until a text is given, a warning after each empty one; false when cancelled.
bool askNonEmpty(MainWindow* window, const QString& title, const QString& label, const QString& initial,
                 const QString& emptyText, QString& text, const QString& emptyTitle = MainWindow::tr("警告!"))
{
    for (;;) {
        text = initial;
        if (!askText(window, title, label, QString(), text))
            return false;
        if (!text.isEmpty())
            return true;
        warn(emptyTitle, emptyText);
    }
}

bool confirmRemoval()
{
    QMessageBox box(QMessageBox::Warning, MainWindow::tr("警告!"), MainWindow::tr("确认要删除模板内容以及其包含的子项吗？"),
                    QMessageBox::Yes | QMessageBox::No);
    return Prompt::current().exec(box) == QMessageBox::Yes;
}

// A plain message box without a title.
void inform(const QString& text)
{
    QMessageBox box(QMessageBox::NoIcon, QString(), text, QMessageBox::Ok);
    Prompt::current().exec(box);
}

// The paragraphs of the editor's selection that become entries of the current
// template tab (tab); none without an editor (quietly), on a read-only tab
// (with its box) or without a template tab.
QStringList selectionForEntries(MainWindow* window, TemplateDialog** tab)
{
    MdiChild* editor = window->activeMdiChild();
    if (!editor || window->isCurrentTemplateReadOnly())
        return QStringList();
    *tab = templateTab(window->mainTabWidget->currentWidget());
    const QTextCursor cursor = editor->textCursor();
    if (!*tab || cursor.isNull())
        return QStringList();
    return paragraphsOf(cursor.selectedText());
}

} // namespace

// ---- Editing -------------------------------------------------------------------

void MainWindow::newTemplateParagraph(QString str)
{
    qDebug() << Q_FUNC_INFO << ", str =" << str;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab || isCurrentTemplateReadOnly())
        return;
    QString text = str;
    if (text.isEmpty()
        && !askNonEmpty(this, tr("新段落"), tr("键入新段落的内容"), tr("新段落"), tr("内容不能为空，请重试。"), text))
        return;
    TreeWidget* tree = tab->getTreeWidget();
    QTreeWidgetItem* current = tree->currentItem();
    QTreeWidgetItem* item = TemplateContents::newEntry(text);
    if (current && !current->parent()) {
        tree->insertTopLevelItem(tree->indexOfTopLevelItem(current) + 1, item);
    } else {
        tree->insertTopLevelItem(0, item);
        tree->setCurrentItem(item);
    }
    markTemplate(this, tab, true);
}

void MainWindow::newTemplateChildParagraph()
{
    qDebug() << Q_FUNC_INFO;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab || isCurrentTemplateReadOnly())
        return;
    QString text;
    if (!askNonEmpty(this, tr("新增子条目"), tr("请输入子条目的内容:"), tr("新增子条目"), tr("键入内容为空，请输入内容:"),
                     text))
        return;
    TemplateContents::addChildEntries(tab->getTreeWidget(), {text});
    markTemplate(this, tab, true);
}

void MainWindow::editTemplateParagraph()
{
    qDebug() << Q_FUNC_INFO;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    QTreeWidgetItem* current = tab ? tab->getTreeWidget()->currentItem() : nullptr;
    if (!current)
        return;
    QString text;
    if (!askNonEmpty(this, tr("修改当前段落内容"), tr("请输入新的内容:"), current->text(0), tr("内容不能为空，请重试。"),
                     text)
        || text == current->text(0))
        return;
    current->setText(0, text);
    markTemplate(this, tab, true);
}

void MainWindow::removeTemplateParagraph()
{
    qDebug() << Q_FUNC_INFO;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab || !confirmRemoval())
        return;
    if (TemplateContents::removeSelection(tab->getTreeWidget()))
        markTemplate(this, tab, true);
}

void MainWindow::copyTemplateParagraph()
{
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    QTreeWidgetItem* current = tab ? tab->getTreeWidget()->currentItem() : nullptr;
    qDebug() << Q_FUNC_INFO << ", current =" << (current ? current->text(0) : QString());
    if (current)
        copiedTemplateParagraph.reset(TemplateContents::deepCopy(current));
}

void MainWindow::pasteTemplateParagraph()
{
    qDebug() << Q_FUNC_INFO << ", copied =" << (copiedTemplateParagraph ? copiedTemplateParagraph->text(0) : QString());
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab || !copiedTemplateParagraph)
        return;
    TreeWidget* tree = tab->getTreeWidget();
    QTreeWidgetItem* current = tree->currentItem();
    const int index = current && !current->parent() ? tree->indexOfTopLevelItem(current) : -1;
    QTreeWidgetItem* copy = TemplateContents::deepCopy(copiedTemplateParagraph.data());
    tree->insertTopLevelItem(index + 1, copy);
    if (!TreeWidget::isEntry(copy))
        copy->setHidden(true);
    TemplateContents::hideContentsBelow(tab, copy);
    markTemplate(this, tab, true);
}

void MainWindow::editTemplateTitle(int index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index << ", currentIndex =" << mainTabWidget->currentIndex();
    QWidget* page = mainTabWidget->currentWidget();
    TemplateDialog* tab = templateTab(page);
    if (!tab) {
        qWarning().noquote() << tr("非模板对话框(%1)触发修改模板标题.").arg(page ? page->objectName() : QString());
        return;
    }
    const int tabIndex = mainTabWidget->currentIndex();
    QString oldTitle = mainTabWidget->tabText(tabIndex);
    if (oldTitle.startsWith(QLatin1Char('*')))
        oldTitle.remove(0, 1);
    QString title;
    if (!askNonEmpty(this, tr("修改模板标题"), tr("请输入新模板标题:"), oldTitle, tr("模板标题不能为空, 请输入模板标题!"),
                     title, tr("错误!"))
        || title == oldTitle)
        return;
    qDebug().noquote() << QStringLiteral("原模板标题: %1, 改为: %2").arg(oldTitle, title);
    if (tab->type() == TEMPLATE_TYPE_SQLITE_DB_ATOM && !tab->tableName().isEmpty()) {
        // The tab shows the table: the table takes the new name, or nothing changes.
        const QString table = tab->tableName();
        QString statement;
        QString error;
        if (!DatabaseTemplate::isUsableTableName(title)
            || !DatabaseTemplate::renameTable(embellish->getDatabase(TEMPLATE_TYPE_SQLITE_DB_ATOM, QString()), table,
                                              title, &statement, &error)) {
            warn(tr("错误"), tr("重命名数据库模板失败: ") + table + QStringLiteral(" -> ") + title
                                 + (error.isEmpty() ? QString() : QStringLiteral("\n") + error));
            return;
        }
        if (QTreeWidgetItem* top = DatabaseTemplate::topItem(tab->getTreeWidget(), table))
            top->setText(0, title);
        tab->setTableName(title);
        tab->setFileName(templatePath(title));
        mainTabWidget->setTabToolTip(tabIndex, tr("模板: ") + tab->fileName());
    }
    mainTabWidget->setTabText(tabIndex, title);
    tab->setTitle(title);
    markTemplate(this, tab, true);
}

void MainWindow::newTemplateContent(const QString& str, const QString& note, bool interactive)
{
    qDebug() << Q_FUNC_INFO << ", str =" << str << ", note =" << note << ", interactive =" << interactive;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab || isCurrentTemplateReadOnly())
        return;
    QTreeWidgetItem* entry = tab->getTreeWidget()->currentItem();
    if (!entry) {
        warn(tr("错误"), tr("已选择的条目为空, 请选择要编辑的条目。"));
        return;
    }
    QString text = str;
    QString currentNote = note;
    bool ask = interactive;
    for (;;) {
        if (ask) {
            if (text.isEmpty())
                text = tr("新条目");
            if (!askText(this, tr("新条目"), tr("请键入新的条目内容："), currentNote, text))
                return;
        }
        if (text.isEmpty()) {
            ask = true;
            currentNote = tr("内容不能为空。");
            continue;
        }
        if (templateContentExists(text)) {
            if (!ask)
                return;
            currentNote = tr("内容重复，请重新输入内容。");
            continue;
        }
        break;
    }
    ListWidget* list = tab->getListWidget();
    const int row = list->currentRow() + 1;
    TemplateContents::insert(tab, entry, row, {text});
    // Typed in: the next one typed follows it.
    if (interactive)
        list->setCurrentRow(row);
    markTemplate(this, tab, true);
}

void MainWindow::copyTemplateContent()
{
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    const QList<QListWidgetItem*> selected = tab ? tab->getListWidget()->selectedItems() : QList<QListWidgetItem*>();
    qDebug() << Q_FUNC_INFO << ", selected =" << selected.size();
    if (selected.isEmpty())
        return;
    QString text;
    if (selected.size() == 1) {
        text = selected.first()->text();
    } else {
        for (const QListWidgetItem* item : selected)
            text += item->text() + QChar(QChar::ParagraphSeparator);
    }
    QApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

void MainWindow::pasteClipboardToTemplateContent()
{
    qDebug() << Q_FUNC_INFO;
    if (isCurrentTemplateReadOnly())
        return;
    static const QRegularExpression separators(QStringLiteral("[\n\r\t\u2029]"));
    newTemplateContentFromStringList(
        QApplication::clipboard()->text(QClipboard::Clipboard).split(separators, Qt::SkipEmptyParts));
}

void MainWindow::editTemplateContent(const QString& str, const QString& note)
{
    qDebug() << Q_FUNC_INFO << ", str =" << str << ", note =" << note;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab)
        return;
    ListWidget* list = tab->getListWidget();
    QTreeWidgetItem* entry = tab->getTreeWidget()->currentItem();
    const int row = list->currentRow();
    if (row < 0 || !entry) {
        warn(tr("错误"), tr("已选择的条目为空, 请选择要编辑的条目."));
        return;
    }
    const QString old = list->item(row)->text();
    QString text = str.isEmpty() ? old : str;
    QString currentNote = note;
    for (;;) {
        if (!askText(this, tr("修改当前条目内容"), tr("请键入新的条目内容："), currentNote, text) || text == old)
            return;
        if (text.isEmpty()) {
            text = old;
            currentNote = tr("内容不能为空。");
        } else if (templateContentExists(text)) {
            currentNote = tr("内容重复，请重新输入内容。");
        } else {
            break;
        }
    }
    // The row's own content, found by its place: other contents with the same text stay.
    TemplateContents::setText(tab, entry, row, text);
    list->setCurrentRow(row);
    markTemplate(this, tab, true);
}

void MainWindow::removeTemplateContent()
{
    qDebug() << Q_FUNC_INFO;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab || !confirmRemoval())
        return;
    TreeWidget* tree = tab->getTreeWidget();
    if (!tree->currentItem()) {
        if (!tree->topLevelItem(0))
            return;
        tree->setCurrentItem(tree->topLevelItem(0));
    }
    ListWidget* list = tab->getListWidget();
    QList<int> rows;
    for (const QModelIndex& index : list->selectionModel()->selectedIndexes())
        rows << index.row();
    const int scroll = list->verticalScrollBar()->value();
    const int removed = TemplateContents::remove(tab, tree->currentItem(), rows);
    list->verticalScrollBar()->setValue(scroll);
    list->setDragDropMode(QAbstractItemView::InternalMove);
    if (removed > 0)
        markTemplate(this, tab, true);
}

void MainWindow::sortTemplateContent()
{
    qDebug() << Q_FUNC_INFO;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    QTreeWidgetItem* entry = tab ? tab->getTreeWidget()->currentItem() : nullptr;
    if (!entry)
        return;
    const QStringList texts = TemplateContents::textsOf(entry);
    const QStringList sorted = TemplateContents::sorted(texts);
    if (sorted == texts) {
        inform(tr("无需重新排序,当前顺序已经排序!"));
        return;
    }
    TemplateContents::setTexts(tab, entry, sorted);
    tab->onSearchComboBoxCurrentTextChanged(QString());
    markTemplate(this, tab, true);
    inform(tr("排序完成!"));
}

int MainWindow::removeDuplicateTemplateContent(TemplateDialog* templateDialog, bool manual)
{
    qDebug() << Q_FUNC_INFO << ", templateDialog =" << templateDialog << ", manual =" << manual;
    TemplateDialog* tab = templateDialog ? templateDialog : templateTab(mainTabWidget->currentWidget());
    if (!tab) {
        inform(tr("错误, 非模板对话框!"));
        return 0;
    }
    QTreeWidgetItem* entry = tab->getTreeWidget()->currentItem();
    if (tab->getTreeWidget()->topLevelItemCount() == 0 || !entry)
        return 0;
    const QStringList texts = TemplateContents::textsOf(entry);
    const QStringList unique = TemplateContents::withoutDuplicates(texts);
    const int removed = texts.size() - unique.size();
    if (removed == 0) {
        if (manual)
            inform(tr("没有发现重复条目!"));
        return 0;
    }
    TemplateContents::setTexts(tab, entry, unique);
    tab->onSearchComboBoxCurrentTextChanged(QString());
    markTemplate(this, tab, true);
    if (manual)
        inform(tr("%1 条重复条目被剔除!").arg(removed));
    return removed;
}

void MainWindow::newTemplateParagraphFromSelection()
{
    qDebug() << Q_FUNC_INFO;
    TemplateDialog* tab = nullptr;
    const QStringList parts = selectionForEntries(this, &tab);
    if (parts.isEmpty())
        return;
    TreeWidget* tree = tab->getTreeWidget();
    QTreeWidgetItem* current = tree->currentItem();
    const bool afterCurrent = current && !current->parent();
    int index = afterCurrent ? tree->indexOfTopLevelItem(current) + 1 : 0;
    for (const QString& part : parts) {
        QTreeWidgetItem* item = TemplateContents::newEntry(part);
        tree->insertTopLevelItem(index++, item);
        if (!afterCurrent && index == 1)
            tree->setCurrentItem(item);
    }
    if (!tree->currentItem())
        tree->setCurrentItem(tree->topLevelItem(0));
    markTemplate(this, tab, true);
}

void MainWindow::newTemplateChildParagraphFromSelection()
{
    qDebug() << Q_FUNC_INFO;
    TemplateDialog* tab = nullptr;
    const QStringList parts = selectionForEntries(this, &tab);
    if (parts.isEmpty())
        return;
    TemplateContents::addChildEntries(tab->getTreeWidget(), parts);
    markTemplate(this, tab, true);
}

void MainWindow::newTemplateContentFromSelection()
{
    qDebug() << Q_FUNC_INFO;
    if (isCurrentTemplateReadOnly())
        return;
    MdiChild* editor = activeMdiChild();
    if (!editor || editor->textCursor().isNull())
        return;
    newTemplateContentFromStringList(paragraphsOf(editor->textCursor().selectedText()));
}

void MainWindow::addTemplateMarker()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* editor = activeMdiChild();
    if (!editor)
        return;
    QTextCursor cursor = editor->textCursor();
    const QString selected = cursor.selectedText();
    if (cursor.isNull() || selected.isEmpty())
        return;
    cursor.beginEditBlock();
    cursor.insertText(QStringLiteral("[") + selected + QStringLiteral("]"));
    cursor.endEditBlock();
    editor->setTextCursor(cursor);
}

void MainWindow::newTemplateContentFromStringList(QStringList strings)
{
    qDebug() << Q_FUNC_INFO << ", strings =" << strings.size();
    if (isCurrentTemplateReadOnly())
        return;
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    QTreeWidgetItem* entry = tab ? tab->getTreeWidget()->currentItem() : nullptr;
    if (!entry || strings.isEmpty())
        return;
    ListWidget* list = tab->getListWidget();
    if (list->currentRow() < 0 && list->count() > 0)
        list->setCurrentRow(list->count() - 1);
    // In their order, right after the current row.
    TemplateContents::insert(tab, entry, list->currentRow() + 1, strings);
    markTemplate(this, tab, true);
}

void MainWindow::updateParagraphList()
{
    TemplateDialog* tab = TemplateDialog::of(sender());
    if (!tab)
        tab = templateTab(mainTabWidget->currentWidget());
    qDebug() << Q_FUNC_INFO << ", tab =" << tab;
    if (tab)
        tab->syncContentsFromList(tab->getTreeWidget()->currentItem());
}

void MainWindow::changeParagraph(QTreeWidgetItem* current, QTreeWidgetItem* previous)
{
    Q_UNUSED(previous)
    qDebug() << Q_FUNC_INFO << ", current =" << (current ? current->text(0) : QString());
    MdiChild* editor = activeMdiChild();
    if (editor && editor->textCursor().isNull())
        return;
    // The tab whose tree changed, which need not be the current one.
    TemplateDialog* tab = TemplateDialog::of(sender());
    if (!tab) {
        QWidget* page = mainTabWidget->currentWidget();
        if (!page) {
            qCritical() << "No current widget in the template tab widget";
            return;
        }
        if (page->objectName() != QLatin1String("TemplateDialog")) {
            qCritical() << "The current widget is no template tab:" << page->objectName();
            return;
        }
        tab = templateTab(page);
        if (!tab) {
            qCritical() << "currentTemplateDialog == 0";
            return;
        }
    }
    // Without a current entry the list shows nothing rather than another entry's contents.
    tab->showContentsOf(current);
    tab->onSearchComboBoxCurrentTextChanged(QString());
}

bool MainWindow::templateContentExists(const QString& str)
{
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab)
        return false;
    const ListWidget* list = tab->getListWidget();
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text() == str)
            return true;
    return false;
}

void MainWindow::setTemplateDialogContextMenus(TemplateDialog* templateDialog)
{
    qDebug() << Q_FUNC_INFO << ", templateDialog =" << templateDialog;
    if (!templateDialog)
        return;
    auto place = [](QWidget* widget, std::initializer_list<QAction*> actions) {
        for (QAction* action : actions)
            if (action)
                widget->addAction(action);
        widget->setContextMenuPolicy(Qt::ActionsContextMenu);
    };
    place(templateDialog->getTreeWidget(),
          {newTemplateParagraphAct, newTemplateChildParagraphAct, editTemplateParagraphAct, removeTemplateParagraphAct,
           copyTemplateParagraphAct, pasteTemplateParagraphAct, editTemplateTitleAct});
    place(templateDialog->getListWidget(),
          {newTemplateContentAct, copyTemplateContentAct, pasteClipboardToTemplateContentAct, editTemplateContentAct,
           removeTemplateContentAct, sortTemplateContentAct, removeDuplicateTemplateContentAct});
}

// Takes out the repeated contents below item, at any depth; always 0.
int MainWindow::removeDuplicateTreeWidgetItemContents(QTreeWidgetItem* item)
{
    TemplateContents::removeRepeatedContents(item);
    return 0;
}
