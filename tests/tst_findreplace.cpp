// Find and replace: the search engine on a known document (directions, case,
// wrap-around, regular expressions, expressions that match empty text), single
// and full replacement, the dialog's buttons, pages, match count and history,
// and the counter that never waits for an old count.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>

#include <atomic>
#include <memory>

#include "FindReplace.h"
#include "FindReplaceDialogEx.h"
#include "MainWindow.h"
#include "MatchCounter.h"
#include "MatchScanner.h"
#include "MdiChild.h"
#include "TestSupport.h"

namespace {

// "one two One two" + paragraph + "three one": positions 0-3, 8-11, 22-25 hold "one"/"One".
const QString knownText = QStringLiteral("one two One two\nthree one");

const QTextDocument::FindFlag NoFlag = QTextDocument::FindFlag(0);

// A count that runs until the test releases it (or ten seconds pass), or, when
// it heeds them, until it is told to stop, like a scan between two matches; one
// that does not is like one long match. It tells what it saw, and lives as long
// as the count's thread.
struct HeldCount
{
    QSemaphore release;
    std::atomic<bool> done{false};
    std::atomic<bool> toldToStop{false};

    static MatchCounter::Count count(const std::shared_ptr<HeldCount>& held, int answer, bool heedStop)
    {
        return [held, answer, heedStop](const MatchCounter::Stop& stop) {
            for (int i = 0; i < 1000 && !held->release.tryAcquire(1, 10) && !(heedStop && stop()); ++i) {
            }
            held->toldToStop = stop();
            held->done = true;
            return heedStop && stop() ? -1 : answer;
        };
    }
};

} // namespace

class FindReplaceTest : public QObject
{
    Q_OBJECT

    QScopedPointer<MainWindow> window;
    QPointer<MdiChild> child; // null once its document is closed

    FindReplaceDialogEx* dialog() const { return window->findChild<FindReplaceDialogEx*>(); }
    template <typename T>
    T* part(const char* name) const
    {
        T* widget = dialog()->findChild<T*>(QLatin1String(name));
        Q_ASSERT(widget);
        return widget;
    }

    void setText(const QString& text, int cursorAt = 0)
    {
        child->setPlainText(text);
        QTextCursor cursor = child->textCursor();
        cursor.setPosition(cursorAt);
        child->setTextCursor(cursor);
    }

    QString selection() const
    {
        const QTextCursor cursor = child->textCursor();
        return QStringLiteral("%1-%2").arg(cursor.selectionStart()).arg(cursor.selectionEnd());
    }

    // The label once the count the dialog started has arrived.
    QString countLabel() const
    {
        if (!QTest::qWaitFor([this] { return !dialog()->isCounting(); }, 20000))
            return QStringLiteral("still counting");
        return part<QLabel>("resultLabel")->text();
    }

    // The count the dialog shows for the active document.
    QString shownCount(const QString& find, bool caseSensitive, bool regexp)
    {
        window->replace();
        part<QCheckBox>("caseCheckBox")->setChecked(caseSensitive);
        part<QCheckBox>("regExpCheckBox")->setChecked(regexp);
        part<QComboBox>("findComboBox")->setEditText(find);
        return countLabel();
    }

private slots:
    void init()
    {
        Settings().clear();
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        window->newFile();
        child = window->activeMdiChild();
        QVERIFY(child);
    }

    void cleanup()
    {
        if (child)
            child->document()->setModified(false);
        window.reset();
    }

    void search_data()
    {
        QTest::addColumn<QString>("find");
        QTest::addColumn<int>("from");
        QTest::addColumn<bool>("backward");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<bool>("regexp");
        QTest::addColumn<QString>("expected"); // selection, or "none" with the warning box

        QTest::newRow("forward") << "one" << 0 << false << false << false << false << "0-3";
        QTest::newRow("forward ignores case") << "one" << 3 << false << false << false << false << "8-11";
        QTest::newRow("forward with case") << "one" << 3 << false << true << false << false << "22-25";
        QTest::newRow("backward from the end") << "one" << 25 << true << false << false << false << "22-25";
        QTest::newRow("backward with case") << "One" << 22 << true << true << false << false << "8-11";
        QTest::newRow("past the end") << "one" << 25 << false << false << false << false << "none";
        QTest::newRow("wraps to the start") << "one" << 25 << false << false << true << false << "0-3";
        QTest::newRow("backward wraps to the end") << "two" << 0 << true << false << true << false << "12-15";
        QTest::newRow("backward past the start") << "two" << 0 << true << false << false << false << "none";
        QTest::newRow("nowhere even wrapped") << "four" << 5 << false << false << true << false << "none";
        QTest::newRow("regexp") << "t\\w+e" << 0 << false << false << false << true << "16-21";
        QTest::newRow("regexp alternatives with case") << "(O|x)ne" << 0 << false << true << false << true << "8-11";
        QTest::newRow("regexp whole word") << "\\bthree\\b" << 0 << false << false << false << true << "16-21";
        QTest::newRow("regexp backward wraps") << "o\\w+" << 0 << true << true << true << true << "22-25";
        QTest::newRow("invalid regexp") << "(one" << 0 << false << false << true << true << "none";
        QTest::newRow("plain text is literal") << "t\\w+e" << 0 << false << false << true << false << "none";
    }

