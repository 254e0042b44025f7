// The generation engine without a main window: splicing atoms (order, records,
// depth, independent draws, what is no marker), a missing atom, cycles that end
// at the bound, every placeholder branch, the three output modes, poems, batch
// folders and names, and the template walks.

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>

#include "DomParser.h"
#include "GenerationBatch.h"
#include "GenerationEngine.h"
#include "InputHistory.h"
#include "RandomSource.h"
#include "TemplateWalk.h"
#include "TestSupport.h"
#include "TextBlockUserData.h"

namespace {

// Writes a template of entries (each a list of contents) below the current folder.
void writeTemplate(const QString& path, const QList<QStringList>& entries)
{
    QString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"t\">\n";
    for (int e = 0; e < entries.size(); ++e) {
        xml += QString("<entry title=\"e%1\">").arg(e);
        for (const QString& content : entries[e])
            xml += "<content>" + content.toHtmlEscaped() + "</content>";
        xml += "</entry>\n";
    }
    writeBytes(path, (xml + "</template>\n").toUtf8());
}

void writeAtom(const QString& name, const QList<QStringList>& entries)
{
    writeTemplate(GenerationEngine::atomPath(name), entries);
}

QStringList texts(const QVector<GeneratedPiece>& pieces)
{
    QStringList list;
    for (const GeneratedPiece& piece : pieces)
        list << piece.text;
    return list;
}

// "ref:entry:child" of each record.
QStringList refs(const QList<TemplateItemRefPointer>& records)
{
    QStringList list;
    for (const TemplateItemRefPointer& record : records)
        list << QString("%1:%2:%3").arg(record->ref).arg(record->position.value(0)).arg(record->position.value(1));
    return list;
}

GenerationEngine::Request request(const QString& path)
{
    GenerationEngine::Request r;
    r.templatePath = path;
    return r;
}

QVector<GeneratedPiece> spliced(const QString& path, int* splices = nullptr)
{
    GenerationEngine engine(request(path));
    QVector<GeneratedPiece> pieces;
    if (!engine.draw(pieces) || !engine.splice(pieces))
        return {};
    if (splices)
        *splices = engine.splices();
    return pieces;
}

QVector<GeneratedPiece> pieces(const QStringList& list)
{
    QVector<GeneratedPiece> result;
    for (const QString& text : list)
        result.append({text, {}});
    return result;
}

} // namespace

class GenerationEngineTest : public QObject
{
    Q_OBJECT

    QString m_folder;
    std::unique_ptr<CurrentDir> m_cwd;

private slots:
    void init()
    {
        QVERIFY(makeTestWorkFolder(m_folder));
        m_cwd.reset(new CurrentDir(m_folder));
        RandomSource::seed(7);
    }

    void cleanup() { m_cwd.reset(); }

    void splicingOrderAndRecords()
    {
        writeTemplate("Templates/t.tqw", {{"[甲]x[乙]"}, {"abc[甲]"}, {"[丙]"}, {"[a b]【甲】[Ｘ][甲"}, {"[骰][骰][骰][骰][骰][骰]"}});
        writeAtom("甲", {{"A1"}});
        writeAtom("乙", {{"B1"}, {"B2"}});
        writeAtom("丙", {{"c[丁]"}});
        writeAtom("丁", {{"d[戊]"}});
        writeAtom("戊", {{"e"}});
        writeAtom("骰", {{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}});
        int splices = 0;
        const QVector<GeneratedPiece> result = spliced("Templates/t.tqw", &splices);
        const QStringList list = texts(result);
        QCOMPARE(list.mid(0, 10), QStringList({"A1", "x", "B1", "B2", "abc", "A1", "c", "d", "e", "[a b]【甲】[Ｘ][甲"}));
        QCOMPARE(splices, 2 + 1 + 3 + 6);
        // The same atom twice: independent draws.
        QCOMPARE(list.size(), 16);
        QVERIFY(QSet<QString>(list.begin() + 10, list.end()).size() > 1);

        const QString a = "Templates/Atom/%1.tqw:0:0";
        QCOMPARE(refs(result[0].records), QStringList({"Templates/t.tqw:0:0", a.arg("甲")}));
        QCOMPARE(refs(result[1].records), QStringList({"Templates/t.tqw:0:0"}));
        QCOMPARE(refs(result[3].records), QStringList({"Templates/t.tqw:0:0", "Templates/Atom/乙.tqw:1:0"}));
        QCOMPARE(refs(result[8].records),
                 QStringList({"Templates/t.tqw:2:0", a.arg("丙"), a.arg("丁"), a.arg("戊")}));
        // "abc" keeps the drawn record itself; its atom piece shares it.
        QCOMPARE(result[4].records.size(), 1);
        QCOMPARE(result[5].records.value(0), result[4].records.value(0));
    }

