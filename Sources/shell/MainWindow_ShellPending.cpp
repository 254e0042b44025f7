// Main window: log-tab switch, action table, shortcuts, menus, toolbars, status bars, sub-windows, tabs and skins.
// Bodies marked "(interim)" log their call only and are filled as the commands are built.

#include "MainWindow.h"

#include <QDebug>

// ---- Output window -------------------------------------------------------------

void MainWindow::logOutputChanged()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Action table --------------------------------------------------------------

void MainWindow::createActions()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Action shortcuts ----------------------------------------------------------

void MainWindow::setActionsShortcuts()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Menus and toolbars --------------------------------------------------------

void MainWindow::createMenus()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::createToolBars()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::toggleToolBars()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::toggleAllToolbarActs(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setToggleAllToolbarActsCheckBoxState()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setToolBarsIconSize()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Status bars ---------------------------------------------------------------

void MainWindow::updateMenusStatusBar(QMdiSubWindow*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::createEditorStatusBar()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::createBrowserStatusBar()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::updateCharactersCountOnStatusBar()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::updateEncodingLabelOnStatusBar(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::updateLineLabelOnStatusBar()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::updateDateTime()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Sub-windows and tabs ------------------------------------------------------

void MainWindow::updateWindowMenu()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::setActiveSubWindow(QWidget*)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::showCustomContextMenu(const QPoint&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::closeMultiSubWindows()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::closeMultiTabs()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::closeTab(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoCloseTabs(const QString&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

// ---- Skins ---------------------------------------------------------------------

void MainWindow::setCustomStyleSheet(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}
