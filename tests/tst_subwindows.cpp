// Status bars, the Window menu, closing documents and bottom pages, the log tab and skins.

#include <QAction>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>

#include "Logging.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "TemplateDialog.h"
#include "TestSupport.h"

namespace {

QString labelText(MainWindow& window, const QString& prefix)
{
    for (QLabel* label : window.statusBar()->findChildren<QLabel*>())
        if (label->text().startsWith(prefix))
            return label->text();
    return QString();
}

TemplateDialog* addTemplatePage(MainWindow& window, const QString& fileName, bool autoClose, bool modified)
{
    auto* dialog = new TemplateDialog(fileName);
    dialog->setAutoClose(autoClose);
    window.templateDialogs << dialog;
    const QString title = QFileInfo(fileName).baseName();
    window.mainTabWidget->addTab(dialog, modified ? "*" + title : title);
    return dialog;
}

QStringList pageNames(MainWindow& window)
{
    QStringList names;
    for (int i = 0; i < window.mainTabWidget->count(); ++i)
        names << window.mainTabWidget->tabText(i);
    return names;
}

} // namespace

class SubWindowsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
        templateModified = false;
        logTargets = 0;
    }

    void editorStatusBar()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        QCOMPARE(window.statusBar()->objectName(), QString("EditorStatusBar"));

        QTest::keyClicks(child, "ab");
        QTest::keyClick(child, Qt::Key_Return);
        QTest::keyClicks(child, "c");
        QCOMPARE(labelText(window, "字数: "), QString("字数: 4"));

        QTest::keyClick(child, Qt::Key_Return);
        QCOMPARE(labelText(window, "行: "), QString("行: 3, 列: 1"));

        window.updateEncodingLabelOnStatusBar("UTF-8");
        QCOMPARE(window.encodingLabel->text(), QString("UTF-8"));
        window.updateEncodingLabelOnStatusBar(QString());
        QCOMPARE(window.encodingLabel->text(), child->encoding);
    }

    void emptyStatusBar_data()
    {
        QTest::addColumn<int>("showDate");
        QTest::newRow("date shown") << 2;
        QTest::newRow("date hidden") << 0;
    }
    void emptyStatusBar()
    {
        QFETCH(int, showDate);
        Settings().setValue("ShowDateInStatusBar", showDate);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        window.newFile();
        window.mdiArea->closeAllSubWindows();
        QCoreApplication::processEvents();
        window.updateMenusStatusBar(nullptr);
        window.updateDateTime();
        if (showDate == 2) {
            QCOMPARE(window.statusBar()->objectName(), QString("EmptyStatusBar"));
            QVERIFY(window.dateLabel && !window.dateLabel->text().isEmpty());
            QVERIFY(window.timeLabel && window.timeLabel->text().contains(':'));
        } else {
            QVERIFY(window.statusBar()->objectName().isEmpty());
            QVERIFY(!window.dateLabel);
        }
        // Turning the date on later must not touch a missing label.
        Settings().setValue("ShowDateInStatusBar", 2);
        window.readSettings();
        window.updateDateTime();
        QVERIFY(window.dateLabel);
    }

    void noStaleLabelsAfterStartUp()
    {
        // The bar built during construction is discarded; none of its labels may
        // end up, empty, on the bar that shows the date and time.
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window.updateDateTime();
        const QList<QLabel*> labels = window.statusBar()->findChildren<QLabel*>();
        QCOMPARE(labels.size(), 2);
        for (QLabel* label : labels)
            QVERIFY(!label->text().isEmpty());
    }

    void unknownSubWindowType()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        QStatusBar* before = window.statusBar();
        auto* page = new QWidget;
        page->setProperty("SubWindowType", 3);
        QMdiSubWindow* sub = window.mdiArea->addSubWindow(page);
        MessageCapture capture;
        window.updateMenusStatusBar(sub);
        QVERIFY(capture.contains("Unknown SubWindowType 3"));
        QCOMPARE(window.statusBar(), before);
    }

    void windowMenu()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.updateWindowMenu();
        QVERIFY(!window.separatorAct->isVisible());
        const int fixedEntries = window.windowMenu->actions().size();

        for (int i = 0; i < 10; ++i)
            window.newFile();
        window.activeMdiChild()->curFile = "a&b.txt";
        window.mdiArea->setActiveSubWindow(window.mdiArea->subWindowList().at(4));
        window.updateWindowMenu();
        const QList<QAction*> entries = window.windowMenu->actions().mid(fixedEntries);
        QCOMPARE(entries.size(), 10);
        QVERIFY(entries.at(0)->text().startsWith("&1 "));
        QVERIFY(entries.at(8)->text().startsWith("&9 "));
        QVERIFY(entries.at(9)->text().startsWith("10 "));
        for (int i = 0; i < 10; ++i)
            QCOMPARE(entries.at(i)->isChecked(), i == 4);

        entries.at(7)->trigger();
        QCOMPARE(window.mdiArea->currentSubWindow(), window.mdiArea->subWindowList().at(7));
    }

    void documentTabMenu()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ScriptedPrompt prompt;
        window.newFile();
        window.showCustomContextMenu(QPoint());
        QCOMPARE(prompt.menus.last(), QStringList({"关闭", "关闭所有", "-", "系统默认程序打开所在目录"}));
        QVERIFY(!window.openContainingDirectoryUsingSystemAppAct->isEnabled()); // untitled: relative name

        window.newFile();
        window.mdiArea->setActiveSubWindow(window.mdiArea->subWindowList().first());
        window.showCustomContextMenu(QPoint());
        QCOMPARE(prompt.menus.last(),
                 QStringList({"关闭", "关闭所有", "关闭其它窗口", "关闭右侧窗口", "-", "系统默认程序打开所在目录"}));

        window.newFile();
        window.mdiArea->setActiveSubWindow(window.mdiArea->subWindowList().at(1));
        window.closeRightAct->trigger();
        QCOMPARE(window.mdiArea->subWindowList().size(), 2);
        window.closeOthersAct->trigger();
        QCOMPARE(window.mdiArea->subWindowList().size(), 1);
    }

    void bottomPageCommands()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        addTemplatePage(window, "/t/a.tqw", false, false);
        addTemplatePage(window, "/t/b.tqw", false, false);
        addTemplatePage(window, "/t/c.tqw", false, false);
        QCOMPARE(pageNames(window).size(), 4); // the search page first

        window.mainTabWidget->setProperty("clickedWidgetIndex", 0);
        window.closeRightTabsAct->trigger();
        QCOMPARE(pageNames(window).size(), 1);
        QVERIFY(window.templateDialogs.isEmpty());

        TemplateDialog* kept = addTemplatePage(window, "/t/a.tqw", false, false);
        QPointer<TemplateDialog> other = addTemplatePage(window, "/t/b.tqw", false, false);
        window.mainTabWidget->setProperty("clickedWidgetIndex", 1);
        window.closeOtherTabsAct->trigger();
        QCOMPARE(pageNames(window), QStringList({"a"}));
        QCOMPARE(window.templateDialogs, QList<TemplateDialog*>({kept}));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!other);
    }

    void modifiedTemplatePageAsks()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        addTemplatePage(window, "/t/a.tqw", false, true);
        addTemplatePage(window, "/t/b.tqw", false, true);
        templateModified = true;
        ScriptedPrompt prompt;
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Cancel, false};
        window.closeTab(1);
        QCOMPARE(pageNames(window).size(), 3);
        QCOMPARE(prompt.texts.size(), 1);

        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Discard, false};
        window.closeTab(1);
        QCOMPARE(pageNames(window).size(), 2);
        QVERIFY(templateModified); // "*b" is still open

        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Discard, false};
        window.closeTab(1);
        QVERIFY(!templateModified);
    }

    void autoClose()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        addTemplatePage(window, "/t/a.tqw", true, true); // unsaved: stays
        addTemplatePage(window, "/t/b.tqw", true, false);
        addTemplatePage(window, "/t/c.tqw", true, false);
        addTemplatePage(window, "/t/d.tqw", false, false); // opened by hand: stays
        window.autoCloseTabs("/t/b.tqw");
        QCOMPARE(pageNames(window).mid(1), QStringList({"*a", "b", "d"}));
        QCOMPARE(window.templateDialogs.size(), 3);
    }

    void logTab()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QAction* logAction = actionByText(&window, "实时显示运行日志");
        QVERIFY(logAction);
        logAction->setChecked(true);
        QVERIFY(logTargets & LOG_TARGET_OUTPUT_WINDOW);
        QCOMPARE(window.mainTabWidget->currentWidget()->objectName(), QString("LogOutputDialog"));

        // Its own close button unchecks the action.
        window.closeTab(window.mainTabWidget->currentIndex());
        QVERIFY(!logAction->isChecked());
        QVERIFY(!(logTargets & LOG_TARGET_OUTPUT_WINDOW));

        // "关闭所有" leaves the action checked.
        logAction->setChecked(true);
        window.mainTabWidget->setProperty("clickedWidgetIndex", 0);
        window.closeAllTabsAct->trigger();
        QCOMPARE(window.mainTabWidget->count(), 0);
        QVERIFY(logAction->isChecked());
    }

    void skins_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QString>("checkedAction");
        QTest::addColumn<QString>("marker");
        QTest::newRow("dark") << 2 << "黑色" << "#525252";
        QTest::newRow("unknown id shows the default") << 12 << "灰色" << "whitesmoke";
        QTest::newRow("silver") << 7 << "银色" << "silver";
    }
    void skins()
    {
        QFETCH(int, stored);
        QFETCH(QString, checkedAction);
        QFETCH(QString, marker);
        Settings().setValue("LastStyleId", stored);
        {
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            QVERIFY(actionByText(&window, checkedAction)->isChecked());
            QVERIFY(window.styleSheet().contains(marker));
            QCOMPARE(window.styleId, stored);
            QCloseEvent close;
            QApplication::sendEvent(&window, &close);
        }
        QCOMPARE(Settings().value("LastStyleId").toInt(), stored);

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        actionByText(&window, "蓝色")->trigger();
        QVERIFY(window.styleSheet().contains("royalblue"));
        QCOMPARE(window.styleId, 1);
        for (QAction* action : window.skinActs)
            QCOMPARE(action->isChecked(), action->text() == "蓝色");
        QCloseEvent close;
        QApplication::sendEvent(&window, &close);
        QCOMPARE(Settings().value("LastStyleId").toInt(), 1);
    }
};

TQ_TEST_MAIN(SubWindowsTest)
#include "tst_subwindows.moc"
