// Main window: template opening, saving, editing, atom library and text-to-template commands.
// Bodies marked "(interim)" log their call only and are filled as the commands are built.

#include "MainWindow.h"

#include <QAction>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QListWidgetItem>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>

#include "DomParser.h"
#include "GlobalActions.h"
#include "ListWidget.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "TemplateDialog.h"
#include "TemplateItemRef.h"
#include "TemplateWriter.h"
#include "TextBlockUserData.h"
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

bool isDatabaseTemplateType(uint type)
{
    switch (type) {
    case TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_ANTONYM:
    case TEMPLATE_TYPE_SQLITE_DB_ATOM:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION:
    case TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER:
    case TEMPLATE_TYPE_SQLITE_DB_SYNONYM:
    case TEMPLATE_TYPE_SQLITE_DB_FILE:
        return true;
    default:
        return false;
    }
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

// Fills a tab from a word-database table.
int loadDatabaseTemplate(TemplateDialog* templateDialog, const QString& templateName, uint type)
{
    qDebug() << Q_FUNC_INFO << "(interim)" << ", templateDialog =" << templateDialog
             << ", templateName =" << templateName << ", type =" << templateType2String(type);
    warn(MainWindow::tr("错误"), MainWindow::tr("模板文件不存在或模板格式错误!"));
    return ERROR_CODE_TEMPLATE_MISSING_OR_INVALID;
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
            warn(tr("错误"), tr("模板文件不存在或模板格式错误!"));
            delete tab;
            return ERROR_CODE_TEMPLATE_MISSING_OR_INVALID;
        }
        updateRecentTemplates(path);
        tab->setTitle(parser.title);
        tab->setHeader(parser.header);
    } else if (isDatabaseTemplateType(type)) {
        const int result = loadDatabaseTemplate(tab, templateFileName, type);
        if (result != ERROR_CODE_SUCCESS) {
            delete tab;
            return result;
        }
    }

    wireTemplateTab(this, tab);

    const int tabIndex = index == -1 ? mainTabWidget->addTab(tab, QString()) : mainTabWidget->insertTab(index, tab, QString());
    mainTabWidget->setCurrentIndex(tabIndex);
    mainTabWidget->setTabIcon(tabIndex, QIcon(QStringLiteral(":/Images/Template.png")));
    mainTabWidget->setTabText(tabIndex, isDatabaseTemplateType(type) ? tab->tableName() : tabTextOf(tab));
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
    if (!searchStr.isEmpty())
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
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Editing -------------------------------------------------------------------

void MainWindow::newTemplateParagraph(QString)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::newTemplateChildParagraph()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::editTemplateParagraph()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::removeTemplateParagraph()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::copyTemplateParagraph()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::pasteTemplateParagraph()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::editTemplateTitle(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::newTemplateContent(const QString&, const QString&, bool)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::copyTemplateContent()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::pasteClipboardToTemplateContent()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::editTemplateContent(const QString&, const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::removeTemplateContent()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::sortTemplateContent()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

int MainWindow::removeDuplicateTemplateContent(TemplateDialog*, bool)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return 0;
}

void MainWindow::newTemplateParagraphFromSelection()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::newTemplateChildParagraphFromSelection()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::newTemplateContentFromSelection()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::addTemplateMarker()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::newTemplateContentFromStringList(QStringList)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
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

bool MainWindow::templateContentExists(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
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

int MainWindow::removeDuplicateTreeWidgetItemContents(QTreeWidgetItem*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return 0;
}

// ---- Atom template library -----------------------------------------------------

void MainWindow::utilitiesTemplate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openAtomTemplateTOC()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::searchAtomTemplateTOC()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openAtomTemplateUnderCursor()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openDatabaseTemplateUnderCursor()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openAtomTable()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openSynonymTemplate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openSpellingTemplate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openWordTemplate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::addSelectedContentToTemplate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::saveSelectedItemsAsAtomTemplate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::addContentToAtomTemplateTOC(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::preloadTemplates()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::selectAtomTemplate(QString)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Text to template ----------------------------------------------------------

void MainWindow::textToTemplate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
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
