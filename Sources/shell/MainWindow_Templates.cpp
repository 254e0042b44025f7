// Main window: template opening, saving, editing, atom library and text-to-template commands.
// Bodies marked "(interim)" log their call only and are filled as the commands are built.

#include "MainWindow.h"

#include <QMessageBox>

#include "Prompt.h"

#include <QDebug>

#include "SharedCodes.h"

int MainWindow::openTemplate(const QString& templateFileName, const QString& searchStr, int index,
                             bool autoClose, uint type, bool create)
{
    qDebug() << Q_FUNC_INFO << "(interim)" << ", templateFileName =" << templateFileName
             << ", searchStr =" << searchStr << ", index =" << index << ", autoClose =" << autoClose
             << ", type =" << templateType2String(type) << ", create =" << create;
    return ERROR_CODE_TEMPLATE_MISSING_OR_INVALID;
}

// ---- Opening and saving --------------------------------------------------------

QString MainWindow::newTemplate(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return QString();
}

void MainWindow::saveTemplate(bool, bool)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::saveTemplateAs()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

int MainWindow::saveTemplateAs(TemplateDialog*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return ERROR_CODE_TEMPLATE_EMPTY_FILE_NAME;
}

bool MainWindow::saveTemplateFinal(bool, TemplateDialog*, int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return false;
}

void MainWindow::setTemplateModified(bool, int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setCurrentTemplateReadOnly()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

bool MainWindow::isCurrentTemplateReadOnly()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return false;
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

void MainWindow::updateRecentTemplates(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::emptyRecentTemplatesList()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openRecentTemplates()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::aboutToShowTemplateMenu()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::aboutToHideTemplateMenu()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
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
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::changeParagraph(QTreeWidgetItem*, QTreeWidgetItem*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

bool MainWindow::templateContentExists(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return false;
}

void MainWindow::setTemplateDialogContextMenus(TemplateDialog*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
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
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::activateTemplateItemsOfUserData(TextBlockUserData*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::activeTabByDatabase(QString, QString, uchar)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::listWidgetItemActivated(QListWidgetItem*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}
