// Template tabs in the main window: opening (already open, missing, broken,
// created), saving and saving as, the modified marks of several tabs, the
// recent templates, and following generated text back to its template.

#include <QApplication>
#include <QTimer>
#include <QPushButton>
#include <QProgressDialog>
#include <QAction>
#include <QComboBox>
#include <QDockWidget>
#include <QFileSystemWatcher>
#include <QListWidgetItem>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QTabWidget>
#include <QTextBlock>

#include <csignal>
#include <sys/resource.h>

#include "DomParser.h"
#include "ListWidget.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "StartUp.h"
#include "TemplateDialog.h"
#include "TestSupport.h"
#include "TextBlockUserData.h"
#include "TreeWidget.h"

namespace {

void writeTemplate(const QString& path, const QString& title, const QString& body)
{
    writeBytes(path, ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"" + title + "\">" + body
                      + "</template>\n")
                         .toUtf8());
}

QString absolute(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

TemplateDialog* currentTab(MainWindow& window)
{
    return qobject_cast<TemplateDialog*>(window.mainTabWidget->currentWidget());
}

QString textOf(MainWindow& window, TemplateDialog* tab)
{
    return window.mainTabWidget->tabText(window.mainTabWidget->indexOf(tab));
}

// Replaces in the current tab as the user would, which marks it modified.
void replaceAllIn(TemplateDialog* tab, const QString& from, const QString& to)
{
    tab->findChild<QComboBox*>("searchComboBox")->setEditText(from);
    tab->findChild<QComboBox*>("replaceComboBox")->setEditText(to);
    QMetaObject::invokeMethod(tab, "replaceAll");
}

QString readBack(const QString& path)
{
    DomParser parser;
    return parser.readFile(path) ? QString::fromUtf8(parser.document().toByteArray(-1)) : QString("<unreadable>");
}

TemplateItemRefPointer record(const QString& ref, int entry, int child)
{
    return TemplateItemRefPointer(new TemplateItemRef(TEMPLATE_TYPE_TQW_FILE, ref, {entry, child}));
}

void moveToBlock(MdiChild* editor, int block)
{
    QTextCursor cursor(editor->document()->findBlockByNumber(block));
    cursor.movePosition(QTextCursor::EndOfBlock);
    editor->setTextCursor(cursor);
}

} // namespace

class TemplateFilesTest : public QObject
{
    Q_OBJECT