    void search()
    {
        QFETCH(QString, find);
        QFETCH(int, from);
        QFETCH(bool, backward);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, wrap);
        QFETCH(bool, regexp);
        QFETCH(QString, expected);
        setText(knownText, from);
        ScriptedPrompt prompt;
        const bool found = window->findReplace(find, QString(), backward ? QTextDocument::FindBackward : NoFlag,
                                               caseSensitive ? QTextDocument::FindCaseSensitively : NoFlag, wrap,
                                               false, false, regexp);
        if (expected == QLatin1String("none")) {
            QVERIFY(!found);
            QCOMPARE(prompt.titles, QStringList{"警告"});
            QCOMPARE(prompt.texts, QStringList{"查找结束, 未发现: " + find});
        } else {
            QVERIFY(found);
            QCOMPARE(selection(), expected);
            QVERIFY(prompt.texts.isEmpty());
        }
        QCOMPARE(child->toPlainText(), knownText);
    }

    void repeatedSearchStepsPastEmptyMatches_data()
    {
        QTest::addColumn<bool>("backward");
        QTest::addColumn<int>("from");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("forward") << false << 0 << QList<int>{1, 2};
        QTest::newRow("backward") << true << 2 << QList<int>{1, 0};
    }

    void repeatedSearchStepsPastEmptyMatches()
    {
        QFETCH(bool, backward);
        QFETCH(int, from);
        QFETCH(QList<int>, positions);
        setText("ab", from);
        ScriptedPrompt prompt;
        const auto direction = backward ? QTextDocument::FindBackward : NoFlag;
        for (int position : positions) {
            QVERIFY(window->findReplace("x*", QString(), direction, NoFlag, false, false, false, true));
            QCOMPARE(child->textCursor().position(), position);
        }
        QVERIFY(!window->findReplace("x*", QString(), direction, NoFlag, false, false, false, true));
        QCOMPARE(prompt.texts.size(), 1);
        // Wrapped, the search starts over at the document's edge.
        QVERIFY(window->findReplace("x*", QString(), direction, NoFlag, true, false, false, true));
        QVERIFY(child->textCursor().position() != positions.last() || !backward);
        QCOMPARE(prompt.texts.size(), 1);
    }

    void replaceAll_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("regexp");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("replaced");

        QTest::newRow("plain, any case") << knownText << "one" << "1" << false << false << "1 two 1 two\nthree 1" << 3;
        QTest::newRow("plain, with case") << knownText << "one" << "1" << true << false << "1 two One two\nthree 1"
                                          << 2;
        QTest::newRow("replacement holds the text") << "aa a" << "a" << "aa" << false << false << "aaaa aa" << 3;
        QTest::newRow("nothing to replace") << "abc" << "x" << "y" << false << false << "abc" << 0;
        QTest::newRow("regexp, no back-references") << "a1 b22" << "\\d+" << "#\\1" << false << true << "a#\\1 b#\\1"
                                                    << 2;
        QTest::newRow("regexp alternatives") << "牧羊犬 哈巴狗 走狗" << "(牧羊|哈巴)(犬|狗)" << "狗" << false << true
                                             << "狗 狗 走狗" << 2;
        // Expressions that can match empty text end, replacing each empty position once.
        QTest::newRow("star") << "baab" << "a*" << "X" << false << true << "XbXXbX" << 4;
        QTest::newRow("line starts") << "one\ntwo" << "^" << "> " << false << true << "> one\n> two" << 2;
        QTest::newRow("line ends") << "one\ntwo" << "$" << ";" << false << true << "one;\ntwo;" << 2;
        QTest::newRow("word boundaries") << "ab cd" << "\\b" << "|" << false << true << "|ab| |cd|" << 4;
        QTest::newRow("empty document") << "" << "x*" << "y" << false << true << "y" << 1;
        // Each match the text held at the start, once: what a replacement leaves is not matched again.
        QTest::newRow("line start, removed") << "aaa bbb\naaa ccc" << "^a" << "" << false << true << "aa bbb\naa ccc"
                                             << 2;
        QTest::newRow("one indent level") << "　　甲\n　　乙" << "^　" << "" << false << true << "　甲\n　乙" << 2;
        QTest::newRow("one leading space") << "   x" << "^\\s" << "" << false << true << "  x" << 1;
        QTest::newRow("line start, shorter") << "abab\nab" << "^ab" << "a" << false << true << "aab\na" << 2;
        QTest::newRow("line end, removed") << "abb\ncbb" << "b$" << "" << false << true << "ab\ncb" << 2;
        QTest::newRow("word start, removed") << "xx x" << "\\bx" << "" << false << true << "x " << 2;
        QTest::newRow("overlapping candidates") << "aaaaa" << "aa|a" << "" << false << true << "" << 3;
        // Empty matches stand between characters, never inside an accented letter, a pair or an emoji.
        QTest::newRow("combining accent") << "e\u0301" << "x*" << "|" << false << true << "|e\u0301|" << 2;
        QTest::newRow("surrogate pair") << "\U0001F600b" << "x*" << "|" << false << true << "|\U0001F600|b|" << 3;
        QTest::newRow("joined sequence") << "\U0001F468\u200D\U0001F469" << "x*" << "|" << false << true
                                         << "|\U0001F468\u200D\U0001F469|" << 2;
        QTest::newRow("accent in a later paragraph") << "甲\ne\u0301" << "x*" << "|" << false << true << "|甲|\n|e\u0301|"
                                                     << 4;
        QTest::newRow("accent after a match") << "a\u0301b" << "a?" << "|" << false << true << "|\u0301|b|" << 3;
    }

    void replaceAll()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, regexp);
        QFETCH(QString, expected);
        QFETCH(int, replaced);
        // Backward is ignored: the whole document is replaced from the start.
        setText(text, text.size());
        ScriptedPrompt prompt;
        // The count shown beforehand, the status message and the number replaced agree.
        QCOMPARE(shownCount(find, caseSensitive, regexp), QString("匹配结果: %1 个").arg(replaced));
        const bool result = window->findReplace(find, replacement, QTextDocument::FindBackward,
                                                caseSensitive ? QTextDocument::FindCaseSensitively : NoFlag, true,
                                                true, true, regexp);
        QVERIFY(!result);
        QCOMPARE(child->toPlainText(), expected);
        QCOMPARE(window->statusBar()->currentMessage(), QString("全部替换: 已替换 %1 个").arg(replaced));
        QVERIFY(prompt.texts.isEmpty());
        // One undo step brings the whole text back.
        if (expected != text) {
            child->undo();
            QCOMPARE(child->toPlainText(), text);
        }
    }

    // The engine on a document of its own, without widgets: replace-all of random
    // plain text gives what QString::replace gives (left to right, no overlaps),
    // the same as the general loop with the text as an escaped expression, in one
    // undo step, the cursor at the start; paragraph ends in the text work too.
    void engineReplaceAllMatchesStringReplace()
    {
        quint32 state = 99;
        auto next = [&state](int range) {
            state = state * 1664525u + 1013904223u;
            return int((state >> 8) % quint32(range));
        };
        const QString alphabet = QStringLiteral("ab甲乙 \nA");
        for (int round = 0; round < 400; ++round) {
            QString text;
            for (int i = next(60); i > 0; --i)
                text += alphabet.at(next(alphabet.size()));
            QString find;
            for (int i = 1 + next(3); i > 0; --i)
                find += alphabet.at(next(alphabet.size() - 1)); // no paragraph end
            if (next(8) == 0)
                find += QLatin1Char('\n');
            const QString replacement = QStringList{"", "x", "丙丁戊", "ab"}.at(next(4));
            const bool caseSensitive = next(2);
            const QString expected = QString(text).replace(find, replacement,
                                                           caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
            for (const bool regexp : {false, true}) {
                QTextDocument document;
                document.setPlainText(text);
                FindReplace::Options options;
                options.find = regexp ? QRegExp::escape(find) : find;
                options.replace = replacement;
                options.caseSensitive = caseSensitive;
                options.regexp = regexp;
                FindReplace engine(&document, options);
                QTextCursor cursor(&document);
                cursor.setPosition(document.characterCount() - 1);
                QVERIFY(!engine.run(cursor, true, true));
                if (find.contains(QLatin1Char('\n'))) // a match never spans paragraphs
                    QCOMPARE(document.toPlainText(), text);
                else
                    QCOMPARE(document.toPlainText(), expected);
                QVERIFY(engine.cursorChanged());
                QCOMPARE(engine.cursor().position(), 0);
                QVERIFY(!engine.notFound());
                if (document.toPlainText() != text) {
                    document.undo();
                    QCOMPARE(document.toPlainText(), text);
                }
            }
        }
    }

    // The count and Replace All take exactly the matches that repeated presses of 查找 select, forward
    // from the start and backward from the end, in a document with a table, no-break and line
    // separators, accents and emoji. (A press never selects the empty match at the cursor.) An
    // emoji is one character to "." and "\W".
    void matchesAreWhatRepeatedSearchesFind()
    {
        QTextDocument document;
        document.setHtml(QStringLiteral("ab a&nbsp;b<br>ab\U0001F600<table><tr><td>ab</td><td></td></tr><tr><td></td>"
                                        "<td>a\u0301b</td></tr></table>\U0001F468\u200D\U0001F469ab"));
        QVERIFY(document.toRawText().contains(QStringLiteral("a\u00A0b\u2028ab")));
        const int end = document.characterCount() - 1;
        for (const QString find : {"x*", "^", "$", "\\b", "a?", "b|$", "(?=\u0301)", "ab", "a b", ".", "\\w+", "a|ab",
                                   "\\W", "(?=b)x*b"})
            for (const bool regexp : {false, true}) {
                QStringList scanned;
                MatchScanner(find, Qt::CaseInsensitive, regexp).scan(document.toRawText(), [&](int from, int to) {
                    scanned << QStringLiteral("%1-%2").arg(from).arg(to);
                });
                for (const bool backward : {false, true}) {
                    QStringList searched, expected = scanned;
                    expected.removeOne(QStringLiteral("%1-%1").arg(backward ? end : 0));
                    FindReplace engine(&document, {find, QString(), backward, false, false, regexp});
                    QTextCursor at(&document);
                    at.setPosition(backward ? end : 0);
                    while (searched.size() <= scanned.size() && engine.run(at, false, false)) {
                        at = engine.cursor();
                        searched.insert(backward ? 0 : searched.size(),
                                        QStringLiteral("%1-%2").arg(at.selectionStart()).arg(at.selectionEnd()));
                    }
                    QVERIFY2(searched == expected,
                             qPrintable(find + ": " + expected.join(' ') + " / " + searched.join(' ')));
                }
            }
    }

    void singleReplace()
    {
        setText(knownText);
        ScriptedPrompt prompt;
        // No match selected: nothing is replaced; with wrap-around the first match is selected.
        QVERIFY(window->findReplace("one", "1", NoFlag, NoFlag, true, true, false, false));
        QCOMPARE(child->toPlainText(), knownText);
        QCOMPARE(selection(), QString("0-3"));
        // Pressed again, that match is replaced and the next one from the start selected.
        QVERIFY(window->findReplace("one", "1", NoFlag, NoFlag, true, true, false, false));
        QCOMPARE(child->toPlainText(), QString("1 two One two\nthree one"));
        QCOMPARE(selection(), QString("6-9"));
        // Without wrap-around the next match after the replacement is offered, silently.
        QVERIFY(window->findReplace("one", "1", NoFlag, NoFlag, false, true, false, false));
        QCOMPARE(child->toPlainText(), QString("1 two 1 two\nthree one"));
        QCOMPARE(selection(), QString("18-21"));
        QVERIFY(!window->findReplace("one", "1", NoFlag, NoFlag, false, true, false, false));
        QCOMPARE(child->toPlainText(), QString("1 two 1 two\nthree 1"));
        QVERIFY(prompt.texts.isEmpty());
        // With wrap-around and nothing left the search reports it.
        QVERIFY(!window->findReplace("one", "1", NoFlag, NoFlag, true, true, false, false));
        QCOMPARE(prompt.texts, QStringList{"查找结束, 未发现: one"});
    }

    void singleReplaceRegExpNeedsWholeMatch()
    {
        setText("ab abc");
        ScriptedPrompt prompt;
        QTextCursor cursor = child->textCursor();
        cursor.setPosition(3);
        cursor.setPosition(6, QTextCursor::KeepAnchor); // "abc" is selected; "ab" does not match all of it
        child->setTextCursor(cursor);
        window->findReplace("ab", "X", NoFlag, NoFlag, false, true, false, true);
        QCOMPARE(child->toPlainText(), QString("ab abc"));
        // An empty selection is the match where the expression matches the empty text, and is replaced
        // as 全部替换 replaces it; where the expression does not match there, nothing is replaced.
        setText("ab", 1);
        window->findReplace("x*", "Y", NoFlag, NoFlag, false, true, false, true);
        QCOMPARE(child->toPlainText(), QString("aYb"));
        setText("ab", 1);
        QVERIFY(!window->findReplace("^", "Y", NoFlag, NoFlag, false, true, false, true));
        QCOMPARE(child->toPlainText(), QString("ab"));
        // The selection is a match as a search finds it, in its text: "a" before "b", not the one before "c".
        for (const int at : {3, 0}) {
            setText("ab ac");
            cursor = child->textCursor();
            cursor.setPosition(at);
            cursor.setPosition(at + 1, QTextCursor::KeepAnchor);
            child->setTextCursor(cursor);
            window->findReplace("a(?=b)", "X", NoFlag, NoFlag, false, true, false, true);
        }
        QCOMPARE(child->toPlainText(), QString("Xb ac"));
        QVERIFY(prompt.texts.isEmpty());
    }

    // Pressing 替换 over and over from one end replaces what 全部替换 replaces, empty matches included.
    void singleReplacesDoWhatReplaceAllDoes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replacement");
        QTest::addColumn<bool>("regexp");
        QTest::addColumn<QString>("expected");
        const QString cafe = QStringLiteral("cafe\u0301 \U0001F468\u200D\U0001F469 z");
        QTest::newRow("empty matches among accents and emoji")
            << cafe << "x*" << "-" << true << QStringLiteral("-c-a-f-e\u0301- -\U0001F468\u200D\U0001F469- -z-");
        QTest::newRow("line starts") << "one\ntwo" << "^" << "> " << true << "> one\n> two";
        QTest::newRow("line ends") << "one\ntwo" << "$" << ";" << true << "one;\ntwo;";
        QTest::newRow("word boundaries") << "ab cd" << "\\b" << "|" << true << "|ab| |cd|";
        QTest::newRow("empty after a match") << "ab" << "a?" << "X" << true << "XXbX";
        QTest::newRow("accent after a match") << "a\u0301b" << "a?" << "|" << true << "|\u0301|b|";
        QTest::newRow("replacement holds the text") << "aa a" << "a" << "aa" << false << "aaaa aa";
        QTest::newRow("match before its context") << "ab ac ab" << "a(?=b)" << "X" << true << "Xb ac Xb";
    }

    void singleReplacesDoWhatReplaceAllDoes()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(QString, replacement);
        QFETCH(bool, regexp);
        QFETCH(QString, expected);
        ScriptedPrompt prompt;
        setText(text);
        window->findReplace(find, replacement, NoFlag, NoFlag, false, true, true, regexp);
        QCOMPARE(child->toPlainText(), expected);
        for (const bool backward : {false, true}) {
            setText(text, backward ? text.size() : 0);
            const auto direction = backward ? QTextDocument::FindBackward : NoFlag;
            for (int press = 0; press < 50; ++press) {
                if (!window->findReplace(find, replacement, direction, NoFlag, false, true, false, regexp))
                    break;
            }
            QCOMPARE(child->toPlainText(), expected);
        }
        QVERIFY(prompt.texts.isEmpty());
    }

    void noDocument()
    {
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        ScriptedPrompt prompt;
        QVERIFY(!window->findReplace("x", "y", NoFlag, NoFlag, true, false, false, false));
        QVERIFY(prompt.texts.isEmpty());
        window->newFile();
        child = window->activeMdiChild();
    }

    void buttonsFollowTheFindText()
    {
        setText("aaa");
        auto* combo = part<QComboBox>("findComboBox");
        const auto buttons = {part<QPushButton>("findPushButton"), part<QPushButton>("replacePushButton"),
                              part<QPushButton>("replaceAllPushButton")};
        for (QPushButton* button : buttons)
            QVERIFY(!button->isEnabled());
        QTest::keyClicks(combo->lineEdit(), "aa");
        for (QPushButton* button : buttons)
            QVERIFY(button->isEnabled());
        QCOMPARE(countLabel(), QString("匹配结果: 1 个"));
        combo->lineEdit()->clear();
        for (QPushButton* button : buttons)
            QVERIFY(!button->isEnabled());
        QCOMPARE(part<QLabel>("resultLabel")->text(), QString("匹配结果: 0 个"));
    }

    // The count is what "全部替换" replaces with the same options, as the status bar then says.
    void countIsWhatReplaceAllReplaces_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("find");
        QTest::addColumn<bool>("caseSensitive");
        QTest::addColumn<bool>("regexp");
        QTest::addColumn<int>("count");
        QTest::newRow("any case") << "One one ONE" << "one" << false << false << 3;
        QTest::newRow("with case") << "One one ONE" << "one" << true << false << 1;
        QTest::newRow("no overlaps") << "aaaa" << "aa" << false << false << 2;
        QTest::newRow("across paragraphs") << "ab\nab" << "ab" << false << false << 2;
        QTest::newRow("no-break space as space") << QString("a%1b a b").arg(QChar(0x00A0)) << "a b" << false << false << 2;
        QTest::newRow("expression text, literally") << "a\\d1 \\d" << "\\d" << false << false << 2;
        QTest::newRow("expression, with case") << "Ab ab AB" << "a[b]" << true << true << 1;
        QTest::newRow("empty matches") << "baab" << "a*" << false << true << 4;
        QTest::newRow("invalid expression") << "a(b" << "(" << false << true << 0;
    }

    void countIsWhatReplaceAllReplaces()
    {
        QFETCH(QString, text);
        QFETCH(QString, find);
        QFETCH(bool, caseSensitive);
        QFETCH(bool, regexp);
        QFETCH(int, count);
        setText(text);
        ScriptedPrompt prompt;
        window->replace();
        part<QComboBox>("findComboBox")->setEditText(find);
        part<QComboBox>("replaceComboBox")->setEditText("#");
        // Changing an option counts again.
        part<QCheckBox>("caseCheckBox")->setChecked(caseSensitive);
        part<QCheckBox>("regExpCheckBox")->setChecked(regexp);
        QCOMPARE(countLabel(), QString("匹配结果: %1 个").arg(count));
        QTest::mouseClick(part<QPushButton>("replaceAllPushButton"), Qt::LeftButton);
        QCOMPARE(window->statusBar()->currentMessage(), QString("全部替换: 已替换 %1 个").arg(count));
        QCOMPARE(child->toPlainText().count('#'), count);
        QVERIFY(prompt.texts.isEmpty());
    }

    // While shown, the count follows the document's edits (once typing pauses) and the active document.
    void countFollowsTheDocument()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        setText("aaa", 3);
        window->replace();
        part<QComboBox>("findComboBox")->setEditText("a");
        QTest::keyClicks(child, "aaaa");
        QTRY_COMPARE(part<QLabel>("resultLabel")->text(), QString("匹配结果: 7 个"));
        window->newFile();
        window->activeMdiChild()->setPlainText("aa");
        QTRY_COMPARE(part<QLabel>("resultLabel")->text(), QString("匹配结果: 2 个"));
        window->activeMdiChild()->document()->setModified(false);
    }

    // The count runs on a worker: setting the find text returns before a large document is counted,
    // and typing goes on meanwhile and is counted once it pauses. Closing the last document with a
    // count under way empties the label and turns the buttons off, as before any document, also after
    // typing another find text; a new document brings both back.
    void countRunsOnAWorkerWhileThereIsADocument()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        setText(QStringLiteral("甲乙丙丁戊己庚辛壬癸b\n").repeated(20000).chopped(1));
        QCOMPARE(shownCount("c", false, false), QString("匹配结果: 0 个"));
        part<QComboBox>("findComboBox")->setEditText("b");
        QVERIFY(dialog()->isCounting());
        QTest::keyClicks(child, "bbb");
        QTRY_COMPARE(part<QLabel>("resultLabel")->text(), QString("匹配结果: 20003 个"));
        QCOMPARE(countLabel(), QString("匹配结果: 20003 个"));

        const auto buttons = {part<QPushButton>("findPushButton"), part<QPushButton>("replacePushButton"),
                              part<QPushButton>("replaceAllPushButton")};
        part<QComboBox>("findComboBox")->setEditText("甲");
        child->document()->setModified(false);
        window->closeAllAct->trigger();
        QTRY_VERIFY(!window->activeMdiChild());
        for (const QString typed : {"", "z"}) {
            QTest::keyClicks(part<QComboBox>("findComboBox")->lineEdit(), typed);
            QCOMPARE(countLabel(), QString());
            for (QPushButton* button : buttons)
                QVERIFY(!button->isEnabled());
        }
        window->newFile();
        child = window->activeMdiChild();
        QTRY_COMPARE(part<QLabel>("resultLabel")->text(), QString("匹配结果: 0 个"));
        for (QPushButton* button : buttons)
            QVERIFY(button->isEnabled());
    }

    // Closing the last document empties the count and turns the buttons off, as
    // before any document; a count of its text started just before does not bring
    // the label back. A new document brings both back.
    void noDocumentLeavesNothingToCount()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        const auto buttons = {part<QPushButton>("findPushButton"), part<QPushButton>("replacePushButton"),
                              part<QPushButton>("replaceAllPushButton")};
        setText(QStringLiteral("甲乙丙b\n").repeated(20000));
        QCOMPARE(shownCount("c", false, false), QString("匹配结果: 0 个"));
        part<QComboBox>("findComboBox")->setEditText("b");
        child->document()->setModified(false);
        window->closeAllAct->trigger();
        QTRY_VERIFY(!window->activeMdiChild());
        QCOMPARE(countLabel(), QString());
        for (QPushButton* button : buttons)
            QVERIFY(!button->isEnabled());
        // Typing another find text does not bring them back.
        QTest::keyClicks(part<QComboBox>("findComboBox")->lineEdit(), "z");
        QCOMPARE(countLabel(), QString());
        for (QPushButton* button : buttons)
            QVERIFY(!button->isEnabled());

        window->newFile();
        child = window->activeMdiChild();
        QVERIFY(child);
        QTRY_COMPARE(part<QLabel>("resultLabel")->text(), QString("匹配结果: 0 个"));
        for (QPushButton* button : buttons)
            QVERIFY(button->isEnabled());
    }

    // Closing the last document drops the count of its text still on its way.
    void closingTheDocumentDropsItsCount()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        setText(QStringLiteral("甲乙丙\n").repeated(50000));
        QCOMPARE(shownCount("x", false, true), QString("匹配结果: 0 个"));
        part<QComboBox>("findComboBox")->setEditText("x*");
        QVERIFY(dialog()->isCounting());
        child->document()->setModified(false);
        window->closeAllAct->trigger();
        QTRY_VERIFY(!child);
        QVERIFY(!dialog()->isCounting());
        QTest::qWait(500); // the count's answer, were it passed on, would arrive here
        QCOMPARE(part<QLabel>("resultLabel")->text(), QString());
    }

    // An editor that closes on its own (and is deleted) with no other window made
    // active after it leaves no document to count in: the dialog looks again once
    // the document is gone.
    void documentGoneOnItsOwnLeavesNothingToCount()
    {
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        setText("aaa");
        QCOMPARE(shownCount("a", false, false), QString("匹配结果: 3 个"));
        child->document()->setModified(false);
        child->close();
        QTRY_VERIFY(!child);
        QVERIFY(!window->activeMdiChild());
        QTRY_COMPARE(part<QLabel>("resultLabel")->text(), QString());
        QVERIFY(!part<QPushButton>("findPushButton")->isEnabled());
        QVERIFY(!part<QPushButton>("replaceAllPushButton")->isEnabled());
    }

    // A later count's answer shows while an earlier count, busy with one long
    // match, still runs; the earlier one is told to stop and its answer, when it
    // comes, goes nowhere.
    void newerCountArrivesWhileAnOlderOneRuns()
    {
        MatchCounter counter;
        QSignalSpy counted(&counter, &MatchCounter::counted);
        const auto older = std::make_shared<HeldCount>();
        const auto releaseOlder = qScopeGuard([older] { older->release.release(); }); // before the counter goes
        counter.start(HeldCount::count(older, 7, false));
        counter.start([](const MatchCounter::Stop&) { return 3; });
        QTRY_COMPARE(counted.count(), 1);
        QCOMPARE(counted.at(0).at(0).toInt(), 3);
        QVERIFY(!older->done);
        QVERIFY(!counter.isBusy());
        older->release.release();
        QTRY_VERIFY(older->done);
        QVERIFY(older->toldToStop);
        QTest::qWait(200); // its answer, had it been passed on, would arrive here
        QCOMPARE(counted.count(), 1);
    }

    // cancel() tells the count under way to stop and drops its answer.
    void cancelStopsTheCountAndDropsItsAnswer()
    {
        MatchCounter counter;
        QSignalSpy counted(&counter, &MatchCounter::counted);
        const auto count = std::make_shared<HeldCount>();
        counter.start(HeldCount::count(count, 5, true));
        QVERIFY(counter.isBusy());
        counter.cancel();
        QVERIFY(!counter.isBusy());
        QTRY_VERIFY(count->done);
        QVERIFY(count->toldToStop);
        QTest::qWait(200);
        QCOMPARE(counted.count(), 0);
        // The counter counts on afterwards.
        counter.start([](const MatchCounter::Stop&) { return 2; });
        QTRY_COMPARE(counted.count(), 1);
        QCOMPARE(counted.at(0).at(0).toInt(), 2);
    }

    // The counter's end waits for no count: one that cannot stop yet runs on
    // after the destructor returned, and ends without touching the counter.
    void destroyingTheCounterWaitsForNoCount()
    {
        const auto count = std::make_shared<HeldCount>();
        auto* counter = new MatchCounter;
        counter->start(HeldCount::count(count, 4, false));
        delete counter;
        QVERIFY(!count->done);
        count->release.release();
        QTRY_VERIFY(count->done);
        QVERIFY(count->toldToStop);
        QTest::qWait(100); // its answer, had it been passed on, would reach the deleted counter here
    }

    void pagesMoveOneSetOfControls()
    {
        FindReplaceDialogEx* box = dialog();
        QCOMPARE(box->size(), QSize(480, 320));
        QCOMPARE(box->windowTitle(), QString("查找&替换"));
        auto* controls = part<QWidget>("horizontalLayoutWidget");
        const auto replaceOnly = {part<QWidget>("replacePushButton"), part<QWidget>("replaceAllPushButton"),
                                  part<QWidget>("replaceComboBox"), part<QWidget>("replaceLabel")};
        QCOMPARE(controls->parentWidget(), part<QWidget>("findWidget"));
        for (QWidget* widget : replaceOnly)
            QVERIFY(widget->isHidden());

        box->on_tabWidget_currentChanged(1);
        QCOMPARE(part<QTabWidget>("tabWidget")->currentIndex(), 1);
        QCOMPARE(controls->parentWidget(), part<QWidget>("replaceWidget"));
        for (QWidget* widget : replaceOnly)
            QVERIFY(!widget->isHidden());

        // Clicking the tab does the same.
        part<QTabWidget>("tabWidget")->setCurrentIndex(0);
        QCOMPARE(controls->parentWidget(), part<QWidget>("findWidget"));
        for (QWidget* widget : replaceOnly)
            QVERIFY(widget->isHidden());

        MessageCapture capture;
        box->on_tabWidget_currentChanged(7);
        QVERIFY(capture.contains("Unknown tab index specified."));
        QCOMPARE(part<QTabWidget>("tabWidget")->currentIndex(), 0);
        QCOMPARE(controls->parentWidget(), part<QWidget>("findWidget"));

        QVERIFY(part<QCheckBox>("regExpCheckBox")->toolTip().startsWith("符号    解释"));
        QCOMPARE(part<QCheckBox>("regExpCheckBox")->toolTip().count('\n'), 12);
    }

    void commandsOpenTheDialog()
    {
        setText(knownText);
        QTextCursor cursor = child->textCursor();
        cursor.setPosition(4);
        cursor.setPosition(7, QTextCursor::KeepAnchor);
        child->setTextCursor(cursor);
        window->replace();
        QVERIFY(dialog()->isVisible());
        QCOMPARE(part<QTabWidget>("tabWidget")->currentIndex(), 1);
        QCOMPARE(part<QComboBox>("findComboBox")->currentText(), QString("two"));
        QCOMPARE(countLabel(), QString("匹配结果: 2 个"));
        // No selection keeps the text that was there.
        cursor.clearSelection();
        child->setTextCursor(cursor);
        window->find();
        QCOMPARE(part<QTabWidget>("tabWidget")->currentIndex(), 0);
        QCOMPARE(part<QComboBox>("findComboBox")->currentText(), QString("two"));
        QVERIFY(part<QPushButton>("findPushButton")->isEnabled());
        part<QPushButton>("closePushButton")->click();
        QVERIFY(!dialog()->isVisible());
    }

    void buttonsDriveTheEngine()
    {
        setText(knownText);
        ScriptedPrompt prompt;
        window->replace();
        part<QComboBox>("findComboBox")->setEditText("one");
        part<QComboBox>("replaceComboBox")->setEditText("壹");
        part<QCheckBox>("backwardCheckBox")->setChecked(true);
        QTest::mouseClick(part<QPushButton>("replaceAllPushButton"), Qt::LeftButton);
        QCOMPARE(child->toPlainText(), QString("壹 two 壹 two\nthree 壹"));
        QVERIFY(prompt.texts.isEmpty());
        QTest::mouseClick(part<QPushButton>("findPushButton"), Qt::LeftButton);
        QCOMPARE(prompt.texts, QStringList{"查找结束, 未发现: one"});
    }

    // An expression the engine gives up on (".*.*c" backtracks over the whole line from every
    // start) is said to be so: the count does not pass for a number, Replace All replaces nothing
    // rather than the matches found before the engine stopped, and 查找 does not report the text
    // as searched through.
    void expressionTooComplexChangesNothing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("全部替换") << "replaceAllPushButton";
        QTest::newRow("替换") << "replacePushButton";
        QTest::newRow("查找") << "findPushButton";
    }

    void expressionTooComplexChangesNothing()
    {
        QFETCH(QString, button);
        const QString text = QStringLiteral("c") + QString(40000, QChar(0x6587));
        setText(text);
        ScriptedPrompt prompt;
        window->replace();
        part<QCheckBox>("regExpCheckBox")->setChecked(true);
        part<QComboBox>("findComboBox")->setEditText(QStringLiteral(".*.*c"));
        part<QComboBox>("replaceComboBox")->setEditText("#");
        QCOMPARE(countLabel(), QString("匹配结果: 表达式过于复杂, 无法计数"));
        QTest::mouseClick(part<QPushButton>(button.toLatin1().constData()), Qt::LeftButton);
        QCOMPARE(child->toPlainText(), text);
        QCOMPARE(prompt.texts,
                 QStringList{"正则表达式 .*.*c 过于复杂, 无法在当前文档中完成匹配, 文档没有改动."});
        QVERIFY(!window->statusBar()->currentMessage().startsWith("全部替换"));
    }

    void history()
    {
        setText(knownText);
        auto* find = part<QComboBox>("findComboBox");
        auto* replace = part<QComboBox>("replaceComboBox");
        auto* findButton = part<QPushButton>("findPushButton");
        ScriptedPrompt prompt;
        find->setEditText("one");
        findButton->click();
        QCOMPARE(Settings().value("FindString/0").toString(), QString("one"));
        // Presses on the find page keep no replacement history.
        QVERIFY(!Settings().contains("ReplaceString/0"));
        QCOMPARE(replace->count(), 0);

        // The same text again writes nothing.
        Settings().remove("FindString");
        findButton->click();
        QVERIFY(!Settings().contains("FindString/0"));
        QCOMPARE(find->count(), 1);

        for (int i = 0; i < 11; ++i) {
            find->setEditText(QString("w%1").arg(i));
            findButton->click();
        }
        QCOMPARE(find->count(), FindReplaceDialogEx::historySize);
        QCOMPARE(find->itemText(0), QString("w10"));
        QCOMPARE(find->itemText(9), QString("w1"));
        QCOMPARE(Settings().value("FindString/0").toString(), QString("w10"));
        QCOMPARE(Settings().value("FindString/9").toString(), QString("w1"));

        // A full list that held the text already moves it up and shrinks to nine.
        find->setEditText("w5");
        findButton->click();
        QCOMPARE(find->count(), 9);
        QCOMPARE(find->itemText(0), QString("w5"));
        QCOMPARE(find->findText("w5"), 0);
        QCOMPARE(find->currentIndex(), 0);

        dialog()->on_tabWidget_currentChanged(1);
        replace->setEditText("uno");
        part<QPushButton>("replacePushButton")->click();
        QCOMPARE(Settings().value("ReplaceString/0").toString(), QString("uno"));
        QCOMPARE(replace->count(), 1);
    }

    void insertOverwrite()
    {
        window->toggleInsertOverwriteMode();
        QVERIFY(child->overwriteMode());
        if (window->insertOverwriteButton) {
            QCOMPARE(window->insertOverwriteButton->text(), QString("OVR"));
            QCOMPARE(window->insertOverwriteButton->property("Overwrite").toBool(), true);
        }
        window->toggleInsertOverwriteMode();
        QVERIFY(!child->overwriteMode());
        if (window->insertOverwriteButton)
            QCOMPARE(window->insertOverwriteButton->text(), QString("INS"));
    }
};

TQ_TEST_MAIN(FindReplaceTest)
#include "tst_findreplace.moc"
