// Main window: the atom template library (its index, atoms and database tables
// opened by name or from under the cursor, selections added to templates), text to
// template, and following generated text back to the template items it came from.

#include "MainWindow.h"

#include <QAction>
#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QListWidgetItem>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include "AtomTemplateLibrary.h"
#include "DatabaseTemplateSelectionDialog.h"
#include "Embellish.h"
#include "GlobalActions.h"
#include "ListWidget.h"
#include "MainWindow_TemplatesSupport.h"
#include "MdiChild.h"
#include "SearchDialog.h"
#include "SharedCodes.h"
#include "TemplateContents.h"
#include "TemplateDialog.h"
#include "TemplateItemRef.h"
#include "TextBlockUserData.h"
#include "TextToTemplateDialog.h"
#include "TreeWidget.h"

// The helpers the template files of the main window share.
using namespace TemplateTabs;

namespace {

// Marking mode of the expansion marking.
constexpr int kExpansionMarking = TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;

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
            tab->selectRecord(*record);
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

} // namespace

// ---- Atom template library -----------------------------------------------------

void MainWindow::placeAtomTemplateUnderCursorAction()
{
    if (!openAtomTemplateUnderCursorAct)
        return;
    addAction(openAtomTemplateUnderCursorAct);
    openAtomTemplateUnderCursorAct->installEventFilter(new KeyTriggerForgetsMenuName(openAtomTemplateUnderCursorAct));
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
    if (!name.isEmpty())
        openNamedAtomTemplate(name, false);
}

void MainWindow::openDatabaseTemplateUnderCursor()
{
    const QString name = nameUnderCursor(this, openDatabaseTemplateUnderCursorAct);
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    if (!name.isEmpty())
        openTemplate(name, QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM);
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

bool MainWindow::openNamedAtomTemplate(const QString& name, bool autoClose, bool closeTabsFirst)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name << ", autoClose =" << autoClose;
    // Names come from the text and the lists, which anybody may have written:
    // every route from a name to a file goes through this check.
    if (!AtomTemplateLibrary::checkName(name))
        return false;
    if (closeTabsFirst)
        autoCloseTabs(QString());
    openTemplate(AtomTemplateLibrary::atomFile(name), QString(), -1, autoClose, TEMPLATE_TYPE_TQW_FILE, false);
    return true;
}

void MainWindow::selectAtomTemplate(QString name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    openNamedAtomTemplate(name, false);
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
            openNamedAtomTemplate(name, true);
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
