// Main window: frame, construction, docks, bottom tabs, start-up, settings, actions,
// menus, toolbars, status bars, sub-windows and tabs, skins and shut-down.

#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QDockWidget>
#include <QFile>
#include <QFileSystemWatcher>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QSplashScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "ActionTable.h"
#include "DirTreeView.h"
#include "Embellish.h"
#include "EmbellishRun.h"
#include "FindReplaceDialogEx.h"
#include "GlobalActions.h"
#include "Logging.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "OutputDialogEx.h"
#include "PartOfSpeechFlags.h"
#include "PreferencesDialog.h"
#include "PreferencesDialogEx.h"
#include "Prompt.h"
#include "SearchDialog.h"
#include "SharedCodes.h"
#include "StartUp.h"
#include "TQDirModel.h"
#include "TemplateDialog.h"

MainWindow* mainWindow = nullptr;
QMap<int, QString> toolExecutables;
QMap<int, QString> toolTitles;
QString imageFolder = QStringLiteral(":/Images");
bool templateModified = false;

namespace {

// Where each dock goes and under which keys it is stored.
struct DockKeys
{
    const char* prefix; // "AccessoryDock" gives "AccessoryDockArea", "AccessoryDockFloating"...
    Qt::DockWidgetArea defaultArea;
    bool docksSideways; // the stored size applies as a width when the area key is absent
};
const DockKeys accessoryKeys{"AccessoryDock", Qt::RightDockWidgetArea, true};
const DockKeys dictKeys{"DictDock", Qt::RightDockWidgetArea, true};
const DockKeys dirKeys{"DirDock", Qt::LeftDockWidgetArea, true};
const DockKeys mainKeys{"MainDock", Qt::BottomDockWidgetArea, false};

QString dockKey(const DockKeys& keys, const char* suffix)
{
    return QLatin1String(keys.prefix) + QLatin1String(suffix);
}

bool isDockArea(int area)
{
    return area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea || area == Qt::TopDockWidgetArea
        || area == Qt::BottomDockWidgetArea;
}

const char* const toolBarVisibleKeys[MainWindow::ToolBarCount] = {
    "FileToolBarVisible", "EditToolBarVisible", "PrintToolBarVisible", "DictToolBarVisible",
    "SearchToolBarVisible", "StyleToolBarVisible", "FontToolBarVisible"};

void setChecked(QAction* action, bool checked)
{
    if (action)
        action->setChecked(checked);
}

} // namespace

MainWindow::MainWindow(QWidget* parent, int options)
    : QMainWindow(parent)
{
    mainWindow = this;
    DocumentHost::setCurrent(this);
    qDebug() << Q_FUNC_INFO;
    const bool startUpTimers = !(options & NoStartUpTimers);
    if (startUpTimers)
        QTimer::singleShot(1500, this, SLOT(hideSplashScreen()));
    setWindowTitle(tr("塔泉笔维德马克"));

    toolExecutables.clear();
    toolTitles.clear();
    const QString charFreqCounter = QStringLiteral("./Utilities/CharFreqCounter/CharFreqCounter");
    const QString jieBa = QStringLiteral("./Utilities/JieBa/JieBa");
    const struct {
        int id;
        QString executable;
        QString title;
    } tools[] = {
        {1, charFreqCounter, tr("统计目录字频")},   {16, charFreqCounter, tr("统计当前字频")},
        {32, QString(), tr("全模式分词")},          {33, jieBa, tr("当前文件分词")},
        {34, QString(), tr("分词(全模式)")},        {35, jieBa, tr("统计当前词频")},
        {36, jieBa, tr("统计目录词频")},            {37, jieBa, tr("当前文件词性标注")},
        {38, jieBa, tr("根据指定词性高亮标注")},    {39, QStringLiteral("./Utilities/WordCloud/WordCloud"), tr("生成词云")},
    };
    for (const auto& tool : tools) {
        if (!tool.executable.isEmpty())
            toolExecutables.insert(tool.id, tool.executable);
        toolTitles.insert(tool.id, tool.title);
    }

    initSettings();

    developerSwitch = 0;
    if (settings.contains(QStringLiteral("QuillHarbourMeadow542Cd")))
        developerSwitch = settings.value(QStringLiteral("QuillHarbourMeadow542Cd")).toUInt();

    templateModified = false;
    cursorTrackingEnabled = true;
    highlightAutoGenContent = false;
    toggleAllToolbarActsCheckBoxGuard = false;

    mdiArea = new MdiArea(this);
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setViewMode(QMdiArea::TabbedView);
    mdiArea->setDocumentMode(true);
    mdiArea->setTabsClosable(true);
    mdiArea->setTabsMovable(true);
    setCentralWidget(mdiArea);
    connect(mdiArea, SIGNAL(subWindowActivated(QMdiSubWindow*)), this, SLOT(updateMenusStatusBar(QMdiSubWindow*)));
    if (QTabBar* tabBar = mdiArea->findChild<QTabBar*>()) {
        tabBar->setObjectName(QStringLiteral("mdiTabBar"));
        tabBar->setExpanding(false);
        tabBar->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tabBar, SIGNAL(customContextMenuRequested(const QPoint&)), this,
                SLOT(showCustomContextMenu(const QPoint&)));
        connect(tabBar, SIGNAL(tabBarClicked(int)), tabBar, SLOT(setCurrentIndex(int)));
    }

    // Assigned, not appended to, so that every window of the process finds its icons.
    imageFolder = QStringLiteral(":/Images/Windows");

    if (settings.contains(QStringLiteral("LastStyleId")))
        styleId = settings.value(QStringLiteral("LastStyleId")).toInt();
    else
        settings.setValue(QStringLiteral("LastStyleId"), 0);

    createActions();
    setActionsShortcuts();
    createMenus();
    createToolBars();
    createEditorStatusBar();
    setCustomStyleSheet(styleId);

    // A stored size outside the three icon-size actions (a hand edit) counts as missing.
    int iconSize = settings.value(QStringLiteral("ToolBarIconSize"), 255).toInt();
    if (iconSize < 0 || iconSize >= ToolBarIconSizeActCount) {
        iconSize = 0;
        settings.setValue(QStringLiteral("ToolBarIconSize"), 0);
    }
    if (toolBarIconSizeActs[iconSize])
        toolBarIconSizeActs[iconSize]->trigger();

    createDockWindows();
    mainTabWidget->setCurrentIndex(0);
    extendViewMenu();

    updateMenusStatusBar(nullptr);
    readSettings();

    findReplaceDialog = new FindReplaceDialogEx(this);
    connect(findReplaceDialog,
            SIGNAL(findReplace(const QString&, const QString&, const QTextDocument::FindFlag,
                               const QTextDocument::FindFlag, const bool, const bool, const bool, const bool)),
            this,
            SLOT(findReplace(const QString&, const QString&, QTextDocument::FindFlag, QTextDocument::FindFlag, bool,
                             bool, bool, bool)));

    setWindowIcon(QIcon(QStringLiteral(":/Images/LogoVeldmark.ico")));
    setUnifiedTitleAndToolBarOnMac(false);

    readAutoSaveIntervals();

    autoSaveTimer = new QTimer(this);
    connect(autoSaveTimer, SIGNAL(timeout()), this, SLOT(autoSaveCheck()));
    autoSaveTimer->start(60000);
    dateTimeTimer = new QTimer(this);
    connect(dateTimeTimer, SIGNAL(timeout()), this, SLOT(updateDateTime()));
    dateTimeTimer->start(1000);

    accessoryDock->setVisible(settings.value(QStringLiteral("AccessoryDockVisible"), true).toBool());
    dictDock->setVisible(settings.value(QStringLiteral("DictDockVisible"), true).toBool());
    dirDock->setVisible(settings.value(QStringLiteral("DirDockVisible"), true).toBool());
    mainDock->setVisible(settings.value(QStringLiteral("MainDockVisible"), true).toBool());

    for (int i = 0; i < ToolBarCount; ++i) {
        if (!toolBars[i])
            continue;
        // An absent key shows the style toolbar only; the defaults seed all seven as true.
        toolBars[i]->setVisible(settings.value(QLatin1String(toolBarVisibleKeys[i]), i == StyleToolBarIndex).toBool());
    }

    fileSystemWatcher = new QFileSystemWatcher(this);
    connect(fileSystemWatcher, SIGNAL(fileChanged(QString)), this, SLOT(fileChanged(const QString&)));
    connect(this, &MainWindow::templateChange, this, [this](QString path, QString searchStr, int index) {
        const uint type = path.endsWith(QLatin1String(".db")) ? TEMPLATE_TYPE_SQLITE_DB_FILE : TEMPLATE_TYPE_TQW_FILE;
        openTemplate(path, searchStr, index, false, type, false);
    });

    if (startUpTimers)
        QTimer::singleShot(1500, this, SLOT(initTimeConsumingStaff()));

    embellish = new Embellish(this);
}

