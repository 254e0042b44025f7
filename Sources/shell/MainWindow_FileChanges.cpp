// Main window: files and templates that another program changed or deleted. The
// watcher reports them; they are asked about at once in the active window, else
// queued until the window is activated again.

#include "MainWindow.h"

#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTabWidget>

#include "MdiChild.h"
#include "Prompt.h"
#include "TemplateDialog.h"

namespace {

bool isTemplatePath(const QString& path)
{
    qDebug() << Q_FUNC_INFO << ", path =" << path;
    return path.endsWith(QLatin1String(".tqw")) || path.endsWith(QLatin1String(".db"));
}

} // namespace

// ---- Changed files -------------------------------------------------------------

void MainWindow::fileChanged(const QString& path)
{
    qDebug() << Q_FUNC_INFO << ": path =" << path;
    // A change of permissions alone leaves the document's file as it was: nothing to ask.
    if (!isTemplatePath(path)) {
        QMdiSubWindow* window = findMdiChild(path);
        auto* child = window ? qobject_cast<MdiChild*>(window->widget()) : nullptr;
        if (child && child->fileUnchangedOnDisk()) {
            qDebug() << "unchanged content, size and time: not asked";
            return;
        }
    }
    QStringList& queue = isTemplatePath(path) ? changedTemplateQueue : changedFileQueue;
    if (!queue.contains(path))
        queue.append(path);
    if (isActiveWindow()) {
        // Asked now, so the next activation must not ask again.
        queue.removeAll(path);
        notifyFileChange(path);
    }
}

void MainWindow::notifyFileChange(const QString& path)
{
    qDebug() << Q_FUNC_INFO << ": path =" << path;
    const bool isTemplate = isTemplatePath(path);
    // The watcher holds the documents' own (canonical) paths, also of files now gone.
    MdiChild* child = nullptr;
    for (MdiChild* document : documents())
        if (!isTemplate && !document->isUntitled && document->currentFile() == path)
            child = document;
    if (!QFileInfo::exists(path)) {
        // Nothing to reload: the text on screen is now the only copy.
        QMessageBox box(QMessageBox::Warning, tr("警告!"),
                        (isTemplate ? tr("以下模板已被其它程序删除:\n") : tr("以下文件已被其它程序删除:\n")) + path
                            + (isTemplate ? QString() : tr("\n编辑器中的内容现在是唯一的副本, 请保存.")),
                        QMessageBox::Ok);
        box.setTextFormat(Qt::PlainText);
        Prompt::current().exec(box);
        if (child) {
            child->document()->setModified(true);
            child->documentWasModified();
        }
        return;
    }
    QString text = isTemplate ? tr("以下模板已被其它程序修改, 是否重新加载?\n") + path
                              : tr("以下文件已被其它程序修改, 是否重新加载?\n") + path;
    if (child && child->document()->isModified())
        text += tr("\n文档中未保存的修改将会丢失 (重新加载后可以用\"撤销\"找回).");
    QMessageBox box(QMessageBox::Warning, tr("警告!"), text, QMessageBox::Yes | QMessageBox::No);
    box.setTextFormat(Qt::PlainText);
    // The box runs its own event loop, in which the auto-save timer still fires.
    fileChangesBeingAsked.append(path);
    const int answer = Prompt::current().exec(box);
    fileChangesBeingAsked.removeOne(path);
    if (answer == QMessageBox::Yes) {
        if (isTemplate) {
            const int index = closeTemplateTabOfFile(path);
            emit templateChange(path, QString(), index);
        } else {
            emit fileChange(path);
            updateEncodingLabelOnStatusBar(QString());
            updateCharactersCountOnStatusBar();
        }
    }
    // A program that saves by renaming drops the path from the watcher; keep watching
    // what is still open, whatever the answer.
    if (fileSystemWatcher && QFileInfo::exists(path) && !fileSystemWatcher->files().contains(path)) {
        bool open = false;
        if (isTemplate) {
            for (TemplateDialog* dialog : qAsConst(templateDialogs))
                open = open || (dialog && dialog->fileName() == path);
        } else {
            open = findMdiChild(path) != nullptr;
        }
        if (open)
            fileSystemWatcher->addPath(path);
    }
}

bool MainWindow::fileChangeUnanswered(const QString& path) const
{
    return fileChangesBeingAsked.contains(path) || changedFileQueue.contains(path)
        || changedTemplateQueue.contains(path);
}

int MainWindow::closeTemplateTabOfFile(const QString& path)
{
    qDebug() << Q_FUNC_INFO << ", path =" << path;
    for (int i = 0; i < mainTabWidget->count(); ++i) {
        QWidget* page = mainTabWidget->widget(i);
        auto* dialog = qobject_cast<TemplateDialog*>(page);
        if (!dialog || page->objectName() != QLatin1String("TemplateDialog") || dialog->fileName() != path)
            continue;
        templateDialogs.removeAll(dialog);
        mainTabWidget->removeTab(i);
        delete dialog;
        return i;
    }
    return -1;
}

// ---- Changed files on activation ------------------------------------------------

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && isActiveWindow()) {
        // A question box runs a nested event loop in which the window is activated
        // again; that activation must not start a second pass over the queues.
        if (changedFileQueueMutex.tryLock()) {
            qDebug() << Q_FUNC_INFO << "event->type() = " << event->type();
            // Each path leaves its queue before it is asked about, so a change reported
            // while the box is open queues it again instead of being lost.
            while (!changedFileQueue.isEmpty())
                notifyFileChange(changedFileQueue.takeFirst());
            while (!changedTemplateQueue.isEmpty())
                notifyFileChange(changedTemplateQueue.takeFirst());
            changedFileQueueMutex.unlock();
        }
    }
    return QMainWindow::event(event);
}
