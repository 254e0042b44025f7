// The main window's deferred start-up: after the window's first paint, the
// documents named on the command line (or one new document), then, once they
// have painted, the work the user does not see.

#include "MainWindow.h"

#include <QApplication>
#include <QDebug>
#include <QEvent>
#include <QMessageBox>
#include <QSplashScreen>
#include <QTimer>

#include "MdiChild.h"
#include "PartOfSpeechFlags.h"
#include "ProgramState.h"
#include "Prompt.h"
#include "StartUp.h"

// ---- Start-up ----------------------------------------------------------------------

void MainWindow::hideSplashScreen()
{
    qDebug() << Q_FUNC_INFO;
    // Its work is done once the window stands: it goes, with its picture.
    if (splashScreen) {
        splashScreen->hide();
        splashScreen->deleteLater();
        splashScreen = nullptr;
    }
}

void MainWindow::initTimeConsumingStaff()
{
    qDebug() << Q_FUNC_INFO;
    // All of it at once, and still only once.
    startDeferredStartUp();
    finishDeferredStartUpOnce();
}

void MainWindow::startDeferredStartUp()
{
    // Every paint before the first turn asks for this, and the fallback timer
    // may come while a box of a command-line file is up: the files open once.
    if (deferredStartUpStarted)
        return;
    deferredStartUpStarted = true;
    qDebug() << Q_FUNC_INFO;
    openStartUpDocuments();
    startUpDocumentsOpened = true;
    if (MdiChild* child = activeMdiChild()) {
        // Its page may have painted already inside such a box; it paints again.
        child->viewport()->update();
        QTimer::singleShot(1500, this, &MainWindow::finishDeferredStartUpOnce);
    } else {
        QTimer::singleShot(0, this, &MainWindow::finishDeferredStartUpOnce);
    }
}

void MainWindow::finishDeferredStartUpOnce()
{
    // Not while the command-line files are still opening: a box raised by one
    // of them runs an event loop in which the pages opened before it paint,
    // and the rest (symbols, the super-user box...) must wait for the files
    // after it.
    if (deferredStartUpFinished || !startUpDocumentsOpened)
        return;
    deferredStartUpFinished = true;
    qApp->removeEventFilter(this);
    finishDeferredStartUp();
}

void MainWindow::openStartUpDocuments()
{
    if (startUpArguments.size() < 2) {
        newFile();
        return;
    }
    for (const QString& argument : startUpArguments.mid(1)) {
        const uint type = commandLineTemplateType(argument);
        if (type)
            openTemplate(argument, QString(), -1, false, type, false);
        else
            open(argument);
    }
}

void MainWindow::finishDeferredStartUp()
{
    qDebug() << Q_FUNC_INFO;
    if (superUserMode) {
        setWindowTitle(tr("塔泉笔维德马克") + tr("    !!! 您当前系统设置为超级用户，请谨慎使用 !!!"));
        showSuperUserAddition();
    }
    createDeferredStartUpDialogs();
    preloadTemplates();
    toggleSymbol();
    parseJieBaFlagConfigFile();
    loadPlugins();
    // The documents' status bar has taken its place: the editor's half again.
    fitFirstStartDock();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Until the deferred start-up is done: the window's first paint starts it,
    // the first paint of a document's page after the last command-line file
    // then lets it finish.
    if (event->type() == QEvent::Paint && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        if (!deferredStartUpStarted) {
            QTimer::singleShot(0, this, &MainWindow::startDeferredStartUp);
        } else if (!deferredStartUpFinished) {
            const auto* page = qobject_cast<MdiChild*>(watched->parent());
            if (page && page->viewport() == watched)
                QTimer::singleShot(0, this, &MainWindow::finishDeferredStartUpOnce);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::createDeferredStartUpDialogs()
{
    storyInputDialog();
    advertisementInputDialog();
    advertorialInputDialog();
    poemSettingsDialog();
}

void MainWindow::showSuperUserAddition()
{
    qDebug() << Q_FUNC_INFO;
    QMessageBox box(QMessageBox::Critical, tr("!!! 警告 !!!"),
                    tr("您当前系统设置为超级用户(SuperUser), 以下预览/测试功能可见，请谨慎使用!\n"
                       "1, 主界面状态栏里的推广条.\n2, 文件 -> 文件属性.\n3, 编辑 -> 首选项Ex.\n"
                       "4, 主菜单右首 -> 账户.\n5, 工具 -> 崩溃测试.\n6, 帮助 -> 系统信息.\n"
                       "7, 帮助 -> 插件管理.\n8, 帮助 -> 构建系统信息.\n9, 帮助 -> 显示为超级用户增加的功能.\n\n"
                       "内部功能和设置方式，请勿外传!!!"),
                    QMessageBox::Ok);
    Prompt::current().exec(box);
}
