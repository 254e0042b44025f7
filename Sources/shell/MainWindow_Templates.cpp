// Main window: template opening, saving, editing, atom library and text-to-template commands.

#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QInputDialog>
#include <QListWidgetItem>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include "AtomTemplateLibrary.h"
#include "DatabaseTemplate.h"
#include "DatabaseTemplateSelectionDialog.h"
#include "DomParser.h"
#include "Embellish.h"
#include "GlobalActions.h"
#include "ListWidget.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "SearchDialog.h"
#include "SharedCodes.h"
#include "TemplateContents.h"
#include "TemplateDialog.h"
#include "TemplateItemRef.h"
#include "TemplateWriter.h"
#include "TextBlockUserData.h"
#include "TextToTemplateDialog.h"
#include "TreeWidget.h"

namespace {

const QString kUntitledTemplate = QStringLiteral("未命名.tqw");
const QString kTemplateSuffix = QStringLiteral(".tqw");
// Marking mode of the expansion marking.
constexpr int kExpansionMarking = TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;

// Paths compare as cleaned absolute paths: "./Templates/x.tqw" and the path
// of the open tab are the same file.
QString templatePath(const QString& name)
{
    return QDir::cleanPath(QFileInfo(name).absoluteFilePath());
}

// A tab saved under no name of its own yet.
bool isUntitled(const QString& fileName)
{
    return fileName.isEmpty() || QFileInfo(fileName).fileName() == kUntitledTemplate;
}

void warn(const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok);
    box.setFixedSize(box.sizeHint());
    Prompt::current().exec(box);
}

TemplateDialog* templateTab(QWidget* page)
{
    auto* tab = qobject_cast<TemplateDialog*>(page);
    return tab && page->objectName() == QLatin1String("TemplateDialog") ? tab : nullptr;
}

// Tab text of a template file: its title, else the file name, without ".tqw".
QString tabTextOf(const TemplateDialog* tab)
{
    QString text = tab->title().isEmpty() ? tab->fileName().section(QLatin1Char('/'), -1) : tab->title();
    if (text.endsWith(kTemplateSuffix))
        text.chop(kTemplateSuffix.size());
    return text;
}

// Sets or clears the mark of one tab; a tab not yet in the tab widget has none.
void markTemplate(MainWindow* window, TemplateDialog* tab, bool set)
{
    const int index = window->mainTabWidget->indexOf(tab);
    if (index >= 0)
        window->setTemplateModified(set, index);
}

void wireTemplateTab(MainWindow* window, TemplateDialog* tab)
{
    TreeWidget* tree = tab->getTreeWidget();
    ListWidget* list = tab->getListWidget();
    QObject::connect(tree, SIGNAL(currentItemChanged(QTreeWidgetItem*, QTreeWidgetItem*)), window,
                     SLOT(changeParagraph(QTreeWidgetItem*, QTreeWidgetItem*)));
    QObject::connect(list, SIGNAL(itemActivated(QListWidgetItem*)), window,
                     SLOT(listWidgetItemActivated(QListWidgetItem*)));
    QObject::connect(list, SIGNAL(itemDnD()), window, SLOT(updateParagraphList()));
    QObject::connect(tree, SIGNAL(dropped()), window, SLOT(removeTemplateContent()));

    QObject::connect(tree, &TreeWidget::removeRequested, window, &MainWindow::removeTemplateParagraph);
    QObject::connect(tree, &TreeWidget::newRequested, window, [window]() { window->newTemplateParagraph(QString()); });
    QObject::connect(tree, &TreeWidget::editRequested, window, &MainWindow::editTemplateParagraph);
    QObject::connect(list, &ListWidget::removeRequested, window, &MainWindow::removeTemplateContent);
    QObject::connect(list, &ListWidget::newRequested, window,
                     [window]() { window->newTemplateContent(QString(), QString(), true); });
    QObject::connect(list, &ListWidget::editRequested, window,
                     [window]() { window->editTemplateContent(QString(), QString()); });
    QObject::connect(list, &ListWidget::openTemplateRequested, window,
                     [window](const QString& fileName, bool autoClose) {
                         window->openTemplate(fileName, QString(), -1, autoClose, TEMPLATE_TYPE_TQW_FILE, false);
                     });
    QPointer<MainWindow> guard(window);
    list->setActiveEditorSource([guard]() { return guard ? guard->activeMdiChild() : nullptr; });
    list->setContentGenerator(window, SLOT(autoGenFinal()));
    QObject::connect(tab, &TemplateDialog::templateEdited, window, [window, tab]() { markTemplate(window, tab, true); });
}

// The entry at pre-order position `number` among all entries, or null.
QTreeWidgetItem* nthEntry(QTreeWidget* tree, int number)
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

// Selects what one record names in an open tab: the content's entry and its
// list row, or a child entry.
void selectRecord(TemplateDialog* tab, const TemplateItemRef& record)
{
    TreeWidget* tree = tab->getTreeWidget();
    ListWidget* list = tab->getListWidget();
    QTreeWidgetItem* entry = nullptr;
    int child = -1;
    // An index is only trusted when it belongs to this very tree.
    if (record.index.isValid() && record.index.model() == tree->model()) {
        QTreeWidgetItem* item = tree->itemForIndex(record.index);
        QTreeWidgetItem* remembered = tree->currentItem();
        entry = item ? item->parent() : nullptr;
        tree->setCurrentItem(entry);
        if (!tree->currentItem() && remembered)
            tree->setCurrentItem(remembered);
        if (entry)
            child = entry->indexOfChild(item);
    } else if (record.position.size() >= 2) {
        entry = nthEntry(tree, record.position.at(0));
        if (entry)
            tree->setCurrentItem(entry);
        child = record.position.at(1);
    }
    if (!entry || child < 0 || child >= entry->childCount())
        return;
    if (TreeWidget::isEntry(entry->child(child)))
        tree->setCurrentItem(entry->child(child));
    else
        list->setCurrentRow(TemplateDialog::listRowOfChild(entry, child));
}

