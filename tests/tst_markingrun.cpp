// Marking runs: the HTML of marked segments and the same marks written straight
// into a document; whole-document runs with 1, 2 and 8 workers, dry runs that
// leave the text as it was, Undo, a run finding nothing that removes old marks,
// text typed over or after a mark, cancel, a refused second run, closing the
// document mid-run, the database connections a run leaves behind, the progress
// and count texts; and every marking command of the main window on the shipped
// sample document and word databases.

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QInputMethodEvent>
#include <QProgressDialog>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <random>

#include "EmbellishRun.h"
#include "GlobalActions.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "RandomSource.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "TestSupport.h"
#include "WordDatabaseCatalogue.h"
#include "WordLookupTable.h"

namespace {

// Blocks as lines; a mark as [text|href|colour].
QString marksOf(const QTextDocument* document)
{
    return marksOfBlocks(document).join('\n');
}

void addWords(TemporaryDictionary& dictionary, uint code, const QStringList& words)
{
    QList<QVariantList> rows;
    for (const QString& word : words)
        rows << QVariantList{word};
    dictionary.add(code, {"Word"}, rows, true);
}

// What the character at position shows: link|colour|underline|weight.
QString lookAt(QTextDocument* document, int position)
{
    QTextCursor cursor(document);
    cursor.setPosition(position + 1);
    const QTextCharFormat f = cursor.charFormat();
    return QStringList{f.anchorHref(), f.foreground().style() == Qt::NoBrush ? "none" : f.foreground().color().name(),
                       f.fontUnderline() ? "underline" : "plain", f.fontWeight() > QFont::Normal ? "bold" : "normal"}
        .join('|');
}

// Every code a dry run (a check or a highlight) is started with.
const uint kDryCodes[] = {33, 34, 84, 81, 87, 88, 86, 83, 80, 82, 117, 89, 254, 96, 37, 32, 17, 16, 2, 64, 18};

} // namespace

class MarkingRunTest : public QObject
{
    Q_OBJECT

    QScopedPointer<TemporaryDictionary> dictionary;

    int run(EmbellishRun& run, QTextEdit& editor, uint code, bool dryRun)
    {
        currentTemplateType = int(code);
        return run.run(&editor, code, dryRun, nullptr);
    }

private slots:
    void initTestCase()
    {
        dictionary.reset(new TemporaryDictionary("run"));
        addWords(*dictionary, 83, {"北京", "长江", "<b>"});
        addWords(*dictionary, 33, {"今天", "我们", "去", "北京"});
        addWords(*dictionary, 36, {"的", "了", "二", "四", "年", "三", "月"});
        dictionary->add(32, {"TypoWord", "Correction"}, {{"迫不急待", "迫不及待"}}, true);
        dictionary->add(64, {"Word01", "Word02"}, {{"高兴", "快乐"}, {"高兴", "开心"}}, true);
        // Every other table a check reads, with a row of its own, so every check can run.
        for (uint code : kDryCodes)
            for (uint table : EmbellishRun::tableCodes(code)) {
                if (QFileInfo::exists(WordDatabaseCatalogue::fileName(table)))
                    continue;
                const QString word = "无关" + QString::number(table);
                const auto kind = WordDatabaseCatalogue::lookupKind(table);
                if (kind == WordDatabaseCatalogue::ListLookup)
                    addWords(*dictionary, table, {word});
                else
                    dictionary->add(table, kind == WordDatabaseCatalogue::PairLookup ? QStringList{"Word01", "Word02"}
                                                                                     : QStringList{"TypoWord", "Correction"},
                                    {QVariantList{word, QString(word + "改")}}, true);
            }
    }
    void cleanupTestCase() { dictionary.reset(); }
    void init() { Settings().clear(); }
    void cleanup() { WordLookupTable::clearCache(); }

