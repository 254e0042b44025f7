// Main window: the documents as files. New documents, opening (the dialog, the
// recent list, the directory pane, the command line and find-in-files hits all
// come through open(fileName)), saving, the recent-file list and auto-save.

#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QIcon>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QTabBar>
#include <QTextDocument>

#include "MdiArea.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "TQDirModel.h"
#include "TextFileReader.h"

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
        child->setWrapping(settings.value(QStringLiteral("LineWrap")).toInt() != 0);
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

namespace {
// Files this large (50 MiB) ask before they are read into memory.
const qint64 largeFileSize = qint64(50) << 20;
// The one path whose large-file question the open dialog has answered already.
QString largeFileConfirmed;

// A new document gets 2 x zoomStep per doubling of the zoom level, one step more
// than the doublings, in the zoom direction.
void applyNewDocumentZoom(MdiChild* child)
{
    qDebug() << Q_FUNC_INFO << ", zoomLevel =" << zoomLevel;
    if (zoomLevel > 1) {
        for (int i = 0; logBase2(zoomLevel) >= i; ++i)
            child->zoomBy(2 * zoomStep);
    } else if (zoomLevel < -1) {
        for (int i = 0; logBase2(-zoomLevel) >= i; ++i)
            child->zoomBy(-2 * zoomStep);
    }
}

void setCurrentTabToolTip(MdiArea* area, const QString& tip)
{
    qDebug() << Q_FUNC_INFO << ", tip =" << tip;
    if (auto* tabBar = area->findChild<QTabBar*>())
        tabBar->setTabToolTip(tabBar->currentIndex(), tip);
}

// Large files ask first; true when the file may be opened. One too large to be
// read at all is not asked about: the document refuses it at once, and a
// question whose 确定 only leads to the refusal would be a false promise.
bool confirmLargeFile(QWidget* parent, const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    const QFileInfo info(fileName);
    if (!info.isFile() || info.size() < largeFileSize || info.size() > TextFileReader::maxFileSize())
        return true;
    // One arg() for both: a "%1" in the file name stays part of the name.
    QMessageBox box(QMessageBox::Warning, QObject::tr("警告"),
                    QObject::tr("打开大文件的速度可能会很慢, 确定要继续吗? \n%1的大小为: %2MB")
                        .arg(info.fileName(), QString::number(info.size() >> 20)),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setTextFormat(Qt::PlainText);
    return Prompt::current().exec(box) == QMessageBox::Ok;
}
} // namespace

void MainWindow::newFile()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = createMdiChild();
    child->newFile();
    child->showMaximized();
    applyNewDocumentZoom(child);
    setCurrentTabToolTip(mdiArea, child->currentFile());
    updateCharactersCountOnStatusBar();
    updateEncodingLabelOnStatusBar(QString());
    updateLineLabelOnStatusBar();
}

void MainWindow::open(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ": fileName = " << fileName;
    const QString confirmed = largeFileConfirmed;
    largeFileConfirmed.clear();

    // A lone empty untitled document that nobody touched gives way to the file.
    QPointer<QMdiSubWindow> placeholder;
    if (mdiArea->subWindowList().size() == 1) {
        MdiChild* active = activeMdiChild();
        if (active && active->isUntitled && active->document()->isEmpty() && !active->document()->isModified())
            placeholder = qobject_cast<QMdiSubWindow*>(active->parentWidget());
    }

    if (QMdiSubWindow* existing = findMdiChild(fileName)) {
        mdiArea->setActiveSubWindow(existing);
        return;
    }
    // Every route (dialog, recent list, directory pane, command line, search hits) asks.
    if (confirmed != fileName && !confirmLargeFile(this, fileName))
        return;

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
    statusBar()->showMessage(tr("文档加载成功"), 7000);
    child->showMaximized();
    addRecentFile(fileName);
    setCurrentTabToolTip(mdiArea, child->currentFile());
    updateRecentFileActions();
    updateCharactersCountOnStatusBar();
    // Watch the file the document writes (its canonical path), so that its own
    // saves through a symbolic link are not taken for another program's.
    if (fileSystemWatcher && !fileSystemWatcher->files().contains(child->currentFile()))
        fileSystemWatcher->addPath(child->currentFile());
    if (placeholder) {
        mdiArea->removeSubWindow(placeholder);
        placeholder->deleteLater();
    }
}

void MainWindow::open()
{
    qDebug() << Q_FUNC_INFO;
    QString directory = settings.value(QStringLiteral("LastOpenFilePath")).toString();
    if (directory.isNull())
        directory = QDir::homePath();
    const QString fileName = Prompt::current().getOpenFileName(
        this, tr("打开文档"), directory, tr("txt 文件 (*.txt);;tqd 文件 (*.tqd);;所有文件 (*)"));
    if (fileName.isEmpty())
        return;
    // An already open file is only activated, so it needs no question.
    if (!findMdiChild(fileName)) {
        if (!confirmLargeFile(this, fileName))
            return;
        largeFileConfirmed = fileName;
    }
    open(fileName);
    settings.setValue(QStringLiteral("LastOpenFilePath"), QFileInfo(fileName).path());
}