// Selects the records' items in their open tabs; with mayOpen, a template
// without a tab is opened (auto-close) and everything is selected once more.
void followRecords(MainWindow* window, const QList<TemplateItemRefPointer>& items, bool mayOpen)
{
    bool opened = false;
    for (const TemplateItemRefPointer& record : items) {
        if (!record) {
            qCritical() << "Critical: dirty userData.";
            break;
        }
        if (record->kind != TEMPLATE_TYPE_TQW_FILE)
            continue;
        const QString file = record->path();
        const QString path = templatePath(file);
        bool found = false;
        for (int i = 0; i < window->mainTabWidget->count(); ++i) {
            TemplateDialog* tab = templateTab(window->mainTabWidget->widget(i));
            if (!tab || tab->fileName() != path)
                continue;
            found = true;
            window->mainTabWidget->setCurrentIndex(i);
            selectRecord(tab, *record);
        }
        if (found || !mayOpen)
            continue;
        // A missing template is asked about once, not at every cursor move.
        if (!QFileInfo::exists(path)) {
            if (window->missingTemplatesAsked.contains(path))
                continue;
            window->missingTemplatesAsked.insert(path);
        }
        if (window->openTemplate(file, QString(), -1, true, TEMPLATE_TYPE_SQLITE_DB_FILE, false) == ERROR_CODE_SUCCESS)
            opened = true;
    }
    if (opened)
        followRecords(window, items, false);
}

// The question about a template file that does not exist. True when the user
// chose to create it; the two search answers show a search instead.
bool askForMissingTemplate(MainWindow* window, const QString& templateFileName, const QString& path)
{
    qDebug() << Q_FUNC_INFO << ", templateFileName =" << templateFileName << ", path =" << path;
    enum { Create, SearchSimilar, ChangeKeyword };
    QMessageBox box(QMessageBox::Warning, MainWindow::tr("错误!"), MainWindow::tr("模板文件不存在，或模板格式错误: ") + templateFileName,
                    QMessageBox::NoButton);
    box.addButton(MainWindow::tr("创建模板: ") + QFileInfo(path).fileName(), QMessageBox::ActionRole);
    box.addButton(MainWindow::tr("搜索相似模板"), QMessageBox::ActionRole);
    box.addButton(MainWindow::tr("参考提示，改变关键词重新搜索"), QMessageBox::ActionRole);
    box.addButton(QMessageBox::Cancel);
    const int answer = Prompt::current().exec(box);
    if (answer == Create)
        return true;

    QString key = QFileInfo(path).completeBaseName();
    key.remove(QStringLiteral("描写"));
    key.remove(QStringLiteral("语境"));
    key.remove(QStringLiteral("关键词"));
    if (answer == SearchSimilar) {
        window->mainDock->show();
        bool shown = false;
        for (int i = 0; i < window->mainTabWidget->count() && !shown; ++i) {
            TemplateDialog* tab = templateTab(window->mainTabWidget->widget(i));
            if (tab && tab->fileName().contains(QStringLiteral("原子模板库.tqw"))) {
                window->mainTabWidget->setCurrentIndex(i);
                shown = true;
            }
        }
        if (!shown)
            window->openAtomTemplateTOC();
    } else if (answer == ChangeKeyword) {
        window->openSynonymTemplate();
    } else {
        return false;
    }
    if (TemplateDialog* tab = templateTab(window->mainTabWidget->currentWidget()))
        tab->setSearchText(key);
    return false;
}

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

// The paragraphs of an editor selection, empty ones left out.
QStringList paragraphsOf(const QString& selectedText)
{
    return selectedText.split(QChar(QChar::ParagraphSeparator), Qt::SkipEmptyParts);
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

// New entries below the current one, or at the top when there is none.
void addChildEntries(TemplateDialog* tab, const QStringList& titles)
{
    TreeWidget* tree = tab->getTreeWidget();
    QTreeWidgetItem* current = tree->currentItem();
    for (const QString& title : titles) {
        QTreeWidgetItem* item = TemplateContents::newEntry(title);
        if (current) {
            current->addChild(item);
            current->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
            current->setExpanded(true);
        } else {
            tree->insertTopLevelItem(0, item);
        }
    }
}

bool isAtomIndexTab(const TemplateDialog* tab)
{
    return tab && tab->fileName().endsWith(QStringLiteral("原子模板库.tqw"));
}

// The name the editor's context menu put into the action's text; after a key
// press, which leaves no name there, the bracketed name at the editor cursor.
QString nameUnderCursor(MainWindow* window, const QAction* action)
{
    QString name = action ? AtomTemplateLibrary::nameFromActionText(action->text()) : QString();
    if (!name.isEmpty())
        return name;
    MdiChild* editor = window->activeMdiChild();
    if (!editor)
        return QString();
    return MdiChild::atomReferenceAt(editor->document()->toRawText(), editor->textCursor().position());
}

// The context menu names the atom in the action's text. A key press must not
// find a name left there by a menu shown earlier elsewhere: it clears the text
// before the action triggers, so the name comes from the editor cursor.
class KeyTriggerForgetsMenuName : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Shortcut)
            if (auto* action = qobject_cast<QAction*>(watched))
                action->setText(QString());
        return false;
    }
};

// The item of a database tab whose children are the table's rows.
QTreeWidgetItem* databaseTopItem(TemplateDialog* tab)
{
    TreeWidget* tree = tab->getTreeWidget();
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == tab->tableName())
            return tree->topLevelItem(i);
    return tree->topLevelItem(0);
}

bool isWordListName(const QString& name)
{
    return name == QLatin1String("Synonym") || name == QLatin1String("Antonym");
}

