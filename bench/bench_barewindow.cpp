// Baseline for the start-up benchmark: a bare Qt main window with a menu bar and
// one QTextEdit, which reports its first paint and ends, as Tarnquill does under
// TARNQUILL_QUIT_WHEN_SHOWN.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTextEdit>

#include "FirstPaintReport.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("baseline"));
    window.menuBar()->addMenu(QStringLiteral("文件(&F)"))->addAction(QStringLiteral("打开"));
    window.setCentralWidget(new QTextEdit(&window));
    new FirstPaintReport(&window);
    window.showMaximized();
    return application.exec();
}