MainWindow::~MainWindow()
{
    qDebug() << Q_FUNC_INFO;
    setLogOutputDialog(nullptr);
    if (mainWindow == this)
        mainWindow = nullptr;
    if (DocumentHost::current() == this)
        DocumentHost::setCurrent(nullptr);
    // The watcher is a child of this window and goes with it.
    fileSystemWatcher = nullptr;
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

// ---- Docks and the bottom tab widget -----------------------------------------------

void MainWindow::createDockWindows()
{
    qDebug() << Q_FUNC_INFO;
    accessoryDock = new QDockWidget(tr("附件"), this);
    accessoryDock->setObjectName(QStringLiteral("AccessoryDock"));
    dictDock = new QDockWidget(tr("词典"), this);
    dictDock->setObjectName(QStringLiteral("DictDock"));
    dirDock = new QDockWidget(tr("文件管理"), this);
    dirDock->setObjectName(QStringLiteral("DirDock"));

    accessoryListWidget = new QListWidget(accessoryDock);
    accessoryListWidget->setWindowTitle(tr("附件"));
    accessoryDock->setWidget(accessoryListWidget);

    dirModel = new TQDirModel(this);
    dirTreeView = new DirTreeView(dirDock);
    dirTreeView->setModel(dirModel);
    dirDock->setWidget(dirTreeView);

    dictListWidget = new QListWidget(dictDock);
    dictListWidget->setWindowTitle(tr("词典"));
    dictDock->setWidget(dictListWidget);
    dictTextEdit = new QTextEdit(dictDock);
    dictTextEdit->setReadOnly(true);
    dictTextEdit->hide();

    mainTabWidget = new QTabWidget(this);
    mainTabWidget->setObjectName(QStringLiteral("mainTabWidget"));
    mainTabWidget->setTabsClosable(true);
    mainTabWidget->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    mainTabWidget->setMovable(true);
    mainTabWidget->setTabPosition(QTabWidget::South);
    QTabBar* bottomTabBar = mainTabWidget->tabBar();
    bottomTabBar->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(bottomTabBar, SIGNAL(tabCloseRequested(int)), this, SLOT(closeTab(int)));
    connect(bottomTabBar, SIGNAL(customContextMenuRequested(const QPoint&)), this,
            SLOT(showTabWidgetCustomContextMenu(const QPoint&)));
    connect(mainTabWidget, SIGNAL(tabBarDoubleClicked(int)), this, SLOT(editTemplateTitle(int)));

    mainDock = new QDockWidget(tr("工作台"), this);
    mainDock->setObjectName(QStringLiteral("MainDock"));
    mainDock->setWidget(mainTabWidget);

    const QList<QPair<QDockWidget*, const DockKeys*>> docks{
        {accessoryDock, &accessoryKeys}, {dirDock, &dirKeys}, {dictDock, &dictKeys}, {mainDock, &mainKeys}};
    for (const auto& dock : docks) {
        Qt::DockWidgetArea area = dock.second->defaultArea;
        const QString areaKey = dockKey(*dock.second, "Area");
        if (settings.contains(areaKey) && isDockArea(settings.value(areaKey).toInt()))
            area = static_cast<Qt::DockWidgetArea>(settings.value(areaKey).toInt());
        addDockWidget(area, dock.first);
        // A dock saved as floating comes back floating; readSettings puts it where it was.
        if (settings.value(dockKey(*dock.second, "Floating")).toBool())
            dock.first->setFloating(true);
    }

    const QList<QDockWidget*> menuOrder{accessoryDock, dirDock, dictDock, mainDock};
    const Qt::Key keys[] = {Qt::Key_F5, Qt::Key_F6, Qt::Key_F7, Qt::Key_F8};
    for (int i = 0; i < menuOrder.size(); ++i) {
        QAction* toggle = menuOrder.at(i)->toggleViewAction();
        toggle->setShortcut(QKeySequence(keys[i]));
        if (viewMenu)
            viewMenu->addAction(toggle);
        addAction(toggle); // the keys work whatever menus exist
    }
    for (QDockWidget* dock : menuOrder)
        dock->hide();

    connect(dirTreeView, SIGNAL(activated(QModelIndex)), this, SLOT(open(QModelIndex)));
    connect(accessoryListWidget, SIGNAL(itemActivated(QListWidgetItem*)), this,
            SLOT(listWidgetItemActivated(QListWidgetItem*)));
    connect(dictListWidget, SIGNAL(itemActivated(QListWidgetItem*)), this, SLOT(dictWordSelected(QListWidgetItem*)));

    auto* logWindow = new OutputDialogEx(this);
    logWindow->setObjectName(QStringLiteral("LogOutputDialog"));
    logWindow->hide();
    setLogOutputDialog(logWindow);
    outputDialog = new OutputDialogEx(this);
    outputDialog->setObjectName(QStringLiteral("OutputDialog"));
    outputDialog->hide();

    createSearchDialog();
}

void MainWindow::extendViewMenu()
{
    if (!viewMenu)
        return;
    viewMenu->addSeparator();
    toolBarsMenu = viewMenu->addMenu(tr("显示/隐藏工具栏"));
    for (QAction* action : toggleToolBarActs)
        if (action)
            toolBarsMenu->addAction(action);
    auto* holder = new QWidget(this);
    auto* grid = new QGridLayout(holder);
    toggleAllToolbarActsCheckBox = new QCheckBox(tr("显示/隐藏所有工具栏"), holder);
    toggleAllToolbarActsCheckBox->setTristate(true);
    toggleAllToolbarActsCheckBox->setAutoFillBackground(true);
    grid->addWidget(toggleAllToolbarActsCheckBox);
    auto* checkBoxAction = new QWidgetAction(toolBarsMenu);
    checkBoxAction->setDefaultWidget(holder);
    toolBarsMenu->addAction(checkBoxAction);
    connect(toggleAllToolbarActsCheckBox, SIGNAL(stateChanged(int)), this, SLOT(toggleAllToolbarActs(int)));
    setToggleAllToolbarActsCheckBoxState();

    toolBarIconSizeMenu = viewMenu->addMenu(tr("工具栏图标尺寸"));
    for (QAction* action : toolBarIconSizeActs)
        if (action)
            toolBarIconSizeMenu->addAction(action);

    viewMenu->addSeparator();
    if (lineWrapAct)
        viewMenu->addAction(lineWrapAct);

    QMenu* skinMenu = viewMenu->addMenu(tr("主题"));
    const int skinOrder[] = {DefaultSkin, DarkSkin, -1, RedSkin, GreenSkin, BlueSkin, -1,
                             PurpleSkin, PinkSkin, SilverSkin, YellowSkin};
    for (int id : skinOrder) {
        if (id < 0)
            skinMenu->addSeparator();
        else if (skinActs[id])
            skinMenu->addAction(skinActs[id]);
    }

    viewMenu->addSeparator();
    QMenu* encodingMenu = viewMenu->addMenu(tr("编码"));
    for (QAction* action : encodingActs)
        if (action)
            encodingMenu->addAction(action);
    QMenu* symbolMenu = viewMenu->addMenu(tr("显示符号"));
    for (QAction* action : showSymbolActs)
        if (action)
            symbolMenu->addAction(action);
    QMenu* zoomMenu = viewMenu->addMenu(tr("缩放"));
    for (QAction* action : zoomActs)
        if (action)
            zoomMenu->addAction(action);

    for (QAction* action : {showStatusBarAct, highlightCurrentLineAct, highlightCurrentParagraphAct, fullScreenAct})
        if (action)
            viewMenu->addAction(action);
}

void MainWindow::showBottomTab(const QString& objectName)
{
    qDebug() << Q_FUNC_INFO << ", objectName =" << objectName;
    int index = -1;
    for (int i = 0; i < mainTabWidget->count(); ++i)
        if (mainTabWidget->widget(i)->objectName() == objectName)
            index = i;
    if (index < 0) {
        index = 0;
        if (objectName == QLatin1String("LogOutputDialog") && logOutputDialog) {
            logOutputDialog->clearOutput();
            index = mainTabWidget->addTab(logOutputDialog, QIcon(QStringLiteral(":/Images/Output.png")), QString());
            mainTabWidget->setTabToolTip(index, tr("运行日志输出"));
        } else if (objectName == QLatin1String("OutputDialog")) {
            index = mainTabWidget->addTab(outputDialog, QIcon(QStringLiteral(":/Images/Output.png")), QString());
            mainTabWidget->setTabToolTip(index, tr("命令输出"));
        } else if (objectName == QLatin1String("SearchDialog")) {
            index = mainTabWidget->addTab(searchDialog, QIcon(QStringLiteral(":/Images/Search.png")), QString());
            mainTabWidget->setTabToolTip(index, tr("搜索"));
        }
    }
    if (index < mainTabWidget->count())
        mainTabWidget->setCurrentIndex(index);
    mainDock->show();
}

void MainWindow::showTabWidgetCustomContextMenu(const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO;
    const int index = mainTabWidget->tabBar()->tabAt(pos);
    // Nothing to act on where no tab lies.
    if (index < 0)
        return;
    mainTabWidget->setProperty("clickedWidgetIndex", index);
    auto* templateDialog = qobject_cast<TemplateDialog*>(mainTabWidget->widget(index));
    const bool isTemplate = templateDialog && templateDialog->objectName() == QLatin1String("TemplateDialog");
    if (openContainingDirectoryUsingSystemApp4TabWidgetAct)
        openContainingDirectoryUsingSystemApp4TabWidgetAct->setEnabled(
            isTemplate && !QDir::isRelativePath(templateDialog->fileName()));

    QMenu menu(this);
    auto add = [&menu](QAction* action) {
        if (action)
            menu.addAction(action);
    };
    add(closeTabAct);
    if (mainTabWidget->count() > 1) {
        add(closeAllTabsAct);
        add(closeOtherTabsAct);
    }
    if (index < mainTabWidget->count() - 1)
        add(closeRightTabsAct);
    if (isTemplate) {
        menu.addSeparator();
        if (setCurrentTemplateReadOnlyAct)
            setCurrentTemplateReadOnlyAct->setChecked(templateDialog->property("ReadOnly").toBool());
        add(setCurrentTemplateReadOnlyAct);
    }
    menu.addSeparator();
    add(openContainingDirectoryUsingSystemApp4TabWidgetAct);
    Prompt::current().execMenu(menu, QCursor::pos());
}

void MainWindow::fullScreen()
{
    qDebug() << Q_FUNC_INFO;
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

void MainWindow::showStatusBar()
{
    statusBar()->setVisible(showStatusBarAct && showStatusBarAct->isChecked());
}

void MainWindow::toggleReadOnlyButton()
{
    if (!setTextEditReadOnlyAct)
        return;
    setTextEditReadOnlyAct->setChecked(!setTextEditReadOnlyAct->isChecked());
    if (readOnlyButton)
        readOnlyButton->setIcon(QIcon(setTextEditReadOnlyAct->isChecked() ? QStringLiteral(":/Images/ReadOnly.png")
                                                                           : QStringLiteral(":/Images/ReadWrite.png")));
    setTextEditReadOnly();
}

// ---- Start-up ----------------------------------------------------------------------

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

    preloadTemplates();
    toggleSymbol();
    parseJieBaFlagConfigFile();
    loadPlugins();
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

// ---- Crash tests (super-user mode only) ----------------------------------------------
// Each provokes its failure by deterministic means, so that optimisation cannot turn
// the test into nothing or into a hang.

namespace {
int nonTerminatingRecursion(int depth)
{
    volatile char frame[256];
    frame[depth & 0xff] = static_cast<char>(depth);
    return nonTerminatingRecursion(depth + 1) + frame[0];
}
}

void MainWindow::divisionByZero()
{
    qDebug() << Q_FUNC_INFO;
    volatile int zero = 0;
    volatile int result = 1 / zero;
    Q_UNUSED(result);
}

void MainWindow::segmentationFault()
{
    qDebug() << Q_FUNC_INFO;
    std::raise(SIGSEGV);
}

void MainWindow::stackOverflow()
{
    qDebug() << Q_FUNC_INFO;
    nonTerminatingRecursion(0);
}

void MainWindow::bufferOverflow()
{
    qDebug() << Q_FUNC_INFO;
    char buffer[8];
    volatile size_t length = 64;
    // The checked copy reports the overrun and ends the process.
    __builtin___memset_chk(buffer, 'x', length, sizeof buffer);
    qDebug() << buffer[0];
}

void MainWindow::memoryLeak()
{
    qDebug() << Q_FUNC_INFO;
    QMessageBox box(QMessageBox::Warning, tr("警告!"),
                    tr("此项测试有可能耗时很久，且导致系统极慢，甚至崩溃，请保存好所有文档，然后继续, 您确定继续吗?"),
                    QMessageBox::Yes | QMessageBox::Cancel);
    if (Prompt::current().exec(box) != QMessageBox::Yes) {
        qDebug() << "User canceled!";
        return;
    }
    // Leaks at most 1 GiB, touched page by page, so the test never wakes the
    // system's out-of-memory killer.
    constexpr size_t chunk = 16u << 20;
    for (size_t leaked = 0; leaked < (1u << 30); leaked += chunk) {
        char* block = new (std::nothrow) char[chunk];
        if (!block)
            break;
        std::memset(block, 0x5a, chunk);
    }
}

void MainWindow::abortFunc()
{
    qDebug() << Q_FUNC_INFO;
    std::abort();
}

void MainWindow::assertFalse()
{
    qDebug() << Q_FUNC_INFO;
    // Fails like assert(false) whether or not assertions are compiled in.
    std::fprintf(stderr, "%s:%d: %s: Assertion `false' failed.\n", __FILE__, __LINE__, Q_FUNC_INFO);
    std::abort();
}

int MainWindow::throwException()
{
    qDebug() << Q_FUNC_INFO;
    try {
        throw 1;
    } catch (...) {
        qDebug() << "Exception catched";
    }
    qDebug() << "Next throw 2 without catch!";
    throw 2;
}

void MainWindow::freeUninitializedPointer()
{
    qDebug() << Q_FUNC_INFO;
    int notOnTheHeap = 0;
    void* volatile wild = &notOnTheHeap;
    free(wild);
}

void MainWindow::deleteUninitializedPointer()
{
    qDebug() << Q_FUNC_INFO;
    int notOnTheHeap = 0;
    int* volatile wild = &notOnTheHeap;
    delete wild;
}

// ---- Close -------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event)
{
    qDebug() << Q_FUNC_INFO;
    if (settings.value(QStringLiteral("ShowExitWarning"), false).toBool()) {
        QMessageBox box(QMessageBox::Warning, tr("警告!"), tr("确认要退出") + tr("塔泉笔维德马克") + tr("吗?"),
                        QMessageBox::Yes | QMessageBox::No);
        box.setButtonText(QMessageBox::Yes, tr("确定"));
        box.setButtonText(QMessageBox::No, tr("取消"));
        box.setCheckBox(new QCheckBox(tr("不再提示！")));
        const int answer = Prompt::current().exec(box);
        settings.setValue(QStringLiteral("ShowExitWarning"), !box.checkBox()->isChecked());
        if (answer == QMessageBox::No) {
            event->ignore();
            return;
        }
    }
    if (confirmDiscardTemplateChanges() == QMessageBox::No) {
        event->ignore();
        return;
    }
    // A marking run in progress stops here; its workers are waited for.
    if (embellishRun)
        embellishRun->abort();
    mdiArea->closeAllSubWindows();
    if (activeMdiChild()) {
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

// ---- Settings ----------------------------------------------------------------------

void MainWindow::initSettings()
{
    qDebug() << Q_FUNC_INFO;
    auto seed = [this](const QString& key, const QVariant& value) {
        if (!settings.contains(key))
            settings.setValue(key, value);
    };
    const int checked = Qt::Checked;
    seed(QStringLiteral("ShowTipOfTheDay"), checked);
    seed(QStringLiteral("ShowPromoteBanner"), checked);
    seed(QStringLiteral("LineWrap"), checked);
    seed(QStringLiteral("ShowStatusBar"), checked);
    seed(QStringLiteral("ShowDateInStatusBar"), checked);
    seed(QStringLiteral("ShowTimeInStatusBar"), checked);
    seed(QStringLiteral("AutoSaveFileInterval"), 5);
    seed(QStringLiteral("BackupFileBeforeSave"), checked);
    seed(QStringLiteral("AutoSaveTemplateInterval"), 3);
    seed(QStringLiteral("EnableAtomTemplateEmbellish"), 0);
    seed(QStringLiteral("EmbellishVerbose"), 0);
    seed(QStringLiteral("EmbellishTryMaxNewWordLength"), checked);
    seed(QStringLiteral("EmbellishAlphaAsSymbol"), true);
    seed(QStringLiteral("EmbellishDigitsAsSymbol"), true);
    seed(QStringLiteral("NormalFontPointSize"), QApplication::font().pointSize());
    seed(QStringLiteral("CustomFontPointSize"), settings.value(QStringLiteral("NormalFontPointSize")));
    for (const char* key : {"AccessoryDockVisible", "DictDockVisible", "DirDockVisible", "MainDockVisible"})
        seed(QLatin1String(key), true);
    seed(QStringLiteral("SearchDialogCharacterCountMin"), 10);
    seed(QStringLiteral("SearchDialogCharacterCountMax"), 50);
    for (const char* key : toolBarVisibleKeys)
        seed(QLatin1String(key), true);
    seed(QStringLiteral("ReaderToolBarVisible"), false);
    seed(QStringLiteral("WebBrowserToolBarVisible"), true);
    seed(QStringLiteral("AutoGenToolBarVisible"), true);

    const struct {
        const char* array;
        const char* title;
        const char* fileName;
    } templates[] = {
        {"UserDefinedAdvertorialTemplate", "UserDefinedAdvertorial001", "自定义广告.tqw"},
        {"UserDefinedNewsTemplate", "UserDefinedNews001", "自定义新闻.tqw"},
        {"UserDefinedOfficialDocumentTemplate", "UserDefinedOfficialDocumentn001", "自定义公文.tqw"},
        {"UserDefinedSkeletonTemplate", "UserDefinedSkeleton001", "自定义梗概.tqw"},
        {"UserDefinedChapterTemplate", "UserDefinedChapter001", "自定义章节.tqw"},
        {"UserDefinedAutoGenTemplate", "UserDefinedAutoGen001", "自定义语段.tqw"},
    };
    for (const auto& entry : templates) {
        const QString array = QLatin1String(entry.array);
        const int size = settings.beginReadArray(array);
        settings.endArray();
        if (size > 0)
            continue;
        settings.beginWriteArray(array, 1);
        settings.setArrayIndex(0);
        settings.setValue(QStringLiteral("TemplateTitle"), QString::fromUtf8(entry.title));
        settings.setValue(QStringLiteral("TemplateFileName"), QString::fromUtf8(entry.fileName));
        settings.endArray();
    }
}

void MainWindow::readSettings()
{
    qDebug() << Q_FUNC_INFO;
    const QList<QPair<QDockWidget*, const DockKeys*>> docks{
        {accessoryDock, &accessoryKeys}, {dictDock, &dictKeys}, {dirDock, &dirKeys}, {mainDock, &mainKeys}};
    for (const auto& dock : docks) {
        const DockKeys& keys = *dock.second;
        const bool floating = settings.value(dockKey(keys, "Floating")).toBool();
        const QString positionKey = dockKey(keys, "Position");
        if (floating && settings.contains(positionKey))
            dock.first->move(settings.value(positionKey).toPoint());
        const QString sizeKey = dockKey(keys, "Size");
        if (!settings.contains(sizeKey))
            continue;
        const QSize size = settings.value(sizeKey).toSize();
        if (floating) {
            dock.first->resize(size);
            continue;
        }
        const QString areaKey = dockKey(keys, "Area");
        bool horizontal = keys.docksSideways;
        if (settings.contains(areaKey)) {
            const int area = settings.value(areaKey).toInt();
            horizontal = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
        }
        if (horizontal)
            resizeDocks({dock.first}, {size.width()}, Qt::Horizontal);
        else
            resizeDocks({dock.first}, {size.height()}, Qt::Vertical);
    }

    setChecked(lineWrapAct, settings.value(QStringLiteral("LineWrap")).toInt() == Qt::Checked);
    lineWrap();

    setChecked(highlightCurrentLineAct, settings.value(QStringLiteral("HighlightCurrentLine")).toInt() == Qt::Checked);
    setChecked(highlightCurrentParagraphAct,
               settings.value(QStringLiteral("HighlightCurrentParagraph")).toInt() == Qt::Checked);

    if (settings.value(QStringLiteral("HighlightAutoGenContent")).toInt() == Qt::Checked) {
        highlightAutoGenContent = true;
        highlightAutoGenContentColor = settings.value(QStringLiteral("HighlightAutoGenContentColor")).toString();
    } else {
        highlightAutoGenContent = false;
    }

    setChecked(showStatusBarAct, settings.value(QStringLiteral("ShowStatusBar")).toInt() == Qt::Checked);
    showStatusBar();

    const struct {
        QLabel* label;
        const char* key;
    } clockLabels[] = {{dateLabel, "ShowDateInStatusBar"}, {timeLabel, "ShowTimeInStatusBar"}};
    for (const auto& clock : clockLabels) {
        if (!clock.label)
            continue;
        if (settings.value(QLatin1String(clock.key)).toInt() == Qt::Checked) {
            statusBar()->addPermanentWidget(clock.label, 0);
            clock.label->show();
        } else {
            statusBar()->removeWidget(clock.label);
            clock.label->hide();
        }
    }

    setChecked(logOutputAct, settings.value(QStringLiteral("ShowLogOutputDialog")).toBool());

    const int symbols = settings.value(QStringLiteral("ShowSymbol")).toInt();
    if (symbols & 1)
        setChecked(showSymbolActs[0], true);
    if (symbols & 2)
        setChecked(showSymbolActs[1], true);

    const int backgroundType = settings.value(QStringLiteral("EditorBackgroundType")).toInt();
    switch (backgroundType) {
    case 0:
        emit backgroundChange(QString());
        break;
    case 1:
        emit backgroundChange(settings.value(QStringLiteral("EditorBackgroundColor")).toString());
        break;
    case 2:
        emit backgroundChange(settings.value(QStringLiteral("EditorBackgroundFileName")).toString());
        break;
    default:
        qWarning() << "Unknown background type =" << backgroundType;
        qWarning() << "Reset background.";
        emit backgroundChange(QString());
        break;
    }

    if (isVisible())
        return;
    move(settings.value(QStringLiteral("MainWindowPos"), QPoint(0, 0)).toPoint());
    const QSize size = settings.value(QStringLiteral("MainWindowSize")).toSize();
    if (size.width() > 0 && size.height() > 0)
        resize(size);
    setFontSize(settings.value(QStringLiteral("CustomFontPointSize"), 9).toInt());
}

void MainWindow::writeSettings()
{
    qDebug() << Q_FUNC_INFO;
    settings.setValue(QStringLiteral("MainWindowPos"), pos());
    settings.setValue(QStringLiteral("MainWindowSize"), size());
    const QList<QPair<QDockWidget*, const DockKeys*>> docks{
        {accessoryDock, &accessoryKeys}, {dictDock, &dictKeys}, {dirDock, &dirKeys}, {mainDock, &mainKeys}};
    for (const auto& dock : docks) {
        settings.setValue(dockKey(*dock.second, "Area"), static_cast<int>(dockWidgetArea(dock.first)));
        settings.setValue(dockKey(*dock.second, "Floating"), dock.first->isFloating());
        settings.setValue(dockKey(*dock.second, "Position"), dock.first->pos());
        settings.setValue(dockKey(*dock.second, "Size"), dock.first->size());
        settings.setValue(dockKey(*dock.second, "Visible"), dock.first->isVisible());
    }
    for (int i = 0; i < ToolBarCount; ++i)
        if (toolBars[i])
            settings.setValue(QLatin1String(toolBarVisibleKeys[i]), toolBars[i]->isVisible());
    settings.setValue(QStringLiteral("ShowLogOutputDialog"), logOutputAct && logOutputAct->isChecked());
    if (settings.value(QStringLiteral("LastStyleId")).toInt() != styleId)
        settings.setValue(QStringLiteral("LastStyleId"), styleId);
}

void MainWindow::readAutoSaveIntervals()
{
    // A stored 0 would save every minute; it falls back to the defaults, the same
    // after start-up and after the preferences apply.
    autoSaveFileInterval = settings.value(QStringLiteral("AutoSaveFileInterval")).toUInt();
    if (autoSaveFileInterval == 0)
        autoSaveFileInterval = 5;
    autoSaveTemplateInterval = settings.value(QStringLiteral("AutoSaveTemplateInterval")).toUInt();
    if (autoSaveTemplateInterval == 0)
        autoSaveTemplateInterval = 3;
}

void MainWindow::reloadPreferences(const uint index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    QFont font = QApplication::font();
    font.setPointSize(applicationFontPointSize(settings.value(QStringLiteral("CustomFontPointSize"), 9)));
    QApplication::setFont(font);

    readAutoSaveIntervals();

    const bool wrap = settings.value(QStringLiteral("LineWrap")).toUInt() != 0;
    // The editor font and line spacing reach the open documents too; the zoom is
    // taken off first and put back on the new font.
    // A document that has the spacing already is left alone: no undo step, no pass over a large text.
    const QTextBlockFormat spacing = MdiChild::lineSpacingFormat();
    const int zoom = zoomLevel;
    resetZoom();
    for (QMdiSubWindow* window : mdiArea->subWindowList()) {
        if (auto* child = qobject_cast<MdiChild*>(window->widget())) {
            child->setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
            child->setEditorFont();
            const QTextBlockFormat current = child->document()->firstBlock().blockFormat();
            if (current.lineHeightType() != spacing.lineHeightType() || current.lineHeight() != spacing.lineHeight())
                child->setLineSpacing();
        }
    }
    applyZoomLevel(zoom);
    if (searchDialog)
        searchDialog->applyHistoryLimit();
}

void MainWindow::preferences()
{
    qDebug() << Q_FUNC_INFO;
    if (!preferencesDialog) {
        preferencesDialog = new PreferencesDialog(this, mdiArea, languageMap);
        connect(preferencesDialog, SIGNAL(Apply(const uint)), this, SLOT(reloadPreferences(const uint)));
        connect(preferencesDialog, &PreferencesDialog::readSettingsRequested, this, &MainWindow::readSettings);
        connect(preferencesDialog, &PreferencesDialog::searchHistoryCleared, this,
                &MainWindow::clearSearchDialogHistory);
        connect(preferencesDialog, &PreferencesDialog::shortcutsRebindRequested, this,
                &MainWindow::setActionsShortcuts);
    }
    if (settings.contains(QStringLiteral("ShowSpellingResultMessageBox")))
        preferencesDialog->showSpellingResultMessageBoxCheckBox()->setCheckState(
            static_cast<Qt::CheckState>(settings.value(QStringLiteral("ShowSpellingResultMessageBox")).toInt()));
    Prompt::current().execDialog(*preferencesDialog);
}

void MainWindow::preferencesEx()
{
    qDebug() << Q_FUNC_INFO;
    if (!preferencesDialogEx)
        preferencesDialogEx = new PreferencesDialogEx(this);
    Prompt::current().execDialog(*preferencesDialogEx);
}

// ---- Output window -------------------------------------------------------------

void MainWindow::logOutputChanged()
{
    const bool checked = logOutputAct && logOutputAct->isChecked();
    qDebug() << Q_FUNC_INFO << "logOutputAct->isChecked() =" << (checked ? "true" : "false");
    if (checked) {
        logTargets |= LOG_TARGET_OUTPUT_WINDOW;
        showBottomTab(QStringLiteral("LogOutputDialog"));
        return;
    }
    logTargets &= ~LOG_TARGET_OUTPUT_WINDOW;
    for (int i = mainTabWidget->count() - 1; i >= 0; --i)
        if (mainTabWidget->widget(i)->objectName() == QLatin1String("LogOutputDialog"))
            closeTab(i);
}

// ---- Action table --------------------------------------------------------------

void MainWindow::createActions()
{
    qDebug() << Q_FUNC_INFO;
    const bool atomTemplateEmbellish = settings.value(QStringLiteral("EnableAtomTemplateEmbellish"), 0).toInt() != 0;
    ActionTable::build(this, ActionTable::rows(this), superUserMode, atomTemplateEmbellish);
}

// ---- Action shortcuts ----------------------------------------------------------

void MainWindow::setActionsShortcuts()
{
    qDebug() << Q_FUNC_INFO;
    const Settings store;
    ActionTable::applyShortcuts(ActionTable::shortcutRows(this), store);
}

// ---- Menus and toolbars --------------------------------------------------------

namespace {

void place(QWidget* widget, std::initializer_list<QAction*> actions)
{
    for (QAction* action : actions) {
        if (action)
            widget->addAction(action);
        else if (auto* menu = qobject_cast<QMenu*>(widget))
            menu->addSeparator(); // null stands for a separator
    }
}

QToolBar* makeToolBar(const QString& title, const char* objectName, QWidget* parent)
{
    auto* toolBar = new QToolBar(title, parent);
    toolBar->setObjectName(QLatin1String(objectName));
    return toolBar;
}

} // namespace

void MainWindow::createMenus()
{
    qDebug() << Q_FUNC_INFO;
    QMenuBar* bar = menuBar();

    fileMenu = bar->addMenu(tr("文件(&F)"));
    place(fileMenu, {newAct, openAct});
    recentFilesMenu = fileMenu->addMenu(tr("最近打开文档(&R)"));
    for (QAction* action : recentFileActs)
        recentFilesMenu->addAction(action);
    emptyRecentFilesListAct = new QAction(tr("清空最近打开文档列表"), this);
    connect(emptyRecentFilesListAct, SIGNAL(triggered()), this, SLOT(emptyRecentFilesList()));
    recentFilesMenu->addAction(emptyRecentFilesListAct);
    updateRecentFileActions();
    place(fileMenu, {saveAct, saveAsAct, saveAllAct, nullptr, printPreviewAct, printAct, nullptr});
    if (superUserMode)
        fileMenu->addAction(filePropertyAct);
    place(fileMenu,
               {nullptr, filePrintDocAct, filePrintDocxAct, filePrintPdfAct, filePrintOdtAct, nullptr, exitAct});

    templateMenu = bar->addMenu(tr("模板(&M)"));
    place(templateMenu, {openTemplateAct, saveTemplateAct, openDatabaseTemplateAct});
    connect(templateMenu, SIGNAL(aboutToHide()), this, SLOT(aboutToHideTemplateMenu()));
    connect(templateMenu, SIGNAL(aboutToShow()), this, SLOT(aboutToShowTemplateMenu()));
    placeAtomTemplateUnderCursorAction();
    updateRecentTemplates(QString());

    editMenu = bar->addMenu(tr("编辑(&E)"));
    place(editMenu, {undoAct, redoAct, nullptr, cutAct, copyAct, pasteAct, pasteAsPlainTextAct,
                          pasteFromClipboardHistoryAct, deleteSelectedTextAct, nullptr, selectAllAct, nullptr,
                          addTemplateMarkerAct, nullptr, findAct, replaceAct, gotoCharacterAct, gotoLineAct, nullptr,
                          setTextEditReadOnlyAct, nullptr, autoFormatAct, nullptr, preferencesAct});
    if (superUserMode)
        editMenu->addAction(preferencesExAct);

    // The Format menu and its toolbar share the actions made here.
    formatMenu = new QMenu(tr("格式(&O)"), this);
    bar->addMenu(formatMenu);
    QToolBar* styleToolBar = makeToolBar(tr("格式"), "StyleToolBar", this);
    toolBars[StyleToolBarIndex] = styleToolBar;
    auto addFormatAction = [&](QAction* action) {
        styleToolBar->addAction(action);
        formatMenu->addAction(action);
    };

    // Bold, italic and underline show their own style in the menu.
    auto addStyleAction = [&](const char* icon, const QString& text, int key, void (QFont::*setStyle)(bool),
                              const char* slot) {
        auto* action = new QAction(QIcon(imageFolder + QLatin1String(icon)), text, this);
        action->setShortcut(Qt::CTRL | key);
        QFont font;
        (font.*setStyle)(true);
        action->setFont(font);
        action->setCheckable(true);
        connect(action, SIGNAL(triggered()), this, slot);
        addFormatAction(action);
        return action;
    };
    textBoldAct = addStyleAction("/TextBold.png", tr("粗体"), Qt::Key_B, &QFont::setBold, SLOT(textBold()));
    textItalicAct = addStyleAction("/TextItalic.png", tr("斜体"), Qt::Key_I, &QFont::setItalic, SLOT(textItalic()));
    textUnderlineAct =
        addStyleAction("/TextUnder.png", tr("下划线"), Qt::Key_U, &QFont::setUnderline, SLOT(textUnderline()));

    formatMenu->addSeparator();

    auto* alignGroup = new QActionGroup(this);
    connect(alignGroup, SIGNAL(triggered(QAction*)), this, SLOT(textAlign(QAction*)));
    auto makeAlignAction = [&](const char* icon, const QString& text, int key) {
        auto* action = new QAction(QIcon(imageFolder + QLatin1String(icon)), text, alignGroup);
        action->setShortcut(Qt::CTRL | key);
        action->setCheckable(true);
        return action;
    };
    if (QApplication::isLeftToRight()) {
        alignLeftAct = makeAlignAction("/TextLeft.png", tr("左对齐"), Qt::Key_L);
        alignCenterAct = makeAlignAction("/TextCenter.png", tr("居中"), Qt::Key_E);
        alignRightAct = makeAlignAction("/TextRight.png", tr("右对齐"), Qt::Key_R);
    } else {
        alignRightAct = makeAlignAction("/TextRight.png", tr("右对齐"), Qt::Key_R);
        alignCenterAct = makeAlignAction("/TextCenter.png", tr("居中"), Qt::Key_E);
        alignLeftAct = makeAlignAction("/TextLeft.png", tr("左对齐"), Qt::Key_L);
    }
    alignJustifyAct = makeAlignAction("/TextJustify.png", tr("校正"), Qt::Key_J);
    styleToolBar->addActions(alignGroup->actions());
    formatMenu->addActions(alignGroup->actions());

    formatMenu->addSeparator();

    QPixmap swatch(16, 16);
    swatch.fill(Qt::black);
    textColorAct = new QAction(QIcon(swatch), tr("颜色"), this);
    connect(textColorAct, SIGNAL(triggered()), this, SLOT(textColor()));
    addFormatAction(textColorAct);

    formatMenu->addSeparator();

    toPlainTextAct = new QAction(tr("设为纯文本"), this);
    connect(toPlainTextAct, SIGNAL(triggered()), this, SLOT(toPlainText()));
    formatMenu->addAction(toPlainTextAct);

    // The Font toolbar.
    QToolBar* fontToolBar = makeToolBar(tr("字体"), "FontToolBar", this);
    toolBars[FontToolBarIndex] = fontToolBar;
    fontToolBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    comboFont = new QFontComboBox(fontToolBar);
    comboFont->setMaximumWidth(120);
    fontToolBar->addWidget(comboFont);
    connect(comboFont, SIGNAL(textActivated(QString)), this, SLOT(textFamily(QString)));
    comboSize = new QComboBox(fontToolBar);
    comboSize->setObjectName(QStringLiteral("comboSize"));
    comboSize->setEditable(true);
    fontToolBar->addWidget(comboSize);
    for (int size : QFontDatabase::standardSizes())
        comboSize->addItem(QString::number(size));
    connect(comboSize, SIGNAL(textActivated(QString)), this, SLOT(textSize(QString)));
    comboSize->setCurrentIndex(comboSize->findText(QString::number(QApplication::font().pointSize()),
                                                   Qt::MatchExactly | Qt::MatchCaseSensitive));

    // Filled later in construction, together with the docks.
    viewMenu = bar->addMenu(tr("查看(&V)"));

    windowMenu = bar->addMenu(tr("窗口(&W)"));
    updateWindowMenu();
    connect(windowMenu, SIGNAL(aboutToShow()), this, SLOT(updateWindowMenu()));

    evaluationMenu = bar->addMenu(tr("测评"));
    place(evaluationMenu->addMenu(tr("字频")), {charFreqCounterForTextSelectionAct, charFreqCounterForDirectoryAct});
    place(evaluationMenu->addMenu(tr("词频")),
               {jieBaWordFreqCounterForTextSelectionAct, jieBaWordFreqCounterForDirectoryAct});
    place(evaluationMenu->addMenu(tr("分词")),
               {jieBaNotCutAllForTextSelectionAct, jieBaPartOfSpeechTaggingForTextSelectionAct});
    place(evaluationMenu->addMenu(tr("按词类高亮统计")),
               {politicsSensitiveWordHighlightAct, eroticismSensitiveWordHighlightAct, vulgarSensitiveWordHighlightAct,
                idiomHighlightAct, internetSensitiveWordHighlightAct, surnameSensitiveWordHighlightAct,
                placeNameSensitiveWordHighlightAct, englishCharHighlightAct, numberHighlightAct, quantifierHighlightAct,
                polyphoneHighlightAct, userDefinedCategoryHighlightAct});
    evaluationMenu->addAction(partOfSpeechHighlightAct);

    toolsMenu = bar->addMenu(tr("工具(&T)"));
    place(toolsMenu, {nullptr, searchAct, nullptr, blackWhiteListSpellingCheckAct, whiteListSpellingCheckAct,
                           blackListSpellingCheckAct, userDefinedWordSpellingCheckAct, addSelectedWordToWhiteListAct,
                           addSelectedWordToBlackListAct, addSelectedContentToCurrentTemplateAct, expandMarkAct,
                           synonymMarkAct, antonymMarkAct, nullptr, statisticsAct, nullptr, logOutputAct,
                           wordCloudAct});
    if (superUserMode) {
        toolsMenu->addSeparator();
        place(toolsMenu->addMenu(tr("崩溃测试")),
                   {divisionByZeroAct, segmentationFaultAct, stackOverflowAct, bufferOverflowAct, memoryLeakAct,
                    abortFuncAct, assertFalseAct, throwExceptionAct, freeUninitializedPointerAct,
                    deleteUninitializedPointerAct});
    }

    if (developerSwitch != 0) {
        turingMenu = bar->addMenu(tr("图灵"));
        place(turingMenu, {wordEditAct, grammarEditAct, grammarCheckAct});
    }

    helpMenu = bar->addMenu(tr("帮助(&H)"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    if (superUserMode)
        helpMenu->addAction(systemInformationAct);
    place(helpMenu, {bugReportAct, userFeedbackAct, recommendToAct, nullptr, showReleaseNotesAct, aboutAct});
}

void MainWindow::createToolBars()
{
    qDebug() << Q_FUNC_INFO;
    toolBars[FileToolBarIndex] = makeToolBar(tr("文档"), "FileToolBar", this);
    toolBars[EditToolBarIndex] = makeToolBar(tr("编辑"), "EditToolBar", this);
    toolBars[PrintToolBarIndex] = makeToolBar(tr("打印"), "PrintToolBar", this);
    toolBars[DictToolBarIndex] = makeToolBar(tr("词典"), "DictToolBar", this);
    toolBars[SearchToolBarIndex] = makeToolBar(tr("搜索"), "SearchToolBar", this);

    const ToolBarIndex placement[] = {FileToolBarIndex,  EditToolBarIndex, PrintToolBarIndex, StyleToolBarIndex,
                                      FontToolBarIndex, DictToolBarIndex, SearchToolBarIndex};
    for (ToolBarIndex index : placement)
        addToolBar(Qt::TopToolBarArea, toolBars[index]);

    place(toolBars[FileToolBarIndex], {newAct, openAct, saveAct});
    place(toolBars[EditToolBarIndex], {undoAct, redoAct, cutAct, copyAct, pasteAct});
    place(toolBars[PrintToolBarIndex], {printAct});

    QToolBar* dictToolBar = toolBars[DictToolBarIndex];
    dictToolBar->addWidget(new QLabel(tr("词典 "), dictToolBar));
    dictLineEdit = new QLineEdit(dictToolBar);
    dictLineEdit->setClearButtonEnabled(true);
    dictLineEdit->setFixedWidth(100);
    dictToolBar->addWidget(dictLineEdit);
    connect(dictLineEdit, SIGNAL(textChanged(QString)), this, SLOT(dictTextChanged(QString)));
    connect(dictLineEdit, SIGNAL(returnPressed()), this, SLOT(dictReturnPressed()));

    QToolBar* searchToolBar = toolBars[SearchToolBarIndex];
    searchEngineComboBox = new QComboBox(searchToolBar);
    searchEngineComboBox->addItem(QIcon(QStringLiteral(":/Images/Baidu.png")), tr("百度"));
    searchEngineComboBox->addItem(QIcon(QStringLiteral(":/Images/Bing.png")), tr("必应"));
    searchEngineComboBox->addItem(QIcon(QStringLiteral(":/Images/Google.png")), tr("谷歌"));
    searchEngineComboBox->addItem(QIcon(QStringLiteral(":/Images/Wikipedia.png")), tr("维基百科"));
    searchToolBar->addWidget(searchEngineComboBox);
    searchLineEdit = new QLineEdit(searchToolBar);
    searchLineEdit->setClearButtonEnabled(true);
    searchLineEdit->setFixedWidth(100);
    searchToolBar->addWidget(searchLineEdit);
    connect(searchLineEdit, SIGNAL(returnPressed()), this, SLOT(searchReturnPressed()));
    auto* searchButton = new QPushButton(searchToolBar);
    searchButton->setFlat(true);
    searchButton->setFixedSize(24, 24);
    searchButton->setIcon(QIcon(QStringLiteral(":/Images/Magnifier.png")));
    searchToolBar->addWidget(searchButton);
    connect(searchButton, SIGNAL(clicked()), this, SLOT(searchReturnPressed()));
    searchToolBar->addSeparator();

    // A toolbar hidden or shown by other means than its visibility action (the main
    // window's own context menu) carries the change over to the action and the box.
    for (int i = 0; i < ToolBarCount; ++i) {
        connect(toolBars[i], &QToolBar::visibilityChanged, this, [this, i](bool visible) {
            QAction* action = toggleToolBarActs[i];
            if (!action || action->isChecked() == visible)
                return;
            action->setChecked(visible);
            setToggleAllToolbarActsCheckBoxState();
        });
    }
}

void MainWindow::toggleToolBars()
{
    qDebug() << Q_FUNC_INFO;
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const int index = action->data().toInt();
    if (index < 0 || index >= ToolBarCount || !toolBars[index])
        return;
    toolBars[index]->setVisible(action->isChecked());
    setToggleAllToolbarActsCheckBoxState();
}

void MainWindow::toggleAllToolbarActs(int state)
{
    qDebug() << Q_FUNC_INFO << ": state =" << state;
    if (state == Qt::Unchecked) {
        // The actions first, so that the toolbars' own visibility reports find them in step.
        for (int i = 0; i < ToolBarCount; ++i) {
            if (toggleToolBarActs[i])
                toggleToolBarActs[i]->setChecked(false);
            if (toolBars[i])
                toolBars[i]->hide();
        }
        toggleAllToolbarActsCheckBoxGuard = false;
        return;
    }
    if (toggleAllToolbarActsCheckBoxGuard) {
        // The program moved the box to the partial state itself.
        toggleAllToolbarActsCheckBoxGuard = false;
        return;
    }
    for (int i = 0; i < ToolBarCount; ++i) {
        if (toggleToolBarActs[i])
            toggleToolBarActs[i]->setChecked(true);
        if (toolBars[i])
            toolBars[i]->show();
    }
    setToggleAllToolbarActsCheckBoxState();
    toggleAllToolbarActsCheckBoxGuard = false;
}

void MainWindow::setToggleAllToolbarActsCheckBoxState()
{
    qDebug() << Q_FUNC_INFO;
    if (!toggleAllToolbarActsCheckBox)
        return;
    int checked = 0;
    for (QAction* action : toggleToolBarActs)
        if (action && action->isChecked())
            ++checked;
    if (checked == ToolBarCount) {
        toggleAllToolbarActsCheckBox->setCheckState(Qt::Checked);
    } else if (checked == 0) {
        toggleAllToolbarActsCheckBox->setCheckState(Qt::Unchecked);
    } else if (toggleAllToolbarActsCheckBox->checkState() != Qt::PartiallyChecked) {
        toggleAllToolbarActsCheckBoxGuard = true;
        toggleAllToolbarActsCheckBox->setCheckState(Qt::PartiallyChecked);
    }
}

void MainWindow::setToolBarsIconSize()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    int index = action->data().toInt();
    QSize size(24, 24);
    if (index == 1)
        size = QSize(16, 16);
    else if (index == 2)
        size = QSize(32, 32);
    else
        index = 0;
    for (QToolBar* toolBar : toolBars)
        if (toolBar)
            toolBar->setIconSize(size);
    settings.setValue(QStringLiteral("ToolBarIconSize"), index);
}

// ---- Status bars ---------------------------------------------------------------

namespace {

// The date and time show only when their setting holds a checked state.
bool showDateAndTime(const Settings& settings)
{
    return settings.value(QStringLiteral("ShowDateInStatusBar")).toInt() == Qt::Checked;
}

} // namespace

void MainWindow::updateMenusStatusBar(QMdiSubWindow* window)
{
    MdiChild* child = activeMdiChild();
    const bool hasChild = child != nullptr;
    qDebug() << Q_FUNC_INFO << ": window =" << window << "hasMdiChild =" << (hasChild ? "true" : "false");

    auto enable = [](QAction* action, bool enabled) {
        if (action)
            action->setEnabled(enabled);
    };
    enable(saveAct, hasChild);
    enable(saveAsAct, hasChild);

    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    const bool canPaste = clipboard && hasChild && !QApplication::clipboard()->text().isEmpty();
    for (QAction* action : {pasteAct, pasteAsPlainTextAct, deleteSelectedTextAct})
        enable(action, canPaste);

    for (QAction* action : {pasteFromClipboardHistoryAct, printPreviewAct, printAct, closeAct, closeAllAct,
                            closeOthersAct, closeRightAct, tileAct, cascadeAct, nextAct, previousAct})
        enable(action, hasChild);
    if (separatorAct)
        separatorAct->setVisible(hasChild);

    const bool hasSelection = hasChild && child->textCursor().hasSelection();
    enable(cutAct, hasSelection);
    enable(copyAct, hasSelection);

    updateEncodingActions();

    if (!window || !window->widget()) {
        discardStatusBar();
        return;
    }
    const int type = window->widget()->property("SubWindowType").toInt();
    switch (type) {
    case 1:
        createEditorStatusBar();
        if (child) {
            const bool readOnly = child->isReadOnly();
            if (setTextEditReadOnlyAct)
                setTextEditReadOnlyAct->setChecked(readOnly);
            if (readOnlyButton) {
                readOnlyButton->setProperty("ReadOnly", readOnly);
                readOnlyButton->setIcon(QIcon(readOnly ? QStringLiteral(":/Images/ReadOnly.png")
                                                       : QStringLiteral(":/Images/ReadWrite.png")));
            }
            if (insertOverwriteButton)
                child->setOverwriteMode(insertOverwriteButton->property("Overwrite").toBool());
        }
        break;
    case 2:
        discardStatusBar();
        break;
    case 4:
        createBrowserStatusBar();
        break;
    default:
        qWarning() << "Unknown SubWindowType" << type;
        break;
    }

    if (showStatusBarAct && showStatusBarAct->isChecked())
        statusBar()->show();
    updateCharactersCountOnStatusBar();
    updateEncodingLabelOnStatusBar(QString());
    updateLineLabelOnStatusBar();
}

void MainWindow::discardStatusBar()
{
    // The old bar is deleted later; its widgets must not be mistaken for the new bar's.
    setStatusBar(nullptr);
    for (QPointer<QLabel>* label : {&encodingLabel, &charactersCountLabel, &lineColumnLabel, &dateLabel, &timeLabel,
                                    &loadProgressLabel})
        *label = nullptr;
    readOnlyButton = nullptr;
    insertOverwriteButton = nullptr;
}

void MainWindow::addDateTimeLabels(QStatusBar* bar)
{
    dateLabel = new QLabel(bar);
    timeLabel = new QLabel(bar);
    bar->addPermanentWidget(dateLabel, 0);
    bar->addPermanentWidget(timeLabel, 0);
}

void MainWindow::createEditorStatusBar()
{
    qDebug() << Q_FUNC_INFO;
    discardStatusBar();
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("EditorStatusBar"));

    readOnlyButton = new QToolButton(bar);
    readOnlyButton->setIcon(QIcon(QStringLiteral(":/Images/ReadWrite.png")));
    readOnlyButton->setToolTip(tr("切换只读/读写"));
    readOnlyButton->setProperty("ReadOnly", false);
    connect(readOnlyButton, &QToolButton::clicked, this, &MainWindow::toggleReadOnlyButton);
    encodingLabel = new QLabel(bar);
    charactersCountLabel = new QLabel(tr("字数: 0"), bar);
    lineColumnLabel = new QLabel(tr("行: 1, 列: 1"), bar);
    insertOverwriteButton = new QPushButton(QStringLiteral("INS"), bar);
    insertOverwriteButton->setFlat(true);
    insertOverwriteButton->setProperty("Overwrite", false);
    insertOverwriteButton->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    insertOverwriteButton->setFocusPolicy(Qt::NoFocus);
    connect(insertOverwriteButton, SIGNAL(clicked()), this, SLOT(toggleInsertOverwriteMode()));

    bar->addPermanentWidget(readOnlyButton);
    bar->addPermanentWidget(encodingLabel);
    bar->addPermanentWidget(charactersCountLabel);
    bar->addPermanentWidget(lineColumnLabel);
    bar->addPermanentWidget(insertOverwriteButton);
    if (showDateAndTime(settings))
        addDateTimeLabels(bar);
    bar->showMessage(tr("准备就绪"), 7000);
}

void MainWindow::createBrowserStatusBar()
{
    qDebug() << Q_FUNC_INFO;
    discardStatusBar();
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("BrowserStatusBar"));
    loadProgressLabel = new QLabel(tr("加载进度: -"), bar);
    bar->addPermanentWidget(loadProgressLabel);
    if (showDateAndTime(settings))
        addDateTimeLabels(bar);
}

MdiChild* MainWindow::editorForStatusBar()
{
    MdiChild* child = activeMdiChild();
    if (child && statusBar()->objectName() != QLatin1String("EditorStatusBar"))
        createEditorStatusBar();
    return child;
}

void MainWindow::updateCharactersCountOnStatusBar()
{
    MdiChild* child = editorForStatusBar();
    if (!child || !charactersCountLabel)
        return;
    // The document keeps its own count (paragraph ends count as one character each,
    // like the line breaks of its plain text), so a keystroke costs no full scan.
    const int count = qMax(0, child->document()->characterCount() - 1);
    charactersCountLabel->setText(tr("字数: %1").arg(count));
}

void MainWindow::updateEncodingLabelOnStatusBar(const QString& encoding)
{
    MdiChild* child = editorForStatusBar();
    if (!child || !encodingLabel)
        return;
    encodingLabel->setText(encoding.isEmpty() ? child->encoding : encoding);
}

void MainWindow::updateLineLabelOnStatusBar()
{
    MdiChild* child = editorForStatusBar();
    if (!child || !lineColumnLabel)
        return;
    const QTextCursor cursor = child->textCursor();
    lineColumnLabel->setText(tr("行: %1, 列: %2").arg(cursor.blockNumber() + 1).arg(cursor.columnNumber() + 1));
}

void MainWindow::updateDateTime()
{
    if (!showDateAndTime(settings))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    QStatusBar* bar = statusBar();
    if (bar->objectName().isEmpty()) {
        bar->setObjectName(QStringLiteral("EmptyStatusBar"));
        addDateTimeLabels(bar);
    } else if (!dateLabel || !timeLabel) {
        // The bar was built while the date was off: give it its labels now.
        addDateTimeLabels(bar);
    }
    dateLabel->setText(now.toString(QStringLiteral("yyyy-MM-dd")));
    timeLabel->setText(now.toString(QStringLiteral("hh:mm:ss")));
}

// ---- Sub-windows and tabs ------------------------------------------------------

void MainWindow::updateWindowMenu()
{
    if (!windowMenu)
        return;
    windowMenu->clear();
    for (QAction* action : {closeAct, closeAllAct, static_cast<QAction*>(nullptr), tileAct, cascadeAct,
                            static_cast<QAction*>(nullptr), nextAct, previousAct, separatorAct}) {
        if (!action)
            windowMenu->addSeparator();
        else
            windowMenu->addAction(action);
    }
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    if (separatorAct)
        separatorAct->setVisible(!windows.isEmpty());
    MdiChild* active = activeMdiChild();
    for (int i = 0; i < windows.size(); ++i) {
        auto* child = qobject_cast<MdiChild*>(windows.at(i)->widget());
        if (!child)
            continue;
        // A "&" in a file name is shown, not taken as a shortcut marker.
        const QString name = child->userFriendlyCurrentFile().replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(name)
                                   : QStringLiteral("%1 %2").arg(i + 1).arg(name);
        QAction* action = windowMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(child == active);
        connect(action, &QAction::triggered, this, [this, windows, i] { setActiveSubWindow(windows.at(i)); });
    }
}

void MainWindow::setActiveSubWindow(QWidget* window)
{
    if (!window)
        return;
    mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window));
    updateEncodingLabelOnStatusBar(QString());
    updateCharactersCountOnStatusBar();
    updateLineLabelOnStatusBar();
}

void MainWindow::showCustomContextMenu(const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO << ", pos =" << pos;
    MdiChild* child = activeMdiChild();
    if (openContainingDirectoryUsingSystemAppAct)
        openContainingDirectoryUsingSystemAppAct->setEnabled(child && !QDir::isRelativePath(child->currentFile()));
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    QMenu menu(this);
    auto add = [&menu](QAction* action) {
        if (action)
            menu.addAction(action);
    };
    add(closeAct);
    add(closeAllAct);
    if (windows.size() > 1)
        add(closeOthersAct);
    if (!windows.isEmpty() && mdiArea->currentSubWindow() != windows.last())
        add(closeRightAct);
    menu.addSeparator();
    add(openContainingDirectoryUsingSystemAppAct);
    Prompt::current().execMenu(menu, QCursor::pos());
}

void MainWindow::closeMultiSubWindows()
{
    qDebug() << Q_FUNC_INFO;
    QAction* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    QMdiSubWindow* current = mdiArea->currentSubWindow();
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    if (action == closeOthersAct) {
        for (QMdiSubWindow* window : windows)
            if (window != current)
                window->close();
    } else if (action == closeRightAct) {
        bool right = false;
        for (QMdiSubWindow* window : windows) {
            if (right)
                window->close();
            else if (window == current)
                right = true;
        }
    }
}

bool MainWindow::removeBottomPage(int index, bool askForTemplates)
{
    QWidget* page = mainTabWidget->widget(index);
    if (!page)
        return false;
    auto* templateDialog = qobject_cast<TemplateDialog*>(page);
    if (!templateDialog || page->objectName() != QLatin1String("TemplateDialog")) {
        mainTabWidget->removeTab(index);
        return true;
    }
    if (askForTemplates && mainTabWidget->tabText(index).startsWith(QLatin1Char('*'))) {
        QMessageBox box(QMessageBox::Warning, tr("警告!"), tr("模板已经修改，是否保存修改?"),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setButtonText(QMessageBox::Save, tr("保存"));
        box.setButtonText(QMessageBox::Discard, tr("不保存"));
        box.setButtonText(QMessageBox::Cancel, tr("取消"));
        const int answer = Prompt::current().exec(box);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Save) {
            mainTabWidget->setCurrentIndex(index);
            saveTemplate(false, false);
            if (mainTabWidget->tabText(index).startsWith(QLatin1Char('*')))
                return false; // not saved: keep the page
        }
    }
    templateDialogs.removeAll(templateDialog);
    mainTabWidget->removeTab(index);
    templateDialog->deleteLater();
    return true;
}

void MainWindow::recomputeTemplateModified()
{
    bool modified = false;
    for (int i = 0; i < mainTabWidget->count(); ++i)
        if (mainTabWidget->widget(i)->objectName() == QLatin1String("TemplateDialog")
            && mainTabWidget->tabText(i).startsWith(QLatin1Char('*')))
            modified = true;
    templateModified = modified;
}

void MainWindow::closeMultiTabs()
{
    qDebug() << Q_FUNC_INFO;
    QAction* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const int clicked = mainTabWidget->property("clickedWidgetIndex").toInt();
    if (action == closeTabAct) {
        removeBottomPage(clicked, true);
    } else if (action == closeAllTabsAct) {
        for (int i = mainTabWidget->count() - 1; i >= 0; --i)
            removeBottomPage(i, true);
    } else if (action == closeOtherTabsAct) {
        QWidget* keep = mainTabWidget->widget(clicked);
        for (int i = mainTabWidget->count() - 1; i >= 0; --i)
            if (mainTabWidget->widget(i) != keep)
                removeBottomPage(i, true);
    } else if (action == closeRightTabsAct) {
        for (int i = mainTabWidget->count() - 1; i > clicked; --i)
            removeBottomPage(i, true);
    }
    recomputeTemplateModified();
}

void MainWindow::closeTab(int index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    QWidget* page = mainTabWidget->widget(index);
    if (!page)
        return;
    const bool logPage = page->objectName() == QLatin1String("LogOutputDialog");
    if (!removeBottomPage(index, true))
        return;
    if (logPage && logOutputAct)
        logOutputAct->setChecked(false);
    recomputeTemplateModified();
}

void MainWindow::autoCloseTabs(const QString& keep)
{
    qDebug() << Q_FUNC_INFO << ", keep =" << keep;
    int i = 0;
    while (i < mainTabWidget->count()) {
        auto* templateDialog = qobject_cast<TemplateDialog*>(mainTabWidget->widget(i));
        if (templateDialog && templateDialog->objectName() == QLatin1String("TemplateDialog")
            && templateDialog->autoClose() && !mainTabWidget->tabText(i).startsWith(QLatin1Char('*'))
            && templateDialog->fileName() != keep) {
            removeBottomPage(i, false);
            continue; // the next page has moved into this index
        }
        ++i;
    }
}

// ---- Skins ---------------------------------------------------------------------

void MainWindow::setCustomStyleSheet(int id)
{
    qDebug() << Q_FUNC_INFO << ", id =" << id;
    static const char* const sheets[SkinCount] = {
        ":/Qss/Tarnquill_Default.qss", ":/Qss/Tarnquill_Blue.qss",   ":/Qss/Tarnquill_Dark.qss",
        ":/Qss/Tarnquill_Green.qss",   ":/Qss/Tarnquill_Purple.qss", ":/Qss/Tarnquill_Pink.qss",
        ":/Qss/Tarnquill_Red.qss",     ":/Qss/Tarnquill_Silver.qss", ":/Qss/Tarnquill_Yellow.qss"};
    const int row = (id >= 0 && id < SkinCount) ? id : DefaultSkin;
    if (skinActs[row])
        skinActs[row]->setChecked(true);
    QFile file(QLatin1String(sheets[row]));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    setStyleSheet(QString::fromUtf8(bytes));
    styleId = id;
}

// Enables the five selection-to-template actions from the active editor's
// selection and the current page of the bottom tab widget.
void updateSelectionActions()
{
    qDebug() << Q_FUNC_INFO;
    QAction* const all[] = {addTemplateMarkerAct, searchAtomTemplateTOCAct,
                            newTemplateParagraphFromSelectionAct,
                            newTemplateChildParagraphFromSelectionAct,
                            newTemplateContentFromSelectionAct};
    auto setEnabled = [](QAction* action, bool enabled) {
        if (action)
            action->setEnabled(enabled);
    };

    MdiChild* child = mainWindow ? mainWindow->activeMdiChild() : nullptr;
    if (!child || child->textCursor().selectedText().isEmpty()) {
        for (QAction* action : all)
            setEnabled(action, false);
        return;
    }
    setEnabled(addTemplateMarkerAct, true);
    setEnabled(searchAtomTemplateTOCAct, true);

    QTabWidget* tabs = mainWindow->mainTabWidget;
    auto* templateDialog = tabs ? qobject_cast<TemplateDialog*>(tabs->currentWidget()) : nullptr;
    if (!templateDialog || templateDialog->property("ReadOnly").toBool()) {
        for (int i = 2; i < 5; ++i)
            setEnabled(all[i], false);
        return;
    }
    setEnabled(newTemplateParagraphFromSelectionAct, true);
    const bool hasItems = templateDialog->outlineTreeWidget()
        && templateDialog->outlineTreeWidget()->topLevelItemCount() > 0;
    setEnabled(newTemplateChildParagraphFromSelectionAct, hasItems);
    setEnabled(newTemplateContentFromSelectionAct, hasItems);
}