    QString m_folder;
    std::unique_ptr<CurrentDir> m_current;

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
        templateModified = false;
        currentTemplateType = 0;
        QVERIFY(makeTestWorkFolder(m_folder));
        m_current.reset(new CurrentDir(m_folder));
        writeTemplate("Templates/Atom/原子模板库.tqw", "原子模板库", "<entry title=\"索引\"><content>[季节]</content></entry>");
    }
    void cleanup() { m_current.reset(); }

    void opening()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        writeTemplate("Templates/a.tqw", "季节", "<entry title=\"春\"><content>春风</content><content>春雨</content></entry>"
                                                "<entry title=\"夏\"><content>夏日</content></entry>");
        QCOMPARE(window.openTemplate("./Templates/a.tqw"), 0);
        TemplateDialog* tab = currentTab(window);
        QVERIFY(tab);
        QCOMPARE(tab->fileName(), absolute("Templates/a.tqw"));
        QCOMPARE(textOf(window, tab), QString("季节"));
        QCOMPARE(window.mainTabWidget->tabToolTip(window.mainTabWidget->indexOf(tab)), "模板: " + absolute("Templates/a.tqw"));
        QCOMPARE(tab->getTreeWidget()->currentItem()->text(0), QString("春"));
        QCOMPARE(tab->getListWidget()->currentItem()->text(), QString("春风"));
        QVERIFY(tab->getListWidget()->actions().contains(window.newTemplateContentAct));
        QVERIFY(!window.mainDock->isHidden());
        QVERIFY(fileSystemWatcher->files().contains(absolute("Templates/a.tqw")));

        // Already open: shown again, not read again; a ".tqw" name is a file whatever the type.
        writeTemplate("Templates/a.tqw", "改了", "<entry title=\"秋\"/>");
        QCOMPARE(window.openTemplate(absolute("Templates/a.tqw"), QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_SYNONYM), 0);
        QCOMPARE(window.templateDialogs.size(), 1);
        QCOMPARE(tab->getTreeWidget()->topLevelItem(0)->text(0), QString("春"));
        writeTemplate("Templates/无题.tqw", "", "<entry title=\"e\"/>");
        QCOMPARE(window.openTemplate("Templates/无题.tqw", QString(), 0, false, TEMPLATE_TYPE_SQLITE_DB_SYNONYM), 0);
        QCOMPARE(window.mainTabWidget->tabText(0), QString("无题"));
        QCOMPARE(window.templateDialogs.size(), 2);

        writeBytes("Templates/坏.tqw", "<template><entry>");
        QCOMPARE(window.openTemplate("Templates/坏.tqw"), int(ERROR_CODE_TEMPLATE_MISSING_OR_INVALID));
        QCOMPARE(prompt.texts.last(), QString("模板文件不存在或模板格式错误!"));
        QCOMPARE(window.templateDialogs.size(), 2);

        // No name: the database dialog; a template file chosen there is still a template file.
        QCOMPARE(window.openTemplate(), 0);
        QCOMPARE(prompt.openDialogs.last(), QString("选择模板:|./Dictionary|.db 文件 (*.db);;所有文件 (*)"));
        QCOMPARE(window.templateDialogs.size(), 2);
        writeTemplate("Templates/b.tqw", "乙", "<entry title=\"e\"/>");
        prompt.openFileNames << "Templates/b.tqw";
        QCOMPARE(window.openTemplate(), 0);
        QCOMPARE(currentTab(window)->fileName(), absolute("Templates/b.tqw"));

        // A template named on the command line opens as a tab.
        writeTemplate("Templates/命令行.tqw", "命令行", "<entry title=\"e\"/>");
        startUpArguments = QStringList{"Tarnquill", "Templates/命令行.tqw"};
        window.initTimeConsumingStaff();
        QCOMPARE(currentTab(window)->fileName(), absolute("Templates/命令行.tqw"));
    }

    // The question about a missing template, each of its four answers; new
    // templates only under their own names.
    void missingAndNewTemplates()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString missing = "Templates/Atom/描写春天语境.tqw";
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Cancel, false};
        QCOMPARE(window.openTemplate(missing), 0);
        QCOMPARE(prompt.titles.last(), QString("错误!"));
        QCOMPARE(prompt.texts.last(), "模板文件不存在，或模板格式错误: " + missing);
        QCOMPARE(window.templateDialogs.size(), 0);

        QCOMPARE(window.openTemplate("Templates/Atom/原子模板库.tqw"), 0);
        TemplateDialog* index = currentTab(window);
        window.newFile();
        window.mainTabWidget->setCurrentIndex(-1);
        prompt.answers << ScriptedPrompt::Answer{1, false};
        QCOMPARE(window.openTemplate(missing), 0);
        QCOMPARE(currentTab(window), index);
        QCOMPARE(index->findChild<QComboBox*>("searchComboBox")->currentText(), QString("春天"));
        prompt.answers << ScriptedPrompt::Answer{2, false};
        index->setSearchText(QString());
        QCOMPARE(window.openTemplate(missing), 0);
        QCOMPARE(index->findChild<QComboBox*>("searchComboBox")->currentText(), QString("春天"));
        QCOMPARE(window.templateDialogs.size(), 1);

        // Created: saved under the chosen name with a first entry of that name,
        // and recorded in the atom index.
        prompt.answers << ScriptedPrompt::Answer{0, false};
        prompt.saveFileNames << absolute("Templates/Atom/春天") ;
        QCOMPARE(window.openTemplate(missing), 0);
        TemplateDialog* created = currentTab(window);
        QCOMPARE(created->fileName(), absolute("Templates/Atom/春天.tqw"));
        QCOMPARE(textOf(window, created), QString("春天"));
        QVERIFY(readBack("Templates/Atom/春天.tqw").contains("<entry title=\"春天\"/>"));
        QVERIFY(readBack("Templates/Atom/原子模板库.tqw").contains("<content>[春天]</content>"));
        QVERIFY(!templateModified);

        // Cancelling the name removes the new tab; paths are refused as names.
        const int tabs = window.templateDialogs.size();
        QCOMPARE(window.newTemplate("新"), QString());
        QCOMPARE(prompt.saveFileQuestions.last(),
                 "模板另存为|" + absolute("Templates/Atom/新") + "|Tqw 文件 (*.tqw);;所有文件 (*)");
        for (const QString name : {"../越界", "子/名", "反\\斜", ".."}) {
            QCOMPARE(window.newTemplate(name), QString());
            QVERIFY(prompt.texts.last().startsWith("模板名称不能含有"));
        }
        QCOMPARE(window.templateDialogs.size(), tabs);
        QVERIFY(!QFileInfo::exists("越界.tqw") && !QFileInfo::exists("Templates/越界.tqw"));
    }

    // Cancelling the progress of a large template opens nothing and says
    // nothing is wrong with the file.
    void cancelledOpening()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QString body = "<entry title=\"大\">";
        for (int i = 0; i < 1000; ++i)
            body += "<content>句子</content>";
        writeTemplate("Templates/big.tqw", "大", body + "</entry>");
        int clicks = 0;
        QTimer canceller;
        QObject::connect(&canceller, &QTimer::timeout, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets())
                if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible()) {
                    ++clicks;
                    QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
                }
        });
        canceller.start(0);
        QCOMPARE(window.openTemplate("Templates/big.tqw"), int(ERROR_CODE_TEMPLATE_MISSING_OR_INVALID));
        canceller.stop();
        QVERIFY(clicks > 0);
        QCOMPARE(prompt.texts, QStringList());
        QCOMPARE(window.templateDialogs.size(), 0);
    }

    // Saving keeps the previous file as ".bak" and clears only the saved tab's
    // mark; a failed write keeps the mark and the file; save-as names files.
    void saving()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        writeTemplate("Templates/a.tqw", "甲", "<entry title=\"春\"><content>春风</content></entry>");
        writeTemplate("Templates/b.tqw", "乙", "<entry title=\"夏\"><content>夏雨</content></entry>");
        const QByteArray previous = fileBytes("Templates/a.tqw");
        QCOMPARE(window.openTemplate("Templates/a.tqw"), 0);
        TemplateDialog* a = currentTab(window);
        QCOMPARE(window.openTemplate("Templates/b.tqw"), 0);
        TemplateDialog* b = currentTab(window);
        replaceAllIn(b, "雨", "雪");
        window.mainTabWidget->setCurrentWidget(a);
        replaceAllIn(a, "风", "光");
        QCOMPARE(textOf(window, a), QString("*甲"));
        QCOMPARE(textOf(window, b), QString("*乙"));

        // The disk refuses the new file: nothing is lost, nothing is unmarked.
        struct rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = 4096;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        a->getTreeWidget()->topLevelItem(0)->setText(0, QString(8000, QChar(0x6625)));
        window.saveTemplate();
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(prompt.texts.last().startsWith("保存模板错误: " + absolute("Templates/a.tqw") + ", 原因: "));
        QCOMPARE(fileBytes("Templates/a.tqw"), previous);
        QCOMPARE(textOf(window, a), QString("*甲"));

        a->getTreeWidget()->topLevelItem(0)->setText(0, "春");
        window.saveTemplate();
        QCOMPARE(fileBytes("Templates/a.tqw.bak"), previous);
        QVERIFY(readBack("Templates/a.tqw").contains("春光"));
        QCOMPARE(textOf(window, a), QString("甲"));
        QCOMPARE(textOf(window, b), QString("*乙"));
        QVERIFY(templateModified);
        // A second save refreshes ".bak" to the bytes before that save.
        const QByteArray firstSaved = fileBytes("Templates/a.tqw");
        replaceAllIn(a, "光", "影");
        window.saveTemplate();
        QCOMPARE(fileBytes("Templates/a.tqw.bak"), firstSaved);
        QVERIFY(readBack("Templates/a.tqw").contains("春影"));

        // A template another program changed while its reload question waits
        // is not written over by auto-save.
        const QByteArray theirs = fileBytes("Templates/b.tqw").replace("夏雨", "秋雨");
        writeAll("Templates/b.tqw", theirs);
        window.fileChanged(b->fileName()); // the window is not active: queued
        QCOMPARE(window.changedTemplateQueue, QStringList{b->fileName()});
        window.saveTemplate(true, false);
        QCOMPARE(fileBytes("Templates/b.tqw"), theirs);
        QCOMPARE(textOf(window, b), QString("*乙"));
        window.changedTemplateQueue.clear();

        // Auto-save saves the marked tab and only reminds of an untitled one.
        writeTemplate("Templates/Atom/未命名.tqw", "x", "<entry title=\"e\"/>");
        QCOMPARE(window.openTemplate("Templates/Atom/未命名.tqw"), 0);
        TemplateDialog* untitled = currentTab(window);
        QCOMPARE(untitled->getTreeWidget()->topLevelItemCount(), 0);
        window.setTemplateModified(true, window.mainTabWidget->indexOf(untitled));
        window.saveTemplate(true, false);
        QVERIFY(prompt.saveFileQuestions.isEmpty());
        QCOMPARE(prompt.texts.last(), QString("新创建的模板尚未保存， 请尽快手工保存，以免数据丢失！"));
        QVERIFY(readBack("Templates/b.tqw").contains("夏雪"));
        QCOMPARE(textOf(window, b), QString("乙"));
        QCOMPARE(textOf(window, untitled), QString("*未命名"));
        QVERIFY(templateModified);

        // Save as: the suffix is added unless it is there (case-sensitive); a
        // cancelled dialog is a failure.
        prompt.saveFileNames << "Templates/x" << "Templates/X.TQW";
        QCOMPARE(window.saveTemplateAs(a), 0);
        QCOMPARE(a->fileName(), absolute("Templates/x.tqw"));
        QVERIFY(readBack("Templates/x.tqw").contains("春影"));
        QCOMPARE(window.saveTemplateAs(a), 0);
        QVERIFY(QFileInfo::exists("Templates/X.TQW.tqw"));
        QCOMPARE(window.saveTemplateAs(a), int(ERROR_CODE_TEMPLATE_EMPTY_FILE_NAME));
        QVERIFY(window.recentTemplateActions[0]->data().toString().endsWith("X.TQW.tqw"));
        window.mainTabWidget->setCurrentWidget(untitled);
        QVERIFY(!window.saveTemplateFinal(true, untitled, window.mainTabWidget->currentIndex()));
        QCOMPARE(prompt.texts.last(), QString("保存模板失败, 模板内容不能为空!"));

        // Closing a marked tab asks; "保存" writes it.
        replaceAllIn(b, "雪", "霜");
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Save, false};
        window.closeTab(window.mainTabWidget->indexOf(b));
        QCOMPARE(prompt.texts.last(), QString("模板已经修改，是否保存修改?"));
        QVERIFY(readBack("Templates/b.tqw").contains("夏霜"));
    }

    // At most ten, most recent first, kept over a restart, emptied on demand.
    void recentTemplates()
    {
        ScriptedPrompt prompt;
        {
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            for (int i = 0; i < 12; ++i) {
                writeTemplate(QString("Templates/t%1.tqw").arg(i), QString("t%1").arg(i), "<entry title=\"e\"/>");
                QCOMPARE(window.openTemplate(QString("Templates/t%1.tqw").arg(i)), 0);
            }
            QCOMPARE(window.recentTemplateActions[9]->data().toString(), absolute("Templates/t2.tqw"));
            for (TemplateDialog* tab : window.templateDialogs)
                if (tab->fileName() == absolute("Templates/t2.tqw"))
                    window.closeTab(window.mainTabWidget->indexOf(tab));
            window.recentTemplateActions[9]->trigger();
            QCOMPARE(currentTab(window)->fileName(), absolute("Templates/t2.tqw"));
            QCOMPARE(window.recentTemplateActions[0]->text(), "&1 " + absolute("Templates/t2.tqw"));
            QCOMPARE(window.recentTemplateActions[1]->data().toString(), absolute("Templates/t11.tqw"));
            QVERIFY(window.recentTemplateActions[9]->isVisible());
        }
        MainWindow again(nullptr, MainWindow::NoStartUpTimers);
        QCOMPARE(again.recentTemplateActions[0]->data().toString(), absolute("Templates/t2.tqw"));
        QCOMPARE(Settings().value("RecentTemplatesList").toStringList().size(), 10);
        again.emptyRecentTemplatesList();
        for (QAction* action : again.recentTemplateActions)
            QVERIFY(!action->isVisible());
    }

    // Moving through generated paragraphs: nested positions map to the right
    // entry and row, closed templates open with auto-close and close again, a
    // missing template is asked about once, activating a content replaces the paragraph.
    void followingBack()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        writeTemplate("Templates/嵌套.tqw", "嵌套",
                      "<entry title=\"A\"><content>a0</content><content>a1</content><entry title=\"B\"><content>b0</content>"
                      "<content>b1</content></entry><content>a2</content></entry><entry title=\"C\"><content>c0</content></entry>");
        writeTemplate("Templates/other.tqw", "other", "<entry title=\"O\"><content>o0</content></entry>");
        window.newFile();
        MdiChild* editor = window.activeMdiChild();
        editor->setPlainText("p0\np1\np2\np3\np4\np5\np6\np7\np8");
        const QList<QList<TemplateItemRefPointer>> data{
            {record("./Templates/嵌套.tqw", 0, 3)},        {record("Templates/嵌套.tqw:5", 1, 1)},
            {record(absolute("Templates/嵌套.tqw"), 0, 2)}, {record("./Templates/嵌套.tqw", 9, 0), record("./Templates/嵌套.tqw", 0, 9)},
            {record("./Templates/缺失.tqw", 0, 0)},         {},
            {record("./Templates/other.tqw", 0, 0)}};
        for (int i = 0; i < data.size(); ++i)
            editor->document()->findBlockByNumber(i).setUserData(new TextBlockUserData(data.at(i)));
        editor->document()->findBlockByNumber(8).setUserData(new TextBlockUserData(
            {TemplateItemRefPointer(new TemplateItemRef(TEMPLATE_TYPE_SQLITE_DB_SYNONYM, "近义词", {}))}));
        editor->setFocus();
        QVERIFY(editor->hasFocus());

        auto state = [&window]() -> QString {
            TemplateDialog* tab = currentTab(window);
            if (!tab)
                return QString("<none>");
            QTreeWidgetItem* item = tab->getTreeWidget()->currentItem();
            QListWidgetItem* row = tab->getListWidget()->currentItem();
            return QFileInfo(tab->fileName()).fileName() + "|" + (item ? item->text(0) : "-") + "|"
                + (row ? row->text() : "-") + (tab->autoClose() ? "|auto" : "");
        };
        moveToBlock(editor, 0);
        QCOMPARE(state(), QString("嵌套.tqw|A|a2|auto"));
        moveToBlock(editor, 1);
        QCOMPARE(state(), QString("嵌套.tqw|B|b1|auto"));
        moveToBlock(editor, 2);
        QCOMPARE(state(), QString("嵌套.tqw|B|-|auto"));
        moveToBlock(editor, 3);
        QCOMPARE(state(), QString("嵌套.tqw|A|-|auto"));
        QCOMPARE(window.templateDialogs.size(), 1);

        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Cancel, false};
        moveToBlock(editor, 4);
        moveToBlock(editor, 5);
        moveToBlock(editor, 4);
        QCOMPARE(prompt.texts.filter("缺失").size(), 1);
        // A table that cannot be opened is reported once too.
        moveToBlock(editor, 8);
        moveToBlock(editor, 7);
        moveToBlock(editor, 8);
        QCOMPARE(prompt.texts.filter("无法打开数据库文件").size(), 1);

        // Another template's paragraph: the unmodified auto-close tab goes.
        moveToBlock(editor, 6);
        QCOMPARE(state(), QString("other.tqw|O|o0|auto"));
        QCOMPARE(window.templateDialogs.size(), 1);
        window.setTemplateModified(true, window.mainTabWidget->currentIndex());
        moveToBlock(editor, 0);
        QCOMPARE(window.templateDialogs.size(), 2);
        QCOMPARE(state(), QString("嵌套.tqw|A|a2|auto"));
        // Plain paragraphs close them only in the expansion marking; a marked tab stays.
        moveToBlock(editor, 7);
        QCOMPARE(window.templateDialogs.size(), 2);
        currentTemplateType = 2;
        moveToBlock(editor, 5);
        QCOMPARE(window.templateDialogs.size(), 1);
        QCOMPARE(textOf(window, window.templateDialogs.first()), QString("*other"));
        currentTemplateType = 0;

        // A content put in place of the paragraph, one undo step, no extra line.
        editor->setPlainText("第一段\n第二段");
        QListWidgetItem item("新内容");
        moveToBlock(editor, 0);
        window.listWidgetItemActivated(&item);
        QCOMPARE(editor->toPlainText(), QString("新内容\n第二段"));
        moveToBlock(editor, 1);
        window.listWidgetItemActivated(&item);
        QCOMPARE(editor->toPlainText(), QString("新内容\n新内容"));
        editor->undo();
        QCOMPARE(editor->toPlainText(), QString("新内容\n第二段"));
    }

    // Read-only is set from the tab menu and asked about by the editing commands.
    void readOnly()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        writeTemplate("Templates/a.tqw", "甲", "<entry title=\"e\"/>");
        QCOMPARE(window.openTemplate("Templates/a.tqw"), 0);
        window.mainTabWidget->setProperty("clickedWidgetIndex", window.mainTabWidget->indexOf(currentTab(window)));
        window.setCurrentTemplateReadOnlyAct->setChecked(true);
        window.setCurrentTemplateReadOnlyAct->trigger();
        QVERIFY(!currentTab(window)->property("ReadOnly").toBool());
        window.setCurrentTemplateReadOnlyAct->trigger();
        QVERIFY(currentTab(window)->property("ReadOnly").toBool());
        QVERIFY(window.isCurrentTemplateReadOnly());
        QCOMPARE(prompt.texts.last(), QString("当前模板是只读模式，如要修改此模板，请取消只读模式！"));
    }
};

TQ_TEST_MAIN(TemplateFilesTest)
#include "tst_templatefiles.moc"