    void htmlAndDocumentMarks()
    {
        const Segment weird{"<b>x</b> & \"q\"", "地名", true};
        QString html;
        const auto spacing = MarkingRenderer::LineSpacing::fromSettings();
        QCOMPARE(MarkingRenderer::renderHtml({weird}, 83, spacing, html).marks, 1);
        QVERIFY(html.contains("<a href=\"&lt;b&gt;x&lt;/b&gt; &amp; &quot;q&quot;#0\""));
        QTextDocument document;
        document.setHtml(html);
        QCOMPARE(document.toPlainText(), weird.text);
        QCOMPARE(marksOf(&document).replace(QChar::Nbsp, ' '), QString("[%1|%1#0|#ff0000]").arg(weird.text));

        // White list: line ends are marked but not counted.
        html.clear();
        const Segment lineEnd = MarkingRenderer::lineEnd();
        QCOMPARE(MarkingRenderer::renderHtml({{"甲", "白名单", false}, lineEnd, {"乙", "白名单", false}}, 33, spacing, html)
                     .marks, 2);
        QVERIFY(html.contains("href=\"甲#0\"") && html.contains("href=\"\n#1\"") && html.contains("href=\"乙#1\""));
        // Black then white list: hits blue, misses red, each counted on its own.
        html.clear();
        const auto counts = MarkingRenderer::renderHtml(
            {{"错", "黑名单", true}, {"未", "白名单", false}, {"知", "白名单", true}, {"对", "黑名单", false}}, 34,
            spacing, html);
        QCOMPARE(QList<int>({counts.marks, counts.blackList, counts.whiteList}), QList<int>({2, 1, 1}));
        QVERIFY(html.contains("错#0\" style=\"text-decoration:underline;\"><font color=\"#0000FF\">"));
        QVERIFY(html.contains("未#1\" style=\"text-decoration:underline;\"><font color=\"#FF0000\">"));

        const QString fixed15 = "<style> p { line-height: 15; -qt-line-height-type: fixed; } </style>";
        QCOMPARE(spacing.styleLine(), fixed15);
        QCOMPARE(MarkingRenderer::LineSpacing::fromValues(1.5, 0).styleLine(), QString("<style> p { line-height: 150%; } </style>"));
        QCOMPARE(MarkingRenderer::LineSpacing::fromValues(0.5, 31).fixed, 15);
        QCOMPARE(MarkingRenderer::LineSpacing::fromValues(0.5, 10).fixed, 10);
        QCOMPARE(MarkingRenderer::LineSpacing::fromValues(0.5, 30).fixed, 30);
        Settings().setValue("LineSpacing", 1.25);
        QCOMPARE(MarkingRenderer::LineSpacing::fromSettings().styleLine(), QString("<style> p { line-height: 125%; } </style>"));
        html.clear();
        QCOMPARE(MarkingRenderer::renderHtml({}, 83, spacing, html).marks, 0);
        QCOMPARE(html, "<html> " + fixed15 + "<p></p></html>");
        html.clear();
        MarkingRenderer::renderHtml({lineEnd}, 83, spacing, html);
        QVERIFY(html.endsWith("<p></p><p></p></html>"));

        // Written straight into a document, the marks look as the HTML makes them.
        std::mt19937 random(7);
        const QString pieces[] = {"甲", "乙丙", "<&>", "\"", "丁"};
        for (uint code : {33u, 34u, 83u}) {
            for (int round = 0; round < 20; ++round) {
                // Qt's HTML import leaves an empty last paragraph unformatted and drops
                // one between two marked line ends; the document written directly does not.
                SegmentList segments;
                for (int k = int(random() % 12); k > 0; --k)
                    segments << (random() % 5 == 0 && k > 1 && !segments.isEmpty()
                                         && !MarkingRenderer::isLineEnd(segments.last())
                                     ? lineEnd
                                     : Segment{pieces[random() % 5], random() % 2 ? "黑名单" : "白名单", random() % 2 == 0});
                html.clear();
                const auto fromHtml = MarkingRenderer::renderHtml(segments, code, spacing, html);
                QTextDocument viaHtml, direct;
                viaHtml.setHtml(html);
                QTextCursor cursor(&direct);
                const auto inserted = MarkingRenderer::insert(cursor, segments, code, spacing);
                QCOMPARE(direct.toHtml(), viaHtml.toHtml());
                QCOMPARE(QList<int>({inserted.marks, inserted.blackList, inserted.whiteList}),
                         QList<int>({fromHtml.marks, fromHtml.blackList, fromHtml.whiteList}));
            }
        }
    }

