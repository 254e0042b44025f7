// Word pop-ups and the clipboard history: the history's order, size limit and
// paste actions; filling, sizing and placing the pop-up for the history, word
// lists from real word tables and the magic lamp; and what choosing an entry does
// to the text: at the cursor, over a selection, through a marked word's link and
// as an atom expansion. With real pointer and key events: where keys go once a
// list hides, rows that cannot be chosen, and double clicks.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QScrollBar>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStyledItemDelegate>
#include <QTextBlock>
#include <QUuid>

#include "ContextListWidget.h"
#include "Embellish.h"
#include "GlobalActions.h"
#include "ListWidget.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "SharedCodes.h"
#include "TemplateDialog.h"
#include "TestSupport.h"
#include "WordDatabaseCatalogue.h"

namespace {

// Word tables made for this test in Dictionary/ of a temporary folder, which is
// the current folder while the object lives.
class Dictionary : public TemporaryDictionary
{
public:
    Dictionary() : TemporaryDictionary("popups") {}

    void add(uint code, const QStringList& columns, const QList<QStringList>& rows)
    {
        QList<QVariantList> values;
        for (const QStringList& row : rows) {
            QVariantList value;
            for (const QString& text : row)
                value << text;
            values << value;
        }
        TemporaryDictionary::add(code, columns, values, false);
    }
};

QStringList texts(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

QStringList marksAndBlocks(const QTextDocument* document)
{
    return marksOfBlocks(document, true);
}

// The middle of the first mark whose target starts with prefix, in viewport coordinates.
QPoint markPoint(QTextEdit* editor, const QString& prefix)
{
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorHref().startsWith(prefix)) {
                QTextCursor cursor(editor->document());
                cursor.setPosition(it.fragment().position() + 1);
                return editor->cursorRect(cursor).center();
            }
    return QPoint(-1, -1);
}

// What a list row shows of its text, laid out and cut as the view does, clipped
// to the list; empty when the start of the text lies outside the list.
QString shownText(const QListWidget* list, int row)
{
    struct Delegate : QStyledItemDelegate { using QStyledItemDelegate::initStyleOption; };
    QStyleOptionViewItem option;
    option.initFrom(list);
    option.font = list->font();
    option.rect = list->visualItemRect(list->item(row));
    const int icon = list->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, list);
    option.decorationSize = list->iconSize().isValid() ? list->iconSize() : QSize(icon, icon);
    option.textElideMode = list->textElideMode();
    Delegate().initStyleOption(&option, list->model()->index(row, 0));
    const int margin = list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1;
    const QRect text =
        list->style()->subElementRect(QStyle::SE_ItemViewItemText, &option, list).adjusted(margin, 0, -margin, 0);
    const QRect visible = text & list->viewport()->rect();
    if (visible.isEmpty() || visible.left() > text.left())
        return QString();
    QString shown = option.fontMetrics.elidedText(option.text, option.textElideMode, text.width());
    while (option.fontMetrics.horizontalAdvance(shown) > visible.width())
        shown.chop(1);
    return shown;
}

} // namespace

class WordPopupsTest : public QObject
{
    Q_OBJECT

    QScopedPointer<Dictionary> dictionary;
    QScopedPointer<MainWindow> window;
    MdiChild* child = nullptr;

    ContextListWidget* popup() const { return child->listWidget; }
    int rowHeight() const { return popup()->visualItemRect(popup()->item(0)).height(); }
    int pointSize() const { return QFontInfo(QFont()).pointSize(); }

    void choose(const QString& text, QAction* action = nullptr)
    {
        QListWidgetItem item(text);
        child->itemActivated(&item, action);
    }