void MainWindow::open(const QModelIndex& index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    if (!dirModel || !index.isValid() || dirModel->isDir(index))
        return;
    const QString path = dirModel->filePath(index);
    if (path.endsWith(QLatin1String(".txt")) || path.endsWith(QLatin1String(".tqd"))) {
        open(path);
        return;
    }
    // Other files go to the desktop's own program, as a file manager's double click
    // would (a script or launcher may therefore run, depending on the desktop).
    Prompt::current().openUrl(QUrl::fromLocalFile(path));
}

void MainWindow::openRecentFiles()
{
    qDebug() << Q_FUNC_INFO;
    if (auto* action = qobject_cast<QAction*>(sender()))
        open(action->data().toString());
}

QMdiSubWindow* MainWindow::findMdiChild(const QString& fileName) const
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    const QString canonicalFilePath = QFileInfo(fileName).canonicalFilePath();
    if (canonicalFilePath.isEmpty())
        return nullptr;
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        auto* child = qobject_cast<MdiChild*>(window->widget());
        if (child && child->currentFile() == canonicalFilePath)
            return window;
    }
    return nullptr;
}

int MainWindow::save(bool manual)
{
    qDebug() << Q_FUNC_INFO << ": manual =" << (manual ? "true" : "false");
    MdiChild* child = activeMdiChild();
    if (!child) {
        qDebug() << ": ret =" << ERROR_CODE_NO_ACTIVE_DOCUMENT << errorCode2String(ERROR_CODE_NO_ACTIVE_DOCUMENT);
        return ERROR_CODE_NO_ACTIVE_DOCUMENT;
    }
    const int ret = child->save(manual);
    if (ret == ERROR_CODE_SUCCESS)
        statusBar()->showMessage(tr("文档保存成功"), 7000);
    qDebug() << ": ret =" << ret << errorCode2String(ret);
    return ret;
}

bool MainWindow::saveAs()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild()) {
        if (child->saveAs() == ERROR_CODE_SUCCESS)
            statusBar()->showMessage(tr("文档保存成功"), 7000);
    }
    return true;
}

bool MainWindow::saveAll()
{
    qDebug() << Q_FUNC_INFO;
    // Closing a sub-window from a nested event loop must not leave us a dangling pointer.
    QList<QPointer<MdiChild>> children;
    for (QMdiSubWindow* window : mdiArea->subWindowList())
        if (auto* child = qobject_cast<MdiChild*>(window->widget()))
            children << child;
    for (const QPointer<MdiChild>& child : children) {
        // Rewriting an unchanged file would only rotate its backup copy away.
        if (!child || (!child->isUntitled && !child->document()->isModified()))
            continue;
        child->save(true);
    }
    return true;
}

void MainWindow::updateRecentFileActions()
{
    qDebug() << Q_FUNC_INFO;
    const QStringList files = settings.value(QStringLiteral("RecentFileList")).toStringList();
    const int shown = qMin(files.size(), int(MaxRecentFiles));
    for (int i = 0; i < MaxRecentFiles; ++i) {
        QAction* action = recentFileActs[i];
        if (!action)
            continue;
        if (i < shown) {
            // A "&" in a path is text, not a mnemonic.
            QString path = QDir::cleanPath(QDir::current().absoluteFilePath(files.at(i)));
            path.replace(QLatin1Char('&'), QLatin1String("&&"));
            action->setText(tr("&%1 %2").arg(i + 1).arg(path));
            action->setData(files.at(i));
            action->setVisible(true);
        } else {
            action->setVisible(false);
        }
    }
}

void MainWindow::addRecentFile(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ": fileName =" << fileName;
    QStringList files = settings.value(QStringLiteral("RecentFileList")).toStringList();
    files.removeAll(fileName);
    files.prepend(fileName);
    while (files.size() > MaxRecentFiles)
        files.removeLast();
    settings.setValue(QStringLiteral("RecentFileList"), files);
}

void MainWindow::emptyRecentFilesList()
{
    qDebug() << Q_FUNC_INFO;
    settings.remove(QStringLiteral("RecentFileList"));
    updateRecentFileActions();
}

void MainWindow::autoSaveCheck()
{
    qDebug() << Q_FUNC_INFO << ", autoSaveFileInterval =" << autoSaveFileInterval
             << ", autoSaveTemplateInterval =" << autoSaveTemplateInterval;
    // Nothing is written while a modal dialog is open: it may be asking whether
    // to save this very document or template, and "不保存" must find the file as it
    // was. The turn is missed; the next one saves.
    if (QWidget* modal = QApplication::activeModalWidget()) {
        qDebug() << "a modal dialog is open, auto-save waits:" << modal->metaObject()->className();
        return;
    }
    const QDateTime now = autoSaveClock();
    // Intervals are minutes of the hour: 7 saves at 0, 7, ..., 56 and again at 0.
    if (autoSaveFileInterval != 0 && now.time().minute() % autoSaveFileInterval == 0) {
        MdiChild* child = activeMdiChild();
        // Unchanged documents are left alone, and so is a file another program changed
        // while its reload question waits: saving would overwrite that program's work.
        // A file read with undecodable bytes is only written over when the user says so.
        if (child && child->document()->isModified()
            && (child->isUntitled || (!fileChangeUnanswered(child->currentFile()) && !child->loadedLossily())))
            save(false);
    }
    if (autoSaveTemplateInterval != 0 && autoSaveClock().time().minute() % autoSaveTemplateInterval == 0)
        saveTemplate(true, false);
}