    void texts()
    {
        QCOMPARE(EmbellishRun::timeText(5), QString("05秒"));
        QCOMPARE(EmbellishRun::timeText(59), QString("59秒"));
        QCOMPARE(EmbellishRun::timeText(3605), QString("01小时00分钟05秒"));
        QCOMPARE(EmbellishRun::timeText(90061), QString("1天01小时01分钟01秒"));
        QCOMPARE(EmbellishRun::estimate(10, 3, 2), qint64(15));
        QCOMPARE(EmbellishRun::estimate(4, 10, 0), qint64(40));
        QCOMPARE(EmbellishRun::progressText(2, 3, 10, 15), QString("工作进行中... 第2行 / 共3行.\n已用时: 10秒,\t估计总用时: 15秒"));
        QCOMPARE(EmbellishRun::countMessage(34, {3, 1, 2}),
                 QString("本次检查发现错误及疑点共 3 处, 其中\n黑名单检出 1 处,\n白名单检出 2 处."));
        QCOMPARE(EmbellishRun::countMessage(18, {4, 0, 0}), QString("标记反义词 4 处"));
        QCOMPARE(EmbellishRun::countMessage(37, {0, 0, 0}), QString("标记 0 处"));
    }

    // The same document gives the same result with 1, 2 and 8 workers, long
    // lines cut into pieces or not; every piece is cut exactly once.
    void workersAndPieces()
    {
        const QString text = "北京长江 高兴北京\n\n今天我们去北京，长江" + QString("，北京很大").repeated(30) + "\n长江\n";
        const int connections = QSqlDatabase::connectionNames().size();
        QStringList results;
        for (int workers : {1, 2, 8}) {
            for (uint code : {83u, 64u}) {
                QTextEdit editor;
                editor.setPlainText(text);
                EmbellishRun marking;
                marking.options.workerCount = workers;
                marking.options.chunkLength = 16;
                QAtomicInt cuts;
                marking.options.beforeItem = [&cuts](int) { cuts.ref(); };
                RandomSource::seed(11);
                QCOMPARE(run(marking, editor, code, code == 83), int(EmbellishRun::Completed));
                QCOMPARE(cuts.loadAcquire(), EmbellishRun::pieces(text.split('\n'), code, SegmentationSettings::read(), 16).size());
                results << QString::number(code) + marking.message() + editor.toHtml();
                if (code == 83) {
                    QCOMPARE(editor.toPlainText(), text);
                    QCOMPARE(marking.message(), QString("标记 36 处"));
                    QCOMPARE(editor.document()->blockCount(), 5);
                }
            }
        }
        QCOMPARE(results.mid(2, 2), results.mid(0, 2));
        QCOMPARE(results.mid(4, 2), results.mid(0, 2));
        QVERIFY(results.at(1).contains("快乐") || results.at(1).contains("开心"));
        QCOMPARE(QSqlDatabase::connectionNames().size(), connections);

        QTextEdit empty;
        EmbellishRun marking;
        marking.options.workerCount = 8;
        QCOMPARE(run(marking, empty, 83, true), int(EmbellishRun::Completed));
        QCOMPARE(empty.document()->blockCount(), 1);
        QCOMPARE(marking.message(), QString("标记 0 处"));
    }