// Fills a tab from a word-database table (type 128: the first table of the
// file at path), or, for "Synonym" and "Antonym" with a search text, from the
// word list of that text (a view that cannot be saved).
int loadDatabaseTemplate(MainWindow* window, TemplateDialog* tab, const QString& name, const QString& path, uint type)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name << ", type =" << templateType2String(type);
    TreeWidget* tree = tab->getTreeWidget();
    QTreeWidgetItem* top = TemplateContents::newEntry(QString());
    tree->insertTopLevelItem(0, top);

    if (isWordListName(name) && !tab->searchStr().isEmpty()) {
        QStringList words = window->embellish->getNewWordList(tab->searchStr(), type, true);
        std::sort(words.begin(), words.end());
        QList<QTreeWidgetItem*> rows;
        for (const QString& word : qAsConst(words))
            rows << TemplateContents::newContent(word);
        top->setText(0, name);
        top->addChildren(rows);
        TemplateContents::hideContentsBelow(tab, top);
        tab->setProperty("ReadOnly", true);
        return ERROR_CODE_SUCCESS;
    }

    QSqlDatabase database = window->embellish->getDatabase(
        type, type == TEMPLATE_TYPE_SQLITE_DB_FILE ? path : QString());
    if (!database.isOpen()) {
        warn(MainWindow::tr("错误"), MainWindow::tr("无法打开数据库文件:") + QStringLiteral("\n") + name);
        return ERROR_CODE_TEMPLATE_MISSING_OR_INVALID;
    }
    const QStringList tables = database.tables();
    QString table;
    if (type == TEMPLATE_TYPE_SQLITE_DB_FILE) {
        if (tables.isEmpty()) {
            warn(MainWindow::tr("错误"), MainWindow::tr("数据库里没有表!") + QStringLiteral("\n") + name);
            return ERROR_CODE_DB_NO_TABLE;
        }
        table = tables.first();
    } else {
        table = name;
        // Older callers name the word databases' tables in English.
        const QString english = DatabaseTemplate::tableOfEnglishName(name);
        if (!tables.contains(table) && tables.contains(english))
            table = english;
        if (!tables.contains(table)) {
            warn(MainWindow::tr("错误"), MainWindow::tr("数据库模板表格未找到:") + QStringLiteral("\n") + name);
            return ERROR_CODE_DB_TABLE_NOT_FOUND;
        }
    }
    tab->setTableName(table);
    top->setText(0, table);
    int columns = 0;
    QString error;
    const int result = DatabaseTemplate::load(database, table, top, &columns, &error);
    if (result == ERROR_CODE_DB_COLUMN_COUNT_MISMATCH) {
        warn(MainWindow::tr("错误"), MainWindow::tr("目前只支持一列或两列的表，当前表格列数为:") + QString::number(columns)
                                        + QStringLiteral("\n") + name);
    } else if (result != ERROR_CODE_SUCCESS) {
        warn(MainWindow::tr("错误"), MainWindow::tr("读取数据库模板失败:") + QStringLiteral("\n") + name
                                        + QStringLiteral("\n") + error);
    }
    TemplateContents::hideContentsBelow(tab, top);
    return result;
}

// Writes a database tab back into its table.
bool saveDatabaseTemplate(MainWindow* window, TemplateDialog* tab)
{
    const QString table = tab->tableName();
    qDebug() << Q_FUNC_INFO << ", table =" << table << ", type =" << tab->type();
    if (table.isEmpty()) {
        warn(MainWindow::tr("错误"), MainWindow::tr("词表视图只能查看，不能保存。"));
        return false;
    }
    const uint code = DatabaseTemplate::databaseCodeFor(tab->type(), table);
    QSqlDatabase database =
        window->embellish->getDatabase(code, code == TEMPLATE_TYPE_SQLITE_DB_FILE ? tab->fileName() : QString());
    if (!database.isOpen()) {
        qCritical().noquote() << "Database is not open: " + table;
        warn(MainWindow::tr("错误"), MainWindow::tr("无法打开数据库文件:") + QStringLiteral("\n") + table);
        return false;
    }
    QTreeWidgetItem* top = databaseTopItem(tab);
    const DatabaseTemplate::SaveResult result =
        DatabaseTemplate::save(database, table, TemplateContents::textsOf(top),
                               DatabaseTemplate::rowSeparator(database.databaseName()));
    if (result.badRow >= 0) {
        tab->getTreeWidget()->setCurrentItem(top);
        tab->getListWidget()->setCurrentRow(result.badRow);
        const QString text = MainWindow::tr("模板格式错误，请修正焦点所在条目。");
        qCritical().noquote() << text;
        warn(MainWindow::tr("警告!"), text);
        return false;
    }
    if (!result.ok) {
        const QString text = MainWindow::tr("SQLite 错误.") + QStringLiteral("\n") + MainWindow::tr("表名 = ") + table
            + QStringLiteral("\n") + QStringLiteral("SQL = ") + result.statement + QStringLiteral("\n")
            + QStringLiteral("Error = ") + (result.error.isEmpty() ? MainWindow::tr("未知错误") : result.error);
        qCritical().noquote() << text;
        warn(MainWindow::tr("错误"), text);
        return false;
    }
    window->statusBar()->showMessage(MainWindow::tr("模板保存成功"), 7000);
    markTemplate(window, tab, false);
    return true;
}

} // namespace

// ---- Opening and saving --------------------------------------------------------

