// The main window's commands: the action table, the stored shortcuts, the menu bar,
// the toolbars and the controls that show, hide and size the toolbars.

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QToolBar>
#include <QToolButton>
#include <QWidgetAction>
#include <memory>

#include "GlobalActions.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "StartUp.h"
#include "TestSupport.h"
#include "TextAnalysisRunner.h"

namespace {

const QString separator = QStringLiteral("—");

// What a menu or toolbar shows, in order: entry texts, "—" for a separator (collapsed
// as QMenu collapses them), a submenu by its title, a toolbar widget by its label
// text or class name. Hidden entries are left out.
QStringList shownEntries(const QWidget* container)
{
    QStringList entries;
    const auto* toolBar = qobject_cast<const QToolBar*>(container);
    for (QAction* action : container->actions()) {
        if (!action->isVisible())
            continue;
        if (action->isSeparator()) {
            if (toolBar || (!entries.isEmpty() && entries.last() != separator))
                entries << separator;
            continue;
        }
        QWidget* widget = toolBar ? toolBar->widgetForAction(action) : nullptr;
        if (qobject_cast<QToolButton*>(widget))
            widget = nullptr; // the toolbar's own button for a plain action
        if (widget) {
            if (auto* label = qobject_cast<QLabel*>(widget))
                entries << label->text();
            else
                entries << QString::fromLatin1(widget->metaObject()->className());
        } else {
            entries << action->text();
        }
    }
    if (!toolBar && !entries.isEmpty() && entries.last() == separator)
        entries.removeLast();
    return entries;
}

QStringList menuBarTitles(MainWindow& window)
{
    QStringList titles;
    for (QAction* action : window.menuBar()->actions())
        titles << action->text();
    return titles;
}

// A menu by its path of titles from the menu bar, such as "测评/字频".
QMenu* menuAt(MainWindow& window, const QString& path)
{
    QList<QAction*> actions = window.menuBar()->actions();
    QMenu* menu = nullptr;
    for (const QString& title : path.split('/')) {
        menu = nullptr;
        for (QAction* action : actions)
            if (action->menu() && action->text() == title)
                menu = action->menu();
        if (!menu)
            return nullptr;
        actions = menu->actions();
    }
    return menu;
}

// The window's actions with this text and, when given, this status tip.
QList<QAction*> actionsNamed(MainWindow& window, const QString& text, const QString& statusTip = QString())
{
    QList<QAction*> found;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == text && (statusTip.isEmpty() || action->statusTip() == statusTip))
            found << action;
    return found;
}

QAction* uniqueAction(MainWindow& window, const QString& text, const QString& statusTip = QString())
{
    const QList<QAction*> found = actionsNamed(window, text, statusTip);
    return found.size() == 1 ? found.first() : nullptr;
}

// Every action a person reaches from the menu bar and the toolbars.
void collectReachable(const QWidget* container, QList<QAction*>& actions)
{
    for (QAction* action : container->actions()) {
        if (action->menu())
            collectReachable(action->menu(), actions);
        else if (!action->isSeparator())
            actions << action;
    }
}

} // namespace

class ActionsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<MainWindow> window;

    MainWindow& build()
    {
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        return *window;
    }