    // Dry runs give the text back whatever it holds; one Undo brings back what
    // was there. A run that finds nothing leaves a document without marks
    // exactly as it was (formatting, modified flag, Undo) and still reports its
    // count; from one with marks it takes them away, in one step Undo takes
    // back, keeping the rest of the formatting and the user's own links.
    void dryRunsKeepTheText()
    {
        QTextEdit editor;
        editor.setHtml("<p><b>今天</b>北京</p><p align=center style='margin-top:30px'>我们</p>");
        QTextCursor(editor.document()).insertText("去");
        editor.document()->setModified(false);
        const QString before = editor.toHtml();
        const int undoSteps = editor.document()->availableUndoSteps();
        EmbellishRun marking;
        for (uint code : {32u, 34u}) {
            QCOMPARE(run(marking, editor, code, true), int(EmbellishRun::Completed));
            QCOMPARE(marking.message(), EmbellishRun::countMessage(code, {}));
            QCOMPARE(editor.toHtml(), before);
            QVERIFY(!editor.document()->isModified() && editor.document()->availableUndoSteps() == undoSteps);
        }
        run(marking, editor, 83, true);
        QCOMPARE(marksOf(editor.document()), QString("去今天[北京|北京#0|#ff0000]\n我们"));
        editor.undo();
        QCOMPARE(editor.toHtml(), before);
        editor.redo();
        QTextCharFormat look;
        look.setFontWeight(QFont::Bold);
        selectText(&editor, 1, 5);
        editor.textCursor().mergeCharFormat(look);
        look.setAnchor(true);
        look.setAnchorHref("notes.html#2");
        selectText(&editor, 1, 3);
        editor.textCursor().mergeCharFormat(look);
        const QString marked = editor.toHtml();
        run(marking, editor, 33, true);
        QCOMPARE(marksOf(editor.document()), QString("去[今天|notes.html#2|#000000]北京\n我们"));
        QCOMPARE(lookAt(editor.document(), 3), QString("|none|plain|bold"));
        editor.undo();
        QCOMPARE(editor.toHtml(), marked);

        // The characters toPlainText() hides: no-break spaces, line separators,
        // ideographic spaces, tabs, runs of spaces; and a picture, which goes
        // (formatting is not kept) without leaving its placeholder behind.
        const QString text = QString("a <b>&amp; \"引号\" 'x'\t\t制表  两个空格   三个\n北京\u00a0<b>\u2028迫不急待"
                                     "\u3000北京\n\t \n\n\n高兴的\u00a0\u00a0北京\u2028\u2028");
        editor.setPlainText(text);
        QTextCursor cursor(editor.document()->findBlockByNumber(1));
        cursor.movePosition(QTextCursor::Right, QTextCursor::MoveAnchor, 2);
        QImage picture(4, 4, QImage::Format_RGB32);
        picture.fill(Qt::red);
        cursor.insertImage(picture);
        QVERIFY(rawText(editor.document()).contains(QChar::ObjectReplacementCharacter));
        for (uint code : kDryCodes) {
            QCOMPARE(run(marking, editor, code, true), int(EmbellishRun::Completed));
            QVERIFY2(rawText(editor.document()) == text, qPrintable(QString::number(code) + ": " + rawText(editor.document())));
            if (code == 34)
                QVERIFY(marksOf(editor.document()).contains(QRegularExpression("\\[迫不急待\\|迫不急待#\\d+\\|#0000ff\\]")));
            if (code == 83)
                QCOMPARE(marksOf(editor.document()).count("[北京|"), 3);
        }
    }

