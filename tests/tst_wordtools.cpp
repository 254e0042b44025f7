// The writer's small word tools: the user word-list highlighter (rules, literal
// and case-insensitive matching, code points, the toggle command), the
// dictionary pane (prefix and exact searches, the explanation pane and its
// escaping, the not-found entry, Alt+F7) and document statistics.

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include "DictionaryLookup.h"
#include "Embellish.h"
#include "GlobalActions.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "SharedCodes.h"
#include "StatisticsDialog.h"
#include "TestSupport.h"
#include "VeldmarkHighlighter.h"

namespace {

// Document positions the highlighter painted (red background, bold).
QList<int> paintedPositions(QTextDocument* document)
{
    QList<int> positions;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (const QTextLayout::FormatRange& range : block.layout()->formats())
            if (range.format.background().color() == Qt::red && range.format.fontWeight() == QFont::Bold)
                for (int i = 0; i < range.length; ++i)
                    positions << block.position() + range.start + i;
    return positions;
}

// Positions of every character of `text` found in `characters`.
QList<int> positionsOf(const QString& text, const QString& characters)
{
    QList<int> positions;
    for (int i = 0; i < text.size(); ++i)
        if (characters.contains(text.at(i)))
            positions << i;
    return positions;
}

QStringList texts(const QListWidget* list)
{
    QStringList result;
    for (int i = 0; i < list->count(); ++i)
        result << list->item(i)->text();
    return result;
}

// Text of every fragment of the document in the given colour.
QStringList fragmentsInColour(QTextDocument* document, const QColor& colour)
{
    QStringList result;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().foreground().color() == colour)
                result << it.fragment().text();
    return result;
}

// Answers the statistics dialog by reading its value labels in grid order.
class StatisticsPrompt : public ScriptedPrompt
{
public:
    int execDialog(QDialog& dialog) override
    {
        labels.clear();
        for (QLabel* label : dialog.findChildren<QLabel*>())
            labels << label->text();
        title = dialog.windowTitle();
        fixed = dialog.minimumSize() == dialog.maximumSize();
        return ScriptedPrompt::execDialog(dialog);
    }
    QStringList labels;
    QString title;
    bool fixed = false;
};

} // namespace

class WordToolsTest : public QObject
{
    Q_OBJECT

    QScopedPointer<TemporaryDictionary> dictionary;
    QScopedPointer<MainWindow> window;

    MdiChild* newDocument(const QString& text)
    {
        window->newFile();
        MdiChild* child = window->activeMdiChild();
        child->setPlainText(text);
        return child;
    }

    // Rewrites the user word list; the window's connection lets go of the old file first.
    void setErrorProneRows(const QStringList& rows)
    {
        if (window)
            window->embellish->getDatabase(TEMPLATE_TYPE_SQLITE_DB_DICTIONARY, QString());
        QList<QVariantList> values;
        for (const QString& row : rows)
            values << QVariantList{row};
        dictionary->add(TEMPLATE_TYPE_SQLITE_DB_SPELLING_USER_DEFINED_WORD, {"Word"}, values, false);
    }

private slots:
    void initTestCase()
    {
        dictionary.reset(new TemporaryDictionary("wordtools"));
        const QList<QStringList> entries{{"天气", "大气状况。\n例：今～好。"},
                                         {"天空", "高空。"},
                                         {"天", "高空。"},
                                         {"天气", "又一义：冷热阴晴。"},
                                         {"天真", "单纯。"},
                                         {"雨伞", "挡雨的用具，～面多用布做。"},
                                         {"\"引号'", "含 \"双引号\" 和 '单引号'。"},
                                         {"a<b&c", "<b>不是粗体</b> & 不是实体 &amp;"},
                                         {"font", "<font color=\"red\">font</font> 和 color 都是普通文字。"},
                                         {"color", "颜色。"}};
        QList<QVariantList> rows;
        for (const QStringList& entry : entries)
            rows << QVariantList{entry.at(0), entry.at(1)};
        dictionary->add(TEMPLATE_TYPE_SQLITE_DB_DICTIONARY, {"Word", "Explanation"}, rows, true);
        setErrorProneRows({"的", "地得"});
    }

    void cleanupTestCase() { dictionary.reset(); }

    void init()
    {
        Settings().clear();
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    }

    void cleanup()
    {
        for (MdiChild* child : window->findChildren<MdiChild*>())
            child->document()->setModified(false);
        window.reset();
        setErrorProneRows({"的", "地得"});
    }

