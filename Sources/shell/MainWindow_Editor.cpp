// Main window: document commands.
// Interim: a new or named document gets a sub-window; loading, saving and the
// document commands come with the editor.

#include "MainWindow.h"

#include <QDebug>
#include <QMdiSubWindow>

#include "MdiArea.h"
#include "MdiChild.h"

MdiChild* MainWindow::createMdiChild()
{
    auto* child = new MdiChild;
    mdiArea->addSubWindow(child);
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
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    MdiChild* child = createMdiChild();
    child->loadFile(fileName);
    child->showMaximized();
}

void MainWindow::toggleSymbol()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}