    // Text typed over a mark, or after it by key, new line, input method or
    // paste, has neither the mark's colour, underline nor link; bold stays bold.
    void typedTextIsNoMark()
    {
        CurrentDir here(TestEnvironment::programDir());
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        const QString sentence = "他骑马奔跑，牛群犇腾而来。";
        const QString marked = "他骑马奔跑，牛群[犇|犇#0|#ff0000]腾而来。";
        const int at = sentence.indexOf("犇");
        child->setPlainText(sentence);
        whiteListSpellingCheckAct->trigger();
        QCOMPARE(marksOf(child->document()), marked);
        selectText(child, at, at + 1);
        typeText(child, "奔");
        QCOMPARE(lookAt(child->document(), at), QString("|none|plain|normal"));
        child->undo();
        QCOMPARE(marksOf(child->document()), marked);
        child->redo();
        whiteListSpellingCheckAct->trigger();
        QCOMPARE(window.statusBar()->currentMessage(), QString("本次检查发现错误及疑点共 0 处"));
        QCOMPARE(lookAt(child->document(), at), QString("|none|plain|normal"));

        // After a mark the user made bold, at the end of its paragraph.
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        QApplication::clipboard()->setText("丁");
        const std::function<void()> ways[] = {
            [&] { typeText(child, "甲"); },
            [&] { QTest::keyClick(child, Qt::Key_Return); typeText(child, "乙"); },
            [&] { QInputMethodEvent commit; commit.setCommitString("丙"); QApplication::sendEvent(child, &commit); },
            [&] { child->paste(); },
        };
        for (const auto& way : ways) {
            child->setPlainText(sentence.left(at + 1));
            whiteListSpellingCheckAct->trigger();
            selectText(child, at, at + 1);
            child->textCursor().mergeCharFormat(bold);
            selectText(child, at + 1, at + 1);
            way();
            QCOMPARE(lookAt(child->document(), child->textCursor().position() - 1), QString("|none|plain|bold"));
            QCOMPARE(lookAt(child->document(), at), QString("犇#0|#ff0000|underline|bold"));
        }
    }

    // Blanks, punctuation and symbols are never doubtful: a web text indented
    // with ideographic spaces, with runs of no-break spaces, corner brackets,
    // arrows and the like gets no white-list mark but the one of a rare
    // character among them. Full-width digits and letters, accented Latin
    // letters and the numerals written like letters go with the digit and
    // letter settings; such a numeral is never doubtful.
    void blanksAndPunctuationAreNeverDoubtful()
    {
        QTextEdit editor;
        EmbellishRun marking;
        for (uint code : {33u, 34u}) {
            editor.setPlainText(QString("\u3000\u3000今天我们去北京。\u00a0\u00a0鼋\u00a0\u00a0「北京」『今天』〈我们〉〔去〕～﹏→²％\u2028"
                                        "\u3000\u3000我们\u00a0今天\u2029去了\u2003北京！\u2026\u2026（今天）·北京 \t"
                                        "①②★※§℃€\U0001F44D〖北京〗\n\u3000\u3000今天我们去北京\u00a0\u00a0\n二〇二四年三月去Ⅳ了ⅻ"));
            QCOMPARE(run(marking, editor, code, true), int(EmbellishRun::Completed));
            const QString marks = marksOf(editor.document());
            QVERIFY2(marking.counts().marks == 1 && marks.contains("\u00a0\u00a0[鼋|鼋#0|#ff0000]\u00a0\u00a0"), qPrintable(marks));
        }
        for (const bool asSymbol : {true, false}) {
            Settings settings;
            settings.setValue("EmbellishDigitsAsSymbol", asSymbol);
            settings.setValue("EmbellishAlphaAsSymbol", asSymbol);
            for (const QChar numeral : QString("〇Ⅳⅻ"))
                QCOMPARE(SegmentationSettings::read().isDelimiter(numeral, 0, 33), asSymbol);
            editor.setPlainText("今天２０２４ＡＢｃé我们〇Ⅳ");
            QCOMPARE(run(marking, editor, 33, true), int(EmbellishRun::Completed));
            QCOMPARE(marksOf(editor.document()), asSymbol ? QString("今天２０２４ＡＢｃé我们〇Ⅳ")
                                                          : QString("今天[２０２４ＡＢｃé|２０２４ＡＢｃé#0|#ff0000]我们〇Ⅳ"));
        }
    }