    // Pointer events go through the window to whatever lies under the point.
    void mouse(QTest::MouseAction action, const QWidget* widget, const QPoint& at)
    {
        QTest::mouseEvent(action, window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window.data(), at));
    }
    void pointTo(const QPoint& inText) { mouse(QTest::MouseMove, child->viewport(), inText); }
    void onRow(QTest::MouseAction action, int row)
    {
        mouse(action, popup()->viewport(), popup()->visualItemRect(popup()->item(row)).center());
    }
    QPoint awayFromText() const { return QPoint(child->viewport()->width() - 2, child->viewport()->height() - 2); }
    // Keys go to the focus widget.
    static void press(Qt::Key key, Qt::KeyboardModifiers with = {}) { QTest::keyClick(qApp->focusWidget(), key, with); }
    static void typeKeys(const char* keys) { QTest::keyClicks(qApp->focusWidget(), keys); }
    void openHistory() { press(Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier); }

private slots:
    void initTestCase()
    {
        dictionary.reset(new Dictionary);
        dictionary->add(TEMPLATE_TYPE_SQLITE_DB_SYNONYM, {"Word01", "Word02"}, {{"高兴", "快乐"}, {"美丽", "漂亮"}});
        dictionary->add(TEMPLATE_TYPE_SQLITE_DB_ANTONYM, {"Word01", "Word02"}, {{"高兴", "悲伤"}});
        dictionary->add(TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, {"TypoWord", "Correction"},
                        {{"迫不急待", "迫不及待"}});
    }

    void cleanupTestCase() { dictionary.reset(); }

    void init()
    {
        Settings().clear();
        clipboardHistory.clear();
        currentTemplateType = 0;
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        // The editor wide enough for a list at the positions used below.
        window->resize(1280, 800);
        window->show();
        QVERIFY(QTest::qWaitForWindowActive(window.data()));
        window->newFile();
        child = window->activeMdiChild();
        QVERIFY(child);
    }

    void cleanup()
    {
        child->document()->setModified(false);
        window.reset();
        currentTemplateType = 0;
        clipboardHistory.clear();
    }

    void clipboardHistoryOrderAndLimit()
    {
        QClipboard* clipboard = QApplication::clipboard();
        clipboard->setText("one");
        clipboard->setText("two");
        clipboard->setText("one");
        QCOMPARE(clipboardHistory, (QStringList{"one", "two"}));
        for (int i = 0; i < 10; ++i)
            clipboard->setText(QString("t%1").arg(i));
        QCOMPARE(clipboardHistory.size(), clipboardHistorySize);
        QCOMPARE(clipboardHistory.first(), QString("t9"));
        QCOMPARE(clipboardHistory.last(), QString("t0"));
        QVERIFY(!clipboardHistory.contains("one"));
        QVERIFY(window->pasteAct->isEnabled());
        QVERIFY(window->pasteAsPlainTextAct->isEnabled());

        // An empty clipboard disables the paste actions and leaves the history.
        clipboard->setText(QString());
        QCOMPARE(clipboardHistory.size(), clipboardHistorySize);
        QCOMPARE(clipboardHistory.first(), QString("t9"));
        QVERIFY(!window->pasteAct->isEnabled());
        QVERIFY(!window->pasteAsPlainTextAct->isEnabled());
    }

    void clipboardHistoryPopUp()
    {
        child->setPlainText("start");
        window->pasteFromClipboardHistory();
        QVERIFY(popup()->isVisible());
        QCOMPARE(texts(popup()), QStringList{"剪贴板历史为空"});
        QCOMPARE(popup()->width(), qMax(96, popup()->widthToShow(0)));
        QCOMPARE(shownText(popup(), 0), QString("剪贴板历史为空"));
        QCOMPARE(popup()->height(), int(rowHeight() * 1.4));

        const QString longText = "start-" + QString(94, QLatin1Char('x'));
        clipboardHistory = QStringList{"short", longText};
        window->pasteFromClipboardHistory();
        QCOMPARE(texts(popup()), (QStringList{"short", longText}));
        QCOMPARE(popup()->currentRow(), 0);
        QVERIFY(!popup()->item(0)->icon().isNull());
        QVERIFY(child->viewport()->geometry().contains(popup()->geometry()));
        QCOMPARE(shownText(popup(), 0), QString("short"));
        QVERIFY(shownText(popup(), 1).startsWith("start-x"));
        QCOMPARE(popup()->height(), int(rowHeight() * 2.4));
        // It opens at the text cursor.
        const QPoint cursorCentre = child->viewport()->mapTo(child, child->cursorRect().center());
        QVERIFY((popup()->pos() - cursorCentre).manhattanLength() <= 10 || popup()->pos().x() < cursorCentre.x());

        // Choosing with the keyboard inserts at the cursor and closes the list.
        QTextCursor cursor = child->textCursor();
        cursor.movePosition(QTextCursor::End);
        child->setTextCursor(cursor);
        QTest::keyClick(popup(), Qt::Key_Return);
        QCOMPARE(child->toPlainText(), QString("startshort"));
        QVERIFY(!popup()->isVisible());

        // In a narrow editor the list lies wholly inside it, each entry shown from
        // its start; a click chooses as Return does.
        window->resize(640, 600);
        window->pasteFromClipboardHistory();
        QVERIFY(child->viewport()->geometry().contains(popup()->geometry()));
        QVERIFY(shownText(popup(), 1).startsWith("start-x"));
        QVERIFY(shownText(popup(), 1).endsWith(QChar(0x2026)));
        QTest::mouseClick(popup()->viewport(), Qt::LeftButton, Qt::NoModifier, popup()->visualItemRect(popup()->item(1)).center());
        QCOMPARE(child->toPlainText(), "startshort" + longText);
        QVERIFY(!popup()->isVisible());
    }

    // Whichever way a list hides, the keys typed next reach the text and Return
    // breaks the line: it neither corrects nor pastes.
    void keysReachTheTextAfterAListHides_data()
    {
        QTest::addColumn<bool>("history");
        QTest::addColumn<QString>("hiding");
        QTest::newRow("word list, Esc") << false << "Esc";
        QTest::newRow("word list, pointer off the mark") << false << "pointer";
        QTest::newRow("clipboard history, Esc") << true << "Esc";
        QTest::newRow("clipboard history, another window") << true << "window";
    }
    void keysReachTheTextAfterAListHides()
    {
        QFETCH(bool, history);
        QFETCH(QString, hiding);
        CurrentDir here(TestEnvironment::programDir());
        const QString sentence = "我们要再接再励，不要一愁莫展，继续努力。";
        child->setPlainText(sentence);
        blackListSpellingCheckAct->trigger();
        clipboardHistory = QStringList{"历史"};
        QTextCursor end(child->document());
        end.movePosition(QTextCursor::End);
        mouse(QTest::MouseClick, child->viewport(), child->cursorRect(end).center());
        typeKeys("x");
        if (history)
            openHistory();
        else
            pointTo(markPoint(child, "再接再励#"));
        QCOMPARE(texts(popup()), QStringList{history ? "历史" : "再接再厉"});
        QCOMPARE(QApplication::focusWidget(), popup());
        if (hiding == "Esc") {
            press(Qt::Key_Escape);
        } else if (hiding == "pointer") {
            pointTo(awayFromText());
        } else {
            QWidget other;
            other.show();
            QApplication::setActiveWindow(&other);
            QVERIFY(QTest::qWaitForWindowActive(&other));
            QApplication::setActiveWindow(window.data());
            QVERIFY(QTest::qWaitForWindowActive(window.data()));
        }
        QVERIFY(!popup()->isVisible());
        QCOMPARE(QApplication::focusWidget(), child);
        typeKeys("AB");
        press(Qt::Key_Return);
        typeKeys("C");
        QCOMPARE(child->toPlainText(), sentence + "xAB\nC");
    }

    // "剪贴板历史为空", and "没有备选条目" on a corrected word that keeps its
    // mark, are chosen neither by Return, nor a click, nor a double click.
    void rowsSayingThereIsNothingCannotBeChosen()
    {
        const auto tryToChoose = [this] {
            press(Qt::Key_Return);
            onRow(QTest::MouseClick, 0);
            onRow(QTest::MouseDClick, 0);
            QVERIFY(!child->document()->isModified());
        };
        child->setHtml("<p>我<a href=\"迫不急待#0\">迫不急待</a>地打开了信封，里面是一张照片。</p><p>第二行</p>");
        openHistory();
        QCOMPARE(texts(popup()), QStringList{"剪贴板历史为空"});
        tryToChoose();
        press(Qt::Key_Escape);

        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST;
        const QPoint mark = markPoint(child, "迫不急待#");
        pointTo(mark);
        press(Qt::Key_Return);
        child->document()->setModified(false);
        pointTo(awayFromText());
        pointTo(mark);
        QCOMPARE(texts(popup()), QStringList{"没有备选条目"});
        tryToChoose();
    }

    // A double click on an entry chooses it once, and its second click does not
    // reach the text under the list: the selection stays.
    void doubleClickChoosesOnce_data()
    {
        QTest::addColumn<bool>("history");
        QTest::addColumn<QString>("chosen");
        QTest::newRow("word list") << false << "看快乐来了，今天天气";
        QTest::newRow("clipboard history") << true << "看高兴来了，快乐天气";
    }
    void doubleClickChoosesOnce()
    {
        QFETCH(bool, history);
        child->setHtml("<p>看<a href=\"高兴#64#1\">高兴</a>来了，今天天气很好，大家都很开心。</p>"
                       "<p>第二行的文字也很长，一直写到这里。</p><p>第三行的文字也很长，一直写到这里。</p>");
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
        clipboardHistory = QStringList{"快乐"};
        selectText(child, 6, 8);
        if (history)
            openHistory();
        else
            pointTo(markPoint(child, "高兴#"));
        onRow(QTest::MouseDClick, history ? 0 : 1);
        QTEST(child->toPlainText().left(10), "chosen");
        QCOMPARE(child->textCursor().selectionStart(), 6);
        QCOMPARE(child->textCursor().selectionEnd(), 8);
        QCOMPARE(QApplication::focusWidget(), child);
        child->undo(); // one choice, one step back
        QVERIFY(child->toPlainText().startsWith("看高兴来了，今天天气"));
    }

    void choosingReplacesAndKeepsTheSelection()
    {
        child->setPlainText("a cat sat");
        selectText(child, 2, 5);
        choose("lion");
        QCOMPARE(child->toPlainText(), QString("a lion sat"));
        QCOMPARE(child->textCursor().selectedText(), QString("lion"));
        choose("ox");
        QCOMPARE(child->toPlainText(), QString("a ox sat"));
        QCOMPARE(child->textCursor().selectedText(), QString("ox"));
    }

    void synonymList()
    {
        child->setPlainText("今天很高兴");
        selectText(child, 3, 5);
        synonymListAct->trigger();
        QCOMPARE(currentTemplateType, 0); // put back
        QVERIFY(popup()->isVisible());
        QCOMPARE(texts(popup()), (QStringList{"高兴", "快乐"}));
        QVERIFY(!popup()->item(0)->icon().isNull());
        QCOMPARE(popup()->width(), pointSize() * 2 * 2 + 96);
        QCOMPARE(popup()->height(), int(rowHeight() * 2.4));
        QTest::keyClick(popup(), Qt::Key_Down);
        QTest::keyClick(popup(), Qt::Key_Return);
        QCOMPARE(child->toPlainText(), QString("今天很快乐"));
        QVERIFY(!popup()->isVisible()); // and the text has the focus again
        QCOMPARE(QApplication::focusWidget(), child);
        // Escape closes the list and leaves the text.
        synonymListAct->trigger();
        QVERIFY(popup()->isVisible());
        QTest::keyClick(popup(), Qt::Key_Escape);
        QVERIFY(!popup()->isVisible());
        QCOMPARE(child->toPlainText(), QString("今天很快乐"));
    }

    void synonymListOfAWordWithoutSynonyms()
    {
        child->setPlainText("雨伞");
        selectText(child, 0, 2);
        synonymListAct->trigger();
        QCOMPARE(texts(popup()), QStringList{"没有备选条目"});
        QCOMPARE(popup()->width(), qMax(96, popup()->widthToShow(0)));
        QCOMPARE(shownText(popup(), 0), QString("没有备选条目"));
        QCOMPARE(popup()->height(), int(rowHeight() * 1.4));
    }

    void emptyAntonymList()
    {
        child->setPlainText("开心");
        selectText(child, 0, 2);
        antonymListAct->trigger();
        QCOMPARE(texts(popup()), QStringList{"没有备选条目"});
        QVERIFY(popup()->item(0)->icon().isNull());
        QCOMPARE(popup()->width(), qMax(96, popup()->widthToShow(0)));
        QCOMPARE(shownText(popup(), 0), QString("没有备选条目"));
        QCOMPARE(popup()->height(), int(rowHeight() * 1.4));
    }

    // Hovering over a marked word shows its list at the mouse, for the kinds of
    // marks that have lists and only while a marking is chosen.
    void hoverOverLinkShowsItsWords()
    {
        child->setHtml("<p>看 <a href=\"高兴#64#1\">高兴</a> 来了</p>");
        QTextCursor cursor(child->document());
        cursor.setPosition(3);
        const QPoint over = child->cursorRect(cursor).center();
        auto hover = [this](const QPoint& at) {
            QMouseEvent move(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(child->viewport(), &move);
        };

        currentTemplateType = 0;
        hover(over);
        QVERIFY(!popup()->isVisible());

        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
        hover(over);
        QCOMPARE(child->tryAnchor, QString("高兴#64#1"));
        QCOMPARE(child->anchor, QString("高兴#64#1"));
        QVERIFY(popup()->isVisible());
        QCOMPARE(texts(popup()), (QStringList{"高兴", "快乐"}));
        QCOMPARE(popup()->pos(), child->viewport()->mapTo(child, over));

        // Moving off the word hides the list; sensitive-word marks show none.
        hover(QPoint(child->viewport()->width() - 2, child->viewport()->height() - 2));
        QVERIFY(!popup()->isVisible());
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD;
        hover(over + QPoint(1, 0));
        QVERIFY(!popup()->isVisible());
    }

    void hoverListsOfTheSpellingRun()
    {
        currentTemplateType = 34;
        child->newWordList("迫不急待", QPoint(30, 20));
        QCOMPARE(texts(popup()), QStringList{"迫不及待"});
        QCOMPARE(popup()->pos(), child->viewport()->mapTo(child, QPoint(30, 20)));
        popup()->hide();
        child->newWordList("正确", QPoint(30, 20));
        QVERIFY(!popup()->isVisible());
        QCOMPARE(popup()->count(), 0);
        // An atom list without entries shows nothing either.
        currentTemplateType = TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;
        child->newWordList("无", QPoint(30, 20));
        QVERIFY(!popup()->isVisible());
    }

    void magicLamp()
    {
        child->setPlainText("雨伞");
        selectText(child, 0, 2);
        window->magicLamp();
        QCOMPARE(currentTemplateType, int(TEMPLATE_TYPE_SQLITE_DB_SYNONYM));
        QCOMPARE(texts(popup()), (QStringList{"雨伞 相关的人物", "雨伞 相关的行为", "雨伞 相关的动作", "雨伞 相关的动物",
                                            "雨伞 相关的道具", "雨伞 相关的名言", "雨伞 相关的形容词",
                                            "雨伞 相关的近义词"}));
        child->setPlainText("美丽");
        selectText(child, 0, 2);
        window->magicLamp();
        QCOMPARE(texts(popup()), (QStringList{"美丽", "漂亮"}));
    }

    void linkReplacement()
    {
        child->setHtml("<p>她很<a href=\"美丽#1\">美丽</a>。</p>");
        child->document()->setModified(false);
        child->anchor = "美丽#1";
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
        // The same word changes nothing.
        choose("美丽");
        QVERIFY(!child->document()->isModified());

        choose("漂亮");
        QCOMPARE(child->toPlainText(), QString("她很漂亮。"));
        QCOMPARE(child->anchor, QString("漂亮#1"));
        QVERIFY(child->toHtml().contains("href=\"漂亮#1\""));
        QVERIFY(!child->toHtml().contains("美丽"));
        // Not saved yet: closing must still ask.
        QVERIFY(child->document()->isModified());

        // Entry text is text, not markup.
        choose("<b>好</b>");
        QCOMPARE(child->toPlainText(), QString("她很<b>好</b>。"));
    }

    void linkReplacementKeepsTheScrollPosition()
    {
        QString html;
        for (int i = 0; i < 200; ++i)
            html += QString("<p>line %1</p>").arg(i);
        html += "<p><a href=\"美丽#9\">美丽</a></p>";
        child->setHtml(html);
        child->verticalScrollBar()->setValue(child->verticalScrollBar()->maximum() / 2);
        const int value = child->verticalScrollBar()->value();
        QVERIFY(value > 0);
        child->anchor = "美丽#9";
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
        choose("漂亮");
        QVERIFY(child->toPlainText().endsWith("漂亮"));
        QCOMPARE(child->verticalScrollBar()->value(), value);
    }

    void anchorNotInTheDocument()
    {
        child->setHtml("<p><a href=\"a&amp;b#1\">a&amp;b</a> a&amp;b#2</p>");
        child->document()->setModified(false);
        const QString before = child->toHtml();
        // Only a link target counts, not the same letters in the text.
        child->anchor = "a&b#2";
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
        MessageCapture capture;
        choose("x");
        QVERIFY(capture.contains("anchorBegin = -1"));
        QCOMPARE(child->toHtml(), before);
        QVERIFY(!child->document()->isModified());
        QVERIFY(!child->document()->isUndoAvailable());
        // A target holding "&" is found as the link names it.
        child->anchor = "a&b#1";
        choose("x");
        QCOMPARE(child->toPlainText(), QString("x a&b#2"));
        QCOMPARE(child->anchor, QString("x#1"));
    }

    // A word chosen from a mark's list is one step of Undo: the next Ctrl+Z takes
    // the marking run back, and what was typed before stays undoable.
    void choiceFromAMarkIsOneUndoStep()
    {
        child->setFocus();
        typeText(child, "早上好。");
        QTest::keyClick(child, Qt::Key_Return);
        typeText(child, "她很美丽。");
        const QString typed = rawText(child->document());
        synonymMarkAct->trigger();
        QCOMPARE(currentTemplateType, int(TEMPLATE_TYPE_SQLITE_DB_SYNONYM));
        const QStringList marked = marksAndBlocks(child->document());
        QVERIFY2(marked.join('\n').contains("[美丽|美丽#0|#ff0000]"), qPrintable(marked.join('\n')));

        QMouseEvent move(QEvent::MouseMove, markPoint(child, "美丽#"), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(child->viewport(), &move);
        QVERIFY(popup()->isVisible());
        QCOMPARE(texts(popup()), (QStringList{"美丽", "漂亮"}));
        // A click chooses as Return does, and closes the list.
        QTest::mouseClick(popup()->viewport(), Qt::LeftButton, Qt::NoModifier, popup()->visualItemRect(popup()->item(1)).center());
        QVERIFY(!popup()->isVisible());
        // The same document with the chosen word in the mark.
        QCOMPARE(marksAndBlocks(child->document()), QStringList(marked).replaceInStrings("美丽", "漂亮"));
        QVERIFY(child->document()->isModified());

        QTest::keyClick(child, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(marksAndBlocks(child->document()), marked);
        QTest::keyClick(child, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rawText(child->document()), typed);
        QTest::keyClick(child, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(rawText(child->document()) != typed);
    }

    // The same for an atom entry chosen from the template list for an expansion mark.
    void expansionFromAMarkIsOneUndoStep()
    {
        writeBytes("Templates/Atom/形容春天.tqw", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"形容春天\">"
                                                "<entry title=\"形容春天\"><content>温暖的</content></entry></template>\n");
        const QStringList markers = atomTemplateMarkers;
        atomTemplateMarkers = QStringList{"[形容春天]"};
        child->setFocus();
        typeText(child, "又到了春天。");
        const QString typed = rawText(child->document());
        expandMarkAct->trigger();
        const QStringList marked = marksAndBlocks(child->document());
        QVERIFY2(marked.join('\n').contains("[春天|春天#0|"), qPrintable(marked.join('\n')));

        // The mark's list names the atom; choosing it opens the atom's template.
        QMouseEvent move(QEvent::MouseMove, markPoint(child, "春天#"), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(child->viewport(), &move);
        QCOMPARE(texts(popup()), QStringList{"[形容春天]"});
        QTest::keyClick(popup(), Qt::Key_Return);
        atomTemplateMarkers = markers;
        auto* tab = qobject_cast<TemplateDialog*>(window->mainTabWidget->currentWidget());
        QVERIFY(tab);
        ListWidget* list = tab->getListWidget();
        list->setCurrentRow(0);
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier, list->visualItemRect(list->item(0)).center());
        QAction* before = actionByText(list, "前置修饰: 温暖的 春天");
        QVERIFY(before);
        before->trigger();
        QCOMPARE(child->toPlainText(), QString("又到了温暖的春天。"));
        QCOMPARE(marksAndBlocks(child->document()).join('\n').remove("温暖的"), marked.join('\n'));

        QTest::keyClick(child, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(marksAndBlocks(child->document()), marked);
        QTest::keyClick(child, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(rawText(child->document()), typed);
    }

    void atomExpansion_data()
    {
        QTest::addColumn<int>("expandType");
        QTest::addColumn<QString>("expected");
        QTest::newRow("before") << 1 << "天[X]春天";
        QTest::newRow("in place") << 0 << "天[X]天";
        QTest::newRow("after") << 2 << "天春[X]天";
        QTest::newRow("unknown") << 5 << "天春天";
    }

    void atomExpansion()
    {
        QFETCH(int, expandType);
        QFETCH(QString, expected);
        child->setHtml("<p>天<a href=\"春#x\">春</a>天</p>");
        child->anchor = "春#x";
        currentTemplateType = TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;
        QAction action("expand");
        action.setProperty("ExpandType", expandType);
        choose("[X]", &action);
        QCOMPARE(child->toPlainText(), expected);
        // An unknown way of expanding changes nothing.
        QCOMPARE(child->document()->isModified(), expandType != 5);
        if (expandType == 5)
            return;
        // Only the latest expansion stays, also when it is the same text again.
        QTextCursor cursor(child->document());
        QString red;
        for (QTextBlock block = child->document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().foreground().color() == QColor(Qt::red))
                    red += it.fragment().text();
        QCOMPARE(red, QString("[X]"));
        // Replacing the word again puts the word back first.
        choose("[Y]", &action);
        QCOMPARE(child->toPlainText(), QString(expected).replace("[X]", "[Y]"));
        choose("[Y]", &action);
        QCOMPARE(child->toPlainText(), QString(expected).replace("[X]", "[Y]"));
        // Each choice is one step back.
        child->undo();
        child->undo();
        QCOMPARE(child->toPlainText(), expected);
        child->undo();
        QCOMPARE(child->toPlainText(), QString("天春天"));
    }

    void atomExpansionWithoutActionGoesBefore()
    {
        child->setHtml("<p>天<a href=\"春#x\">春</a>天</p>");
        child->anchor = "春#x";
        currentTemplateType = TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;
        choose("<i>");
        QCOMPARE(child->toPlainText(), QString("天<i>春天"));
    }

    void atomTableEntryWithoutBracketDoesNothing()
    {
        child->setPlainText("text");
        currentTemplateType = TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;
        child->tryAnchor = "春#x";
        child->listWidget->addItem("plain");
        child->listWidget->show();
        choose("plain");
        QCOMPARE(child->toPlainText(), QString("text"));
        QVERIFY(child->anchor.isEmpty());
    }
};

TQ_TEST_MAIN(WordPopupsTest)
#include "tst_wordpopups.moc"
