// The editing commands of a template tab, run through their actions as a click
// would: where new contents go, the questions asked again, removing and editing
// by row with repeated texts and child entries, sorting and removing repeats,
// copying and pasting entries, read-only tabs, titles and commands that work
// from the editor's selection.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTabWidget>

#include "ListWidget.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "StartUp.h"
#include "TemplateDialog.h"
#include "TemplateWindowTest.h"
#include "TestSupport.h"
#include "TreeWidget.h"

namespace {

void writeTemplate(const QString& path, const QString& body)
{
    writeBytes(path, ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"t\">" + body + "</template>\n")
                         .toUtf8());
}

// The outline: entries plain, contents as "·text", hidden ones as "(·text)".
QStringList outline(TemplateDialog* tab)
{
    return treeLines(*tab->getTreeWidget(), [](const QTreeWidgetItem* item) {
        if (TreeWidget::isEntry(item))
            return item->text(0);
        const QString text = "·" + item->text(0);
        return item->isHidden() ? "(" + text + ")" : text;
    });
}

bool marked(MainWindow& window, TemplateDialog* tab)
{
    return window.mainTabWidget->tabText(window.mainTabWidget->indexOf(tab)).startsWith('*');
}

QString contents(const QStringList& texts)
{
    QString body;
    for (const QString& text : texts)
        body += "<content>" + text + "</content>";
    return body;
}

} // namespace

class TemplateEditingTest : public TemplateWindowTest
{
    Q_OBJECT


    // A window with one tab open on body, its first entry current.
    TemplateDialog* open(const QString& body)
    {
        writeTemplate("Templates/t.tqw", body);
        if (m_window->openTemplate("Templates/t.tqw") != 0)
            return nullptr;
        return qobject_cast<TemplateDialog*>(m_window->mainTabWidget->currentWidget());
    }
    void yes() { m_prompt->answers << ScriptedPrompt::Answer{QMessageBox::Yes, false}; }

private slots:
    void init()
    {
        QVERIFY(startWindow());
    }
    void cleanup() { stopWindow(); }