    // A check that cannot read one of its tables (missing, an empty file, a
    // database without the table, a table without rows) says so in a box
    // naming the file, leaves the document alone and creates no file.
    void unreadableTables_data()
    {
        QTest::addColumn<uint>("code");
        QTest::addColumn<uint>("broken");
        QTest::addColumn<QString>("damage");
        QTest::addColumn<QString>("problem");
        const struct {
            uint code;
            uint broken;
        } cases[] = {{32, 32}, {32, 33}, {33, 33}, {33, 36}, {34, 32}, {34, 33}, {83, 83}};
        for (const auto& c : cases)
            for (const QString damage : {"missing", "empty", "no table", "no rows"})
                QTest::addRow("%u, %u %s", c.code, c.broken, qPrintable(damage))
                    << c.code << c.broken << damage
                    << (damage == "missing" ? "词库文件不存在" : damage == "empty" ? "词库文件是空文件"
                        : damage == "no rows" ? "没有任何词条" : "无法读取数据表");
    }
    void unreadableTables()
    {
        QFETCH(uint, code);
        QFETCH(uint, broken);
        QFETCH(QString, damage);
        QFETCH(QString, problem);
        TemporaryDictionary local("broken");
        addWords(local, 83, {"北京"});
        addWords(local, 33, {"北京"});
        addWords(local, 36, {"的"});
        local.add(32, {"TypoWord", "Correction"}, {{"迫不急待", "迫不及待"}}, true);
        const QString file = WordDatabaseCatalogue::fileName(broken);
        QVERIFY(QFile::remove(file));
        if (damage == "empty") {
            QFile empty(file);
            QVERIFY(empty.open(QIODevice::WriteOnly));
        } else if (damage == "no rows") {
            const auto kind = WordDatabaseCatalogue::lookupKind(broken);
            local.add(broken, kind == WordDatabaseCatalogue::ListLookup ? QStringList{"Word"} : QStringList{"TypoWord", "Correction"},
                      {}, true);
        } else if (damage == "no table") {
            TemporaryDictionary other("other");
            addWords(other, 87, {"别的"});
            QVERIFY(QFile::copy(WordDatabaseCatalogue::fileName(87), local.path() + '/' + file));
        }
        QDir::setCurrent(local.path());
        auto listing = [&] {
            QStringList files;
            for (const QFileInfo& info : QDir(local.path() + "/Dictionary").entryInfoList(QDir::Files, QDir::Name))
                files << info.fileName() + ':' + QString::number(info.size());
            return files;
        };
        const QStringList filesBefore = listing();

        ScriptedPrompt prompt;
        QTextEdit editor;
        editor.setPlainText("北京迫不急待的\u00a0北京");
        editor.document()->clearUndoRedoStacks();
        const QString html = editor.toHtml();
        EmbellishRun marking;
        QCOMPARE(run(marking, editor, code, true), int(EmbellishRun::TableUnavailable));
        QCOMPARE(prompt.titles, QStringList{"警告"});
        QVERIFY2(prompt.texts.first().contains(QFileInfo(file).fileName()) && prompt.texts.first().contains(problem),
                 qPrintable(prompt.texts.first()));
        QCOMPARE(editor.toHtml(), html);
        QVERIFY(!editor.document()->isUndoAvailable());
        QVERIFY(!editor.isReadOnly() && !marking.isRunning());
        QVERIFY(marking.message().isEmpty());
        QCOMPARE(listing(), filesBefore);
        // Once the file is back, the same check runs; refused again, it keeps no
        // counts or message of that run.
        QFile::remove(file);
        addWords(local, broken, {"北京"});
        if (broken == 32)
            local.add(32, {"TypoWord", "Correction"}, {{"迫不急待", "迫不及待"}}, true);
        QCOMPARE(run(marking, editor, code, true), int(EmbellishRun::Completed));
        QVERIFY(marking.counts().marks > 0);
        QVERIFY(QFile::remove(file));
        QCOMPARE(run(marking, editor, code, true), int(EmbellishRun::TableUnavailable));
        const auto after = marking.counts();
        QVERIFY(after.marks == 0 && after.blackList == 0 && after.whiteList == 0 && marking.message().isEmpty());
    }

