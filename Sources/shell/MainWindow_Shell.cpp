// Main window: frame, construction, docks, bottom tabs, start-up, settings, actions,
// shortcuts, skins and shut-down. Menus and toolbars, status bars and tabs, and the
// crash tests have files of their own.

#include "MainWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QResizeEvent>
#include <QShowEvent>
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
#include "PluginManager.h"
#include "PreferencesDialog.h"
#include "PreferencesDialogEx.h"
#include "Prompt.h"
#include "SearchDialog.h"
#include "SharedCodes.h"
#include "StartUp.h"
#include "TQDirModel.h"
#include "TextAnalysisRunner.h"
#include "TemplateDialog.h"

MainWindow* mainWindow = nullptr;
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

// Clears the flag at the first press that reaches the window itself: a dock's
// edge being dragged, or a click no child took.
class FramePressWatch : public QObject
{
public:
    FramePressWatch(QObject* parent, bool* flag) : QObject(parent), m_flag(flag) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonPress)
            *m_flag = false;
        return false;
    }

private:
    bool* m_flag;
};

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

    analysisToolPrograms.clear();
    analysisToolTitles.clear();
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
            analysisToolPrograms.insert(tool.id, tool.executable);
        analysisToolTitles.insert(tool.id, tool.title);
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
    connect(mdiArea, SIGNAL(subWindowActivated(QMdiSubWindow*)), findReplaceDialog, SLOT(activeDocumentChanged()));

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

    if (startUpTimers) {
        // The deferred start-up follows the window's first paint at the next
        // turn of the event loop, so the window shows at once and a file named
        // on the command line right after it; the timer only covers a window
        // that is never painted (started minimised, say).
        qApp->installEventFilter(this);
        QTimer::singleShot(1500, this, &MainWindow::startDeferredStartUp);
    }

    embellish = new Embellish(this);

    // A settings file that cannot be written is said in the status bar (the store
    // logs it); the report may come from any thread.
    SettingsStore::setWriteFailureHandler([this](const QString& message) {
        QMetaObject::invokeMethod(this, [this, message] { statusBar()->showMessage(message); }, Qt::QueuedConnection);
    });
}

MainWindow::~MainWindow()
{
    qDebug() << Q_FUNC_INFO;
    SettingsStore::setWriteFailureHandler({});
    qApp->removeEventFilter(this);
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
    fitMainDock = !settings.contains(dockKey(mainKeys, "Size"));
    installEventFilter(new FramePressWatch(this, &fitMainDock));

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

void MainWindow::fitFirstStartDock()
{
    if (!fitMainDock || !mainDock || !searchDialog || !mainDock->isVisible() || mainDock->isFloating()
        || dockWidgetArea(mainDock) != Qt::BottomDockWidgetArea || !isVisible())
        return;
    // The dock adds its title and the bottom tab bar to the page: measured on
    // the dock as laid out once the page shows, before that from the hints.
    const int frame = searchDialog->isVisible() ? mainDock->height() - searchDialog->height()
                                                : mainDock->sizeHint().height() - searchDialog->sizeHint().height();
    const int wanted = frame + searchDialog->heightShowingRows(8);
    const int room = mdiArea->height() + mainDock->height() - height() / 2;
    resizeDocks({mainDock}, {qMax(0, qMin(wanted, room))}, Qt::Vertical);
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    fitFirstStartDock();
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fitFirstStartDock();
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
    applyCurrentLineHighlight();

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
    const QSize size = settings.value(QStringLiteral("MainWindowSize")).toSize();
    if (size.width() > 0 && size.height() > 0) {
        move(settings.value(QStringLiteral("MainWindowPos"), QPoint(0, 0)).toPoint());
        resize(size);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        // First start: most of the screen, centred, so the editor has room.
        const QRect available = screen->availableGeometry();
        const QSize first = available.size() * 0.8;
        resize(first);
        move(available.center() - QPoint(first.width() / 2, first.height() / 2));
    }
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
            child->setWrapping(wrap);
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
