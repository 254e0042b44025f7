// Main window: article generation.
// Interim: the generator is not built yet; these slots log their call.

#include "MainWindow.h"

#include <QDebug>

void MainWindow::autoGenStart()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::resetAutoGenInputs()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::resetAutoGenInputDialog4AdvertisementInputs()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::resetAutoGenInputDialog4AdvertisementSoftInputs()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}