    // Cancelled at a known piece: the lines before it marked, the rest plain,
    // every line once and in order; progress never past the line count.
    void cancelKeepsEveryLine()
    {
        QStringList lines;
        for (int k = 0; k < 8; ++k)
            lines << QString("第%1行北京").arg(k);
        QTextEdit editor;
        editor.setPlainText(lines.join('\n'));
        EmbellishRun marking;
        marking.options.workerCount = 1;
        marking.options.pollInterval = 1;
        marking.options.progressDelay = 0;
        QSemaphore reached, gate;
        marking.options.beforeItem = [&](int item) {
            if (item == 3) {
                reached.release();
                gate.acquire();
            }
        };
        QStringList labels;
        marking.options.afterPoll = [&] {
            labels << marking.progressDialog()->labelText();
            QVERIFY(marking.progressDialog()->value() <= lines.size());
            if (labels.size() == 1) {
                reached.acquire();
                // Refused while this run goes on.
                QTextEdit other;
                QCOMPARE(marking.run(&other, 83, true, nullptr), int(EmbellishRun::Busy));
                marking.cancel();
                gate.release();
            }
        };
        QCOMPARE(run(marking, editor, 83, true), int(EmbellishRun::Cancelled));
        QCOMPARE(editor.toPlainText(), lines.join('\n'));
        const QStringList shown = marksOf(editor.document()).split('\n');
        QCOMPARE(shown.size(), lines.size());
        for (int k = 0; k < lines.size(); ++k)
            QCOMPARE(shown.at(k), k < 3 ? QString("第%1行[北京|北京#%1|#ff0000]").arg(k) : lines.at(k));
        QCOMPARE(marking.message(), QString("标记 3 处"));
        QVERIFY(labels.first().startsWith("工作进行中... 第"));
        QVERIFY(!marking.isRunning());
    }

    // The editor goes away mid-run: workers stop, nothing is written, no
    // connection stays behind and no worker touches another thread's connection.
    void editorClosedMidRun()
    {
        const int connections = QSqlDatabase::connectionNames().size();
        MessageCapture capture;
        auto* editor = new QTextEdit;
        editor->setPlainText(QString("北京\n").repeated(50));
        EmbellishRun marking;
        marking.options.workerCount = 4;
        marking.options.pollInterval = 1;
        QAtomicInt after;
        QSemaphore gate;
        marking.options.beforeItem = [&](int item) {
            after.ref();
            if (item >= 4)
                gate.acquire();
        };
        marking.options.afterPoll = [&] {
            QTimer::singleShot(0, editor, [&] {
                delete editor;
                gate.release(50);
            });
        };
        QCOMPARE(run(marking, *editor, 33, true), int(EmbellishRun::Cancelled));
        const int cut = after.loadAcquire();
        QVERIFY(cut < 50);
        QTest::qWait(20);
        QCOMPARE(after.loadAcquire(), cut);
        QVERIFY(!marking.isRunning());
        QCOMPARE(QSqlDatabase::connectionNames().size(), connections);
        QVERIFY(!capture.contains("does not belong to the calling thread"));
    }

    void resultBox()
    {
        Settings().setValue("ShowSpellingResultMessageBox", 2);
        ScriptedPrompt prompt;
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Ok, true};
        QTextEdit editor;
        editor.setPlainText("迫不急待地今天去");
        EmbellishRun marking;
        run(marking, editor, 34, true);
        QCOMPARE(prompt.titles, QStringList{"提示"});
        QCOMPARE(prompt.texts, QStringList{"本次检查发现错误及疑点共 2 处, 其中\n黑名单检出 1 处,\n白名单检出 1 处."});
        QCOMPARE(marksOf(editor.document()), QString("[迫不急待|迫不急待#0|#0000ff][地|地#1|#ff0000]今天去"));
        QCOMPARE(Settings().value("ShowSpellingResultMessageBox").toBool(), false);
        run(marking, editor, 34, true);
        QCOMPARE(prompt.titles.size(), 1);

