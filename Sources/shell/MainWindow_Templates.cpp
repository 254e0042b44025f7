// Main window: opening and saving templates, the marks and tool tips of their tabs,
// recent templates and the glue of templates shown from word databases. The editing
// commands are in MainWindow_TemplateEditing.cpp; the atom library, text to template
// and following generated text back to its template in MainWindow_AtomLibrary.cpp.

#include "MainWindow.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QMessageBox>
#include <QSqlDatabase>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>

#include "DatabaseTemplate.h"
#include "DomParser.h"
#include "Embellish.h"
#include "ListWidget.h"
#include "MainWindow_TemplatesSupport.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "TemplateContents.h"
#include "TemplateDialog.h"
#include "TemplateWriter.h"
#include "TreeWidget.h"

// The helpers the template files of the main window share.
using namespace TemplateTabs;

namespace {

const QString kUntitledTemplate = QStringLiteral("未命名.tqw");

// A tab saved under no name of its own yet.
bool isUntitled(const QString& fileName)
{
    return fileName.isEmpty() || QFileInfo(fileName).fileName() == kUntitledTemplate;
}

// Tab text of a template file: its title, else the file name, without ".tqw".
QString tabTextOf(const TemplateDialog* tab)
{
    QString text = tab->title().isEmpty() ? tab->fileName().section(QLatin1Char('/'), -1) : tab->title();
    if (text.endsWith(kTemplateSuffix))
        text.chop(kTemplateSuffix.size());
    return text;
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
    QObject::connect(list, &ListWidget::atomTemplateRequested, window,
                     [window](const QString& name, bool autoClose) { window->openNamedAtomTemplate(name, autoClose); });
    QPointer<MainWindow> guard(window);
    list->setActiveEditorSource([guard]() { return guard ? guard->activeMdiChild() : nullptr; });
    list->setContentGenerator(window, SLOT(autoGenFinal()));
    QObject::connect(tab, &TemplateDialog::templateEdited, window, [window, tab]() { markTemplate(window, tab, true); });
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
    const QString table = DatabaseTemplate::tableToShow(database.tables(), name, type);
    if (table.isEmpty()) {
        const bool file = type == TEMPLATE_TYPE_SQLITE_DB_FILE;
        warn(MainWindow::tr("错误"), (file ? MainWindow::tr("数据库里没有表!") : MainWindow::tr("数据库模板表格未找到:"))
                                        + QStringLiteral("\n") + name);
        return file ? ERROR_CODE_DB_NO_TABLE : ERROR_CODE_DB_TABLE_NOT_FOUND;
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
    QTreeWidgetItem* top = DatabaseTemplate::topItem(tab->getTreeWidget(), table);
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
        tab->getTreeWidget()->insertTopLevelItem(0, TemplateContents::newEntry(name));
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
        if (fileChangeUnanswered(tab->fileName()))
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

    // The previous file stays as the ".bak" copy.
    TemplateWriter writer(templateDialog->getTreeWidget());
    writer.setHeader(templateDialog->header());
    if (!writer.writeFileWithBackup(fileName, templateDialog->title())) {
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