int MainWindow::openTemplate(const QString& templateFileName, const QString& searchStr, int index,
                             bool autoClose, uint type, bool create)
{
    qDebug() << Q_FUNC_INFO << ", templateFileName =" << templateFileName << ", searchStr =" << searchStr
             << ", index =" << index << ", autoClose =" << autoClose << ", type =" << templateType2String(type)
             << ", create =" << create;

    QString path;
    if (create) {
        // The name becomes a file in the atom folder, never a path out of it.
        if (templateFileName.contains(QLatin1Char('/')) || templateFileName.contains(QLatin1Char('\\'))
            || templateFileName.contains(QLatin1String(".."))) {
            warn(tr("错误"), tr("模板名称不能含有 \"/\"、\"\\\" 或 \"..\": ") + templateFileName);
            return ERROR_CODE_TEMPLATE_OPEN_FAILED;
        }
        path = QDir::cleanPath(QDir::currentPath() + QStringLiteral("/Templates/Atom/") + templateFileName);
    } else if (!templateFileName.isEmpty()) {
        path = templatePath(templateFileName);
    }
    if (path.endsWith(kTemplateSuffix))
        type = TEMPLATE_TYPE_TQW_FILE;

    if (path.isEmpty()) {
        if (type == TEMPLATE_TYPE_TQW_FILE)
            path = Prompt::current().getOpenFileName(this, tr("选择模板:"), QStringLiteral("./Templates/Atom/"),
                                                     tr(".tqw 文件 (*.tqw);;所有文件 (*)"));
        else if (type == TEMPLATE_TYPE_SQLITE_DB_FILE)
            path = Prompt::current().getOpenFileName(this, tr("选择模板:"), QStringLiteral("./Dictionary"),
                                                     tr(".db 文件 (*.db);;所有文件 (*)"));
        if (path.isEmpty())
            return ERROR_CODE_SUCCESS;
        qDebug() << "Selected template file: " << path;
        path = templatePath(path);
        // A template file chosen in the database dialog is still a template file.
        if (path.endsWith(kTemplateSuffix))
            type = TEMPLATE_TYPE_TQW_FILE;
    }

    bool newTemplate = create;
    if (type == TEMPLATE_TYPE_TQW_FILE && !create && !QFileInfo::exists(path)) {
        if (!askForMissingTemplate(this, templateFileName, path))
            return ERROR_CODE_SUCCESS;
        newTemplate = true;
    }

    if (!(newTemplate && !QFileInfo::exists(path))) {
        for (int i = 0; i < mainTabWidget->count(); ++i) {
            TemplateDialog* open = templateTab(mainTabWidget->widget(i));
            if (open && open->fileName() == path) {
                mainTabWidget->setCurrentIndex(i);
                mainDock->show();
                return ERROR_CODE_SUCCESS;
            }
        }
    }

    auto* tab = new TemplateDialog(path, nullptr);
    tab->hide();
    tab->setType(type);
    tab->setSplitterSizes(width());
    tab->setTitle(QFileInfo(path).fileName());
    tab->setSearchStr(searchStr);
    tab->setAutoClose(autoClose);

    if (newTemplate) {
        const int result = saveTemplateAs(tab);
        if (result != ERROR_CODE_SUCCESS) {
            delete tab;
            return result;
        }
        path = tab->fileName();
        tab->setTitle(QFileInfo(path).completeBaseName());
    }

    setTemplateDialogContextMenus(tab);

    if (type == TEMPLATE_TYPE_TQW_FILE && !newTemplate && QFileInfo(templateFileName).fileName() != kUntitledTemplate) {
        DomParser parser(tab->getTreeWidget());
        if (!parser.readFile(path) || !parser.buildTree()) {
            // The user stopped it: nothing is wrong with the file.
            if (!parser.wasCancelled())
                warn(tr("错误"), tr("模板文件不存在或模板格式错误!"));
            delete tab;
            return ERROR_CODE_TEMPLATE_MISSING_OR_INVALID;
        }
        updateRecentTemplates(path);
        tab->setTitle(parser.title);
        tab->setHeader(parser.header);
    } else if (DatabaseTemplate::isDatabaseType(type)) {
        // A file chosen in the dialog was given no name: the messages name its path.
        const int result =
            loadDatabaseTemplate(this, tab, templateFileName.isEmpty() ? path : templateFileName, path, type);
        if (result != ERROR_CODE_SUCCESS) {
            delete tab;
            return result;
        }
    }

    wireTemplateTab(this, tab);

    const int tabIndex = index == -1 ? mainTabWidget->addTab(tab, QString()) : mainTabWidget->insertTab(index, tab, QString());
    mainTabWidget->setCurrentIndex(tabIndex);
    mainTabWidget->setTabIcon(tabIndex, QIcon(QStringLiteral(":/Images/Template.png")));
    // A word-list view has no table: it shows the name it was opened with.
    const QString databaseText = tab->tableName().isEmpty() ? templateFileName : tab->tableName();
    mainTabWidget->setTabText(tabIndex, DatabaseTemplate::isDatabaseType(type) ? databaseText : tabTextOf(tab));
    mainTabWidget->setTabToolTip(tabIndex, tr("模板: ") + path);
    templateDialogs << tab;

    if (newTemplate) {
        const QString name = QFileInfo(path).completeBaseName();
        // The first entry of a new atom template bears its name.
        auto* entry = new QTreeWidgetItem(QStringList(name));
        entry->setData(0, Qt::UserRole, QStringLiteral("entry"));
        entry->setText(1, QStringLiteral("title"));
        tab->getTreeWidget()->insertTopLevelItem(0, entry);
        markTemplate(this, tab, true);
        addAtomTemplateContent(name);
        addContentToAtomTemplateTOC(QStringLiteral("[") + name + QStringLiteral("]"));
        saveTemplate(false, false);
    }

    TreeWidget* tree = tab->getTreeWidget();
    tree->setCurrentItem(tree->topLevelItem(0));
    tab->getListWidget()->setCurrentRow(0);
    mainDock->show();
    if (fileSystemWatcher && QFileInfo(path).isFile())
        fileSystemWatcher->addPath(path);
    // A word list already holds what was searched for: filtering it by the word would hide it all.
    if (!searchStr.isEmpty() && !(DatabaseTemplate::isDatabaseType(type) && tab->tableName().isEmpty()))
        tab->setSearchText(searchStr);
    return ERROR_CODE_SUCCESS;
}

QString MainWindow::newTemplate(const QString& title)
{
    qDebug() << Q_FUNC_INFO << ", title =" << title;
    const int result = openTemplate(title.isEmpty() ? kUntitledTemplate : title, QString(), -1, false,
                                    TEMPLATE_TYPE_TQW_FILE, true);
    if (result != ERROR_CODE_SUCCESS)
        return QString();
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    return tab ? tab->fileName() : QString();
}

