// Main window: the button style of the auto-generation toolbar, chosen on the
// preferences page of the user's generation templates.

#include "MainWindow.h"

#include <QDebug>
#include <QToolBar>

// ---- Toolbar style -------------------------------------------------------------

void MainWindow::changeToolBarStyle(int style)
{
    qDebug() << Q_FUNC_INFO << ", style =" << style;
    // The window builds no auto-generation toolbar, so there is usually nothing to restyle.
    if (!autoGenToolBar)
        return;
    if (style < Qt::ToolButtonIconOnly || style > Qt::ToolButtonTextUnderIcon) {
        qWarning() << "Unknown tool button style =" << style;
        return;
    }
    for (QToolBar* toolBar : autoGenToolBar->findChildren<QToolBar*>())
        toolBar->setToolButtonStyle(static_cast<Qt::ToolButtonStyle>(style));
}