private slots:
    void initTestCase()
    {
        // The program's debug trail is not what these tests look at.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }

    void init()
    {
        Settings().clear();
        resetStartUpState();
    }

    void cleanup()
    {
        window.reset();
        resetStartUpState();
    }

    // ---- Construction ---------------------------------------------------------------

    void constructionConnectsEverything_data()
    {
        QTest::addColumn<bool>("superUser");
        QTest::addColumn<int>("developerSwitch");
        QTest::addColumn<int>("atomTemplateEmbellish");
        QTest::newRow("plain") << false << 0 << 0;
        QTest::newRow("super-user, developer switch, atom templates") << true << 7 << 1;
    }

    void constructionConnectsEverything()
    {
        QFETCH(bool, superUser);
        QFETCH(int, developerSwitch);
        QFETCH(int, atomTemplateEmbellish);
        Settings().setValue("QuillHarbourMeadow542Cd", developerSwitch);
        Settings().setValue("EnableAtomTemplateEmbellish", atomTemplateEmbellish);
        superUserMode = superUser;
        MessageCapture capture;
        build();
        for (const QString& message : capture.messages())
            QVERIFY2(!message.contains("QObject::connect"), qPrintable(message));

        // The process-wide actions belong to the window and go with it.
        QVERIFY(synonymMarkAct && addTemplateMarkerAct && pasteFromClipboardHistoryAct);
        QCOMPARE(bool(atomTemplateEmbellishAct), atomTemplateEmbellish != 0);
        window.reset();
        QVERIFY(!synonymMarkAct && !addTemplateMarkerAct && !pasteFromClipboardHistoryAct);
        QVERIFY(!atomTemplateEmbellishAct);
    }

    void gatedActions_data()
    {
        QTest::addColumn<bool>("superUser");
        QTest::addColumn<QString>("atomSetting");
        QTest::newRow("plain") << false << QString();
        QTest::newRow("super-user") << true << QString();
        QTest::newRow("atom templates on") << false << QString("1");
        QTest::newRow("atom templates off") << false << QString("0");
    }

    void gatedActions()
    {
        QFETCH(bool, superUser);
        QFETCH(QString, atomSetting);
        if (!atomSetting.isEmpty())
            Settings().setValue("EnableAtomTemplateEmbellish", atomSetting.toInt());
        superUserMode = superUser;
        MainWindow& w = build();

        const QList<QPair<QAction*, QString>> crashTests{
            {w.divisionByZeroAct, "除以零"},        {w.segmentationFaultAct, "段错误"},
            {w.stackOverflowAct, "栈溢出"},         {w.bufferOverflowAct, "缓冲区溢出"},
            {w.memoryLeakAct, "内存泄漏"},          {w.abortFuncAct, "abort异常终止"},
            {w.assertFalseAct, "assert断言为否"},   {w.throwExceptionAct, "抛异常"},
            {w.freeUninitializedPointerAct, "释放野指针"}, {w.deleteUninitializedPointerAct, "删除野指针"}};
        for (const auto& crash : crashTests) {
            QCOMPARE(bool(crash.first), superUser);
            if (crash.first)
                QCOMPARE(crash.first->text(), crash.second);
        }
        QCOMPARE(actionsNamed(w, "除以零").size(), superUser ? 1 : 0);

        QCOMPARE(bool(atomTemplateEmbellishAct), atomSetting.toInt() != 0);
        QCOMPARE(actionsNamed(w, "原子模板润色").size(), atomSetting.toInt() != 0 ? 1 : 0);
    }

    // ---- Menus ----------------------------------------------------------------------

    void menuBarOrder_data()
    {
        QTest::addColumn<bool>("superUser");
        QTest::addColumn<QString>("developerSwitch");
        QTest::addColumn<QStringList>("titles");
        const QStringList plain{"文件(&F)", "模板(&M)", "编辑(&E)", "格式(&O)", "查看(&V)",
                                "窗口(&W)", "测评",     "工具(&T)", "帮助(&H)"};
        QStringList developer = plain;
        developer.insert(8, "图灵");
        QTest::newRow("no switch") << false << QString() << plain;
        QTest::newRow("switch 0") << false << QString("0") << plain;
        QTest::newRow("switch 1") << false << QString("1") << developer;
        QTest::newRow("switch 4096, super-user") << true << QString("4096") << developer;
        QTest::newRow("super-user") << true << QString() << plain;
    }

    void menuBarOrder()
    {
        QFETCH(bool, superUser);
        QFETCH(QString, developerSwitch);
        QFETCH(QStringList, titles);
        if (!developerSwitch.isEmpty())
            Settings().setValue("QuillHarbourMeadow542Cd", developerSwitch.toUInt());
        superUserMode = superUser;
        MainWindow& w = build();
        QCOMPARE(menuBarTitles(w), titles);
        QCOMPARE(bool(w.turingMenu), titles.contains("图灵"));
        if (w.turingMenu)
            QCOMPARE(shownEntries(w.turingMenu), QStringList({"词语编辑", "语法/句法 编辑", "语法检查"}));
        QCOMPARE(w.helpMenu->objectName(), QString("helpMenu"));
    }

    void menuEntries_data()
    {
        QTest::addColumn<bool>("superUser");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QStringList>("entries");

        const QStringList fileHead{"新建", "打开", "最近打开文档(&R)", "保存", "另存为", "保存所有文件", separator,
                                   "打印预览", "打印", separator};
        const QStringList fileTail{"导出到DOC文件", "导出到DOCX文件", "导出到PDF文件", "导出到ODT文件", separator, "退出"};
        QTest::newRow("file") << false << "文件(&F)" << fileHead + fileTail;
        QTest::newRow("file, super-user") << true << "文件(&F)" << fileHead + QStringList{"文件属性", separator} + fileTail;
        QTest::newRow("recent documents") << false << "文件(&F)/最近打开文档(&R)" << QStringList{"清空最近打开文档列表"};
        QTest::newRow("template") << false << "模板(&M)" << QStringList{"打开模板", "保存模板", "打开数据库模板"};

        const QStringList edit{"撤销", "重做", separator, "剪切", "复制", "粘贴", "粘贴 (纯文本内容)",
                               "粘贴自剪贴板历史", "删除", separator, "全选", separator, "标识为模板", separator,
                               "查找", "替换", "到第...个字符", "到第...行", separator, "设为只读", separator,
                               "自动排版", separator, "首选项"};
        QTest::newRow("edit") << false << "编辑(&E)" << edit;
        QTest::newRow("edit, super-user") << true << "编辑(&E)"
                                          << edit + QStringList{"首选项Ex (只有界面，没实际功能)"};
        QTest::newRow("format") << false << "格式(&O)"
                                << QStringList{"粗体", "斜体", "下划线", separator, "左对齐", "居中", "右对齐", "校正",
                                               separator, "颜色", separator, "设为纯文本"};

        QTest::newRow("evaluation") << false << "测评"
                                    << QStringList{"字频", "词频", "分词", "按词类高亮统计", "按词性高亮统计"};
        QTest::newRow("character frequency") << false << "测评/字频" << QStringList{"统计当前字频", "统计目录字频"};
        QTest::newRow("word frequency") << false << "测评/词频" << QStringList{"统计当前词频", "统计目录词频"};
        QTest::newRow("segmentation") << false << "测评/分词" << QStringList{"当前文件分词", "当前文件词性标注"};
        QTest::newRow("category highlights")
            << false << "测评/按词类高亮统计"
            << QStringList{"政治", "涉黄", "粗俗", "成语", "网络语言", "姓氏", "地名", "英文", "数字", "量词",
                           "多音字", "自定义"};

        const QStringList tools{"搜索", separator, "黑名单 + 白名单模式校对", "白名单模式校对", "黑名单模式校对",
                                "自定义词校对", "添加选中单词到白名单", "添加选中单词到黑名单", "添加选中内容到当前目标",
                                "扩写标记", "近义词标记", "反义词标记", separator, "统计信息", separator,
                                "实时显示运行日志", "词云"};
        QTest::newRow("tools") << false << "工具(&T)" << tools;
        QTest::newRow("tools, super-user") << true << "工具(&T)" << tools + QStringList{separator, "崩溃测试"};
        QTest::newRow("crash tests") << true << "工具(&T)/崩溃测试"
                                     << QStringList{"除以零", "段错误", "栈溢出", "缓冲区溢出", "内存泄漏",
                                                    "abort异常终止", "assert断言为否", "抛异常", "释放野指针",
                                                    "删除野指针"};

        const QStringList help{"Bug汇报", "用户反馈", "推荐给朋友", separator, "显示更新记录", "关于塔泉笔维德马克"};
        QTest::newRow("help") << false << "帮助(&H)" << help;
        QTest::newRow("help, super-user") << true << "帮助(&H)"
                                          << QStringList{"系统信息 (预览: 基本完成, 性能有待优化，细节有待完善)"} + help;
    }

    void menuEntries()
    {
        QFETCH(bool, superUser);
        QFETCH(QString, path);
        QFETCH(QStringList, entries);
        superUserMode = superUser;
        MainWindow& w = build();
        QMenu* menu = menuAt(w, path);
        QVERIFY2(menu, qPrintable(path));
        QCOMPARE(shownEntries(menu), entries);
    }

    void recentDocumentsSubmenu()
    {
        MainWindow& w = build();
        const QList<QAction*> actions = w.recentFilesMenu->actions();
        QCOMPARE(actions.size(), MainWindow::MaxRecentFiles + 1);
        for (int i = 0; i < MainWindow::MaxRecentFiles; ++i) {
            QCOMPARE(actions.at(i), w.recentFileActs[i]);
            QVERIFY(!actions.at(i)->isVisible());
        }
        QCOMPARE(actions.last(), w.emptyRecentFilesListAct);
        QCOMPARE(actions.last()->text(), QString("清空最近打开文档列表"));
    }

    // ---- Action table details ---------------------------------------------------------

    void companionToolTitles_data()
    {
        QTest::addColumn<int>("toolId");
        QTest::addColumn<QString>("statusTip");
        QTest::newRow("16") << 16 << "统计当前字频";
        QTest::newRow("1") << 1 << "统计目录字频";
        QTest::newRow("35") << 35 << "统计当前词频";
        QTest::newRow("36") << 36 << "统计目录词频";
        QTest::newRow("33") << 33 << "当前文件分词";
        QTest::newRow("37") << 37 << "词性标注";
    }

    void companionToolTitles()
    {
        QFETCH(int, toolId);
        QFETCH(QString, statusTip);
        MainWindow& w = build();
        QVERIFY(!analysisToolTitles.value(toolId).isEmpty());
        QAction* action = uniqueAction(w, analysisToolTitles.value(toolId));
        QVERIFY(action);
        QCOMPARE(action->statusTip(), statusTip);
    }

    void skinActions_data()
    {
        QTest::addColumn<int>("skinId");
        QTest::addColumn<QString>("text");
        QTest::newRow("grey") << 0 << "灰色";
        QTest::newRow("blue") << 1 << "蓝色";
        QTest::newRow("black") << 2 << "黑色";
        QTest::newRow("green") << 3 << "绿色";
        QTest::newRow("purple") << 4 << "紫色";
        QTest::newRow("pink") << 5 << "粉色";
        QTest::newRow("red") << 6 << "红色";
        QTest::newRow("silver") << 7 << "银色";
        QTest::newRow("yellow") << 8 << "黄色";
    }

    void skinActions()
    {
        QFETCH(int, skinId);
        QFETCH(QString, text);
        MainWindow& w = build();
        QAction* action = w.skinActs[skinId];
        QVERIFY(action);
        QCOMPARE(action->text(), text);
        QCOMPARE(action->statusTip(), "使用" + text + "皮肤");
        QVERIFY(action->isCheckable());
        QVERIFY(action->actionGroup() && action->actionGroup()->isExclusive());
        QCOMPARE(action->actionGroup(), w.skinActs[0]->actionGroup());
    }

    void selectionToListActionsAreNamed()
    {
        build();
        QCOMPARE(addSelectedWordToWhiteListAct->objectName(), QString("AddSelectedWordToWhiteListAct"));
        QCOMPARE(addSelectedWordToWhiteListAct->text(), QString("添加选中单词到白名单"));
        QCOMPARE(addSelectedWordToBlackListAct->objectName(), QString("AddSelectedWordToBlackListAct"));
        QCOMPARE(addSelectedContentToCurrentTemplateAct->objectName(), QString("AddSelectedContentToCurrentTemplateAct"));
    }

    void zoomGroup()
    {
        MainWindow& w = build();
        const QStringList texts{"25%", "50%", "100%", "200%", "400%", "800%", "1600%"};
        for (int i = 0; i < MainWindow::ZoomActCount; ++i) {
            QCOMPARE(w.zoomActs[i]->text(), texts.at(i));
            QCOMPARE(w.zoomActs[i]->data().toInt(), i);
            QCOMPARE(w.zoomActs[i]->isChecked(), texts.at(i) == "100%");
        }
        w.zoomActs[3]->trigger();
        QVERIFY(w.zoomActs[3]->isChecked());
        QVERIFY(!w.zoomActs[2]->isChecked());
    }

    void applicationWideShortcuts()
    {
        MainWindow& w = build();
        QStringList keys;
        for (QShortcut* shortcut : w.findChildren<QShortcut*>()) {
            QCOMPARE(shortcut->context(), Qt::ApplicationShortcut);
            keys << shortcut->key().toString(QKeySequence::PortableText);
        }
        keys.sort();
        QCOMPARE(keys, QStringList({"Alt+F11", "Alt+F7"}));
    }

    // ---- Shortcuts --------------------------------------------------------------------

    void fallbackShortcuts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("statusTip");
        QTest::addColumn<QKeySequence>("expected");
        using K = QKeySequence;
        QTest::newRow("OpenTemplate") << "打开模板" << "" << K("Ctrl+Alt+O");
        QTest::newRow("SaveTemplate") << "保存模板" << "" << K("Ctrl+Alt+S");
        QTest::newRow("OpenAtomTemplateUnderCursor") << "" << "打开光标所在模板" << K("Ctrl+Alt+A");
        QTest::newRow("NewTemplateParagraphFromSelection") << "加入为大纲条目" << "" << K("Ctrl+Shift+P");
        QTest::newRow("NewTemplateChildParagraphFromSelection") << "加入为大纲子条目" << "" << K("Ctrl+Shift+S");
        QTest::newRow("NewTemplateContentFromSelection") << "加入为内容条目" << "" << K("Ctrl+Shift+C");
        QTest::newRow("AddTemplateMarker") << "标识为模板" << "" << K("Ctrl+Shift+T");
        QTest::newRow("NewFile") << "新建" << "" << K(K::New);
        QTest::newRow("OpenFile") << "打开" << "" << K(K::Open);
        QTest::newRow("SaveFile") << "保存" << "" << K(K::Save);
        QTest::newRow("SaveFileAs") << "另存为" << "" << K(K::SaveAs);
        QTest::newRow("ExportDoc") << "导出到DOC文件" << "" << K("Ctrl+D");
        QTest::newRow("FileProperty") << "文件属性" << "" << K(Qt::ALT | Qt::Key_Enter);
        QTest::newRow("Print") << "打印" << "打印当前文档" << K(K::Print);
        QTest::newRow("Quit") << "退出" << "" << K("Ctrl+Q");
        QTest::newRow("Undo") << "撤销" << "" << K(K::Undo);
        QTest::newRow("Redo") << "重做" << "" << K(K::Redo);
        QTest::newRow("Cut") << "剪切" << "" << K(K::Cut);
        QTest::newRow("Copy") << "复制" << "复制当前选定内容到剪贴板" << K(K::Copy);
        QTest::newRow("Paste") << "粘贴" << "粘贴剪贴板内容" << K(K::Paste);
        QTest::newRow("PasteAsPlainText") << "粘贴 (纯文本内容)" << "" << K("Ctrl+Shift+V");
        QTest::newRow("PasteFromClipboardHistory") << "粘贴自剪贴板历史" << "" << K("Ctrl+Shift+B");
        QTest::newRow("SelectAll") << "全选" << "" << K();
        QTest::newRow("CloseWindow") << "关闭" << "关闭当前活动窗口" << K("Ctrl+F4");
        QTest::newRow("NextWindow") << "下一个" << "" << K(K::NextChild);
        QTest::newRow("PreviousWindow") << "上一个" << "" << K(K::PreviousChild);
        QTest::newRow("Find") << "查找" << "" << K(K::Find);
        QTest::newRow("Replace") << "替换" << "" << K(K::Replace);
        QTest::newRow("GoToLine") << "到第...行" << "" << K("Ctrl+G");
        QTest::newRow("FullScreen") << "全屏" << "" << K("F11");
    }

    void fallbackShortcuts()
    {
        QFETCH(QString, text);
        QFETCH(QString, statusTip);
        QFETCH(QKeySequence, expected);
        MainWindow& w = build();
        QAction* action = uniqueAction(w, text, statusTip);
        QVERIFY(action);
        QCOMPARE(action->shortcut(), expected);
        // Applying unchanged settings again changes nothing.
        w.setActionsShortcuts();
        QCOMPARE(action->shortcut(), expected);
    }

    void storedShortcuts_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("statusTip");
        QTest::addColumn<QKeySequence>("expected");
        using K = QKeySequence;
        QTest::newRow("override") << "OpenTemplate" << "Ctrl+Alt+X" << "打开模板" << "" << K("Ctrl+Alt+X");
        QTest::newRow("override of a standard key") << "Undo" << "Ctrl+Alt+U" << "撤销" << "" << K("Ctrl+Alt+U");
        QTest::newRow("empty text") << "OpenTemplate" << "" << "打开模板" << "" << K("Ctrl+Alt+O");
        QTest::newRow("empty text, standard key") << "Find" << "" << "查找" << "" << K(K::Find);
        QTest::newRow("no such key name") << "GoToLine" << "Ctrl+NoSuchKey" << "到第...行" << "" << K("Ctrl+G");
        QTest::newRow("gibberish") << "CloseWindow" << "???" << "关闭" << "关闭当前活动窗口" << K("Ctrl+F4");
        QTest::newRow("select all") << "SelectAll" << "Ctrl+Shift+A" << "全选" << "" << K("Ctrl+Shift+A");
        QTest::newRow("select all, empty") << "SelectAll" << "" << "全选" << "" << K();
    }

    void storedShortcuts()
    {
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(QString, text);
        QFETCH(QString, statusTip);
        QFETCH(QKeySequence, expected);
        Settings().setValue("Shortcuts/" + key, stored);
        MainWindow& w = build();
        QAction* action = uniqueAction(w, text, statusTip);
        QVERIFY(action);
        QCOMPARE(action->shortcut(), expected);

        // The same value stored after start-up takes effect at the next apply.
        Settings().remove("Shortcuts/" + key);
        w.setActionsShortcuts();
        Settings().setValue("Shortcuts/" + key, stored);
        w.setActionsShortcuts();
        QCOMPARE(action->shortcut(), expected);
    }

    void selectAllShortcutIsSticky()
    {
        MainWindow& w = build();
        QVERIFY(w.selectAllAct->shortcut().isEmpty());
        Settings().setValue("Shortcuts/SelectAll", "Ctrl+Shift+A");
        w.setActionsShortcuts();
        QCOMPARE(w.selectAllAct->shortcut(), QKeySequence("Ctrl+Shift+A"));
        Settings().remove("Shortcuts/SelectAll");
        w.setActionsShortcuts();
        QCOMPARE(w.selectAllAct->shortcut(), QKeySequence("Ctrl+Shift+A"));
        Settings().setValue("Shortcuts/SelectAll", "");
        w.setActionsShortcuts();
        QCOMPARE(w.selectAllAct->shortcut(), QKeySequence("Ctrl+Shift+A"));
    }

    void reachableShortcutsAreDistinct_data()
    {
        QTest::addColumn<bool>("superUser");
        QTest::newRow("plain") << false;
        QTest::newRow("super-user, developer switch") << true;
    }

    void reachableShortcutsAreDistinct()
    {
        QFETCH(bool, superUser);
        superUserMode = superUser;
        if (superUser)
            Settings().setValue("QuillHarbourMeadow542Cd", 1);
        MainWindow& w = build();
        QList<QAction*> reachable;
        collectReachable(w.menuBar(), reachable);
        for (QToolBar* toolBar : w.toolBars)
            collectReachable(toolBar, reachable);
        QMap<QString, QAction*> owners;
        for (QAction* action : reachable) {
            for (const QKeySequence& key : action->shortcuts()) {
                const QString name = key.toString(QKeySequence::PortableText);
                QAction* owner = owners.value(name);
                QVERIFY2(!owner || owner == action,
                         qPrintable(QString("%1: %2 and %3").arg(name, owner ? owner->text() : "", action->text())));
                owners.insert(name, action);
            }
        }
        QVERIFY(owners.size() >= 30);
    }

    // ---- Toolbars ---------------------------------------------------------------------

    void toolBarContents_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("actionText");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("file") << 0 << "文档" << "文件" << QStringList{"新建", "打开", "保存"};
        QTest::newRow("edit") << 1 << "编辑" << "编辑" << QStringList{"撤销", "重做", "剪切", "复制", "粘贴"};
        QTest::newRow("print") << 2 << "打印" << "打印" << QStringList{"打印"};
        QTest::newRow("dictionary") << 3 << "词典" << "词典" << QStringList{"词典 ", "QLineEdit"};
        QTest::newRow("search") << 4 << "搜索" << "搜索"
                                << QStringList{"QComboBox", "QLineEdit", "QPushButton", separator};
        QTest::newRow("style") << 5 << "格式" << "格式"
                               << QStringList{"粗体", "斜体", "下划线", "左对齐", "居中", "右对齐", "校正", "颜色"};
        QTest::newRow("font") << 6 << "字体" << "字体" << QStringList{"QFontComboBox", "QComboBox"};
    }

    void toolBarContents()
    {
        QFETCH(int, index);
        QFETCH(QString, title);
        QFETCH(QString, actionText);
        QFETCH(QStringList, entries);
        MainWindow& w = build();
        QToolBar* toolBar = w.toolBars[index];
        QVERIFY(toolBar);
        QCOMPARE(toolBar->windowTitle(), title);
        QCOMPARE(w.toggleToolBarActs[index]->text(), actionText);
        QCOMPARE(w.toggleToolBarActs[index]->data().toInt(), index);
        QCOMPARE(shownEntries(toolBar), entries);
        QCOMPARE(w.toolBarArea(toolBar), Qt::TopToolBarArea);
    }

    void toolBarPlacement()
    {
        MainWindow& w = build();
        w.resize(4000, 600);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QList<QToolBar*> byPosition(std::begin(w.toolBars), std::end(w.toolBars));
        std::sort(byPosition.begin(), byPosition.end(), [](QToolBar* a, QToolBar* b) {
            return a->y() != b->y() ? a->y() < b->y() : a->x() < b->x();
        });
        QStringList titles;
        for (QToolBar* toolBar : byPosition)
            titles << toolBar->windowTitle();
        QCOMPARE(titles, QStringList({"文档", "编辑", "打印", "格式", "字体", "词典", "搜索"}));
        QCOMPARE(w.toolBars[MainWindow::FontToolBarIndex]->allowedAreas(),
                 Qt::TopToolBarArea | Qt::BottomToolBarArea);
    }

    void toolBarWidgets()
    {
        const QFont applicationFont = QApplication::font();
        QFont font = applicationFont;
        font.setPointSize(9);
        QApplication::setFont(font);
        MainWindow& w = build();
        QCOMPARE(w.comboSize->objectName(), QString("comboSize"));
        QVERIFY(w.comboSize->isEditable());
        QCOMPARE(w.comboSize->currentText(), QString("9"));
        // At least 120 pixels, and wide enough for the default font's name.
        QVERIFY(w.comboFont->maximumWidth() >= 120);
        QVERIFY(w.comboFont->minimumWidth()
                > w.comboFont->fontMetrics().horizontalAdvance(QFontInfo(QApplication::font()).family()));
        QCOMPARE(w.dictLineEdit->width(), 100);
        QVERIFY(w.dictLineEdit->isClearButtonEnabled());
        QVERIFY(w.searchLineEdit->isClearButtonEnabled());
        QStringList engines;
        for (int i = 0; i < w.searchEngineComboBox->count(); ++i) {
            engines << w.searchEngineComboBox->itemText(i);
            QVERIFY(!w.searchEngineComboBox->itemData(i).isValid());
        }
        QCOMPARE(engines, QStringList({"百度", "必应", "谷歌", "维基百科"}));

        // A size the font database does not list selects no entry.
        window.reset();
        font.setPointSize(13);
        QApplication::setFont(font);
        build();
        QApplication::setFont(applicationFont);
        QCOMPARE(window->comboSize->currentIndex(), -1);
    }

    void toolBarIconSizes_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pixels");
        QTest::newRow("regular") << 0 << "常规尺寸" << 24;
        QTest::newRow("small") << 1 << "小图标" << 16;
        QTest::newRow("large") << 2 << "大图标" << 32;
    }

    void toolBarIconSizes()
    {
        QFETCH(int, index);
        QFETCH(QString, text);
        QFETCH(int, pixels);
        // Start from another size than the one chosen.
        Settings().setValue("ToolBarIconSize", (index + 1) % 3);
        MainWindow& w = build();
        QAction* action = w.toolBarIconSizeActs[index];
        QCOMPARE(action->text(), text);
        action->trigger();
        QVERIFY(action->isChecked());
        for (QToolBar* toolBar : w.toolBars)
            QCOMPARE(toolBar->iconSize(), QSize(pixels, pixels));
        QCOMPARE(Settings().value("ToolBarIconSize").toInt(), index);

        // The next start opens with the stored size.
        window.reset();
        build();
        QVERIFY(window->toolBarIconSizeActs[index]->isChecked());
        for (QToolBar* toolBar : window->toolBars)
            QCOMPARE(toolBar->iconSize(), QSize(pixels, pixels));
    }

    void allToolBarsBox()
    {
        MainWindow& w = build();
        QCheckBox* box = w.toggleAllToolbarActsCheckBox;
        QVERIFY(box);
        QVERIFY(box->isTristate());
        QCOMPARE(box->checkState(), Qt::Checked);

        auto shown = [&w]() {
            QList<bool> result;
            for (QToolBar* toolBar : w.toolBars)
                result << !toolBar->isHidden();
            return result;
        };
        auto checked = [&w]() {
            QList<bool> result;
            for (QAction* action : w.toggleToolBarActs)
                result << action->isChecked();
            return result;
        };
        const QList<bool> all{true, true, true, true, true, true, true};
        const QList<bool> none{false, false, false, false, false, false, false};

        // Two visibility actions off: partial, and only those two toolbars hide.
        w.toggleToolBarActs[MainWindow::EditToolBarIndex]->trigger();
        w.toggleToolBarActs[MainWindow::DictToolBarIndex]->trigger();
        const QList<bool> partial{true, false, true, false, true, true, true};
        QCOMPARE(box->checkState(), Qt::PartiallyChecked);
        QCOMPARE(shown(), partial);
        QCOMPARE(checked(), partial);
        QVERIFY(!w.toggleAllToolbarActsCheckBoxGuard);

        // Partial -> Checked -> Unchecked -> Checked again.
        box->click();
        QCOMPARE(box->checkState(), Qt::Checked);
        QCOMPARE(shown(), all);
        QCOMPARE(checked(), all);
        box->click();
        QCOMPARE(box->checkState(), Qt::Unchecked);
        QCOMPARE(shown(), none);
        QCOMPARE(checked(), none);
        box->click();
        QCOMPARE(box->checkState(), Qt::Checked);
        QCOMPARE(shown(), all);
        QCOMPARE(checked(), all);
        QVERIFY(!w.toggleAllToolbarActsCheckBoxGuard);

        // Turning the seven off one by one ends Unchecked; one back on is partial.
        for (QAction* action : w.toggleToolBarActs)
            action->trigger();
        QCOMPARE(box->checkState(), Qt::Unchecked);
        QCOMPARE(shown(), none);
        w.toggleToolBarActs[MainWindow::FontToolBarIndex]->trigger();
        QCOMPARE(box->checkState(), Qt::PartiallyChecked);
        QVERIFY(!w.toolBars[MainWindow::FontToolBarIndex]->isHidden());
        QVERIFY(w.toolBars[MainWindow::FileToolBarIndex]->isHidden());
    }

    void toolBarHiddenByItself()
    {
        MainWindow& w = build();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCheckBox* box = w.toggleAllToolbarActsCheckBox;
        for (int i = 0; i < MainWindow::ToolBarCount; ++i) {
            QToolBar* toolBar = w.toolBars[i];
            // As the main window's own context menu does it.
            toolBar->toggleViewAction()->trigger();
            QVERIFY(toolBar->isHidden());
            QVERIFY(!w.toggleToolBarActs[i]->isChecked());
            QCOMPARE(box->checkState(), Qt::PartiallyChecked);
            toolBar->toggleViewAction()->trigger();
            QVERIFY(!toolBar->isHidden());
            QVERIFY(w.toggleToolBarActs[i]->isChecked());
            QCOMPARE(box->checkState(), Qt::Checked);
        }
        w.toolBars[MainWindow::SearchToolBarIndex]->hide();
        QVERIFY(!w.toggleToolBarActs[MainWindow::SearchToolBarIndex]->isChecked());
        QCOMPARE(box->checkState(), Qt::PartiallyChecked);
        // The box still brings everything back.
        box->click();
        QCOMPARE(box->checkState(), Qt::Checked);
        QVERIFY(!w.toolBars[MainWindow::SearchToolBarIndex]->isHidden());
        // And hides everything without being pulled back to partial on the way.
        box->click();
        QCOMPARE(box->checkState(), Qt::Unchecked);
        for (QToolBar* toolBar : w.toolBars)
            QVERIFY(toolBar->isHidden());
    }
};

TQ_TEST_MAIN(ActionsTest)
#include "tst_actions.moc"
