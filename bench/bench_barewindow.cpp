// Baseline for the start-up benchmark: a bare Qt main window that ends as soon
// as it is shown, exactly as Tarnquill does under TARNQUILL_QUIT_WHEN_SHOWN.

#include <QApplication>
#include <QMainWindow>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("baseline"));
    window.showMaximized();
    QTimer::singleShot(0, &application, &QCoreApplication::quit);
    return application.exec();
}