        // Verbose: the source with its marks, then the text with the replacements.
        Settings().setValue("EmbellishVerbose", 2);
        editor.setPlainText("很高兴");
        run(marking, editor, 64, false);
        QVERIFY(editor.toPlainText().startsWith("原文 >>>\n很高兴\n\n\n润色 >>>\n很"));
        QVERIFY(marksOf(editor.document()).contains("[高兴|高兴#0|#ff0000]"));
        QVERIFY(QRegularExpression("\\[(快乐|开心)\\|\\1#0\\|#ff0000\\]").match(marksOf(editor.document())).hasMatch());
        QCOMPARE(marking.message(), QString("标记近义词 1 处"));
    }

    // Every marking command on the shipped sample document and databases.
    void mainWindowCommands()
    {
        CurrentDir here(TestEnvironment::programDir());
        QString sample = QString::fromUtf8(readAll(TestEnvironment::sourceDir() + "/data/samples/词库示例.txt"));
        sample.remove(QChar(0xFEFF));
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        // The atom markers that expansion marking looks for, as the deferred start-up loads them.
        window.preloadTemplates();
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        child->setPlainText(sample);
        const QString text = child->toPlainText();
        const int connections = QSqlDatabase::connectionNames().size();
        const QList<QPair<QAction*, uint>> commands{
            {whiteListSpellingCheckAct, 33}, {blackListSpellingCheckAct, 32}, {blackWhiteListSpellingCheckAct, 34},
            {expandMarkAct, 2}, {synonymMarkAct, 64}, {antonymMarkAct, 18}, {politicsSensitiveWordHighlightAct, 84},
            {eroticismSensitiveWordHighlightAct, 81}, {window.vulgarSensitiveWordHighlightAct, 87},
            {window.idiomHighlightAct, 96}, {window.internetSensitiveWordHighlightAct, 88},
            {window.surnameSensitiveWordHighlightAct, 86}, {window.placeNameSensitiveWordHighlightAct, 83},
            {window.englishCharHighlightAct, 80}, {window.numberHighlightAct, 82}, {window.quantifierHighlightAct, 117},
            {window.polyphoneHighlightAct, 89}, {window.userDefinedCategoryHighlightAct, 254},
            {window.spellingMarkAct, 32}, {window.miscSpellingCheckAct, 37}, {window.adjectiveWordMarkAct, 17},
            {window.sensitiveWordMarkAct, 16}, {window.autoSpellingCorrectionAct, 32},
            {window.synonymEmbellishAct, 64}, {nullptr, 19}};
        for (const auto& command : commands) {
            const QString before = child->toPlainText();
            if (command.first)
                command.first->trigger();
            else
                window.atomTemplateEmbellish(); // its action exists only when the setting enables it
            const QString where = QString("code %1: %2").arg(command.second).arg(window.statusBar()->currentMessage());
            QVERIFY2(currentTemplateType == int(command.second), qPrintable(where));
            QVERIFY2(window.statusBar()->currentMessage() == window.embellishRun->message(), qPrintable(where));
            const int marks = window.embellishRun->counts().marks;
            QVERIFY2(QList<uint>({37, 19}).contains(command.second) ? marks == 0 : marks > 0, qPrintable(where));
            child->undo();
            QCOMPARE(child->toPlainText(), before);
        }
        QCOMPARE(QSqlDatabase::connectionNames().size(), connections);

        // While a run goes on its commands are off; closing the window stops it.
        window.embellishRun->options.pollInterval = 1;
        window.embellishRun->options.afterPoll = [&] {
            QVERIFY(!synonymMarkAct->isEnabled() && !window.idiomHighlightAct->isEnabled());
            window.idiomHighlight();
            QCOMPARE(currentTemplateType, int(TEMPLATE_TYPE_SQLITE_DB_SYNONYM));
            window.close();
        };
        child->document()->setModified(false);
        synonymMarkAct->trigger();
        QVERIFY(!window.embellishRun->isRunning());
        QVERIFY(synonymMarkAct->isEnabled());
        QCOMPARE(child->toPlainText(), text);
    }
};

TQ_TEST_MAIN(MarkingRunTest)
#include "tst_markingrun.moc"
