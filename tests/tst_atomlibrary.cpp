// The atom template library and text to template: opening the atom named in
// the editor (menu and key), adding the selection to a template, the index
// commands, the preloaded marker names and the expansion marking that uses
// them, the commands no menu places, and the text-to-template dialog.

#include <QListWidgetItem>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include "ContextListWidget.h"
#include "DomParser.h"
#include "Embellish.h"
#include "EmbellishRun.h"
#include "GlobalActions.h"
#include "ListWidget.h"
#include "MdiChild.h"
#include "SearchDialog.h"
#include "SharedCodes.h"
#include "TemplateWindowTest.h"
#include "TextToTemplateDialog.h"

namespace {

// A template file as its reader sees it, in either form.
QString readBack(const QString& path)
{
    DomParser parser;
    return parser.readFile(path) ? parser.document().toString(-1) : QString("<unreadable>");
}

QString fileOf(const TemplateDialog* tab)
{
    return tab ? QFileInfo(tab->fileName()).fileName() : QString("<none>");
}

// Every action a menu of the bar reaches, submenus included.
QList<QAction*> menuActions(const QList<QAction*>& actions)
{
    QList<QAction*> all;
    for (QAction* action : actions) {
        all << action;
        if (action->menu())
            all << menuActions(action->menu()->actions());
    }
    return all;
}

} // namespace

class AtomLibraryTest : public TemplateWindowTest
{
    Q_OBJECT

private slots:
    void init()
    {
        atomTemplateMarkers.clear();
        QVERIFY(startWindow());
        writeTemplate("Templates/Atom/原子模板库.tqw",
                      entry("原子模板", {"[季节]", "[形容天空]", "[描写春天]", "[指代母亲]", "[校园语境]", "[语境x]"}));
        writeTemplate("Templates/Atom/季节.tqw", entry("季节", {"春", "秋"}));
        writeTemplate("Templates/Atom/常用工具.tqw", entry("工具", {"剪刀"}));
    }
    void cleanup() { stopWindow(); }

