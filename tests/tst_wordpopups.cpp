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
#include "MarkFormat.h"
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

// The whole texts the rows stand for.
QStringList fullTexts(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << ContextListWidget::fullText(list->item(i));
    return result;
}

QStringList marksAndBlocks(const QTextDocument* document)
{
    return marksOfBlocks(document, true);
}

// Makes every link of the editor's text a mark, as a marking run makes them.
void markLinks(QTextEdit* editor)
{
    QTextCursor cursor(editor->document());
    for (QTextBlock block = editor->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isAnchor())
                continue;
            cursor.setPosition(fragment.position());
            cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(MarkFormat::make(fragment.charFormat().anchorHref(), "#ff0000"));
        }
    editor->document()->setModified(false);
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
    // The pointer comes to rest on a mark from elsewhere (a move to where the
    // pointer is already is no move).
    void pointToMark(const QString& prefix)
    {
        pointTo(awayFromText());
        pointTo(markPoint(child, prefix));
    }
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
        QCOMPARE(fullTexts(popup()), (QStringList{"short", longText}));
        QCOMPARE(texts(popup()), (QStringList{"short", longText.left(40) + QChar(0x2026)}));
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
        if (history) {
            openHistory();
        } else {
            pointToMark("再接再励#");
            // The writer turns to the list: with the pointer, or by Down.
            if (hiding == "pointer")
                onRow(QTest::MouseMove, 0);
            else
                press(Qt::Key_Down);
        }
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
    // mark, are chosen neither by Return, nor a click, nor a double click. Such
    // a choice hides the list: the keys typed next reach the text.
    void rowsSayingThereIsNothingCannotBeChosen_data()
    {
        QTest::addColumn<bool>("history");
        QTest::addColumn<QString>("choosing");
        for (const bool history : {true, false})
            for (const char* choosing : {"Return", "click", "double click"})
                QTest::newRow(qPrintable(QString("%1, %2").arg(history ? "clipboard history" : "word list", choosing)))
                    << history << QString(choosing);
    }
    void rowsSayingThereIsNothingCannotBeChosen()
    {
        QFETCH(bool, history);
        QFETCH(QString, choosing);
        const QString html = "<p>我<a href=\"迫不急待#0\">迫不急待</a>地打开了信封，里面是一张照片。</p><p>第二行</p>";
        child->setHtml(html);
        markLinks(child);
        const QString sentence = child->toPlainText();
        QTextCursor end(child->document());
        end.movePosition(QTextCursor::End);
        child->setTextCursor(end);
        if (history) {
            openHistory();
            QCOMPARE(texts(popup()), QStringList{"剪贴板历史为空"});
        } else {
            currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST;
            pointToMark("迫不急待#");
            press(Qt::Key_Down);
            press(Qt::Key_Return);
            QCOMPARE(child->toPlainText(), QString(sentence).replace("急", "及"));
            child->setTextCursor(end);
            child->document()->setModified(false);
            pointToMark("迫不及待#");
            QCOMPARE(texts(popup()), QStringList{"没有备选条目"});
            press(Qt::Key_Down);
        }
        QCOMPARE(QApplication::focusWidget(), popup());
        if (choosing == "Return")
            press(Qt::Key_Return);
        else
            onRow(choosing == "click" ? QTest::MouseClick : QTest::MouseDClick, 0);
        QVERIFY(!child->document()->isModified());
        QVERIFY(!popup()->isVisible());
        QCOMPARE(QApplication::focusWidget(), child);
        const QString before = child->toPlainText();
        typeKeys("AB");
        press(Qt::Key_Return);
        typeKeys("C");
        QCOMPARE(child->toPlainText(), before + "AB\nC");
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
        markLinks(child);
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
        clipboardHistory = QStringList{"快乐"};
        selectText(child, 6, 8);
        if (history)
            openHistory();
        else
            pointToMark("高兴#");
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
        QCOMPARE(QApplication::focusWidget(), popup()); // a list asked for has the keyboard
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
        markLinks(child);
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
        // Just below the word's line, from the word's start.
        QTextCursor wordStart(child->document());
        wordStart.setPosition(2);
        QCOMPARE(popup()->pos(), child->viewport()->mapTo(child, QPoint(child->cursorRect(wordStart).left(),
                                                                          child->cursorRect(cursor).bottom() + 1)));

        // Moving off the word hides the list; sensitive-word marks show none.
        hover(QPoint(child->viewport()->width() - 2, child->viewport()->height() - 2));
        QVERIFY(!popup()->isVisible());
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD;
        hover(over + QPoint(1, 0));
        QVERIFY(!popup()->isVisible());
    }

    // A list the pointer opened over a mark waits for the writer: keys typed
    // meanwhile, Return and Backspace too, go to the text at the caret and hide
    // it, and a click on the word puts the caret there. Pointing into the list
    // or pressing Down turns to it.
    void hoverListWaitsForTheWriter_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("expected");
        QTest::newRow("typing") << "typing" << "他非常高兴。AB";
        QTest::newRow("typing, the pointer slipping") << "slip" << "他非常高兴。AB";
        QTest::newRow("Return") << "Return" << "他非常高兴。\nC";
        QTest::newRow("Backspace") << "Backspace" << "他非常高兴";
        QTest::newRow("click on the word") << "click" << "他非常高A兴。";
        QTest::newRow("Down, then Return") << "Down" << "他非常悲伤。";
        QTest::newRow("pointer into the list, then Return") << "pointer" << "他非常悲伤。";
    }
    void hoverListWaitsForTheWriter()
    {
        QFETCH(QString, action);
        child->setFocus();
        typeText(child, "他非常高兴。");
        antonymMarkAct->trigger();
        QCOMPARE(currentTemplateType, int(TEMPLATE_TYPE_SQLITE_DB_ANTONYM));
        QTextCursor end(child->document());
        end.movePosition(QTextCursor::End);
        mouse(QTest::MouseClick, child->viewport(), child->cursorRect(end).center());
        pointToMark("高兴#");
        QVERIFY(popup()->isVisible());
        QVERIFY(texts(popup()).contains("悲伤"));
        QCOMPARE(popup()->currentRow(), 0);
        QVERIFY(popup()->selectedItems().isEmpty()); // nothing looks chosen yet
        popup()->setCurrentRow(texts(popup()).indexOf("悲伤"), QItemSelectionModel::NoUpdate);
        QCOMPARE(QApplication::focusWidget(), child);

        if (action == "typing") {
            typeKeys("AB");
        } else if (action == "slip") {
            typeKeys("A");
            pointTo(markPoint(child, "高兴#") + QPoint(1, 1));
            QCOMPARE(QApplication::focusWidget(), child);
            typeKeys("B");
        } else if (action == "Return") {
            press(Qt::Key_Return);
            typeKeys("C");
        } else if (action == "Backspace") {
            press(Qt::Key_Backspace);
        } else if (action == "click") {
            mouse(QTest::MouseClick, child->viewport(), markPoint(child, "高兴#"));
            QCOMPARE(child->textCursor().position(), 4);
            typeKeys("A");
        } else {
            if (action == "Down") {
                press(Qt::Key_Down);
            } else {
                // Straight down from the word, as a hand moves, onto the list.
                const QPoint from = child->viewport()->mapTo(window.data(), markPoint(child, "高兴#"));
                const QPoint to = popup()->viewport()->mapTo(window.data(), popup()->visualItemRect(popup()->item(0)).center());
                for (int y = from.y(); y <= to.y(); ++y)
                    QTest::mouseMove(window->windowHandle(), QPoint(from.x(), y));
                QTest::mouseMove(window->windowHandle(), to);
            }
            QVERIFY(popup()->isVisible());
            QCOMPARE(QApplication::focusWidget(), popup());
            QCOMPARE(popup()->selectedItems(), QList<QListWidgetItem*>{popup()->currentItem()});
            press(Qt::Key_Return);
        }
        QTEST(child->toPlainText(), "expected");
        QVERIFY(!popup()->isVisible());
        QCOMPARE(QApplication::focusWidget(), child);
    }

    // The list opens below the marked word's line, or above it where there is
    // no room below, and leaves the word in sight.
    void hoverListLeavesTheWordInSight_data()
    {
        QTest::addColumn<int>("linesBefore");
        QTest::addColumn<int>("wordsBefore");
        QTest::addColumn<bool>("below");
        QTest::newRow("first line") << 0 << 0 << true;
        QTest::newRow("last line of the view") << 120 << 0 << false;
        QTest::newRow("inside a wrapped paragraph") << 0 << 150 << true;
    }
    void hoverListLeavesTheWordInSight()
    {
        QFETCH(int, linesBefore);
        QFETCH(int, wordsBefore);
        QString html;
        for (int i = 0; i < linesBefore; ++i)
            html += QString("<p>第%1行</p>").arg(i);
        child->setHtml(html + "<p>" + QString("今天").repeated(wordsBefore) + "看<a href=\"高兴#0\">高兴</a>来了"
                       + QString("明天").repeated(wordsBefore) + "</p>");
        markLinks(child);
        QTextCursor start(child->document());
        start.setPosition(child->document()->toPlainText().indexOf("高兴"));
        child->setTextCursor(start);
        child->ensureCursorVisible();
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
        pointToMark("高兴#");
        QCOMPARE(texts(popup()), (QStringList{"高兴", "快乐"}));
        QTextCursor end(start);
        end.setPosition(start.position() + 2);
        QCOMPARE(child->cursorRect(start).top(), child->cursorRect(end).top()); // on one line
        const QRect word(child->viewport()->mapTo(child, child->cursorRect(start).topLeft()),
                         child->viewport()->mapTo(child, child->cursorRect(end).bottomRight()));
        QVERIFY(child->viewport()->geometry().contains(word));
        QVERIFY2(!popup()->geometry().intersects(word), qPrintable(QString("list %1,%2 %3x%4, word %5,%6 %7x%8")
                     .arg(popup()->x()).arg(popup()->y()).arg(popup()->width()).arg(popup()->height())
                     .arg(word.x()).arg(word.y()).arg(word.width()).arg(word.height())));
        QVERIFY(child->viewport()->geometry().contains(popup()->geometry()));
        QTEST(popup()->y() > word.y(), "below");
        // From the word's start.
        QCOMPARE(popup()->x(), word.x());
    }

    // A choice replaces the word only inside its own mark: a mark edited by
    // hand so that it no longer holds the word changes nothing, even when the
    // word stands in the text further on.
    void choiceChangesOnlyItsOwnMark_data()
    {
        QTest::addColumn<QString>("hovered");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the edited mark") << "迫不急待#0" << "他迫不及待地打开了信。她也迫不急待地跑了过来。";
        QTest::newRow("the other mark") << "迫不急待#1" << "他迫不及待地打开了信。她也迫不及待地跑了过来。";
    }
    void choiceChangesOnlyItsOwnMark()
    {
        QFETCH(QString, hovered);
        CurrentDir here(TestEnvironment::programDir());
        ScriptedPrompt prompt;
        child->setPlainText("他迫不急待地打开了信。她也迫不急待地跑了过来。");
        blackListSpellingCheckAct->trigger();
        const QString marked = marksAndBlocks(child->document()).join('\n');
        QVERIFY2(marked.contains("[迫不急待|迫不急待#0|") && marked.contains("[迫不急待|迫不急待#1|"), qPrintable(marked));
        // 急 becomes 及 by hand.
        QTextCursor typo(child->document());
        typo.setPosition(4);
        child->setTextCursor(typo);
        child->setFocus();
        press(Qt::Key_Backspace);
        typeText(qApp->focusWidget(), "及");
        const QString edited = marksAndBlocks(child->document()).join('\n');

        pointToMark(hovered);
        QCOMPARE(texts(popup()), QStringList{"迫不及待"});
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        QTEST(child->toPlainText(), "expected");
        if (hovered.endsWith("#0"))
            QCOMPARE(marksAndBlocks(child->document()).join('\n'), edited);
        else
            QVERIFY(marksAndBlocks(child->document()).join('\n').contains("[迫不及待|迫不及待#1|"));
    }

    // A long clipboard text shows as its start in one short row; choosing it
    // puts in the whole text.
    void longClipboardTextShowsItsStart()
    {
        QString text;
        for (int i = 0; i < 5000; ++i)
            text += QString("第%1行，剪贴板里很长的文字。\n").arg(i);
        QApplication::clipboard()->setText(text);
        QApplication::clipboard()->setText("短");
        child->setFocus();
        openHistory();
        QCOMPARE(popup()->count(), 2);
        QCOMPARE(popup()->item(0)->text(), QString("短"));
        QCOMPARE(popup()->item(1)->text(), QString(text.left(40)).replace('\n', ' ') + QChar(0x2026));
        QCOMPARE(popup()->visualItemRect(popup()->item(1)).height(), rowHeight());
        QVERIFY(shownText(popup(), 1).startsWith("第0行，剪贴板里"));
        press(Qt::Key_Down);
        press(Qt::Key_Return);
        QCOMPARE(child->toPlainText(), text);
    }

    // Only marks open a list: the writer's own links do not, whatever they point to.
    void onlyMarksOpenAList_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<bool>("mark");
        QTest::addColumn<bool>("opens");
        QTest::newRow("web link") << "<a href=\"https://example.com/\">网站</a>" << false << false;
        QTest::newRow("link to a word") << "<a href=\"高兴#1\">高兴</a>" << false << false;
        QTest::newRow("mark") << "<a href=\"高兴#1\">高兴</a>" << true << true;
    }
    void onlyMarksOpenAList()
    {
        QFETCH(QString, html);
        QFETCH(bool, mark);
        child->setHtml("<p>看" + html + "来了</p>");
        if (mark)
            markLinks(child);
        currentTemplateType = TEMPLATE_TYPE_SQLITE_DB_SYNONYM;
        QTextCursor cursor(child->document());
        cursor.setPosition(2);
        pointTo(awayFromText());
        pointTo(child->cursorRect(cursor).center());
        QTEST(popup()->isVisible(), "opens");
        QCOMPARE(child->tryAnchor.isEmpty(), !mark);
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
        QCOMPARE(QApplication::focusWidget(), popup());
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
        press(Qt::Key_Down);
        press(Qt::Key_Return);
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