void MainWindow::saveTemplate(bool all, bool saveAs)
{
    qDebug() << Q_FUNC_INFO << ": all =" << all << ", saveAs =" << saveAs;
    if (!all) {
        TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
        if (!tab) {
            warn(tr("错误"), tr("保存模板出错，请先选择要保存的模板！"));
            return;
        }
        saveTemplateFinal(saveAs, tab, mainTabWidget->currentIndex());
        return;
    }
    for (int i = 0; i < mainTabWidget->count(); ++i) {
        TemplateDialog* tab = templateTab(mainTabWidget->widget(i));
        if (!tab || !mainTabWidget->tabText(i).startsWith(QLatin1Char('*')))
            continue;
        // Another program changed the file and its reload question waits:
        // writing now would destroy that program's work.
        if (changedTemplateQueue.contains(tab->fileName()))
            continue;
        // Saving everything runs from the auto-save timer: a tab without a
        // name of its own would need a file dialog, so it is only reminded of.
        if (isUntitled(tab->fileName())) {
            QMessageBox box(QMessageBox::Warning, tr("警告!"), tr("新创建的模板尚未保存， 请尽快手工保存，以免数据丢失！"),
                            QMessageBox::Ok, this);
            Prompt::current().exec(box);
            continue;
        }
        saveTemplateFinal(false, tab, i);
    }
}

void MainWindow::saveTemplateAs()
{
    qDebug() << Q_FUNC_INFO;
    saveTemplate(false, true);
}

int MainWindow::saveTemplateAs(TemplateDialog* templateDialog)
{
    qDebug() << Q_FUNC_INFO << ", templateDialog =" << templateDialog;
    QString name = Prompt::current().getSaveFileName(this, tr("模板另存为"), templateDialog->fileName(),
                                                     tr("Tqw 文件 (*.tqw);;所有文件 (*)"));
    if (name.isEmpty()) {
        qDebug() << "Save template as canceled.";
        return ERROR_CODE_TEMPLATE_EMPTY_FILE_NAME;
    }
    if (!name.endsWith(kTemplateSuffix))
        name += kTemplateSuffix;
    name = templatePath(name);
    qDebug() << "Save template as: " << name;

    TemplateWriter writer(templateDialog->getTreeWidget());
    writer.setHeader(templateDialog->header());
    if (!writer.writeFile(name, templateDialog->title())) {
        qCritical() << "Save template as failed:" << name << writer.errorString();
        warn(tr("错误"), tr("模板保存过程出错!"));
        return ERROR_CODE_TEMPLATE_OPEN_FAILED;
    }
    statusBar()->showMessage(tr("模板保存成功"), 7000);

    const QString previous = templateDialog->fileName();
    templateDialog->setFileName(name);
    const int index = mainTabWidget->indexOf(templateDialog);
    if (index >= 0) {
        mainTabWidget->setTabToolTip(index, tr("模板: ") + name);
        // The page now shows the new file: watch that one.
        if (fileSystemWatcher) {
            if (!previous.isEmpty())
                fileSystemWatcher->removePath(previous);
            fileSystemWatcher->addPath(name);
        }
    }
    markTemplate(this, templateDialog, false);
    updateRecentTemplates(name);
    return ERROR_CODE_SUCCESS;
}

bool MainWindow::saveTemplateFinal(bool saveAs, TemplateDialog* templateDialog, int index)
{
    qDebug() << Q_FUNC_INFO << ", saveAs =" << saveAs << ", templateDialog =" << templateDialog << ", index =" << index;
    if (!templateDialog)
        return false;
    const QString fileName = templateDialog->fileName();
    qDebug() << "Template file name =" << fileName << "Template title =" << templateDialog->title();

    if (templateDialog->getTreeWidget()->topLevelItemCount() == 0) {
        warn(tr("错误"), tr("保存模板失败, 模板内容不能为空!"));
        return false;
    }
    if (saveAs || isUntitled(fileName))
        return saveTemplateAs(templateDialog) == ERROR_CODE_SUCCESS;

    if (fileSystemWatcher)
        fileSystemWatcher->removePath(fileName);
    auto watchAgain = [this, &fileName]() {
        if (fileSystemWatcher && QFileInfo(fileName).isFile())
            fileSystemWatcher->addPath(fileName);
    };

    if (DatabaseTemplate::isDatabaseType(templateDialog->type())) {
        const bool saved = saveDatabaseTemplate(this, templateDialog);
        watchAgain();
        return saved;
    }
    if (templateDialog->type() != TEMPLATE_TYPE_TQW_FILE) {
        const QString text = tr("未知模板类型: ") + QString::number(templateDialog->type()) + tr(", 保存模板失败!");
        qCritical().noquote() << text;
        warn(tr("错误"), text);
        watchAgain();
        return false;
    }

    // The previous file stays as the ".bak" copy; the new one replaces the
    // file only once it was written completely.
    const QString backup = fileName + QStringLiteral(".bak");
    if (QFileInfo::exists(fileName)) {
        QFile::remove(backup);
        if (!QFile::copy(fileName, backup))
            qWarning() << "Cannot copy the template to its backup:" << backup;
    }
    TemplateWriter writer(templateDialog->getTreeWidget());
    writer.setHeader(templateDialog->header());
    if (!writer.writeFile(fileName, templateDialog->title())) {
        const QString text = tr("保存模板错误: ") + fileName + tr(", 原因: ") + writer.errorString();
        qCritical().noquote() << text;
        warn(tr("错误"), text);
        watchAgain();
        return false;
    }
    statusBar()->showMessage(tr("模板保存成功: ") + fileName, 7000);
    markTemplate(this, templateDialog, false);
    watchAgain();
    return true;
}