    // ---- Highlighter ---------------------------------------------------------

    void highlighterRulesAndLiteralMatching()
    {
        QTextDocument document;
        document.setTextWidth(300);
        const QString text = "我的天地得了好处。的地";
        document.setPlainText(text);
        {
            // Rows 的 and 地得: three rules, every 的, 地 and 得 painted at once,
            // nothing else; the layout keeps its width.
            VeldmarkHighlighter highlighter(&document, "的地得");
            QCOMPARE(highlighter.rules.size(), 3);
            QCOMPARE(highlighter.errorProneCharacters, (QStringList{"的", "地", "得"}));
            QCOMPARE(highlighter.formats.size(), 3);
            QCOMPARE(paintedPositions(&document), positionsOf(text, "的地得"));
            QCOMPARE(document.pageSize().width(), 300.0);
        }
        // Gone with its highlighter.
        QVERIFY(paintedPositions(&document).isEmpty());

        // Case-insensitive, and characters that mean something in a regular
        // expression stand for themselves (no hang on "^", "$" or "|").
        const QString symbols = "Aa.x^y$z|w\\v(b)[c]*+?{d}";
        document.setPlainText(symbols);
        VeldmarkHighlighter literal(&document, "a.^$|\\(");
        for (const HighlightingRule& rule : qAsConst(literal.rules))
            QCOMPARE(rule.pattern.caseSensitivity(), Qt::CaseInsensitive);
        QCOMPARE(paintedPositions(&document), positionsOf(symbols, "Aa.^$|\\("));

        // A supplementary-plane character is one entry and paints only itself,
        // not a neighbour that shares its first half.
        const QString wide = QString::fromUcs4(U"\U00020000");
        const QString other = QString::fromUcs4(U"\U00020001");
        document.setPlainText(other + wide + "x");
        VeldmarkHighlighter codePoints(&document, wide + "x");
        QCOMPARE(codePoints.errorProneCharacters, (QStringList{wide, "x"}));
        QCOMPARE(paintedPositions(&document), (QList<int>{2, 3, 4}));
    }

    void highlightingKeepsTheViewInPlace()
    {
        QTextEdit editor;
        editor.resize(600, 400);
        QStringList paragraphs;
        for (int i = 0; i < 20000; ++i)
            paragraphs << QString("第%1段地得的文字").arg(i);
        editor.setPlainText(paragraphs.join('\n'));
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.document()->documentLayout()->documentSize();
        QCoreApplication::processEvents();
        QScrollBar* bar = editor.verticalScrollBar();
        bar->setValue(bar->maximum() / 2);
        QCoreApplication::processEvents();
        const int value = bar->value();
        const int topBlock = editor.cursorForPosition(QPoint(2, 2)).blockNumber();
        QVERIFY(topBlock > 5000);

        VeldmarkHighlighter highlighter(editor.document(), "的");
        QCoreApplication::processEvents();
        QCOMPARE(bar->value(), value);
        QCOMPARE(editor.cursorForPosition(QPoint(2, 2)).blockNumber(), topBlock);
        const QTextBlock last = editor.document()->lastBlock();
        QCOMPARE(last.layout()->formats().size(), 1);
        QVERIFY(last.layout()->lineCount() > 0);
    }

    void toggleCommandPaintsWhileTyping()
    {
        MdiChild* child = newDocument(QString());
        QVERIFY(!userDefinedWordSpellingCheckAct->isChecked());
        userDefinedWordSpellingCheckAct->trigger();
        QVERIFY(child->highlighter);
        QVERIFY(userDefinedWordSpellingCheckAct->isChecked());
        typeText(child, "慢慢地走得好的");
        QCOMPARE(child->toPlainText(), QString("慢慢地走得好的"));
        QTRY_COMPARE(paintedPositions(child->document()), (QList<int>{2, 4, 6}));

        // Off: unpainted and unchecked; the text and its modified state are untouched.
        userDefinedWordSpellingCheckAct->trigger();
        QVERIFY(!child->highlighter);
        QVERIFY(!userDefinedWordSpellingCheckAct->isChecked());
        QVERIFY(paintedPositions(child->document()).isEmpty());
        QCOMPARE(child->toPlainText(), QString("慢慢地走得好的"));
        QVERIFY(!child->toHtml().contains("background-color"));

        // An empty list: checked, paints nothing.
        setErrorProneRows({});
        userDefinedWordSpellingCheckAct->trigger();
        QVERIFY(userDefinedWordSpellingCheckAct->isChecked());
        QVERIFY(child->highlighter && child->highlighter->rules.isEmpty());
        QCoreApplication::processEvents();
        QVERIFY(paintedPositions(child->document()).isEmpty());

        // Without a document the command changes nothing, its check mark included.
        child->document()->setModified(false);
        window->closeAllAct->trigger();
        QVERIFY(!window->activeMdiChild());
        userDefinedWordSpellingCheckAct->trigger();
        QVERIFY(userDefinedWordSpellingCheckAct->isChecked());
    }

