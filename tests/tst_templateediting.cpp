// The editing commands of a template tab, run through their actions as a click
// would: where new contents go, the questions asked again, removing and editing
// by row with repeated texts and child entries, sorting and removing repeats,
// copying and pasting entries, read-only tabs, records of generated text and
// repeats at every depth, titles and commands that work from the editor's selection.

#include <QAction>
#include <QApplication>
#include <QClipboard>

#include "MdiChild.h"
#include "SharedCodes.h"
#include "TemplateContents.h"
#include "TemplateItemRef.h"
#include "TemplateWindowTest.h"
#include "TreeWidget.h"

namespace {

// The outline: entries plain, contents as "·text", hidden ones as "(·text)".
QStringList outline(TemplateDialog* tab)
{
    return treeLines(*tab->getTreeWidget(), [](const QTreeWidgetItem* item) {
        const QString text = "·" + item->text(0);
        return TreeWidget::isEntry(item) ? item->text(0) : item->isHidden() ? "(" + text + ")" : text;
    });
}

} // namespace

class TemplateEditingTest : public TemplateWindowTest
{
    Q_OBJECT

private slots:
    void init() { QVERIFY(startWindow()); }
    void cleanup() { stopWindow(); }

    // New contents go after the current row in tree and list alike, also when
    // a child entry stands between the contents; an empty list fills from row 0.
    void insertPositions()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"c0", "c1"}) + entry("子", {"z"})
                                   + contents({"c2", "c3"}) + "</entry>" + entry("B", {}));
        QVERIFY(tab);
        tab->getListWidget()->setCurrentRow(-1);
        m_prompt->textAnswers << "n0";
        m_window->newTemplateContentAct->trigger();
        QVERIFY(marked(tab));
        tab->getListWidget()->setCurrentRow(2);
        QApplication::clipboard()->setText("a\r\nb\n\tc");
        m_window->pasteClipboardToTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"n0", "c0", "c1", "a", "b", "c", "c2", "c3"}));
        QCOMPARE(outline(tab), QStringList({"A", "  (·n0)", "  (·c0)", "  (·c1)", "  (·a)", "  (·b)", "  (·c)",
                                            "  子", "    (·z)", "  (·c2)", "  (·c3)", "B"}));
        tab->getTreeWidget()->setCurrentItem(tab->getTreeWidget()->topLevelItem(1));
        m_window->pasteClipboardToTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"a", "b", "c"}));
    }

    // Empty, repeated and unchanged texts: asked again with a red note, or nothing.
    void askingAgain()
    {
        TemplateDialog* tab = open(entry("A", {"c0", "c1", "c2"}));
        QVERIFY(tab);
        m_prompt->textAnswers << "" << "c0" << "新";
        m_window->newTemplateContentAct->trigger();
        QCOMPARE(m_prompt->textQuestions.value(0), QString("新条目|请键入新的条目内容：|新条目"));
        QVERIFY(m_prompt->textQuestions.value(1).contains("<font color=\"#FF0000\">内容不能为空。</font><br>"));
        QVERIFY(m_prompt->textQuestions.value(2).contains("内容重复，请重新输入内容。"));
        QVERIFY(m_prompt->textQuestions.value(2).endsWith("|c0"));
        QCOMPARE(rows(tab), QStringList({"c0", "新", "c1", "c2"}));
        // Not interactive, a repeat goes without a question.
        m_window->newTemplateContent("c1", QString(), false);
        QCOMPARE(m_prompt->textQuestions.size(), 3);
        QCOMPARE(rows(tab).size(), 4);

        m_window->setTemplateModified(false, m_window->mainTabWidget->indexOf(tab));
        tab->getListWidget()->setCurrentRow(2);
        m_prompt->textAnswers << "c1" << "" << "c2" << "改";
        m_window->editTemplateContentAct->trigger();
        QVERIFY(!marked(tab));
        m_window->editTemplateContentAct->trigger();
        QVERIFY(m_prompt->textQuestions.value(5).endsWith("内容不能为空。</font><br>请键入新的条目内容：|c1"));
        QVERIFY(m_prompt->textQuestions.value(6).contains("内容重复"));
        QCOMPARE(outline(tab), QStringList({"A", "  (·c0)", "  (·新)", "  (·改)", "  (·c2)"}));
        QVERIFY(marked(tab));
        tab->getListWidget()->setCurrentRow(-1);
        m_window->editTemplateContentAct->trigger();
        QCOMPARE(m_prompt->texts.last(), QString("已选择的条目为空, 请选择要编辑的条目."));
    }

    // Removing and editing act on the rows chosen, never on texts: repeated
    // texts elsewhere and a child entry of the same title stay.
    void removeAndEditByRow()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"x", "y", "x"}) + entry("x", {"in"}) + "</entry>"
                                   + entry("B", {}) + entry("C", {}));
        QVERIFY(tab);
        tab->getListWidget()->setCurrentRow(2);
        m_prompt->textAnswers << "w";
        m_window->editTemplateContentAct->trigger();
        tab->getListWidget()->setCurrentRow(0);
        m_prompt->answers << ScriptedPrompt::Answer{QMessageBox::No, false};
        m_window->removeTemplateContentAct->trigger();
        QCOMPARE(rows(tab).size(), 3);
        yes();
        m_window->removeTemplateContentAct->trigger();
        QCOMPARE(outline(tab), QStringList({"A", "  (·y)", "  (·w)", "  x", "    (·in)", "B", "C"}));

        // Entries: the nearest unselected item below is current afterwards, else the one above.
        TreeWidget* tree = tab->getTreeWidget();
        tree->setCurrentItem(tree->topLevelItem(1));
        for (const QString& next : QStringList{"C", "A"}) {
            yes();
            m_window->removeTemplateParagraphAct->trigger();
            QCOMPARE(tree->currentItem()->text(0), next);
        }
        tree->selectAll();
        yes();
        m_window->removeTemplateParagraphAct->trigger();
        QVERIFY(!tree->currentItem() && tree->topLevelItemCount() == 0);
        yes();
        m_window->removeTemplateContentAct->trigger(); // nothing to fall back on
    }

    // Entries chosen together with entries below them: each goes once, with
    // everything below it, and what was not chosen stays where it was.
    void removeNestedSelections_data()
    {
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("next"); // current afterwards: the nearest entry below that stays
        QTest::newRow("parent and child") << QStringList{"A", "A/A1"} << QStringList{"B", "  (·b)"} << "B";
        QTest::newRow("child and grandchild")
            << QStringList{"A/A1/A11", "A/A1"} << QStringList{"A", "  (·a)", "  A2", "    (·y)", "B", "  (·b)"} << "A2";
        QTest::newRow("two siblings") << QStringList{"A/A2", "A/A1"} << QStringList{"A", "  (·a)", "B", "  (·b)"} << "B";
        QTest::newRow("whole subtree") << QStringList{"A", "A/A1", "A/A1/A11", "A/A2"} << QStringList{"B", "  (·b)"} << "B";
        QTest::newRow("everything") << QStringList{"B", "A/A1/A11", "A", "A/A2", "A/A1"} << QStringList{} << QString();
    }
    void removeNestedSelections()
    {
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, left);
        QFETCH(QString, next);
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"a"}) + "<entry title=\"A1\">" + contents({"x"})
                                   + entry("A11", {"z"}) + "</entry>" + entry("A2", {"y"}) + "</entry>" + entry("B", {"b"}));
        QVERIFY(tab);
        TreeWidget* tree = tab->getTreeWidget();
        tree->expandAll();
        auto find = [tree](const QString& path) {
            QTreeWidgetItem* item = nullptr;
            for (const QString& title : path.split('/')) {
                QTreeWidgetItem* parent = item;
                item = nullptr;
                const int count = parent ? parent->childCount() : tree->topLevelItemCount();
                for (int i = 0; i < count && !item; ++i) {
                    QTreeWidgetItem* child = parent ? parent->child(i) : tree->topLevelItem(i);
                    if (child->text(0) == title && TreeWidget::isEntry(child))
                        item = child;
                }
            }
            return item;
        };
        tree->clearSelection();
        for (const QString& path : chosen) {
            QTreeWidgetItem* item = find(path);
            QVERIFY2(item, qPrintable(path));
            item->setSelected(true);
        }
        tree->setCurrentItem(find(chosen.last()), 0, QItemSelectionModel::NoUpdate);
        QCOMPARE(tree->selectedItems().size(), chosen.size());
        yes();
        m_window->removeTemplateParagraphAct->trigger();
        QCOMPARE(outline(tab), left);
        QVERIFY(marked(tab));
        QCOMPARE(tree->currentItem() ? tree->currentItem()->text(0) : QString(), next);
    }

    void sortAndRemoveRepeats()
    {
        TemplateDialog* tab = open(entry("A", {"x", "y", "x", "x"}) + "<entry title=\"B\">" + contents({"乙", "甲"})
                                   + entry("子", {}) + contents({"丙", "甲"}) + "</entry>");
        QVERIFY(tab);
        m_window->removeDuplicateTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"x", "y"}));
        QCOMPARE(m_prompt->texts.last(), QString("2 条重复条目被剔除!"));
        QCOMPARE(m_window->removeDuplicateTemplateContent(tab, true), 0);
        QCOMPARE(m_prompt->texts.last(), QString("没有发现重复条目!"));

        tab->getTreeWidget()->setCurrentItem(tab->getTreeWidget()->topLevelItem(1));
        for (const QString& message : QStringList{"排序完成!", "无需重新排序,当前顺序已经排序!"}) {
            m_window->setTemplateModified(false, m_window->mainTabWidget->indexOf(tab));
            m_window->sortTemplateContentAct->trigger();
            QCOMPARE(m_prompt->texts.last(), message);
            QCOMPARE(marked(tab), message == "排序完成!");
        }
        QStringList sorted{"乙", "甲", "丙", "甲"};
        std::stable_sort(sorted.begin(), sorted.end(), localeAwareLessThan);
        QCOMPARE(rows(tab), sorted);
        QCOMPARE(sorted.indexOf("甲") + 1, sorted.lastIndexOf("甲"));
        // The contents take the new order where they stand; the child entry keeps its place.
        QCOMPARE(outline(tab).mid(5, 3), QStringList({"  (·" + sorted.at(1) + ")", "  子", "  (·" + sorted.at(2) + ")"}));
    }

    // Many rows at once take another path through the tree: still in step with
    // the list, contents hidden, the child entry where it was and still expanded.
    void manyRowsAtOnce()
    {
        QStringList texts, unique;
        quint32 seed = 7;
        for (int i = 0; i < 400; ++i) {
            seed = seed * 1103515245u + 12345u;
            texts << QString::number(seed >> 16 & 127);
            if (!unique.contains(texts.last()))
                unique << texts.last();
        }
        TemplateDialog* tab = open("<entry title=\"A\">" + contents(texts.mid(0, 200)) + entry("子", {"z"})
                                   + contents(texts.mid(200)) + "</entry>");
        QVERIFY(tab);
        QTreeWidgetItem* child = tab->getTreeWidget()->topLevelItem(0)->child(200);
        child->setExpanded(true);
        auto inStep = [&]() {
            QStringList tree = outline(tab).mid(1);
            return tree.removeAll("  子") == 1 && tree.removeAll("    (·z)") == 1
                && tree.replaceInStrings(QRegularExpression("^  \\(·(.*)\\)$"), "\\1") == rows(tab) && child->isExpanded();
        };
        QCOMPARE(m_window->removeDuplicateTemplateContent(tab, false), texts.size() - unique.size());
        QCOMPARE(rows(tab), unique);
        QVERIFY(inStep());
        for (int row = unique.size() - 1; row >= 0; row -= 2) {
            tab->getListWidget()->item(row)->setSelected(true);
            unique.removeAt(row);
        }
        yes();
        m_window->removeTemplateContentAct->trigger();
        QCOMPARE(rows(tab), unique);
        QVERIFY(inStep());
    }

    // The copy is taken when copying: pasting after the original went is safe.
    void copyRemovePaste()
    {
        m_window->pasteTemplateParagraphAct->trigger();
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"a"}) + entry("子", {"z"}) + "</entry>" + entry("B", {}));
        QVERIFY(tab);
        QCOMPARE(tab->getTreeWidget()->topLevelItemCount(), 2);
        m_window->copyTemplateParagraphAct->trigger();
        yes();
        m_window->removeTemplateParagraphAct->trigger();
        m_window->setTemplateModified(false, m_window->mainTabWidget->indexOf(tab));
        m_window->pasteTemplateParagraphAct->trigger();
        QCOMPARE(outline(tab), QStringList({"B", "A", "  (·a)", "  子", "    (·z)"}));
        QVERIFY(marked(tab));
    }

    // Read-only tabs refuse the commands that add; editing is not refused.
    void readOnlyTab()
    {
        TemplateDialog* tab = open(entry("A", {"a", "b"}));
        QVERIFY(tab);
        tab->setProperty("ReadOnly", true);
        QApplication::clipboard()->setText("p");
        m_prompt->textAnswers << "n" << "n";
        for (QAction* action : {m_window->newTemplateContentAct, m_window->pasteClipboardToTemplateContentAct,
                                m_window->newTemplateParagraphAct, m_window->newTemplateChildParagraphAct})
            action->trigger();
        QCOMPARE(m_prompt->texts.filter("当前模板是只读模式，如要修改此模板，请取消只读模式！").size(), 4);
        QCOMPARE(outline(tab), QStringList({"A", "  (·a)", "  (·b)"}));
        QVERIFY(!marked(tab));
        tab->getListWidget()->setCurrentRow(0);
        m_window->editTemplateContentAct->trigger();
        QCOMPARE(rows(tab), QStringList({"n", "b"}));
    }

    // What a generated paragraph's record names is selected: by the tree's own
    // model index, else by {entry in pre-order, child}; a child entry becomes
    // current, a content the list row. Repeats go at every depth.
    void recordsAndRepeats()
    {
        TemplateDialog* tab = open("<entry title=\"A\">" + contents({"a", "x", "a"}) + "<entry title=\"A1\">"
                                   + contents({"y", "y"}) + "</entry>" + contents({"b"}) + "</entry>" + entry("B", {"c"}));
        QVERIFY(tab);
        TreeWidget* tree = tab->getTreeWidget();
        QCOMPARE(TemplateContents::entryAt(tree, 1)->text(0), QString("A1"));
        QCOMPARE(TemplateContents::entryAt(tree, 2)->text(0), QString("B"));
        QVERIFY(!TemplateContents::entryAt(tree, 3) && !TemplateContents::entryAt(tree, -1));

        tab->selectRecord(TemplateItemRef(TEMPLATE_TYPE_TQW_FILE, "t", {0, 4}));
        QCOMPARE(tree->currentItem()->text(0), QString("A"));
        QCOMPARE(tab->getListWidget()->currentItem()->text(), QString("b"));
        tab->selectRecord(TemplateItemRef(TEMPLATE_TYPE_TQW_FILE, "t", {0, 3}));
        QCOMPARE(tree->currentItem()->text(0), QString("A1"));
        QTreeWidgetItem* c = tree->topLevelItem(1)->child(0);
        tab->selectRecord(TemplateItemRef(TEMPLATE_TYPE_TQW_FILE, "t", {0, 0}, tree->indexForItem(c)));
        QCOMPARE(tree->currentItem()->text(0), QString("B"));
        QCOMPARE(tab->getListWidget()->currentRow(), 0);

        TemplateContents::removeRepeatedContents(tree->topLevelItem(0));
        QCOMPARE(outline(tab).mid(0, 7),
                 QStringList({"A", "  (·a)", "  (·x)", "  A1", "    (·y)", "  (·b)", "B"}));

        tree->setCurrentItem(nullptr);
        TemplateContents::addChildEntries(tree, {"一", "二"});
        QCOMPARE(tree->topLevelItem(0)->text(0), QString("二"));
        tree->setCurrentItem(tree->topLevelItem(1));
        TemplateContents::addChildEntries(tree, {"三", "四"});
        QCOMPARE(outline(tab).mid(0, 5), QStringList({"二", "一", "  三", "  四", "A"}));
    }

    // New entries from the dialogs and from the editor's selection; the title;
    // the marker around the selection, undone in one step.
    void entriesTitleAndMarker()
    {
        TemplateDialog* tab = open(entry("A", {"a"}) + entry("B", {}));
        QVERIFY(tab);
        m_prompt->textAnswers << "" << "N" << "子";
        m_window->newTemplateParagraphAct->trigger();
        QCOMPARE(m_prompt->texts.last(), QString("内容不能为空，请重试。"));
        m_window->newTemplateChildParagraphAct->trigger();
        m_window->newFile();
        MdiChild* editor = m_window->activeMdiChild();
        editor->setPlainText("甲\n\n乙");
        editor->selectAll();
        m_window->newTemplateParagraphFromSelection();
        m_window->newTemplateContentFromSelection();
        QCOMPARE(outline(tab), QStringList({"A", "  (·a)", "  (·甲)", "  (·乙)", "  子", "甲", "乙", "N", "B"}));

        m_prompt->textAnswers << "" << "新标题";
        m_window->editTemplateTitleAct->trigger();
        QCOMPARE(m_prompt->texts.last(), QString("模板标题不能为空, 请输入模板标题!"));
        QCOMPARE(m_prompt->textQuestions.last(), QString("修改模板标题|请输入新模板标题:|t"));
        QCOMPARE(m_window->mainTabWidget->tabText(m_window->mainTabWidget->indexOf(tab)), QString("*新标题"));
        QCOMPARE(tab->title(), QString("新标题"));

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
