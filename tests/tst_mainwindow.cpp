// The main window's frame: construction, settings defaults, docks, bottom tabs,
// restore and save, and the close sequence.

#include <QGuiApplication>
#include <QScreen>
#include <QAction>
#include <QDockWidget>
#include <QMdiSubWindow>
#include <QPointer>
#include <QProcess>
#include <QSignalSpy>
#include <QSplashScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QFontComboBox>
#include <QLineEdit>
#include <QTableWidget>

#include "Logging.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "OutputDialogEx.h"
#include "SearchDialog.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "TemplateDialog.h"
#include "TestSupport.h"

#include <unistd.h>

namespace {

QVariant stored(const QString& key)
{
    return Settings().value(key);
}

} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
        templateModified = false;
    }

    void constructionIsClean()
    {
        MessageCapture capture;
        {
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            QCOMPARE(mainWindow, &window);
            QCOMPARE(window.windowTitle(), QString("塔泉笔维德马克"));
            QVERIFY(window.cursorTrackingEnabled);
            QVERIFY(window.embellish);
            QVERIFY(window.findReplaceDialog);
            QVERIFY(logOutputDialog);
            QCOMPARE(imageFolder, QString(":/Images/Windows"));
        }
        for (const QString& message : capture.messages())
            QVERIFY2(!message.contains("QObject::connect"), qPrintable(message));
        QVERIFY(!mainWindow);
        QVERIFY(!logOutputDialog);
    }

    void severalWindowsInOneProcess()
    {
        for (int i = 0; i < 3; ++i) {
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            QCOMPARE(imageFolder, QString(":/Images/Windows"));
            QVERIFY(fileSystemWatcher);
            window.newFile();
            QCOMPARE(window.mdiArea->subWindowList().size(), 1);
        }
        QVERIFY(!mainWindow);
        QVERIFY(!fileSystemWatcher);
    }

    // The first window as a new user sees it: 80% of a 1280x800 screen, and the
    // whole of that screen. The hits of a search in files show eight rows or
    // more, the file column keeps the file's name, and the editor keeps at least
    // half the window; the font box shows the whole name of the default font.
    void firstWindow_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1024x640") << QSize(1024, 640);
        QTest::newRow("1280x800") << QSize(1280, 800);
    }

    void firstWindow()
    {
        QFETCH(QSize, size);
        // The application font as the program sets it.
        struct FontBack { QFont font = QApplication::font(); ~FontBack() { QApplication::setFont(font); } } fontBack;
        installFontSubstitutions();
        QApplication::setFont(QFont(QStringLiteral("微软雅黑"), 9));
        const QString deep = TestEnvironment::instance()->root() + "/文稿/写作/草稿/二〇二六年/春季";
        writeBytes(deep + "/第1章 春天的故事.txt", gb18030(QString("春天来了, 万物复苏\r\n").repeated(30)));

        ScriptedPrompt prompt;
        MessageCapture capture;
        MainWindow window;
        window.resize(size);
        window.show();
        QVERIFY(QTest::qWaitFor([&] { return capture.contains("finishDeferredStartUp()"); }, 20000));
        QCOMPARE(window.size(), size);
        // Nothing makes the window wider than the 1024 pixels of a first start on this screen.
        QVERIFY(window.minimumSizeHint().width() <= 1024);

        SearchDialog* page = window.searchDialog;
        page->findChild<QComboBox*>("directoryComboBox")->setEditText(deep);
        page->findChild<QComboBox*>("fileComboBox")->setEditText("*.txt");
        page->includeComboBox()->setEditText("春天");
        QTest::mouseClick(page->findChild<QWidget*>("findButton"), Qt::LeftButton);
        QTableWidget* table = page->filesTable();
        QCOMPARE(table->rowCount(), 30);
        QCoreApplication::processEvents();
        int rows = 0; // shown whole
        for (int row = 0; row < table->rowCount(); ++row)
            rows += table->visualRect(table->model()->index(row, 1)).bottom() < table->viewport()->height();
        QVERIFY2(rows >= 8, qPrintable(QString::number(rows)));
        QVERIFY(window.mdiArea->height() * 2 >= window.height());

        // The file column is wide enough for the file's name, the path losing its start.
        const QString path = table->item(0, 1)->text();
        QVERIFY2(path.startsWith(deep), qPrintable(path));
        QCOMPARE(table->textElideMode(), Qt::ElideLeft);
        QVERIFY(table->columnWidth(1) > table->fontMetrics().horizontalAdvance("…" + QFileInfo(path).fileName()));

        // The font box shows the start of its name: the cursor after the name stands right of it, unscrolled.
        QLineEdit* edit = window.findChild<QFontComboBox*>()->lineEdit();
        QVERIFY(!edit->text().isEmpty());
        edit->end(false);
        QVERIFY2(edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().center().x()
                     >= edit->fontMetrics().horizontalAdvance(edit->text()), qPrintable(edit->text()));
    }

    void defaultsOnEmptyStore()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        // No stored size: most of the screen, centred.
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QCOMPARE(window.size(), screen.size() * 0.8);
        QVERIFY((window.geometry().center() - screen.center()).manhattanLength() <= 2);
        const QList<QPair<QString, QVariant>> defaults{
            {"ShowTipOfTheDay", 2}, {"ShowPromoteBanner", 2}, {"LineWrap", 2}, {"ShowStatusBar", 2},
            {"ShowDateInStatusBar", 2}, {"ShowTimeInStatusBar", 2}, {"AutoSaveFileInterval", 5},
            {"BackupFileBeforeSave", 2}, {"AutoSaveTemplateInterval", 3}, {"EnableAtomTemplateEmbellish", 0},
            {"EmbellishVerbose", 0}, {"EmbellishTryMaxNewWordLength", 2}, {"EmbellishAlphaAsSymbol", true},
            {"EmbellishDigitsAsSymbol", true}, {"AccessoryDockVisible", true}, {"DictDockVisible", true},
            {"DirDockVisible", true}, {"MainDockVisible", true}, {"SearchDialogCharacterCountMin", 10},
            {"SearchDialogCharacterCountMax", 50}, {"FileToolBarVisible", true}, {"EditToolBarVisible", true},
            {"PrintToolBarVisible", true}, {"DictToolBarVisible", true}, {"SearchToolBarVisible", true},
            {"StyleToolBarVisible", true}, {"FontToolBarVisible", true}, {"ReaderToolBarVisible", false},
            {"WebBrowserToolBarVisible", true}, {"AutoGenToolBarVisible", true}, {"LastStyleId", 0},
            {"ToolBarIconSize", 0}};
        for (const auto& entry : defaults) {
            QVERIFY2(Settings().contains(entry.first), qPrintable(entry.first));
            QCOMPARE(stored(entry.first).toString(), entry.second.toString());
        }
        const int fontSize = QApplication::font().pointSize();
        QCOMPARE(stored("NormalFontPointSize").toInt(), fontSize);
        QCOMPARE(stored("CustomFontPointSize").toInt(), fontSize);

        const QList<QStringList> arrays{
            {"UserDefinedAdvertorialTemplate", "UserDefinedAdvertorial001", "自定义广告.tqw"},
            {"UserDefinedNewsTemplate", "UserDefinedNews001", "自定义新闻.tqw"},
            {"UserDefinedOfficialDocumentTemplate", "UserDefinedOfficialDocumentn001", "自定义公文.tqw"},
            {"UserDefinedSkeletonTemplate", "UserDefinedSkeleton001", "自定义梗概.tqw"},
            {"UserDefinedChapterTemplate", "UserDefinedChapter001", "自定义章节.tqw"},
            {"UserDefinedAutoGenTemplate", "UserDefinedAutoGen001", "自定义语段.tqw"}};
        Settings settings;
        for (const QStringList& array : arrays) {
            QCOMPARE(settings.beginReadArray(array[0]), 1);
            settings.setArrayIndex(0);
            QCOMPARE(settings.value("TemplateTitle").toString(), array[1]);
            QCOMPARE(settings.value("TemplateFileName").toString(), array[2]);
            settings.endArray();
        }

        QCOMPARE(window.dockWidgetArea(window.accessoryDock), Qt::RightDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(window.dictDock), Qt::RightDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(window.dirDock), Qt::LeftDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(window.mainDock), Qt::BottomDockWidgetArea);
        for (QDockWidget* dock : {window.accessoryDock, window.dictDock, window.dirDock, window.mainDock})
            QVERIFY(!dock->isHidden());
        QCOMPARE(window.developerSwitch, 0u);
        QCOMPARE(window.autoSaveFileInterval, 5u);
        QCOMPARE(window.autoSaveTemplateInterval, 3u);
    }

    void existingValuesAreKept()
    {
        {
            Settings settings;
            settings.setValue("linewrap", 0); // another letter case, as other code writes it
            settings.setValue("AutoSaveFileInterval", 0);
            settings.setValue("AutoSaveTemplateInterval", 0);
            settings.setValue("CustomFontPointSize", 14);
            settings.setValue("QuillHarbourMeadow542Cd", 7);
            settings.beginWriteArray("UserDefinedNewsTemplate", 2);
            for (int i = 0; i < 2; ++i) {
                settings.setArrayIndex(i);
                settings.setValue("TemplateTitle", QString("mine%1").arg(i));
            }
            settings.endArray();
            settings.beginWriteArray("UserDefinedChapterTemplate", 0);
            settings.endArray();
        }
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        Settings settings;
        QCOMPARE(settings.value("LineWrap").toInt(), 0);
        QCOMPARE(settings.value("CustomFontPointSize").toInt(), 14);
        QCOMPARE(settings.beginReadArray("UserDefinedNewsTemplate"), 2);
        settings.setArrayIndex(1);
        QCOMPARE(settings.value("TemplateTitle").toString(), QString("mine1"));
        settings.endArray();
        QCOMPARE(settings.beginReadArray("UserDefinedChapterTemplate"), 1); // emptied: seeded again
        settings.endArray();
        QCOMPARE(window.developerSwitch, 7u);
        // Stored zeros fall back, 5 minutes for documents and 3 for templates.
        QCOMPARE(window.autoSaveFileInterval, 5u);
        QCOMPARE(window.autoSaveTemplateInterval, 3u);
        window.reloadPreferences(0);
        QCOMPARE(window.autoSaveTemplateInterval, 3u);
        QCOMPARE(QApplication::font().pointSize(), 14);
        settings.setValue("CustomFontPointSize", 0);
        window.reloadPreferences(0);
        QCOMPARE(QApplication::font().pointSize(), 9);
    }

    void badStoredValues_data()
    {
        QTest::addColumn<int>("iconSize");
        QTest::addColumn<int>("storedAfter");
        QTest::newRow("small icons kept") << 1 << 1;
        QTest::newRow("large icons kept") << 2 << 2;
        QTest::newRow("out of range") << 7 << 0;
        QTest::newRow("negative") << -1 << 0;
    }
    void badStoredValues()
    {
        QFETCH(int, iconSize);
        QFETCH(int, storedAfter);
        {
            Settings settings;
            settings.setValue("ToolBarIconSize", iconSize);
            settings.setValue("AccessoryDockArea", 3);  // not a dock area
            settings.setValue("MainDockArea", 1);
        }
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QCOMPARE(stored("ToolBarIconSize").toInt(), storedAfter);
        QCOMPARE(window.dockWidgetArea(window.accessoryDock), Qt::RightDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(window.mainDock), Qt::LeftDockWidgetArea);
    }

    // The splash goes away for good when the window's timer takes it down.
    void splashScreenIsDeletedWhenDone()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QPointer<QSplashScreen> splash = new QSplashScreen(QPixmap(8, 8));
        splashScreen = splash;
        splash->show();
        window.hideSplashScreen();
        QVERIFY(!splashScreen);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!splash);
        window.hideSplashScreen(); // a second time finds nothing to do
    }

    // A settings file that cannot be written is logged once and shown in the
    // status bar; once writing works again, a new failure is reported again.
    void unwritableSettingsAreReportedOnce()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString folder = QFileInfo(SettingsStore::fileName()).absolutePath();
        QVERIFY(QFileInfo(folder).isDir());
        auto close = [&folder](bool closed) {
            if (::geteuid() == 0)
                return QProcess::execute("chattr", {closed ? "+i" : "-i", folder}) == 0;
            return QFile::setPermissions(folder, closed ? QFileDevice::ReadOwner | QFileDevice::ExeOwner
                                                        : QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                              | QFileDevice::ExeOwner);
        };
        if (!close(true))
            QSKIP("the settings folder cannot be closed to writing here (chattr missing)");
        MessageCapture capture;
        for (int i = 0; i < 3; ++i) {
            Settings settings;
            settings.setValue(QStringLiteral("Unwritable%1").arg(i), i);
        }
        QCoreApplication::processEvents();
        const QStringList failures = capture.messages().filter("Settings not written");
        QVERIFY(close(false));
        QCOMPARE(failures.size(), 1);
        QVERIFY2(failures.first().contains(SettingsStore::fileName()), qPrintable(failures.first()));
        QVERIFY2(window.statusBar()->currentMessage().startsWith("无法保存设置到 " + SettingsStore::fileName()),
                 qPrintable(window.statusBar()->currentMessage()));

        {
            Settings settings;
            settings.setValue(QStringLiteral("Writable"), 1);
        }
        QVERIFY(close(true));
        {
            Settings settings;
            settings.setValue(QStringLiteral("UnwritableAgain"), 1);
        }
        QVERIFY(close(false));
        QCOMPARE(capture.messages().filter("Settings not written").size(), 2);
        QCOMPARE(Settings().value(QStringLiteral("Writable")).toInt(), 1);
    }

    void functionKeysToggleDocks()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QList<QPair<Qt::Key, QDockWidget*>> keys{{Qt::Key_F5, window.accessoryDock},
                                                        {Qt::Key_F6, window.dirDock},
                                                        {Qt::Key_F7, window.dictDock},
                                                        {Qt::Key_F8, window.mainDock}};
        for (const auto& key : keys) {
            QVERIFY(key.second->isVisible());
            QTest::keyClick(&window, key.first);
            QVERIFY2(!key.second->isVisible(), qPrintable(key.second->windowTitle()));
            QTest::keyClick(&window, key.first);
            QVERIFY(key.second->isVisible());
        }
    }

    void bottomTabs()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QTabWidget* tabs = window.mainTabWidget;
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->widget(0)->objectName(), QString("SearchDialog"));

        window.mainDock->hide();
        window.showBottomTab("SearchDialog");
        QCOMPARE(tabs->count(), 1);
        QVERIFY(!window.mainDock->isHidden());

        logOutputDialog->appendLog("old line");
        window.showBottomTab("LogOutputDialog");
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentWidget()->objectName(), QString("LogOutputDialog"));
        QCOMPARE(tabs->tabToolTip(1), QString("运行日志输出"));
        QVERIFY(tabs->tabText(1).isEmpty());
        QVERIFY(logOutputDialog->textEdit()->toPlainText().isEmpty());
        window.showBottomTab("LogOutputDialog");
        QCOMPARE(tabs->count(), 2);

        // Esc inside an embedded page leaves the page in its tab.
        QTest::keyClick(logOutputDialog, Qt::Key_Escape);
        QVERIFY(!logOutputDialog->isHidden());
        tabs->setCurrentIndex(0);
        QTest::keyClick(window.searchDialog, Qt::Key_Escape);
        QVERIFY(!window.searchDialog->isHidden());

        logOutputDialog->appendLog("second line");
        tabs->removeTab(1);
        window.showBottomTab("LogOutputDialog");
        QCOMPARE(tabs->count(), 2);
        QVERIFY(logOutputDialog->textEdit()->toPlainText().isEmpty());

        window.showBottomTab("OutputDialog");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabToolTip(2), QString("命令输出"));

        window.mainDock->hide();
        window.showBottomTab("NoSuchPage");
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 0);
        QVERIFY(!window.mainDock->isHidden());
    }

    void bottomTabContextMenu()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ScriptedPrompt prompt;
        QTabBar* bar = window.mainTabWidget->tabBar();

        // Where no tab lies there is nothing to act on, and no menu.
        window.showTabWidgetCustomContextMenu(QPoint(-50, -50));
        QVERIFY(prompt.menus.isEmpty());

        window.showTabWidgetCustomContextMenu(bar->tabRect(0).center());
        QCOMPARE(prompt.menus.size(), 1);
        QCOMPARE(window.mainTabWidget->property("clickedWidgetIndex").toInt(), 0);
    }

    void restoreAndSaveRoundTrip()
    {
        {
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.addDockWidget(Qt::LeftDockWidgetArea, window.accessoryDock);
            window.addDockWidget(Qt::TopDockWidgetArea, window.mainDock);
            window.dictDock->hide();
            window.dirDock->setFloating(true);
            window.dirDock->move(120, 130);
            window.toolBars[MainWindow::PrintToolBarIndex]->hide();
            window.logOutputAct->setChecked(true);
            QCloseEvent close;
            QApplication::sendEvent(&window, &close);
            QVERIFY(close.isAccepted());
        }
        QCOMPARE(stored("AccessoryDockArea").toInt(), int(Qt::LeftDockWidgetArea));
        QCOMPARE(stored("DictDockVisible").toBool(), false);
        QCOMPARE(stored("DirDockFloating").toBool(), true);
        QVERIFY(Settings().contains("MainWindowPos"));
        QVERIFY(Settings().contains("MainWindowSize"));

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QCOMPARE(window.dockWidgetArea(window.accessoryDock), Qt::LeftDockWidgetArea);
        QCOMPARE(window.dockWidgetArea(window.mainDock), Qt::TopDockWidgetArea);
        QVERIFY(window.dictDock->isHidden());
        QVERIFY(!window.accessoryDock->isHidden());
        QVERIFY(window.dirDock->isFloating());
        QCOMPARE(window.dirDock->pos(), stored("DirDockPosition").toPoint());
        QVERIFY(window.toolBars[MainWindow::PrintToolBarIndex]->isHidden());
        QVERIFY(!window.toolBars[MainWindow::FileToolBarIndex]->isHidden());
        QVERIFY(window.logOutputAct->isChecked());
        QCOMPARE(window.mainTabWidget->currentWidget()->objectName(), QString("LogOutputDialog"));
    }

    void backgroundFromSettings_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("emitted");
        QTest::addColumn<bool>("warned");
        QTest::newRow("none") << 0 << "" << false;
        QTest::newRow("colour") << 1 << "#fafad2" << false;
        QTest::newRow("picture") << 2 << "/pictures/paper.png" << false;
        QTest::newRow("unknown") << 7 << "" << true;
    }
    void backgroundFromSettings()
    {
        QFETCH(int, type);
        QFETCH(QString, emitted);
        QFETCH(bool, warned);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        Settings settings;
        settings.setValue("EditorBackgroundType", type);
        settings.setValue("EditorBackgroundColor", "#fafad2");
        settings.setValue("EditorBackgroundFileName", "/pictures/paper.png");
        QSignalSpy spy(&window, &MainWindow::backgroundChange);
        MessageCapture capture;
        window.readSettings();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toString(), emitted);
        QCOMPARE(capture.contains(QString("Unknown background type = %1").arg(type)), warned);
        QCOMPARE(capture.contains("Reset background."), warned);
    }

    void closeSequence_data()
    {
        QTest::addColumn<QVariant>("showWarning");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("tick");
        QTest::addColumn<bool>("templateChanged");
        QTest::addColumn<int>("templateAnswer");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QVariant>("warningAfter");
        QTest::addColumn<int>("boxes");
        QTest::newRow("no warning set") << QVariant() << 0 << false << false << 0 << true << QVariant() << 0;
        QTest::newRow("warning off") << QVariant(false) << 0 << false << false << 0 << true << QVariant(false) << 0;
        QTest::newRow("confirmed, do not ask again")
            << QVariant(true) << int(QMessageBox::Yes) << true << false << 0 << true << QVariant(false) << 1;
        QTest::newRow("confirmed, ask again")
            << QVariant(true) << int(QMessageBox::Yes) << false << false << 0 << true << QVariant(true) << 1;
        QTest::newRow("cancelled, check box still stored")
            << QVariant(true) << int(QMessageBox::No) << true << false << 0 << false << QVariant(false) << 1;
        QTest::newRow("modified template, go on")
            << QVariant() << 0 << false << true << int(QMessageBox::Yes) << true << QVariant() << 1;
        QTest::newRow("modified template, stay")
            << QVariant() << 0 << false << true << int(QMessageBox::No) << false << QVariant() << 1;
    }
    void closeSequence()
    {
        QFETCH(QVariant, showWarning);
        QFETCH(int, answer);
        QFETCH(bool, tick);
        QFETCH(bool, templateChanged);
        QFETCH(int, templateAnswer);
        QFETCH(bool, accepted);
        QFETCH(QVariant, warningAfter);
        QFETCH(int, boxes);
        if (showWarning.isValid())
            Settings().setValue("ShowExitWarning", showWarning);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        templateModified = templateChanged;
        ScriptedPrompt prompt;
        if (showWarning.toBool())
            prompt.answers << ScriptedPrompt::Answer{answer, tick};
        if (templateChanged)
            prompt.answers << ScriptedPrompt::Answer{templateAnswer, false};

        QCloseEvent close;
        QApplication::sendEvent(&window, &close);
        QCOMPARE(close.isAccepted(), accepted);
        QCOMPARE(prompt.titles.size(), boxes);
        if (showWarning.toBool())
            QCOMPARE(prompt.texts.first(), QString("确认要退出塔泉笔维德马克吗?"));
        if (templateChanged)
            QCOMPARE(prompt.texts.last(), QString("模板已经修改，您确定不保存模板直接继续吗?"));
        QCOMPARE(stored("ShowExitWarning").isValid(), warningAfter.isValid());
        if (warningAfter.isValid())
            QCOMPARE(stored("ShowExitWarning").toBool(), warningAfter.toBool());
        // Only an accepted close saves the window state.
        QCOMPARE(Settings().contains("MainWindowPos"), accepted);
    }
};

TQ_TEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
