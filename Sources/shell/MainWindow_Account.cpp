// Main window: account, updates, plug-ins and information.
// Interim: plug-in loading is not built yet; the slot logs its call.

#include "MainWindow.h"

#include <QDebug>

void MainWindow::loadPlugins()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}
