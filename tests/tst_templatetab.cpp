// The template tab on its own: matching, filtering, stepping through hits,
// replacing, the search history, the context menus of the tree and the list,
// and drags from the list onto the tree and inside the list.

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include <memory>

#include "DomParser.h"
#include "ListWidget.h"
#include "MdiChild.h"
#include "SettingsStore.h"
#include "TemplateDialog.h"
#include "TestSupport.h"
#include "TreeWidget.h"

namespace {

// A tab filled from template XML, its first entry current as the window would make it.
struct Page
{
    explicit Page(const QString& body)
    {
        const QByteArray xml = ("<template title=\"t\">" + body + "</template>").toUtf8();
        DomParser parser(tab.getTreeWidget());
        if (!parser.readData(xml) || !parser.buildTree())
            qFatal("bad test template");
        select(tab.getTreeWidget()->topLevelItem(0));
        tab.resize(900, 600);
    }
    void select(QTreeWidgetItem* entry)
    {
        tab.getTreeWidget()->setCurrentItem(entry);
        tab.showContentsOf(entry);
        tab.onSearchComboBoxCurrentTextChanged(QString());
    }
    template <typename T>
    T* get(const char* name)
    {
        return tab.findChild<T*>(QLatin1String(name));
    }
    void type(const QString& text) { get<QComboBox>("searchComboBox")->setEditText(text); }
    void click(const char* button) { get<QPushButton>(button)->click(); }
    QStringList shownRows()
    {
        QStringList rows;
        ListWidget* list = tab.getListWidget();
        for (int i = 0; i < list->count(); ++i)
            if (!list->isRowHidden(i))
                rows << list->item(i)->text();
        return rows;
    }
    QStringList paintedRows()
    {
        QStringList rows;
        ListWidget* list = tab.getListWidget();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->background().color() == QColor("lightblue"))
                rows << list->item(i)->text();
        return rows;
    }
    QString currentRow()
    {
        QListWidgetItem* item = tab.getListWidget()->currentItem();
        return item ? item->text() : QString("<none>");
    }
    TemplateDialog tab;
};

QString contents(const QStringList& texts)
{
    QString body;
    for (const QString& text : texts)
        body += "<content>" + text.toHtmlEscaped() + "</content>";
    return body;
}

void setSelectors(Page& page, bool user, int code)
{
    if (user) {
        page.get<QRadioButton>("userRadioButton")->setChecked(true);
        auto* box = page.get<QComboBox>("matchFlagUserComboBox");
        box->setCurrentIndex(box->findData(code));
    } else {
        page.get<QRadioButton>("operRadioButton")->setChecked(true);
        auto* box = page.get<QComboBox>("matchFlagOperComboBox");
        box->setCurrentIndex(box->findData(code));
    }
}