void MainWindow::setTemplateModified(bool set, int index)
{
    qDebug() << Q_FUNC_INFO << ": set = " << set << ", index = " << index;
    const int page = index == -1 ? mainTabWidget->currentIndex() : index;
    TemplateDialog* tab = templateTab(mainTabWidget->widget(page));
    if (!tab)
        return;
    QString text = mainTabWidget->tabText(page);
    if (set) {
        if (!text.startsWith(QLatin1Char('*')))
            mainTabWidget->setTabText(page, QStringLiteral("*") + text);
        mainTabWidget->setTabIcon(page, QIcon(QStringLiteral(":/Images/TemplateModified.png")));
        tab->updateContentListInfoLabel();
    } else {
        if (text.startsWith(QLatin1Char('*')))
            mainTabWidget->setTabText(page, text.mid(1));
        mainTabWidget->setTabIcon(page, QIcon(QStringLiteral(":/Images/Template.png")));
    }
    recomputeTemplateModified();
}

void MainWindow::setCurrentTemplateReadOnly()
{
    auto* action = qobject_cast<QAction*>(sender());
    const int index = mainTabWidget->property("clickedWidgetIndex").toInt();
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    QWidget* page = mainTabWidget->widget(index);
    if (action && page)
        page->setProperty("ReadOnly", action->isChecked());
}

bool MainWindow::isCurrentTemplateReadOnly()
{
    // The editing commands change the current page, so that is the one asked about.
    QWidget* page = mainTabWidget->currentWidget();
    const bool readOnly = page && page->property("ReadOnly").toBool();
    qDebug() << Q_FUNC_INFO << ", readOnly =" << readOnly;
    if (readOnly)
        warn(tr("错误!"), tr("当前模板是只读模式，如要修改此模板，请取消只读模式！"));
    return readOnly;
}

int MainWindow::confirmDiscardTemplateChanges()
{
    qDebug() << Q_FUNC_INFO;
    if (!templateModified)
        return 0;
    QMessageBox box(QMessageBox::Warning, tr("警告!"), tr("模板已经修改，您确定不保存模板直接继续吗?"),
                    QMessageBox::Yes | QMessageBox::No);
    box.setButtonText(QMessageBox::Yes, tr("确定"));
    box.setButtonText(QMessageBox::No, tr("取消"));
    return Prompt::current().exec(box);
}

void MainWindow::updateRecentTemplates(const QString& templateName)
{
    qDebug() << Q_FUNC_INFO << ": templateName = " << templateName;
    const QString key = QStringLiteral("RecentTemplatesList");
    QStringList names = settings.value(key).toStringList();
    if (!templateName.isEmpty()) {
        names.removeAll(templateName);
        names.prepend(templateName);
        while (names.size() > MaxRecentTemplates)
            names.removeLast();
        settings.setValue(key, names);
    }
    const int shown = qMin(names.size(), int(MaxRecentTemplates));
    for (int i = 0; i < MaxRecentTemplates; ++i) {
        QAction* action = recentTemplateActions[i];
        if (!action)
            continue;
        if (i < shown) {
            // A "&" in a path is text, not a mnemonic.
            QString path = QDir::cleanPath(QDir::current().absoluteFilePath(names.at(i)));
            path.replace(QLatin1Char('&'), QLatin1String("&&"));
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(path));
            action->setData(names.at(i));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

void MainWindow::emptyRecentTemplatesList()
{
    qDebug() << Q_FUNC_INFO;
    settings.remove(QStringLiteral("RecentTemplatesList"));
    updateRecentTemplates(QString());
}

void MainWindow::openRecentTemplates()
{
    auto* action = qobject_cast<QAction*>(sender());
    qDebug() << Q_FUNC_INFO << ", action =" << action;
    if (action)
        openTemplate(action->data().toString(), QString(), -1, false);
}

void MainWindow::aboutToShowTemplateMenu()
{
    qDebug() << Q_FUNC_INFO;
    if (openAtomTemplateUnderCursorAct)
        openAtomTemplateUnderCursorAct->setVisible(false);
    updateSelectionActions();
}

void MainWindow::aboutToHideTemplateMenu()
{
    qDebug() << Q_FUNC_INFO;
    if (openAtomTemplateUnderCursorAct)
        openAtomTemplateUnderCursorAct->setVisible(true);
}

void MainWindow::openDatabaseTemplate()
{
    qDebug() << Q_FUNC_INFO;
    if (!databaseTemplateSelectionDialog) {
        databaseTemplateSelectionDialog = new DatabaseTemplateSelectionDialog(this);
        databaseTemplateSelectionDialog->setDatabaseSource(
            [this]() { return embellish->getDatabase(TEMPLATE_TYPE_SQLITE_DB_ATOM, QString()); });
        connect(databaseTemplateSelectionDialog->openButton(), SIGNAL(clicked()), this, SLOT(openAtomTable()));
    }
    databaseTemplateSelectionDialog->reload();
    databaseTemplateSelectionDialog->show();
    databaseTemplateSelectionDialog->raise();
}

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
    addChildEntries(tab, {text});
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
    TreeWidget* tree = tab->getTreeWidget();
    QList<QTreeWidgetItem*> selected = tree->selectedItems();
    if (selected.isEmpty() && tree->currentItem())
        selected << tree->currentItem();
    if (selected.isEmpty())
        return;
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
    const QList<QTreeWidgetItem*> doomed = TemplateContents::topmostItems(selected);
    tree->setCurrentItem(next);
    qDeleteAll(doomed);
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
        if (QTreeWidgetItem* top = databaseTopItem(tab))
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
    addChildEntries(tab, parts);
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


int MainWindow::removeDuplicateTreeWidgetItemContents(QTreeWidgetItem* item)
{
    if (!item)
        return 0;
    const QString tag = item->data(0, Qt::UserRole).toString();
    qDebug().noquote() << Q_FUNC_INFO << item->text(0) + QStringLiteral(" [") + tag + QStringLiteral("]");
    if (tag == QLatin1String("entry")) {
        QSet<QString> seen;
        for (int i = 0; i < item->childCount();) {
            QTreeWidgetItem* child = item->child(i);
            removeDuplicateTreeWidgetItemContents(child);
            if (!TreeWidget::isEntry(child)) {
                if (seen.contains(child->text(0))) {
                    delete item->takeChild(i);
                    continue;
                }
                seen.insert(child->text(0));
            }
            ++i;
        }
    } else if (tag == QLatin1String("content")) {
        if (item->childCount() > 0)
            qDebug().noquote() << QStringLiteral("ChildCount = ") + QString::number(item->childCount())
                    + QStringLiteral(", should be 0.");
    } else {
        qDebug().noquote() << QStringLiteral("Warning: skipped unknown data: ") + tag;
    }
    return 0;
}

// ---- Atom template library -----------------------------------------------------

void MainWindow::placeAtomTemplateUnderCursorAction()
{
    if (!openAtomTemplateUnderCursorAct)
        return;
    addAction(openAtomTemplateUnderCursorAct);
    openAtomTemplateUnderCursorAct->installEventFilter(new KeyTriggerForgetsMenuName(openAtomTemplateUnderCursorAct));
}

void MainWindow::utilitiesTemplate()
{
    qDebug() << Q_FUNC_INFO;
    openTemplate(AtomTemplateLibrary::utilitiesFile());
}

void MainWindow::openAtomTemplateTOC()
{
    qDebug() << Q_FUNC_INFO;
    openTemplate(AtomTemplateLibrary::indexFile());
}

void MainWindow::searchAtomTemplateTOC()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* editor = activeMdiChild();
    if (!editor || editor->textCursor().isNull())
        return;
    const QStringList parts = paragraphsOf(editor->textCursor().selectedText());
    openAtomTemplateTOC();
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!isAtomIndexTab(tab)) {
        warn(tr("警告!"), tr("打开 ") + AtomTemplateLibrary::indexFile() + tr(" 失败!"));
        return;
    }
    if (!parts.isEmpty())
        tab->setSearchText(parts.first());
}

