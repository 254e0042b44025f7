// Main window: document, edit, format, view, clipboard, find, print, export, directory-pane and search commands.
// Bodies marked "(interim)" log their call only and are filled as the commands are built.

#include "MainWindow.h"

#include <QDebug>
#include <QAction>
#include <QStatusBar>
#include <QTextEdit>
#include <QTabWidget>
#include <QEvent>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QMdiSubWindow>

#include "MdiArea.h"
#include "MdiChild.h"
#include "SearchDialog.h"
#include "SharedCodes.h"

MdiChild* MainWindow::createMdiChild()
{
    qDebug() << Q_FUNC_INFO;
    // The document connects itself to fileChange and backgroundChange.
    auto* child = new MdiChild(this);
    QMdiSubWindow* subWindow = mdiArea->addSubWindow(child);
    subWindow->setWindowIcon(QIcon(QStringLiteral(":/Images/Doc_512x512.png")));
    if (mdiArea->subWindowList().size() == 1) {
        statusBar()->show();
        if (showStatusBarAct)
            showStatusBarAct->setChecked(true);
    }
    if (settings.contains(QStringLiteral("LineWrap")))
        child->setLineWrapMode(settings.value(QStringLiteral("LineWrap")).toInt() == 0 ? QTextEdit::NoWrap
                                                                                      : QTextEdit::WidgetWidth);
    connect(child, SIGNAL(copyAvailable(bool)), cutAct, SLOT(setEnabled(bool)));
    connect(child, SIGNAL(copyAvailable(bool)), copyAct, SLOT(setEnabled(bool)));
    connect(child, SIGNAL(cursorPositionChanged()), this, SLOT(updateLineLabelOnStatusBar()));
    connect(child, SIGNAL(cursorPositionChanged()), this, SLOT(cursorPositionChanged()));
    connect(child, SIGNAL(currentCharFormatChanged(const QTextCharFormat&)), this,
            SLOT(currentCharFormatChanged(const QTextCharFormat&)));
    connect(child->document(), SIGNAL(contentsChanged()), this, SLOT(updateCharactersCountOnStatusBar()));
    connect(child, SIGNAL(encodingChanged(const QString)), this, SLOT(updateEncodingLabelOnStatusBar(const QString)));
    currentCharFormatChanged(child->currentCharFormat());
    return child;
}

void MainWindow::newFile()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = createMdiChild();
    child->newFile();
    child->showMaximized();
}

void MainWindow::open(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ": fileName = " << fileName;
    MdiChild* child = createMdiChild();
    // loadFile refuses folders, FIFOs and devices and tells the user why.
    if (!child->loadFile(fileName, QString())) {
        if (auto* subWindow = qobject_cast<QMdiSubWindow*>(child->parentWidget())) {
            mdiArea->removeSubWindow(subWindow);
            delete subWindow;
        } else {
            delete child;
        }
        return;
    }
    child->showMaximized();
    // Watch the file the document writes (its canonical path), so that its own
    // saves through a symbolic link are not taken for another program's.
    if (fileSystemWatcher && !fileSystemWatcher->files().contains(child->currentFile()))
        fileSystemWatcher->addPath(child->currentFile());
}

void MainWindow::toggleSymbol()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Documents -----------------------------------------------------------------

void MainWindow::open()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::open(const QModelIndex&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openRecentFiles()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

QMdiSubWindow* MainWindow::findMdiChild(const QString&) const
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return nullptr;
}

int MainWindow::save(bool)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return ERROR_CODE_NO_ACTIVE_DOCUMENT;
}

bool MainWindow::saveAs()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return false;
}

bool MainWindow::saveAll()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return false;
}

void MainWindow::updateRecentFileActions()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::addRecentFile(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::emptyRecentFilesList()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoSaveCheck()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::fileChanged(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::notifyFileChange(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

int MainWindow::closeTemplateTabOfFile(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return -1;
}

// ---- Edit, format and view -----------------------------------------------------

void MainWindow::copy()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::cut()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::paste()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::undo()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::redo()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::selectAll()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::deleteSelectedText()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::pasteAsPlainText()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::replace()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::textBold()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::textItalic()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::textUnderline()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::textFamily(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::textSize(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::textColor()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::textAlign(QAction*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::alignmentChanged(Qt::Alignment)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::currentCharFormatChanged(const QTextCharFormat&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::syncFontControls(const QFont&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::updateTextColorSwatch(const QColor&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::applyCharFormatToWordOrSelection(const QTextCharFormat&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setFontSize(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::zoom()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::zoom(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::resetZoom()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::applyZoomLevel(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setTextEditReadOnly()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoFormat()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::gotoCharacter()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::gotoLine()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setEncoding()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::updateEncodingActions()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::lineWrap()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::toPlainText()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::highlightCurrentLine()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::highlightCurrentParagraph()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setBlockUserData(const QString&, const QModelIndex&, const QList<int>&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setBlockUserData(TextBlockUserData*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Word pop-ups and clipboard history ----------------------------------------

void MainWindow::clipboardDataChanged()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::pasteFromClipboardHistory()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::newWordList()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::magicLamp()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Find and replace ----------------------------------------------------------

void MainWindow::find()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

bool MainWindow::findReplace(const QString&, const QString&, QTextDocument::FindFlag, QTextDocument::FindFlag, bool, bool, bool, bool)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return false;
}

void MainWindow::toggleInsertOverwriteMode()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Printing and export -------------------------------------------------------

void MainWindow::print()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::printPreview()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::filePrintPreview(QPrinter*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::filePrintPdf()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::filePrintOdt()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::filePrintDoc()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::filePrintDocx()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::filePrintMSDoc(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Directory pane and file properties ----------------------------------------

void MainWindow::fileProperty(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openContainingDirectoryUsingSystemApp()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openContainingDirectoryUsingSystemApp4TabWidget()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openContainingDirectoryUsingDirectoryDock()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Web search ----------------------------------------------------------------

void MainWindow::searchReturnPressed()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::webSearch()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::urlActivated(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::prevUrl()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::nextUrl()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::stopUrl()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::reloadUrl()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::homePageUrl()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::newBookmarkUrl()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::bookmarkList()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Find in files -------------------------------------------------------------

void MainWindow::createSearchDialog()
{
    qDebug() << Q_FUNC_INFO;
    // Interim: the page carries no search text or results table yet.
    searchDialog = new SearchDialog(this);
    const int index = mainTabWidget->addTab(searchDialog, QIcon(QStringLiteral(":/Images/Search.png")), QString());
    mainTabWidget->setTabToolTip(index, tr("搜索: "));
}

void MainWindow::search()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::updateSearchTabText(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::clearSearchDialogHistory()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::openFileOfItem(int, int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Changed files on activation ------------------------------------------------

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        qDebug() << Q_FUNC_INFO << "(interim)";
    return QMainWindow::event(event);
}
