// Main window: frame, construction and start-up.

#include "MainWindow.h"

#include <QApplication>
#include <QDebug>
#include <QMdiArea>
#include <QSplashScreen>
#include <QTabWidget>
#include <QTimer>
#include <QDialogButtonBox>
#include <QMdiSubWindow>
#include <QPushButton>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "PartOfSpeechFlags.h"
#include "PoemConfigDialog.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "StartUp.h"

MainWindow* mainWindow = nullptr;

MainWindow::MainWindow(QWidget* parent, int options)
    : QMainWindow(parent)
{
    mainWindow = this;
    if (!(options & NoStartUpTimers))
        QTimer::singleShot(1500, this, SLOT(hideSplashScreen()));
    setWindowTitle(tr("塔泉笔维德马克"));

    mdiArea = new MdiArea(this);
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setViewMode(QMdiArea::TabbedView);
    mdiArea->setDocumentMode(true);
    mdiArea->setTabsClosable(true);
    mdiArea->setTabsMovable(true);
    setCentralWidget(mdiArea);

    mainTabWidget = new QTabWidget(this);
    mainTabWidget->setObjectName(QStringLiteral("mainTabWidget"));
    mainTabWidget->hide();

    setWindowIcon(QIcon(QStringLiteral(":/Images/LogoVeldmark.ico")));
    setUnifiedTitleAndToolBarOnMac(false);

    if (!(options & NoStartUpTimers))
        QTimer::singleShot(1500, this, SLOT(initTimeConsumingStaff()));
}

MainWindow::~MainWindow()
{
    qDebug() << Q_FUNC_INFO;
    if (mainWindow == this)
        mainWindow = nullptr;
}

MdiChild* MainWindow::activeMdiChild() const
{
    QMdiSubWindow* subWindow = mdiArea->currentSubWindow();
    if (!subWindow) {
        const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
        if (windows.isEmpty())
            return nullptr;
        subWindow = windows.first();
    }
    return qobject_cast<MdiChild*>(subWindow->widget());
}

void MainWindow::hideSplashScreen()
{
    qDebug() << Q_FUNC_INFO;
    if (splashScreen)
        splashScreen->hide();
}

void MainWindow::initTimeConsumingStaff()
{
    qDebug() << Q_FUNC_INFO;
    if (superUserMode) {
        setWindowTitle(tr("塔泉笔维德马克") + tr("    !!! 您当前系统设置为超级用户，请谨慎使用 !!!"));
        showSuperUserAddition();
    }

    createDeferredStartUpDialogs();

    if (startUpArguments.size() < 2) {
        newFile();
    } else {
        for (const QString& argument : startUpArguments.mid(1)) {
            const uint type = commandLineTemplateType(argument);
            if (type)
                openTemplate(argument, QString(), -1, false, type, false);
            else
                open(argument);
        }
    }

    toggleSymbol();
    parseJieBaFlagConfigFile();
    loadPlugins();
}

void MainWindow::createDeferredStartUpDialogs()
{
    // Each dialog is made once; the Reset button of each input dialog clears its own inputs.
    auto resetButton = [](auto* dialog) {
        return dialog->buttonBox()->button(QDialogButtonBox::Reset);
    };
    if (!autoGenInputDialog) {
        autoGenInputDialog = new AutoGenInputDialog(this);
        connect(autoGenInputDialog, SIGNAL(accepted()), this, SLOT(autoGenStart()));
        connect(resetButton(autoGenInputDialog), SIGNAL(clicked()), this, SLOT(resetAutoGenInputs()));
    }
    if (!autoGenInputDialog4Advertisement) {
        autoGenInputDialog4Advertisement = new AutoGenInputDialog4Advertisement(this);
        connect(autoGenInputDialog4Advertisement, SIGNAL(accepted()), this, SLOT(autoGenStart()));
        connect(resetButton(autoGenInputDialog4Advertisement), SIGNAL(clicked()), this,
                SLOT(resetAutoGenInputDialog4AdvertisementInputs()));
    }
    if (!autoGenInputDialog4AdvertisementSoft) {
        autoGenInputDialog4AdvertisementSoft = new AutoGenInputDialog4AdvertisementSoft(this);
        connect(autoGenInputDialog4AdvertisementSoft, SIGNAL(accepted()), this, SLOT(autoGenStart()));
        connect(resetButton(autoGenInputDialog4AdvertisementSoft), SIGNAL(clicked()), this,
                SLOT(resetAutoGenInputDialog4AdvertisementSoftInputs()));
    }
    if (!poemConfigDialog) {
        poemConfigDialog = new PoemConfigDialog(this);
        connect(poemConfigDialog, SIGNAL(accepted()), this, SLOT(autoGenStart()));
    }
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
