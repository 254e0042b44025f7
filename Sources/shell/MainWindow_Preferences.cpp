// Main window: the preference-driven command of the auto-generation toolbar's button style.
// Bodies marked "(interim)" log their call only and are filled as the commands are built.

#include "MainWindow.h"

#include <QDebug>

// ---- Toolbar style -------------------------------------------------------------

void MainWindow::changeToolBarStyle(int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}