void MainWindow::openAtomTemplateUnderCursor()
{
    const QString name = nameUnderCursor(this, openAtomTemplateUnderCursorAct);
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    if (!name.isEmpty() && AtomTemplateLibrary::checkName(name))
        openTemplate(AtomTemplateLibrary::atomFile(name));
}

void MainWindow::openDatabaseTemplateUnderCursor()
{
    const QString name = nameUnderCursor(this, openDatabaseTemplateUnderCursorAct);
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    if (!name.isEmpty())
        openTemplate(name, QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM);
}

void MainWindow::openAtomTable()
{
    const QString name =
        databaseTemplateSelectionDialog ? databaseTemplateSelectionDialog->currentTableName() : QString();
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    if (!name.isEmpty())
        openTemplate(name, QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM);
}

void MainWindow::openSynonymTemplate()
{
    qDebug() << Q_FUNC_INFO;
    openTemplate(QStringLiteral("Synonym"), QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_SYNONYM);
}

void MainWindow::openSpellingTemplate()
{
    qDebug() << Q_FUNC_INFO;
    openTemplate(QStringLiteral("./Dictionary/黑名单.db"));
}

void MainWindow::openWordTemplate()
{
    qDebug() << Q_FUNC_INFO;
    openTemplate(QStringLiteral("./Dictionary/白名单.db"));
}

void MainWindow::addSelectedContentToTemplate()
{
    const QString kind = sender() ? sender()->objectName() : QString();
    qDebug() << Q_FUNC_INFO << ", sender =" << kind;
    MdiChild* editor = activeMdiChild();
    if (!editor || editor->textCursor().isNull())
        return;
    const QString selection = editor->textCursor().selectedText();
    if (kind == QLatin1String("AddSelectedWordToBlackListAct")) {
        openSpellingTemplate();
        // The user types the correction after the arrow.
        newTemplateContent(selection + QStringLiteral(" -> "), QString(), true);
        return;
    }
    if (kind == QLatin1String("AddSelectedWordToWhiteListAct"))
        openWordTemplate();

    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    QTreeWidgetItem* entry = tab ? tab->getTreeWidget()->currentItem() : nullptr;
    const QStringList parts = paragraphsOf(selection);
    if (!entry || parts.isEmpty())
        return;
    ListWidget* list = tab->getListWidget();
    // Each part right after the current row: several end up in reverse order.
    for (const QString& part : parts) {
        if (list->currentRow() < 0 && list->count() > 0)
            list->setCurrentRow(list->count() - 1);
        TemplateContents::insert(tab, entry, list->currentRow() + 1, {part});
    }
    markTemplate(this, tab, true);
}

void MainWindow::saveSelectedItemsAsAtomTemplate()
{
    qDebug() << "Save selected items as template";
    if (!searchDialog)
        return;
    if (newTemplate(searchDialog->currentSearchText()).isEmpty())
        return;
    QStringList texts;
    const QTableWidget* table = searchDialog->filesTable();
    for (int row = 0; row < table->rowCount(); ++row) {
        const QTableWidgetItem* check = table->item(row, 0);
        const QTableWidgetItem* line = table->item(row, 4);
        if (check && line && check->checkState() == Qt::Checked && !line->text().isEmpty())
            texts << line->text();
    }
    // From the last to the first, so that they stand in table order.
    for (int i = texts.size() - 1; i >= 0; --i)
        newTemplateContent(texts.at(i), QString(), false);
    saveTemplate(false, false);
}

void MainWindow::addContentToAtomTemplateTOC(const QString& str)
{
    qDebug() << Q_FUNC_INFO << ", str =" << str;
    const int previous = mainTabWidget->currentIndex();
    openAtomTemplateTOC();
    // Only into the index itself, never into whatever tab is current instead.
    if (isAtomIndexTab(templateTab(mainTabWidget->currentWidget()))) {
        newTemplateContent(str, QString(), false);
        saveTemplate(false, false);
    }
    mainTabWidget->setCurrentIndex(previous);
}