    // ---- Dictionary pane -------------------------------------------------------

    void prefixAndExactSearches()
    {
        QLineEdit* box = window->dictLineEdit;
        box->setText("天");
        QVERIFY(window->dictDock->isVisible());
        QCOMPARE(window->dictDock->widget(), window->dictListWidget);
        QCOMPARE(texts(window->dictListWidget), (QStringList{"天气", "天空", "天", "天真"}));
        QCOMPARE(window->dictListWidget->item(0)->foreground().color(), QColor("DarkOrange"));

        // Return: the exact word; its two rows each with an empty line after it.
        box->setText("天气");
        QCOMPARE(window->dictDock->widget(), window->dictTextEdit); // one word already
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(window->dictDock->widget(), window->dictTextEdit);
        QCOMPARE(window->dictTextEdit->toPlainText(), QString("天气: 大气状况。\n例：今～好。\n\n天气: 又一义：冷热阴晴。\n\n"));
        QCOMPARE(fragmentsInColour(window->dictTextEdit->document(), QColor("DarkOrange")),
                 (QStringList{"天气", "～", "天气"}));

        // Typing brings the list back; activating a word shows its entry.
        box->setText("雨");
        box->setText("天");
        QCOMPARE(window->dictDock->widget(), window->dictListWidget);
        QVERIFY(window->dictListWidget->isVisible());
        QVERIFY(!window->dictTextEdit->isVisible());
        emit window->dictListWidget->itemActivated(window->dictListWidget->item(3));
        QCOMPARE(window->dictTextEdit->toPlainText(), QString("天真: 单纯。\n\n"));

        // Clearing the box changes nothing; "%" and "_" act as wildcards and harm nothing.
        box->clear();
        QCOMPARE(window->dictDock->widget(), window->dictTextEdit);
        box->setText("%");
        QCOMPARE(window->dictListWidget->count(), 9);
        box->setText("天_");
        QCOMPARE(texts(window->dictListWidget), (QStringList{"天气", "天空", "天真"}));
    }

    void notFoundEntry()
    {
        window->dictLineEdit->setText("没有的词");
        QCOMPARE(texts(window->dictListWidget), QStringList{"未找到对应词条"});
        QCOMPARE(window->dictListWidget->item(0)->foreground().color(), QColor("Red"));
        emit window->dictListWidget->itemActivated(window->dictListWidget->item(0));
        QCOMPARE(texts(window->dictListWidget), QStringList{"未找到对应词条"});
        QCOMPARE(window->dictDock->widget(), window->dictListWidget);
        window->dictWordSelected(nullptr);
        QCOMPARE(texts(window->dictListWidget), QStringList{"未找到对应词条"});
    }

    void userTextIsBoundAndEscaped()
    {
        // Quotes reach the database as text; markup in words and explanations
        // stays text; the searched word is marked only where it stands in the text.
        const QList<QPair<QString, QString>> cases{
            {"\"引号'", "\"引号': 含 \"双引号\" 和 '单引号'。\n\n"},
            {"a<b&c", "a<b&c: <b>不是粗体</b> & 不是实体 &amp;\n\n"},
            {"font", "font: <font color=\"red\">font</font> 和 color 都是普通文字。\n\n"},
            {"color", "color: 颜色。\n\n"},
        };
        for (const auto& entry : cases) {
            window->dictSearch(entry.first, true);
            QCOMPARE(window->dictTextEdit->toPlainText(), entry.second);
            const QStringList marked = fragmentsInColour(window->dictTextEdit->document(), QColor("DarkOrange"));
            QCOMPARE(marked.size(), entry.second.count(entry.first));
            for (const QString& piece : marked)
                QCOMPARE(piece, entry.first);
        }
        QCOMPARE(DictionaryLookup::explanationHtml({{"x", "a\nb"}}, QString()), QString("x: a<br>b<br><br>"));
        QCOMPARE(DictionaryLookup::explanationHtml({{"<i>", "～"}}, "<i>"),
                 QString("<font color=\"DarkOrange\">&lt;i&gt;</font>: <font color=\"DarkOrange\">～</font><br><br>"));
    }