    // New contents go after the current row, in tree and list alike, also
    // when the entry holds a child entry between its contents.
    void insertPositions()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"c0", "c1"}) + "<entry title=\"子\">"
                                   + contents({"z"}) + "</entry>" + contents({"c2", "c3"})
                                   + "</entry><entry title=\"B\"/>");
        QVERIFY(tab);
        ListWidget* list = tab->getListWidget();
        list->setCurrentRow(-1);
        m_prompt->textAnswers << "n0";
        m_window->newTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"n0", "c0", "c1", "c2", "c3"}));
        QVERIFY(marked(*m_window, tab));

        list->setCurrentRow(2);
        QApplication::clipboard()->setText("a\r\nb\n\tc");
        m_window->pasteClipboardToTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"n0", "c0", "c1", "a", "b", "c", "c2", "c3"}));
        QCOMPARE(outline(tab), QStringList({"A", "  (·n0)", "  (·c0)", "  (·c1)", "  (·a)", "  (·b)", "  (·c)",
                                            "  子", "    (·z)", "  (·c2)", "  (·c3)", "B"}));
        // Tab and list stay in step: showing the entry again gives the same rows.
        m_window->changeParagraph(tab->getTreeWidget()->topLevelItem(1), nullptr);
        m_window->changeParagraph(tab->getTreeWidget()->topLevelItem(0), nullptr);
        QCOMPARE(rows(tab), QStringList({"n0", "c0", "c1", "a", "b", "c", "c2", "c3"}));

        // An empty list takes them from row 0, in their order.
        tab->getTreeWidget()->setCurrentItem(tab->getTreeWidget()->topLevelItem(1));
        m_window->pasteClipboardToTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"a", "b", "c"}));
    }

    // Empty, repeated and unchanged texts: asked again with a red note, or nothing.
    void askingAgain()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"c0", "c1", "c2"}) + "</entry>");
        QVERIFY(tab);
        m_prompt->textAnswers << "" << "c0" << "新";
        m_window->newTemplateContentAct->trigger();
        QCOMPARE(m_prompt->textQuestions.size(), 3);
        QCOMPARE(m_prompt->textQuestions.at(0), QString("新条目|请键入新的条目内容：|新条目"));
        QVERIFY(m_prompt->textQuestions.at(1).contains("<font color=\"#FF0000\">内容不能为空。</font><br>"));
        QVERIFY(m_prompt->textQuestions.at(2).contains("内容重复，请重新输入内容。"));
        QVERIFY(m_prompt->textQuestions.at(2).endsWith("|c0"));
        QCOMPARE(rows(tab), QStringList({"c0", "新", "c1", "c2"}));

        // Not interactive: a repeat is ignored without a question.
        m_window->newTemplateContent("c1", QString(), false);
        QCOMPARE(m_prompt->textQuestions.size(), 3);
        QCOMPARE(rows(tab).size(), 4);

        m_window->setTemplateModified(false, m_window->mainTabWidget->indexOf(tab));
        tab->getListWidget()->setCurrentRow(2);
        m_prompt->textAnswers << "c1";
        m_window->editTemplateContentAct->trigger();
        QVERIFY(!marked(*m_window, tab));
        m_prompt->textAnswers << "" << "c2" << "改";
        m_window->editTemplateContentAct->trigger();
        QVERIFY(m_prompt->textQuestions.at(5).endsWith("内容不能为空。</font><br>请键入新的条目内容：|c1"));
        QVERIFY(m_prompt->textQuestions.at(6).contains("内容重复"));
        QCOMPARE(rows(tab), QStringList({"c0", "新", "改", "c2"}));
        QCOMPARE(outline(tab).at(3), QString("  (·改)"));
        QVERIFY(marked(*m_window, tab));

        // No paragraph or no row: an error box, nothing asked.
        tab->getListWidget()->setCurrentRow(-1);
        m_window->editTemplateContentAct->trigger();
        QCOMPARE(m_prompt->texts.last(), QString("已选择的条目为空, 请选择要编辑的条目."));
    }

    // Removing and editing act on the rows chosen, never on texts: repeated
    // texts elsewhere and a child entry of the same title stay.
    void removeAndEditByRow()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"x", "y", "x"})
                                   + "<entry title=\"x\">" + contents({"in"}) + "</entry></entry>"
                                   + "<entry title=\"B\"/><entry title=\"C\"/>");
        QVERIFY(tab);
        ListWidget* list = tab->getListWidget();
        list->setCurrentRow(2);
        m_prompt->textAnswers << "w";
        m_window->editTemplateContentAct->trigger();
        QCOMPARE(outline(tab).mid(0, 6), QStringList({"A", "  (·x)", "  (·y)", "  (·w)", "  x", "    (·in)"}));

        list->setCurrentRow(0);
        m_prompt->answers << ScriptedPrompt::Answer{QMessageBox::No, false};
        m_window->removeTemplateContentAct->trigger();
        QCOMPARE(rows(tab).size(), 3);
        yes();
        m_window->removeTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"y", "w"}));
        QCOMPARE(outline(tab).mid(0, 5), QStringList({"A", "  (·y)", "  (·w)", "  x", "    (·in)"}));

        // Entries: the nearest unselected item below is current afterwards, else the one above.
        TreeWidget* tree = tab->getTreeWidget();
        tree->setCurrentItem(tree->topLevelItem(1));
        yes();
        m_window->removeTemplateParagraphAct->trigger();
        QCOMPARE(tree->currentItem()->text(0), QString("C"));
        yes();
        m_window->removeTemplateParagraphAct->trigger();
        QCOMPARE(tree->currentItem()->text(0), QString("A"));
        tree->selectAll();
        yes();
        m_window->removeTemplateParagraphAct->trigger();
        QCOMPARE(tree->topLevelItemCount(), 0);
        QVERIFY(!tree->currentItem());
        // An empty tree has nothing to fall back on.
        yes();
        m_window->removeTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList());
    }

    void sortAndRemoveRepeats()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"x", "y", "x", "x"}) + "</entry>"
                                   + "<entry title=\"B\">" + contents({"乙", "甲"}) + "<entry title=\"子\"/>"
                                   + contents({"丙", "甲"}) + "</entry>");
        QVERIFY(tab);
        m_window->removeDuplicateTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"x", "y"}));
        QCOMPARE(m_prompt->texts.last(), QString("2 条重复条目被剔除!"));
        QVERIFY(marked(*m_window, tab));
        QCOMPARE(m_window->removeDuplicateTemplateContent(tab, true), 0);
        QCOMPARE(m_prompt->texts.last(), QString("没有发现重复条目!"));

        TreeWidget* tree = tab->getTreeWidget();
        tree->setCurrentItem(tree->topLevelItem(1));
        m_window->setTemplateModified(false, m_window->mainTabWidget->indexOf(tab));
        m_window->sortTemplateContentAct->trigger();
        QCOMPARE(m_prompt->texts.last(), QString("排序完成!"));
        QStringList expected{"乙", "甲", "丙", "甲"};
        std::stable_sort(expected.begin(), expected.end(), localeAwareLessThan);
        QCOMPARE(rows(tab), expected);
        QCOMPARE(expected.indexOf("甲") + 1, expected.lastIndexOf("甲"));
        // The contents take the order where they stand; the child entry keeps its place.
        QStringList lines{"B"};
        for (const QString& text : expected)
            lines << "  (·" + text + ")";
        lines.insert(3, "  子");
        QCOMPARE(outline(tab).mid(3), lines);
        QVERIFY(marked(*m_window, tab));
        m_window->setTemplateModified(false, m_window->mainTabWidget->indexOf(tab));
        m_window->sortTemplateContentAct->trigger();
        QCOMPARE(m_prompt->texts.last(), QString("无需重新排序,当前顺序已经排序!"));
        QVERIFY(!marked(*m_window, tab));
    }

    // Many rows at once take the other path through the tree: still in step,
    // contents hidden, the child entry where it was and still expanded.
    void manyRowsAtOnce()
    {
        QStringList texts;
        quint32 seed = 7;
        for (int i = 0; i < 400; ++i) {
            seed = seed * 1103515245u + 12345u;
            texts << QString::number(seed >> 16 & 127);
        }
        TemplateDialog* tab = open("<entry title=\"A\">" + contents(texts.mid(0, 200)) + "<entry title=\"子\">"
                                   + contents({"z"}) + "</entry>" + contents(texts.mid(200)) + "</entry>");
        QVERIFY(tab);
        QTreeWidgetItem* child = tab->getTreeWidget()->topLevelItem(0)->child(200);
        child->setExpanded(true);
        auto inStep = [&]() {
            QStringList tree;
            for (const QString& line : outline(tab).mid(1))
                if (line.startsWith("  (·"))
                    tree << line.mid(4, line.size() - 5);
                else if (line != "  子" && line != "    (·z)")
                    return false;
            return tree == rows(tab) && outline(tab).contains("  子") && child->isExpanded();
        };
        QStringList unique;
        for (const QString& text : texts)
            if (!unique.contains(text))
                unique << text;
        QCOMPARE(m_window->removeDuplicateTemplateContent(tab, false), texts.size() - unique.size());
        QCOMPARE(rows(tab), unique);
        QVERIFY(inStep());
        QStringList expected = rows(tab);
        for (int row = expected.size() - 1; row >= 0; row -= 2) {
            tab->getListWidget()->item(row)->setSelected(true);
            expected.removeAt(row);
        }
        yes();
        m_window->removeTemplateContentAct->trigger();
        QCOMPARE(rows(tab), expected);
        QVERIFY(inStep());
    }

    // The copy is taken when copying: pasting after the original went is safe.
    void copyRemovePaste()
    {
        m_window->pasteTemplateParagraphAct->trigger();
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"a"}) + "<entry title=\"子\">"
                                   + contents({"z"}) + "</entry></entry><entry title=\"B\"/>");
        QVERIFY(tab);
        TreeWidget* tree = tab->getTreeWidget();
        QCOMPARE(tree->topLevelItemCount(), 2);
        m_window->copyTemplateParagraphAct->trigger();
        yes();
        m_window->removeTemplateParagraphAct->trigger();
        QCOMPARE(tree->currentItem()->text(0), QString("B"));
        m_window->setTemplateModified(false, m_window->mainTabWidget->indexOf(tab));
        m_window->pasteTemplateParagraphAct->trigger();
        QCOMPARE(outline(tab), QStringList({"B", "A", "  (·a)", "  子", "    (·z)"}));
        QVERIFY(marked(*m_window, tab));
    }

    // Read-only tabs refuse the commands that add; the others work as before.
    void readOnlyTab()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"a", "b"}) + "</entry>");
        QVERIFY(tab);
        tab->setProperty("ReadOnly", true);
        QApplication::clipboard()->setText("p");
        m_prompt->textAnswers << "n" << "n";
        m_window->newTemplateContentAct->trigger();
        m_window->pasteClipboardToTemplateContentAct->trigger();
        m_window->newTemplateParagraphAct->trigger();
        m_window->newTemplateChildParagraphAct->trigger();
        QCOMPARE(m_prompt->texts.filter("当前模板是只读模式，如要修改此模板，请取消只读模式！").size(), 4);
        QCOMPARE(m_prompt->textQuestions.size(), 0);
        QCOMPARE(outline(tab), QStringList({"A", "  (·a)", "  (·b)"}));
        QVERIFY(!marked(*m_window, tab));
        tab->getListWidget()->setCurrentRow(0);
        m_window->editTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"n", "b"}));
    }

    // New entries from the dialogs and from the editor's selection; the title;
    // the marker around the selection, undone in one step.
    void entriesTitleAndMarker()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"a"}) + "</entry><entry title=\"B\"/>");
        QVERIFY(tab);
        TreeWidget* tree = tab->getTreeWidget();
        m_prompt->textAnswers << "" << "N";
        m_window->newTemplateParagraphAct->trigger();
        QCOMPARE(m_prompt->texts.last(), QString("内容不能为空，请重试。"));
        m_prompt->textAnswers << "子";
        m_window->newTemplateChildParagraphAct->trigger();

        m_window->newFile();
        MdiChild* editor = m_window->activeMdiChild();
        editor->setPlainText("甲\n\n乙");
        editor->selectAll();
        m_window->newTemplateParagraphFromSelection();
        QCOMPARE(outline(tab), QStringList({"A", "  (·a)", "  子", "甲", "乙", "N", "B"}));
        m_window->newTemplateContentFromSelection();
        QCOMPARE(rows(tab), QStringList({"a", "甲", "乙"}));

        m_prompt->textAnswers << "" << "新标题";
        m_window->editTemplateTitleAct->trigger();
        QCOMPARE(m_prompt->texts.last(), QString("模板标题不能为空, 请输入模板标题!"));
        QCOMPARE(m_prompt->textQuestions.last(), QString("修改模板标题|请输入新模板标题:|t"));
        QCOMPARE(m_window->mainTabWidget->tabText(m_window->mainTabWidget->indexOf(tab)), QString("*新标题"));
        QCOMPARE(tab->title(), QString("新标题"));
        QCOMPARE(tree->topLevelItemCount(), 5);

        editor->setPlainText("天空很蓝");
        selectText(editor, 0, 2);
        m_window->addTemplateMarker();
        QCOMPARE(editor->toPlainText(), QString("[天空]很蓝"));
        editor->undo();
        QCOMPARE(editor->toPlainText(), QString("天空很蓝"));
    }
};

TQ_TEST_MAIN(TemplateEditingTest)
#include "tst_templateediting.moc"