void MainWindow::preloadTemplates()
{
    qDebug() << Q_FUNC_INFO;
    // Read without a tab; names already known are not added twice. Without an
    // index there is nothing to read (a note in the log); a broken one is reported.
    const QString index = AtomTemplateLibrary::indexFile();
    if (!QFileInfo::exists(index)) {
        qWarning() << "No atom index to preload:" << index;
        return;
    }
    if (!AtomTemplateLibrary::preloadMarkers(index, atomTemplateMarkers))
        warn(tr("错误"), tr("模板文件不存在或模板格式错误!"));
}

void MainWindow::selectAtomTemplate(QString name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    if (AtomTemplateLibrary::checkName(name))
        openTemplate(AtomTemplateLibrary::atomFile(name));
}

// ---- Text to template ----------------------------------------------------------

void MainWindow::textToTemplate()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* editor = activeMdiChild();
    if (!editor)
        return;
    const QTextCursor cursor = editor->textCursor();
    const QString text = cursor.hasSelection() ? cursor.selection().toPlainText() : editor->toPlainText();
    auto* dialog = new TextToTemplateDialog(this);
    TextToTemplateDialog::Targets targets;
    targets.currentTab = [this]() { return templateTab(mainTabWidget->currentWidget()); };
    targets.openAtomTemplate = [this](const QString& name) -> TemplateDialog* {
        const QString file = QStringLiteral("Templates/Atom/") + name + kTemplateSuffix;
        if (openTemplate(file, QString(), -1, true, TEMPLATE_TYPE_SQLITE_DB_FILE) != ERROR_CODE_SUCCESS)
            return nullptr;
        TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
        return tab && tab->fileName() == templatePath(file) ? tab : nullptr;
    };
    targets.edited = [this](TemplateDialog* tab) { markTemplate(this, tab, true); };
    dialog->setTargets(targets);
    dialog->setText(text);
    dialog->show();
}

// ---- Following text back to its template ---------------------------------------

void MainWindow::cursorPositionChanged()
{
    if (!cursorTrackingEnabled)
        return;
    MdiChild* editor = activeMdiChild();
    if (!editor || !editor->hasFocus())
        return;
    const QTextCursor cursor = editor->textCursor();
    TextBlockUserData* userData = TextBlockUserData::of(cursor.block());
    if (!userData) {
        if (currentTemplateType == kExpansionMarking)
            autoCloseTabs(QString());
    } else {
        // The template of the paragraph stays open: closing it only to open it
        // again would read it anew at every cursor move.
        const TemplateItemRefPointer first = userData->items.value(0);
        autoCloseTabs(first && first->kind == TEMPLATE_TYPE_TQW_FILE ? templatePath(first->path()) : QString());
        if (first) {
            switch (first->kind) {
            case TEMPLATE_TYPE_TQW_FILE:
                activateTemplateItemsOfUserData(userData);
                break;
            case TEMPLATE_TYPE_SQLITE_DB_SYNONYM:
            case TEMPLATE_TYPE_SQLITE_DB_ANTONYM:
            case TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD:
            case TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD:
            case TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST:
            case TEMPLATE_TYPE_SQLITE_DB_ATOM:
                activeTabByDatabase(first->ref, cursor.block().text(), uchar(first->kind));
                break;
            default:
                break;
            }
        } else if (!userData->items.isEmpty()) {
            qCritical() << "Critical: dirty userData.";
        }
    }
    alignmentChanged(editor->alignment());
}

void MainWindow::activateTemplateItemsOfUserData(TextBlockUserData* userData)
{
    qDebug() << Q_FUNC_INFO << ", userData =" << userData;
    if (userData)
        followRecords(this, userData->items, true);
}

void MainWindow::activeTabByDatabase(QString templateName, QString text, uchar databaseType)
{
    qDebug() << Q_FUNC_INFO << ", templateName =" << templateName << ", text =" << text
             << ", databaseType =" << databaseType;
    // A table that failed to open is reported once, not at every cursor move.
    const QString key = QString::number(databaseType) + QLatin1Char(':') + templateName;
    if (missingTemplatesAsked.contains(key))
        return;
    if (openTemplate(templateName, text, -1, true, databaseType, false) != ERROR_CODE_SUCCESS) {
        missingTemplatesAsked.insert(key);
        return;
    }
    TemplateDialog* tab = templateTab(mainTabWidget->currentWidget());
    if (!tab)
        return;
    const bool blackList = databaseType == TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST;
    const QList<QListWidgetItem*> found = tab->getListWidget()->findItems(
        blackList ? text + QStringLiteral(" -> ") : text, blackList ? Qt::MatchStartsWith : Qt::MatchExactly);
    if (!found.isEmpty())
        tab->getListWidget()->setCurrentItem(found.first());
}

void MainWindow::listWidgetItemActivated(QListWidgetItem* current)
{
    const QString text = current ? current->text() : QString();
    qDebug() << Q_FUNC_INFO << ": current->text() =" << text;
    MdiChild* editor = activeMdiChild();
    if (text.isEmpty() || !editor || editor->textCursor().isNull())
        return;

    if (currentTemplateType == kExpansionMarking) {
        if (text.startsWith(QLatin1Char('['))) {
            QString name = text;
            name.remove(QLatin1Char('['));
            name.remove(QLatin1Char(']'));
            if (AtomTemplateLibrary::checkName(name))
                openTemplate(QStringLiteral("Templates/Atom/") + name + kTemplateSuffix, QString(), -1, true);
        } else {
            editor->itemActivated(current, nullptr);
        }
        return;
    }

    // The paragraph under the cursor becomes the item's text, in one undo step.
    QTextCursor cursor = editor->textCursor();
    const QTextBlock block = cursor.block();
    const bool first = block == editor->document()->firstBlock();
    cursor.beginEditBlock();
    cursor.setPosition(first ? block.position() : block.position() - 1);
    cursor.setPosition(block.position() + block.length() - 1, QTextCursor::KeepAnchor);
    if (!first)
        cursor.insertText(QStringLiteral("\n"));
    else
        cursor.removeSelectedText();
    cursor.insertText(text);
    cursor.endEditBlock();
    editor->setTextCursor(cursor);
    editor->ensureCursorVisible();
}