    // The atom named in the editor opens from the context menu and from its
    // key; a name left from an earlier menu does not mislead the key.
    void atomUnderCursor()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->newFile();
        MdiChild* editor = m_window->activeMdiChild();
        editor->setPlainText("今天[季节]很好");
        m_prompt->menuChoice = "打开原子模板: 季节";
        QTextCursor at(editor->document());
        at.setPosition(4);
        const QPoint inside = editor->cursorRect(at).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, inside, editor->mapToGlobal(inside));
        QApplication::sendEvent(editor->viewport(), &event);
        QCOMPARE(fileOf(current()), QString("季节.tqw"));

        m_window->closeTab(m_window->mainTabWidget->currentIndex());
        openAtomTemplateUnderCursorAct->setText("打开原子模板: 天气");
        QTextCursor cursor = editor->textCursor();
        cursor.setPosition(4);
        editor->setTextCursor(cursor);
        editor->setFocus();
        QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(fileOf(current()), QString("季节.tqw"));

        // Names from text never leave the atom folder.
        openAtomTemplateUnderCursorAct->setText("打开原子模板: ../季节");
        openAtomTemplateUnderCursorAct->trigger();
        QVERIFY(m_prompt->texts.last().startsWith("原子模板名不能含有"));
        m_window->selectAtomTemplate("a/b");
        QCOMPARE(m_window->templateDialogs.size(), 1);
    }

    // Names from the editor's expansion pop-up, a template's list and the contents
    // list never open a file outside the atom folder: each route asks the same
    // check and says why in its box.
    void atomNamesNeverLeaveTheFolder_data()
    {
        QTest::addColumn<QString>("route");
        QTest::addColumn<QString>("name");
        for (const char* route : {"pop-up", "template list", "contents list"})
            for (const char* name : {"../../outside", "Atom/../../../outside", "a/b", "..\\..\\outside", "/tmp/outside"})
                QTest::newRow(qPrintable(QString("%1 %2").arg(route, name))) << route << name;
    }
    void atomNamesNeverLeaveTheFolder()
    {
        QFETCH(QString, route);
        QFETCH(QString, name);
        // Something to open where each name would lead if it were not checked.
        writeTemplate("outside.tqw", entry("外面", {"不该打开"}));
        writeTemplate("../outside.tqw", entry("外面", {"不该打开"}));
        writeTemplate("Templates/Atom/a/b.tqw", entry("外面", {"不该打开"}));
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        m_window->newFile();
        MdiChild* editor = m_window->activeMdiChild();
        editor->setHtml("<p>天<a href=\"春#0\">春</a>天</p>");
        currentTemplateType = TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;
        const int tabs = m_window->mainTabWidget->count();
        if (route == "pop-up") {
            editor->tryAnchor = "春#0";
            editor->listWidget->clear();
            editor->listWidget->addItem("[" + name + "]");
            editor->listWidget->show();
            editor->listWidget->setCurrentRow(0);
            QTest::keyClick(editor->listWidget, Qt::Key_Return);
        } else if (route == "template list") {
            QVERIFY(open(entry("e", {"看[" + name + "]"})));
            const int opened = m_window->mainTabWidget->count();
            ListWidget* list = current()->getListWidget();
            list->setCurrentRow(0);
            QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, list->visualItemRect(list->item(0)).center());
            QAction* openAtom = actionByText(list, "打开原子模板: " + name);
            QVERIFY(openAtom);
            openAtom->trigger();
            QCOMPARE(m_window->mainTabWidget->count(), opened);
        } else {
            m_window->accessoryListWidget->clear();
            m_window->accessoryListWidget->addItem("[" + name + "]");
            m_window->accessoryListWidget->setCurrentRow(0);
            QTest::keyClick(m_window->accessoryListWidget, Qt::Key_Return);
        }
        QCOMPARE(m_prompt->texts.size(), 1);
        QCOMPARE(m_prompt->texts.last(), "原子模板名不能含有 \"/\"、\"\\\" 或 \"..\": " + name);
        QCOMPARE(m_prompt->titles.last(), QString("错误"));
        for (TemplateDialog* tab : m_window->templateDialogs)
            QVERIFY2(!readBack(tab->fileName()).contains("不该打开"), qPrintable(tab->fileName()));
        if (route != "template list")
            QCOMPARE(m_window->mainTabWidget->count(), tabs);
        QFile::remove("../outside.tqw");
    }

    // The selection goes after the current row, its lines in reverse order;
    // with no template tab nothing happens.
    void selectionToCurrentTemplate()
    {
        m_window->newFile();
        MdiChild* editor = m_window->activeMdiChild();
        editor->setPlainText("一\n二");
        editor->selectAll();
        addSelectedContentToCurrentTemplateAct->trigger();
        QCOMPARE(m_window->templateDialogs.size(), 0);
        m_window->utilitiesTemplateAct->trigger();
        addSelectedContentToCurrentTemplateAct->trigger();
        QCOMPARE(rows(current()), QStringList({"剪刀", "二", "一"}));
        QVERIFY(templateModified);
    }

    // The index: a name it holds stays once, the index is saved, and the tab
    // that was current comes back; searching the index for the selection.
    void indexCommands()
    {
        m_window->utilitiesTemplateAct->trigger();
        const int utilities = m_window->mainTabWidget->currentIndex();
        m_window->addContentToAtomTemplateTOC("[季节]");
        m_window->addContentToAtomTemplateTOC("[新的]");
        QCOMPARE(m_window->mainTabWidget->currentIndex(), utilities);
        m_window->openAtomTemplateTOCAct->trigger();
        QCOMPARE(rows(current()), QStringList({"[季节]", "[新的]", "[形容天空]", "[描写春天]", "[指代母亲]", "[校园语境]", "[语境x]"}));
        QVERIFY(readBack("Templates/Atom/原子模板库.tqw").contains("[新的]"));
        QVERIFY(!templateModified);

        m_window->newFile();
        m_window->activeMdiChild()->setPlainText("天空");
        m_window->activeMdiChild()->selectAll();
        m_window->searchAtomTemplateTOC();
        QCOMPARE(current()->findChild<QComboBox*>("searchComboBox")->currentText(), QString("天空"));
    }

    // Only the four kinds of marker names are kept, each once however often
    // the index is read; the expansion marking then finds their words.
    void preloadedMarkers()
    {
        m_window->preloadTemplates();
        m_window->preloadTemplates();
        QCOMPARE(atomTemplateMarkers, QStringList({"[形容天空]", "[描写春天]", "[指代母亲]", "[校园语境]"}));
        QCOMPARE(m_window->templateDialogs.size(), 0);
        writeBytes("Templates/Atom/原子模板库.tqw", "<template><entry>");
        m_window->preloadTemplates();
        QCOMPARE(m_prompt->texts.last(), QString("模板文件不存在或模板格式错误!"));
        QCOMPARE(atomTemplateMarkers.size(), 4);

        // With the program's own data: "扩写标记" marks the sky.
        atomTemplateMarkers.clear();
        CurrentDir here(TestEnvironment::programDir());
        m_window->preloadTemplates();
        QVERIFY(atomTemplateMarkers.contains("[形容天空]"));
        m_window->newFile();
        m_window->activeMdiChild()->setPlainText("今晚的天空很美。");
        expandMarkAct->trigger();
        QVERIFY(m_window->embellishRun->counts().marks > 0);
    }

    // Commands that no menu places still work from their actions.
    void unplacedCommands()
    {
        const QList<QAction*> placed = menuActions(m_window->menuBar()->actions());
        for (QAction* action : {m_window->textToTemplateAct, m_window->newTemplateAct, m_window->utilitiesTemplateAct,
                                m_window->openAtomTemplateTOCAct, m_window->saveTemplateAsAct})
            QVERIFY2(!placed.contains(action), qPrintable(action->text()));

        m_window->openAtomTemplateTOCAct->trigger();
        QCOMPARE(fileOf(current()), QString("原子模板库.tqw"));
        m_window->utilitiesTemplateAct->trigger();
        QCOMPARE(fileOf(current()), QString("常用工具.tqw"));
        m_prompt->saveFileNames << QDir::current().absoluteFilePath("Templates/Atom/另存");
        m_window->saveTemplateAsAct->trigger();
        QCOMPARE(fileOf(current()), QString("另存.tqw"));
        m_prompt->saveFileNames << QDir::current().absoluteFilePath("Templates/Atom/新建");
        m_window->newTemplateAct->trigger();
        QCOMPARE(fileOf(current()), QString("新建.tqw"));
        QVERIFY(readBack("Templates/Atom/原子模板库.tqw").contains("[新建]"));

        // Checked search results become a new template, in table order.
        SearchDialog* search = m_window->searchDialog;
        search->includeComboBox()->setEditText("搜到");
        QTableWidget* table = search->filesTable();
        table->setRowCount(3);
        for (int row = 0; row < 3; ++row) {
            table->setItem(row, 0, new QTableWidgetItem);
            table->item(row, 0)->setCheckState(row == 1 ? Qt::Unchecked : Qt::Checked);
            table->setItem(row, 4, new QTableWidgetItem(QStringList({"甲行", "乙行", "丙行"}).at(row)));
        }
        m_prompt->saveFileNames << QDir::current().absoluteFilePath("Templates/Atom/搜到");
        search->saveAsAtomTemplateAction()->trigger();
        QCOMPARE(fileOf(current()), QString("搜到.tqw"));
        QCOMPARE(rows(current()), QStringList({"甲行", "丙行"}));
        QVERIFY(readBack("Templates/Atom/搜到.tqw").contains("丙行"));
    }

    void splitting_data()
    {
        QTest::addColumn<QString>("others");
        QTest::addColumn<bool>("include");
        QTest::addColumn<bool>("skipEmpty");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("pieces");
        QTest::newRow("defaults") << "" << true << true << "甲。乙！\n[季节]" << QStringList({"甲。", "乙！", "[季节]"});
        QTest::newRow("no separators kept") << "" << false << true << "甲。乙！\n[季节]"
                                            << QStringList({"甲", "乙", "[季节]"});
        QTest::newRow("empty pieces") << "" << false << false << "a。。b" << QStringList({"a", "", "b"});
        QTest::newRow("class characters") << "-]\\^" << false << true << "a-b]c\\d^e|[A|B]"
                                          << QStringList({"a", "b", "c", "d", "e|[A|B"});
        QTest::newRow("bar") << "|" << false << true << "[A|B]x" << QStringList({"[A", "B]x"});
    }
    // Each chosen character separates, whatever it means in a pattern, and no other does.
    void splitting()
    {
        QFETCH(QString, others);
        QFETCH(bool, include);
        QFETCH(bool, skipEmpty);
        QFETCH(QString, text);
        QFETCH(QStringList, pieces);
        TextToTemplateDialog dialog;
        for (int i = 0; i < others.size(); ++i)
            dialog.findChild<QLineEdit*>(QString("other%1LineEdit").arg(i + 1))->setText(others.mid(i, 1));
        dialog.findChild<QCheckBox*>("includeSeparatorCheckBox")->setChecked(include);
        dialog.findChild<QCheckBox*>("skipEmptyPartsCheckBox")->setChecked(skipEmpty);
        dialog.setText(text);
        QCOMPARE(dialog.pieces(), pieces);
        auto* list = dialog.findChild<QListWidget*>("resultListWidget");
        for (int row = 0; row < list->count(); ++row)
            QCOMPARE(list->item(row)->foreground().color() == Qt::red, list->item(row)->text() == "[季节]");
    }

    // The chosen characters in one class; none leaves the text whole.
    void separatorPattern()
    {
        TextToTemplateDialog dialog;
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            if (box->objectName() != "halfWidthCheckBox" && box->objectName() != "periodCheckBox")
                box->setChecked(false);
        QCOMPARE(dialog.getRegExpString(), QString("[\\.]"));
        dialog.findChild<QCheckBox*>("fullWidthCheckBox")->setChecked(true);
        QCOMPARE(dialog.getRegExpString(), QString("[\\。\\.]"));
        dialog.findChild<QCheckBox*>("periodCheckBox")->setChecked(false);
        QCOMPARE(dialog.getRegExpString(), QString());
        dialog.setText("无分隔|的。文本");
        QCOMPARE(dialog.pieces(), QStringList({"无分隔|的。文本"}));
    }

    // Into the current template, or into the atoms the bracketed rows name.
    void confirming()
    {
        m_window->newFile();
        m_window->activeMdiChild()->setPlainText("前\n[季节]\n春\n夏");
        m_window->textToTemplateAct->trigger();
        QPointer<TextToTemplateDialog> dialog = m_window->findChild<TextToTemplateDialog*>();
        dialog->findChild<QPushButton*>("okPushButton")->click();
        QCOMPARE(m_prompt->texts.last(), QString("请手动选择要加入的模板， 然后重试！"));
        QVERIFY(dialog->isVisible());
        dialog->findChild<QRadioButton*>("respectiveTemplateRadioButton")->setChecked(true);
        dialog->findChild<QPushButton*>("okPushButton")->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(dialog.isNull());
        QCOMPARE(fileOf(current()), QString("季节.tqw"));
        QVERIFY(current()->autoClose());
        QCOMPARE(rows(current()), QStringList({"春", "夏", "春", "秋"}));

        // Current-template mode: a bracketed row is a plain content there.
        m_window->activeMdiChild()->setPlainText("[雪]");
        m_window->textToTemplateAct->trigger();
        m_window->findChild<TextToTemplateDialog*>()->findChild<QPushButton*>("okPushButton")->click();
        QCOMPARE(rows(current()), QStringList({"春", "[雪]", "夏", "春", "秋"}));
    }
};

TQ_TEST_MAIN(AtomLibraryTest)
#include "tst_atomlibrary.moc"