    void selectedWordWithAltF7()
    {
        MdiChild* child = newDocument("今天带雨伞出门");
        selectText(child, 3, 5);
        QTest::keyClick(child, Qt::Key_F7, Qt::AltModifier);
        QCOMPARE(window->dictLineEdit->text(), QString("雨伞"));
        QCOMPARE(window->dictTextEdit->toPlainText(), QString("雨伞: 挡雨的用具，～面多用布做。\n\n"));

        // Again with the pane closed: the same word is looked up again.
        window->dictDock->hide();
        QTest::keyClick(child, Qt::Key_F7, Qt::AltModifier);
        QVERIFY(window->dictDock->isVisible());
        QCOMPARE(window->dictDock->widget(), window->dictTextEdit);
    }

    // ---- Statistics --------------------------------------------------------------

    void statisticsCounts()
    {
        QTextEdit editor;
        editor.resize(300, 200);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QCOMPARE(TextStatistics::of(&editor).documentLines, 0);
        QCOMPARE(TextStatistics::of(&editor).documentCharacters, 0);
        QCOMPARE(TextStatistics::of(&editor).documentCharactersWithoutSpace, 0);

        editor.setPlainText("a b\ncd");
        selectText(&editor, 0, 3);
        TextStatistics counts = TextStatistics::of(&editor);
        QCOMPARE(counts.selectionCharacters, 3);
        QCOMPARE(counts.selectionCharactersWithoutSpace, 2);
        QCOMPARE(counts.documentCharacters, 6);
        QCOMPARE(counts.documentCharactersWithoutSpace, 4);
        QCOMPARE(counts.documentLines, 2);
        // Across the paragraph break: one character with spaces, none without.
        selectText(&editor, 2, 5);
        counts = TextStatistics::of(&editor);
        QCOMPARE(counts.selectionCharacters, 3);
        QCOMPARE(counts.selectionCharactersWithoutSpace, 2);

        // Every kind of white space; a supplementary-plane character counts once.
        const QString wide = QString::fromUcs4(U"\U00020000");
        editor.setPlainText(QString::fromUtf8("a\u3000b\tc\u00A0d\u2028e \u2003f") + wide);
        editor.selectAll();
        counts = TextStatistics::of(&editor);
        QCOMPARE(counts.documentCharacters, 13);
        QCOMPARE(counts.documentCharactersWithoutSpace, 7);
        QCOMPARE(counts.selectionCharacters, 13);
        QCOMPARE(counts.selectionCharactersWithoutSpace, 7);

        // Lines as laid out: wrapping a long line gives more of them.
        editor.setPlainText(QString(400, QLatin1Char('x')) + "\nshort");
        editor.setLineWrapMode(QTextEdit::NoWrap);
        QCOMPARE(TextStatistics::of(&editor).documentLines, 2);
        editor.setLineWrapMode(QTextEdit::WidgetWidth);
        QVERIFY(TextStatistics::of(&editor).documentLines > 2);

        // A large document not yet laid out is laid out before counting.
        QStringList paragraphs;
        for (int i = 0; i < 20000; ++i)
            paragraphs << QString("第%1段").arg(i);
        editor.setPlainText(paragraphs.join('\n'));
        QCOMPARE(TextStatistics::of(&editor).documentLines, 20000);
        QVERIFY(TextStatistics::of(&editor).documentPages >= 1);
    }

    void statisticsCommand()
    {
        StatisticsPrompt prompt;
        window->statisticsAct->trigger();
        QCOMPARE(prompt.titles, QStringList{"错误"});
        QCOMPARE(prompt.texts, QStringList{"没有打开的文档"});
        QVERIFY(prompt.dialogs.isEmpty());

        MdiChild* child = newDocument("一 二\n三");
        selectText(child, 0, 3);
        window->statisticsAct->trigger();
        QCOMPARE(prompt.dialogs, QStringList{"StatisticsDialog"});
        QCOMPARE(prompt.title, QString("统计信息"));
        QVERIFY(prompt.fixed);
        QCOMPARE(prompt.labels, (QStringList{"选中", "总共", "行数", "-", "2", "字数(包含空格)", "3", "5",
                                             "字数(不含空格)", "2", "3", "页数", "-", "1"}));
    }
};

TQ_TEST_MAIN(WordToolsTest)
#include "tst_wordtools.moc"
