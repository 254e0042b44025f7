// Main window: account, updates, plug-ins, system and build information, about and help commands.
// Bodies marked "(interim)" log their call only and are filled as the commands are built.

#include "MainWindow.h"

#include <QDebug>

void MainWindow::loadPlugins()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Plug-ins ------------------------------------------------------------------

void MainWindow::showPluginsManagerDialog()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Account -------------------------------------------------------------------

void MainWindow::login()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::showAccountInformation()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Version file and updates --------------------------------------------------

void MainWindow::readVersionFile(QString&, QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::checkUpdate()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::checkUpdateIfDue()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- System and build information, release notes -------------------------------

void MainWindow::systemInformation()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::showBuildSystemInformation()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::showReleaseNotes()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- About, credits, help and mail links ---------------------------------------

void MainWindow::about()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::aboutQt()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::credits()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::help()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::bugReport()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::userFeedback()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::recommendTo()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}