    void missingAtomAbortsTheRun()
    {
        writeTemplate("Templates/t.tqw", {{"开头"}, {"[无]"}});
        ScriptedPrompt prompt;
        QTextEdit editor;
        GenerationEngine::Request r = request("Templates/t.tqw");
        r.editor = &editor;
        QString result;
        QCOMPARE(GenerationEngine(r).run(result), GenerationEngine::TemplateFailed);
        QVERIFY(editor.document()->isEmpty());
        QCOMPARE(prompt.texts, QStringList({"Templates/Atom/无.tqw 未找到或格式错误!"}));

        r.batchMode = true;
        r.outputFileName = "out.txt";
        QCOMPARE(GenerationEngine(r).run(result), GenerationEngine::TemplateFailed);
        QVERIFY(!QFile::exists("out.txt"));
    }

    void cyclesEndAtTheBound_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("splices");
        QTest::newRow("A to A") << "[环]" << GenerationEngine::MaximumAtomDepth;
        QTest::newRow("A to B to A") << "[往]" << GenerationEngine::MaximumAtomDepth;
        QTest::newRow("doubling") << "[倍]" << GenerationEngine::MaximumSplices;
    }

    void cyclesEndAtTheBound()
    {
        QFETCH(QString, content);
        QFETCH(int, splices);
        writeTemplate("Templates/t.tqw", {{content}});
        writeAtom("环", {{"环[环]"}});
        writeAtom("往", {{"往[返]"}});
        writeAtom("返", {{"返[往]"}});
        writeAtom("倍", {{"[倍][倍]"}});
        ScriptedPrompt prompt;
        MessageCapture capture;
        QTextEdit editor;
        GenerationEngine::Request r = request("Templates/t.tqw");
        r.editor = &editor;
        r.batchMode = true;
        r.outputFileName = "c.txt";
        QString result;
        {
            GenerationEngine engine(r);
            QCOMPARE(engine.run(result), GenerationEngine::Generated);
            QCOMPARE(engine.splices(), splices);
            QVERIFY(prompt.texts.isEmpty());
        }
        QCOMPARE(prompt.texts.size(), 1); // one message, after the run
        QVERIFY(prompt.texts[0].contains("原子模板"));
        QVERIFY(capture.contains("atom expansion stopped"));
        QVERIFY(QString::fromUtf8(readAll("c.txt")).contains(QRegularExpression("\\[.\\]")));
    }

    void placeholders_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("values"); // placeholder=value, "*" marks a linked field
        QTest::addColumn<bool>("html");
        QTest::addColumn<QString>("expected");
        const QString prompt = InputHistory::prompt();
        QTest::newRow("story: filled, empty, prompt")
            << "__MAN1_NAME__与__WOMAN1_NAME__在__SCENE1_NAME__" << QStringList({"__MAN1_NAME__=林远", "__WOMAN1_NAME__=", "__SCENE1_NAME__=" + prompt})
            << true << "林远与在__SCENE1_NAME__";
        QTest::newRow("sequential: a value holding a later placeholder")
            << "见__OPPONENT1_NAME__" << QStringList({"__OPPONENT1_NAME__=__SCENE2_NAME__", "__SCENE2_NAME__=湖边"})
            << false << "见湖边";
        QTest::newRow("typed values are escaped in the document")
            << "价__PRICE_VALUE__" << QStringList({"__ADVERTISEMENT_URL__=", "__PRICE_VALUE__=9<&>"}) << true
            << "价9&lt;&amp;&gt;";
        QTest::newRow("links in the document: quoted, escaped")
            << "__PRODUCT_NAME__·__PRICE_VALUE__·__ADVERTISEMENT_URL__"
            << QStringList({"__ADVERTISEMENT_URL__=http://x/?a=1&b=\"2\"", "*__PRODUCT_NAME__=P<1>", "__PRICE_VALUE__=9"})
            << true << "<a href=\"http://x/?a=1&amp;b=&quot;2&quot;\">P&lt;1&gt;</a>·9·http://x/?a=1&amp;b=&quot;2&quot;";
        QTest::newRow("links in a file: quoted")
            << "__PRODUCT_NAME__" << QStringList({"__ADVERTISEMENT_URL__=www.a.cn", "*__PRODUCT_NAME__=P<1>"}) << false
            << "<a href=\"www.a.cn\">P<1></a>";
        QTest::newRow("empty URL: no links, placeholder removed")
            << "__PRODUCT_NAME__·__ADVERTISEMENT_URL__" << QStringList({"__ADVERTISEMENT_URL__=", "*__PRODUCT_NAME__=P"})
            << true << "P·";
        QTest::newRow("URL at the prompt: no links, placeholder kept")
            << "__PRODUCT_NAME__·__ADVERTISEMENT_URL__" << QStringList({"__ADVERTISEMENT_URL__=" + prompt, "*__PRODUCT_NAME__=P"})
            << true << "P·__ADVERTISEMENT_URL__";
    }

    void placeholders()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, values);
        QFETCH(bool, html);
        QFETCH(QString, expected);
        QVector<PlaceholderValue> list;
        for (QString value : values) {
            const bool linked = value.startsWith('*');
            if (linked)
                value.remove(0, 1);
            list.append({value.section('=', 0, 0), value.section('=', 1, -1), linked});
        }
        QVector<GeneratedPiece> result = pieces({text, text});
        GenerationEngine::fillPlaceholders(result, list, html);
        QCOMPARE(texts(result), QStringList({expected, expected}));
    }

    void branches()
    {
        for (const QString& name : {"广告", "服装", "保健", "美容", "旅游", "餐饮", "食品"})
            QCOMPARE(GenerationEngine::branchOf("Templates/" + name + ".tqw"), GenerationEngine::AdvertisementBranch);
        QCOMPARE(GenerationEngine::branchOf("Templates/软文.tqw"), GenerationEngine::AdvertorialBranch);
        for (const QString& path : {"Templates/标题.tqw", "Templates/诗歌/诗歌A=A-IA-UA.tqw", "templates/广告.tqw",
                                    "./Templates/广告.tqw", "Templates/新闻/国际新闻.tqw"})
            QCOMPARE(GenerationEngine::branchOf(path), GenerationEngine::StoryBranch);
        QCOMPARE(GenerationEngine::poemTemplate("ang=ang-iang-uang"), QString("Templates/诗歌/诗歌ANG=ANG-IANG-UANG.tqw"));
        QVERIFY(GenerationEngine::isPoemTemplate("x/Templates/诗歌/诗歌Q.tqw"));
        QVERIFY(!GenerationEngine::isPoemTemplate("Templates/诗歌.tqw"));
    }

    void outputModes()
    {
        writeTemplate("Templates/标题.tqw", {{"[季]的"}, {"__MAN1_NAME__"}});
        writeAtom("季", {{"春"}});
        writeTemplate("Templates/t.tqw", {{"一[季]"}, {"<b>二</b>__MAN1_NAME__"}});
        const QVector<PlaceholderValue> values{{"__MAN1_NAME__", "<i>", false}};

        // Title: pieces joined, no editor needed.
        GenerationEngine::Request title = request("Templates/标题.tqw");
        title.values = values;
        QString result = "已有";
        QCOMPARE(GenerationEngine(title).run(result), GenerationEngine::Generated);
        QCOMPARE(result, QString("已有春的<i>"));

        // Batch: one new file, pieces joined, written once only.
        QTextEdit editor;
        GenerationEngine::Request batch = request("Templates/t.tqw");
        batch.values = values;
        batch.batchMode = true;
        batch.outputFileName = "b.txt";
        QCOMPARE(GenerationEngine(batch).run(result), GenerationEngine::NoEditor);
        batch.editor = &editor;
        QCOMPARE(GenerationEngine(batch).run(result), GenerationEngine::Generated);
        QCOMPARE(QString::fromUtf8(readAll("b.txt")), QString("一春<b>二</b><i>"));
        QCOMPARE(GenerationEngine(batch).run(result), GenerationEngine::FileFailed);
        QCOMPARE(QString::fromUtf8(readAll("b.txt")), QString("一春<b>二</b><i>"));
        QVERIFY(editor.document()->isEmpty());

        // Document: a block per piece, the first without a leading block, records
        // on each, the highlight colour, typed text escaped, template HTML kept.
        bool tracking = false;
        GenerationEngine::Request document = batch;
        document.batchMode = false;
        document.highlight = true;
        document.highlightColor = "#ff0000";
        document.cursorTracking = &tracking;
        for (int run = 0; run < 2; ++run)
            QCOMPARE(GenerationEngine(document).run(result), GenerationEngine::Generated);
        QVERIFY(tracking);
        QTextDocument* doc = editor.document();
        QCOMPARE(doc->toPlainText(), QString("一\n春\n二<i>\n一\n春\n二<i>"));
        QStringList blockRefs;
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            TextBlockUserData* data = TextBlockUserData::of(block);
            QVERIFY(data);
            blockRefs << refs(data->items).join('+');
            QCOMPARE(QTextCursor(block).charFormat().foreground().color(), QColor("#ff0000"));
        }
        QCOMPARE(blockRefs.mid(0, 3), QStringList({"Templates/t.tqw:0:0", "Templates/t.tqw:0:0+Templates/Atom/季.tqw:0:0",
                                                   "Templates/t.tqw:1:0"}));
        QTextCursor bold(doc->findBlockByNumber(2));
        bold.movePosition(QTextCursor::NextCharacter);
        QCOMPARE(bold.charFormat().fontWeight(), int(QFont::Bold));
    }

    void poems()
    {
        const QString path = "Templates/诗歌/诗歌ANG=ANG-IANG-UANG.tqw";
        writeTemplate(path, {{"长江东去浪", "月照小城墙", "秋风送花香"}, {"不取"}});
        GenerationEngine::Request r = request(path);
        r.poemLines = 8;
        GenerationEngine engine(r);
        QVector<GeneratedPiece> result;
        QVERIFY(engine.draw(result));
        QCOMPARE(result.size(), 8);
        for (const GeneratedPiece& piece : result) {
            QVERIFY(piece.text != "不取");
            QCOMPARE(piece.records[0]->position.value(0), 0);
        }
    }

    void batchFoldersAndNames()
    {
        QCOMPARE(GenerationBatch::fileName("out", "ad", 0), QString("out/ad0000.txt"));
        QCOMPARE(GenerationBatch::fileName("out", "ad", 9999), QString("out/ad9999.txt"));
        QCOMPARE(GenerationBatch::fileName("out", "ad", 10000), QString("out/ad10000.txt"));
        QCOMPARE(GenerationBatch::fileName("out", "ad", 123456), QString("out/ad123456.txt"));

        ScriptedPrompt prompt;
        QVERIFY(GenerationBatch("new/deep", "ad", 1, nullptr).prepare());
        QVERIFY(QFileInfo("new/deep").isDir());
        QVERIFY(GenerationBatch("new/deep", "ad", 1, nullptr).prepare()); // empty
        writeBytes("hidden/.keep", "x");
        QVERIFY(GenerationBatch("hidden", "ad", 1, nullptr).prepare());
        writeBytes("full/a.txt", "x");
        QVERIFY(!GenerationBatch("full", "ad", 1, nullptr).prepare());
        QVERIFY(!GenerationBatch("", "ad", 1, nullptr).prepare()); // the current folder holds files
        QCOMPARE(prompt.texts.size(), 2);
        QCOMPARE(prompt.texts[0], QString("请选择空目录，或输入不存在的目录，系统会自动为您创建。"));
        QVERIFY(!GenerationBatch("other", "../ad", 1, nullptr).prepare());
        QVERIFY(!GenerationBatch("other", "a\\d", 1, nullptr).prepare());
        QVERIFY(!QFileInfo::exists("other"));
        QCOMPARE(prompt.texts.size(), 4);

        // The loop stops at the first failure; only a file failure adds a message.
        QStringList asked;
        GenerationBatch batch("new/deep", "ad", 10, nullptr);
        auto failAt = [&](int k, GenerationEngine::Outcome failure) {
            asked.clear();
            return batch.run([&](const QString& file) {
                asked << QFileInfo(file).fileName();
                return asked.size() - 1 == k ? failure : GenerationEngine::Generated;
            });
        };
        QCOMPARE(failAt(3, GenerationEngine::FileFailed), 3);
        QCOMPARE(asked.last(), QString("ad0003.txt"));
        QCOMPARE(prompt.texts.size(), 5);
        QVERIFY(prompt.texts.last().contains("ad0003.txt"));
        QCOMPARE(failAt(0, GenerationEngine::TemplateFailed), 0);
        QCOMPARE(failAt(-1, GenerationEngine::TemplateFailed), 10);
        QCOMPARE(prompt.texts.size(), 5);
        batch.openDirectory();
        QCOMPARE(prompt.openedUrls, QList<QUrl>({QUrl::fromLocalFile(QDir("new/deep").absolutePath())}));
    }

    void splittingAndAtomRuns_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("runs");
        QTest::newRow("three runs") << "春天[形容词]的早晨" << QStringList({"春天", "[形容词]", "的早晨"});
        QTest::newRow("adjacent markers") << "[a][b]" << QStringList({"[a]", "[b]"});
        QTest::newRow("no brackets") << "春天" << QStringList({"春天"});
        QTest::newRow("empty") << "" << QStringList();
        QTest::newRow("any characters") << "x[../a b]" << QStringList({"x", "[../a b]"});
        QTest::newRow("unclosed") << "[]x[y" << QStringList({"[]x[y"});
    }

    void splittingAndAtomRuns()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, runs);
        QCOMPARE(TemplateWalk::splitByMarkers(text), runs);
        QVERIFY(TemplateWalk::isAtomRun("[季节]") && TemplateWalk::isAtomRun("[a|b]"));
        for (const QString& run : {"[a b]", "[Ｘ]", "[../x]", "[a/b]", "[..]", "x[a]", "[a]x"})
            QVERIFY2(!TemplateWalk::isAtomRun(run), qPrintable(run));
    }

    void walksAndCombinations()
    {
        // e0: contents; e1: entries of contents; e2: first child a content, then a sub-entry.
        writeBytes("w.tqw", "<template><entry title=\"e0\"><content>a</content><content>b</content></entry>"
                            "<entry title=\"e1\"><entry title=\"s\"><content>c</content></entry>"
                            "<entry title=\"t\"><content>d</content><content>e</content><content>f</content></entry>"
                            "<entry title=\"u\"/></entry>"
                            "<entry title=\"e2\"><content>g</content><entry title=\"v\"><content>h</content></entry></entry>"
                            "</template>");
        QTreeWidget tree;
        DomParser parser(&tree);
        QVERIFY(parser.readFile("w.tqw") && parser.buildTree());

        QStringList tags;
        QSet<QString> chosen;
        TemplateWalk walk([&](QTreeWidgetItem* content, const QString& tag) {
            tags << tag.section(':', 0, -2);
            chosen << content->text(0);
            return true;
        });
        for (int run = 0; run < 40; ++run)
            walk.walk(&tree, -3);
        tags.removeDuplicates();
        QCOMPARE(tags, QStringList({":0", ":1:0", ":1:1", ":2"}));
        QVERIFY(chosen.contains("v")); // a sub-entry's title
        QVERIFY(chosen.contains("g") && chosen.contains("f"));

        int count = 0;
        TemplateWalk stopping([&](QTreeWidgetItem*, const QString&) { return ++count < 2; });
        stopping.walk(&tree, 0);
        QCOMPARE(count, 2);

        // Deeper than the bound: the walk stops descending and says so.
        QTreeWidget deep;
        QTreeWidgetItem* item = new QTreeWidgetItem(&deep, {"0"});
        for (int level = 1; level < 40; ++level)
            item = new QTreeWidgetItem(item, {QString::number(level)});
        new QTreeWidgetItem(item, {"leaf"});
        TemplateWalk bounded([&](QTreeWidgetItem*, const QString&) { return true; });
        bounded.walk(&deep, 0);
        QVERIFY(bounded.limitReached());
        QCOMPARE(bounded.inserted(), 0);

        // Combinations: 2 x 3 x 1 with the last entry varying fastest.
        QTreeWidget combos;
        for (const QStringList& entry : QList<QStringList>{{"a", "b"}, {"1", "2", "3"}, {"x"}}) {
            auto* top = new QTreeWidgetItem(&combos, {"e"});
            for (const QString& text : entry)
                new QTreeWidgetItem(top, {text});
        }
        QStringList all;
        TemplateWalk::forEachCombination(&combos, [&](const QString& text) { all << text; });
        QCOMPARE(all, QStringList({"a1x", "a2x", "a3x", "b1x", "b2x", "b3x"}));
        QCOMPARE(TemplateWalk::combinationCount(&combos), qint64(6));
        new QTreeWidgetItem(&combos, {"empty"});
        QCOMPARE(TemplateWalk::combinationCount(&combos), qint64(0));
        all.clear();
        TemplateWalk::forEachCombination(&combos, [&](const QString& text) { all << text; });
        QVERIFY(all.isEmpty());
        QCOMPARE(TemplateWalk::combinationCount(&deep), qint64(1));
    }
};

TQ_TEST_MAIN(GenerationEngineTest)
#include "tst_generationengine.moc"