// Drops the list's selected rows at a point of a view, as a drag from the list
// delivers them.
void dropSelectedRows(ListWidget* list, QAbstractItemView* target, const QPoint& position)
{
    std::unique_ptr<QMimeData> data(list->model()->mimeData(list->selectionModel()->selectedIndexes()));
    QWidget* viewport = target->viewport();
    const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    QDragEnterEvent enter(position, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDragMoveEvent move(position, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    if (!enter.isAccepted() || !move.isAccepted())
        return;
    QDropEvent drop(position, actions, data.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &drop);
    // What the list is told: a copy, so it keeps its rows.
    QCOMPARE(drop.dropAction(), Qt::CopyAction);
}

void rightClick(QAbstractItemView* view, const QPoint& position)
{
    QTest::mouseClick(view->viewport(), Qt::RightButton, Qt::NoModifier, position);
}

QStringList actionTexts(const QWidget* widget)
{
    QStringList texts;
    for (QAction* action : widget->actions())
        texts << (action->isSeparator() ? QString("-") : action->text());
    return texts;
}

} // namespace

class TemplateTabTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        currentTemplateType = 0;
    }

    void matching_data()
    {
        QTest::addColumn<bool>("user");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("keywords");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("matched");
        QTest::newRow("与, no keyword") << false << 512 << "" << "x" << true;
        QTest::newRow("或, no keyword") << false << 513 << "  " << "x" << true;
        QTest::newRow("与, one") << false << 512 << "春" << "春天" << true;
        QTest::newRow("与, both present, any case") << false << 512 << "春 ab" << "AB春" << true;
        QTest::newRow("与, one missing") << false << 512 << "春 风" << "春天" << false;
        QTest::newRow("或, one present") << false << 513 << "春 风" << "大风" << true;
        QTest::newRow("或, none present") << false << 513 << "春 风" << "夏雨" << false;
        QTest::newRow("starts with either") << true << 2 << "春 夏" << "夏天" << true;
        QTest::newRow("starts, any case") << true << 2 << "ab" << "ABC" << true;
        QTest::newRow("starts with neither") << true << 2 << "春 夏" << "秋天" << false;
        QTest::newRow("starts, no keyword") << true << 2 << "" << "秋天" << false;
        QTest::newRow("ends with") << true << 3 << "天" << "夏天" << true;
        QTest::newRow("ends, not") << true << 3 << "夏" << "夏天" << false;
        QTest::newRow("one character, text ignored") << true << 514 << "xyz" << "春" << true;
        QTest::newRow("two characters") << true << 515 << "" << "春天" << true;
        QTest::newRow("two, not one") << true << 515 << "" << "春" << false;
        QTest::newRow("two code units") << true << 515 << "" << QString::fromUtf8("\xf0\xa0\x80\x80") << true;
        QTest::newRow("three") << true << 516 << "" << "三个字" << true;
        QTest::newRow("four") << true << 517 << "" << "四个字啊" << true;
        QTest::newRow("more than four") << true << 518 << "" << "五个字啊啊" << true;
        QTest::newRow("more than four, four") << true << 518 << "" << "四个字啊" << false;
    }
    void matching()
    {
        QFETCH(bool, user);
        QFETCH(int, code);
        QFETCH(QString, keywords);
        QFETCH(QString, text);
        QFETCH(bool, matched);
        Page page("<entry title=\"e\"><content>x</content></entry>");
        setSelectors(page, user, code);
        QCOMPARE(page.tab.isMatched(text, keywords), matched);
        // The length flags need no search text.
        QCOMPARE(page.get<QComboBox>("searchComboBox")->isEnabled(), !user || code <= 513);
    }

    // Typing filters and paints; the toggle shows everything again with the hits
    // still painted; the tree paints the entries holding the (trimmed) text.
    void filterAndPaint()
    {
        Page page("<entry title=\"甲\">" + contents({"春风", "夏雨", "春天的风", "秋"}) + "</entry>"
                  + "<entry title=\"乙\"><content>风</content></entry><entry title=\"丙\"><content>雪</content></entry>");
        auto* filter = page.get<QPushButton>("filterPushButton");
        page.type("春 风");
        QCOMPARE(page.shownRows(), QStringList({"春风", "春天的风"}));
        QCOMPARE(page.paintedRows(), QStringList({"春风", "春天的风"}));
        QCOMPARE(filter->text(), QString("全部"));
        QCOMPARE(page.get<QLabel>("contentListInfoLabel")->text(), QString("当前: 1, 搜索结果: 2, 总共: 4"));
        filter->click();
        QCOMPARE(filter->text(), QString("结果"));
        QCOMPARE(page.shownRows().size(), 4);
        QCOMPARE(page.paintedRows(), QStringList({"春风", "春天的风"}));

        page.type(" 风 ");
        TreeWidget* tree = page.tab.getTreeWidget();
        QStringList painted;
        for (int i = 0; i < 3; ++i)
            if (tree->topLevelItem(i)->background(0).color() == QColor("lightblue"))
                painted << tree->topLevelItem(i)->text(0);
        QCOMPARE(painted, QStringList({"甲", "乙"}));
        page.type("");
        QCOMPARE(page.shownRows().size(), 4);
        QVERIFY(page.paintedRows().isEmpty());
        QVERIFY(tree->topLevelItem(0)->background(0).style() == Qt::NoBrush);
    }

    // Plain text, never a pattern; both directions wrap; no hit ends after one pass.
    void nextAndPrevious()
    {
        Page page("<entry title=\"e\">" + contents({"1+1=2", "(甲)", "11", "x(甲)", "1+1"}) + "</entry>");
        ListWidget* list = page.tab.getListWidget();
        page.type("1+1");
        list->setCurrentRow(4);
        QVERIFY(page.tab.searchNext());
        QCOMPARE(list->currentRow(), 0);
        QVERIFY(page.tab.searchPrev());
        QCOMPARE(list->currentRow(), 4);
        page.type("(甲)");
        list->setCurrentRow(3);
        QVERIFY(page.tab.searchNext());
        QCOMPARE(list->currentRow(), 1);
        page.type("无此内容");
        list->setCurrentRow(-1);
        QVERIFY(!page.tab.searchNext());
        QVERIFY(!page.tab.searchPrev());
        QCOMPARE(list->currentRow(), -1);
    }

    // Replacing edits the row and its content in the tree, not the child entry
    // beside it; replace-all finds ignoring case and replaces where the case agrees.
    void replacing()
    {
        Page page("<entry title=\"Abc\">" + contents({"a春"})
                  + "<entry title=\"子\">" + contents({"春b"}) + "</entry>" + contents({"春春", "Abc"})
                  + "</entry>");
        QSignalSpy edited(&page.tab, &TemplateDialog::templateEdited);
        TreeWidget* tree = page.tab.getTreeWidget();
        QTreeWidgetItem* entry = tree->topLevelItem(0);
        ListWidget* list = page.tab.getListWidget();
        QCOMPARE(list->count(), 3);

        page.click("replaceAllPushButton"); // empty search text
        QCOMPARE(edited.count(), 0);
        page.type("春");
        page.get<QComboBox>("replaceComboBox")->setEditText("秋");
        list->setCurrentRow(1);
        page.click("replacePushButton");
        QCOMPARE(list->item(1)->text(), QString("秋秋"));
        QCOMPARE(entry->child(2)->text(0), QString("秋秋"));
        QCOMPARE(entry->child(1)->child(0)->text(0), QString("春b"));
        QCOMPARE(edited.count(), 1);

        page.type("a");
        page.get<QComboBox>("replaceComboBox")->setEditText("x");
        page.click("replaceAllPushButton");
        QCOMPARE(entry->child(0)->text(0), QString("x春"));
        QCOMPARE(entry->child(3)->text(0), QString("Abc"));
        QCOMPARE(entry->text(0), QString("Abc"));
        QCOMPARE(entry->background(0).color(), QColor("lightblue"));
        QCOMPARE(list->item(0)->text(), QString("x春"));
        QCOMPARE(edited.count(), 2);
        QVERIFY(entry->child(0)->isHidden());
    }

    // Both histories are kept in item order, past ten items when allowed.
    void historyOrder()
    {
        Settings settings;
        settings.setValue("RecentSearchNumberMax", 15);
        for (int i = 0; i < 12; ++i)
            settings.setValue(QString("TemplateDialogSearchString/%1").arg(i), QString("s%1").arg(i));
        settings.sync();
        {
            Page page("<entry title=\"e\"><content>x</content></entry>");
            auto* search = page.get<QComboBox>("searchComboBox");
            QCOMPARE(search->count(), 12);
            QCOMPARE(search->itemText(2), QString("s2"));
            QCOMPARE(search->itemText(11), QString("s11"));
            QCOMPARE(search->currentText(), QString());
            page.type("新");
            page.get<QComboBox>("replaceComboBox")->setEditText("替");
            page.click("nextPushButton");
        }
        Page again("<entry title=\"e\"><content>x</content></entry>");
        auto* search = again.get<QComboBox>("searchComboBox");
        QCOMPARE(search->count(), 13);
        QCOMPARE(search->itemText(0), QString("新"));
        QCOMPARE(search->itemText(12), QString("s11"));
        QCOMPARE(again.get<QComboBox>("replaceComboBox")->itemText(0), QString("替"));
    }

    // Read-only pages keep only the copy commands; atom entries are made afresh
    // at each right click; tooltips show long contents as text.
    void contextMenus()
    {
        Page page("<entry title=\"e\">" + contents({"[形容][形容]天空[人物]", "普通", "<b>" + QString(80, QChar(0x957F))})
                  + "</entry><entry title=\"f\"/>");
        page.tab.show();
        TreeWidget* tree = page.tab.getTreeWidget();
        ListWidget* list = page.tab.getListWidget();
        QAction copyEntry("复制条目"), newEntry("新增条目"), copy("复制"), newContent("新增条目"), remove("删除选定条目");
        newContent.setData(1);
        tree->addActions({&newEntry, &copyEntry});
        list->addActions({&newContent, &copy, &remove});

        page.tab.setProperty("ReadOnly", true);
        rightClick(tree, tree->visualItemRect(tree->topLevelItem(0)).center());
        QVERIFY(copyEntry.isEnabled() && !newEntry.isEnabled());
        list->setCurrentRow(0);
        const QPoint first = list->visualItemRect(list->item(0)).center();
        rightClick(list, first);
        QVERIFY(copy.isEnabled() && !newContent.isEnabled() && !remove.isEnabled());
        page.tab.setProperty("ReadOnly", false);
        rightClick(list, first);
        rightClick(tree, tree->visualItemRect(tree->topLevelItem(0)).center());
        QVERIFY(newContent.isEnabled() && remove.isEnabled() && newEntry.isEnabled());
        QCOMPARE(actionTexts(list), QStringList({"新增条目", "复制", "删除选定条目", "打开原子模板: 形容",
                                                 "打开原子模板: 人物", "用本条目生成"}));
        QCOMPARE(list->actions().last()->property("content").toString(), list->item(0)->text());
        QSignalSpy opened(list, &ListWidget::atomTemplateRequested);
        list->actions().at(3)->trigger();
        QCOMPARE(opened.count(), 1);
        QCOMPARE(opened.first().at(0).toString(), QString("形容"));

        rightClick(list, list->visualItemRect(list->item(1)).center());
        QCOMPARE(actionTexts(list), QStringList({"新增条目", "复制", "删除选定条目"}));
        QCOMPARE(ListWidget::atomTemplateNames("[]"), QStringList());
        QCOMPARE(ListWidget::atomTemplateNames("[][x]"), QStringList({"x"}));
        QCOMPARE(ListWidget::atomTemplateNames("没有方括号"), QStringList());

        list->onItemEntered(list->item(2));
        QVERIFY(list->item(2)->toolTip().contains("&lt;b&gt;"));
        list->onItemEntered(list->item(1));
        QVERIFY(list->item(1)->toolTip().isEmpty());

        // Escape leaves the page open.
        QTest::keyClick(&page.tab, Qt::Key_Escape);
        QVERIFY(page.tab.isVisible());
    }

    // The expansion entries stand before "新增条目" and expand once per click.
    void expansionEntries()
    {
        Page page("<entry title=\"e\">" + contents({"非常", "[形容]"}) + "</entry>");
        page.tab.show();
        ListWidget* list = page.tab.getListWidget();
        MdiChild editor;
        editor.setHtml("<p><a href=\"美丽#1\">美丽</a>的花</p>");
        editor.anchor = "美丽#1";
        list->setActiveEditorSource([&editor]() { return &editor; });
        QAction newContent("新增条目"), copy("复制");
        newContent.setData(1);
        list->addActions({&copy, &newContent});
        currentTemplateType = 2;
        list->setCurrentRow(0);
        for (int i = 0; i < 2; ++i)
            rightClick(list, list->visualItemRect(list->item(0)).center());
        QCOMPARE(actionTexts(list), QStringList({"复制", "前置修饰: 非常 美丽", "后置修饰: 美丽 非常",
                                                 "替换: 美丽 -> 非常", "-", "新增条目"}));
        list->replaceAction()->trigger();
        QCOMPARE(editor.toPlainText(), QString("非常的花"));

        QAction* before = list->actions().at(1);
        rightClick(list, list->visualItemRect(list->item(1)).center());
        QCOMPARE(list->actions().at(1), before); // a bracketed content changes nothing
    }

    // A drop from the list lands once under the entry as hidden contents; a
    // drop beyond the last entry or on the list's own entry is refused; a
    // reordered list is carried back into the entry.
    void dragAndDrop()
    {
        Page page("<entry title=\"甲\">" + contents({"一", "二", "三"}) + "<entry title=\"子\"/></entry><entry title=\"乙\">"
                  + contents({"四"}) + "</entry>");
        page.tab.show();
        TreeWidget* tree = page.tab.getTreeWidget();
        ListWidget* list = page.tab.getListWidget();
        QSignalSpy dropped(tree, &TreeWidget::dropped);
        QSignalSpy edited(&page.tab, &TemplateDialog::templateEdited);
        QTreeWidgetItem* first = tree->topLevelItem(0);
        QTreeWidgetItem* second = tree->topLevelItem(1);

        list->item(1)->setSelected(true);
        dropSelectedRows(list, tree, tree->visualItemRect(second).center());
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(second->childCount(), 2);
        QCOMPARE(second->child(1)->text(0), QString("二"));
        QCOMPARE(second->child(1)->data(0, Qt::UserRole).toString(), QString("content"));
        QCOMPARE(second->child(1)->text(1), QString("content"));
        QVERIFY(second->child(1)->isHidden());
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(list->count(), 3);

        const QRect last = tree->visualItemRect(second);
        dropSelectedRows(list, tree, QPoint(last.center().x(), last.bottom() + 40));
        dropSelectedRows(list, tree, tree->visualItemRect(first).center());
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(second->childCount(), 2);
        QCOMPARE(first->childCount(), 4);

        // A drop from another page's list is not this page's to take.
        Page other("<entry title=\"外\"><content>外来</content></entry>");
        other.tab.getListWidget()->item(0)->setSelected(true);
        dropSelectedRows(other.tab.getListWidget(), tree, tree->visualItemRect(second).center());
        QCOMPARE(second->childCount(), 2);
        QCOMPARE(dropped.count(), 1);

        list->insertItem(0, list->takeItem(2));
        page.tab.syncContentsFromList(first);
        QStringList order;
        for (int i = 0; i < first->childCount(); ++i)
            order << first->child(i)->text(0);
        QCOMPARE(order, QStringList({"三", "一", "二", "子"}));
        QVERIFY(first->child(0)->isHidden() && !first->child(3)->isHidden());
    }
};

TQ_TEST_MAIN(TemplateTabTest)
#include "tst_templatetab.moc"
