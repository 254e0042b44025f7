// Generation: the engine without a window (splicing atoms, a missing atom,
// cycles that end at the bound, placeholders, the output modes, poems, batch
// folders and names, walks) and the commands in the main window, driven by
// their actions as a click would (every command's template and dialog, one
// command of each kind on the shipped data, clicking back into the template,
// failures, walks, fixed contents).

#include <QTimer>
#include <QProgressDialog>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "DomParser.h"
#include "GenerationBatch.h"
#include "GenerationCommand.h"
#include "GenerationEngine.h"
#include "InputHistory.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "PoemConfigDialog.h"
#include "ProgramState.h"
#include "RandomSource.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "ListWidget.h"
#include "TemplateDialog.h"
#include "TreeWidget.h"
#include "TemplateWalk.h"
#include "TestSupport.h"
#include "TextBlockUserData.h"
#include "ui_AutoGenInputDialog.h"
#include "ui_PoemConfigDialog.h"

namespace {

// A template of entries (each a list of contents) below the current folder.
void writeTemplate(const QString& path, const QList<QStringList>& entries)
{
    QString xml = "<template title=\"t\">";
    for (const QStringList& entry : entries) {
        xml += "<entry title=\"e\">";
        for (const QString& content : entry)
            xml += "<content>" + content.toHtmlEscaped() + "</content>";
        xml += "</entry>";
    }
    writeBytes(path, (xml + "</template>").toUtf8());
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

GenerationEngine::Request request(const QString& path, QTextEdit* editor = nullptr)
{
    GenerationEngine::Request r;
    r.templatePath = path;
    r.editor = editor;
    return r;
}

// The generation action of a text: the last made, since the marking command
// "政治" was made before the genre of the same name.
QAction* generationAction(MainWindow& window, const QString& text)
{
    QAction* found = nullptr;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == text)
            found = action;
    if (!found)
        qFatal("no action %s", qPrintable(text));
    return found;
}

void trigger(MainWindow& window, const QString& text)
{
    generationAction(window, text)->trigger();
}

void fill(AutoGenInputDialogBase* dialog, const QString& url = QString())
{
    for (const AutoGenInput& input : dialog->inputs())
        input.comboBox->setEditText(input.placeholder() == GenerationEngine::urlPlaceholder ? url : "某甲");
}

void accept(QDialog* dialog)
{
    QVERIFY(dialog->isVisible());
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QVERIFY(dialog->isHidden());
}

// Checks that the blocks from `from` on all came from path and read as finished
// text; moves `from` past them and returns their number, or -1.
int generatedBlocks(MdiChild* child, int& from, const QString& path)
{
    QStringList origins;
    for (QTextBlock block = child->document()->findBlockByNumber(from); block.isValid(); block = block.next()) {
        TextBlockUserData* data = TextBlockUserData::of(block);
        origins << (data && !data->items.isEmpty() ? data->items.first()->ref : QString("none"));
    }
    const QString added = child->toPlainText().split('\n').mid(from).join('\n');
    from = child->document()->blockCount();
    if (origins.isEmpty() || origins.count(path) != origins.size() || added.trimmed().isEmpty()
        || added.contains('[') || added.contains("__")) {
        qWarning() << path << origins << added;
        return -1;
    }
    return origins.size();
}

// A template tab in front, filled from a file as the template library fills it.
TemplateDialog* showTemplateTab(MainWindow& window, const QString& path)
{
    auto* tab = new TemplateDialog(path);
    DomParser parser(tab->outlineTreeWidget());
    if (!parser.readFile(path) || !parser.buildTree())
        qFatal("cannot load %s", qPrintable(path));
    window.templateDialogs << tab;
    window.mainTabWidget->setCurrentIndex(window.mainTabWidget->addTab(tab, "t"));
    return tab;
}

} // namespace

class GenerationTest : public QObject
{
    Q_OBJECT

    QString m_folder;
    std::unique_ptr<CurrentDir> m_cwd;

private slots:
    // Each test starts in an empty folder of its own, with fresh settings and seeded draws.
    void init()
    {
        Settings().clear();
        resetStartUpState();
        QVERIFY(makeTestWorkFolder(m_folder));
        m_cwd.reset(new CurrentDir(m_folder));
        RandomSource::seed(11);
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
        GenerationEngine engine(request("Templates/t.tqw"));
        QVector<GeneratedPiece> result;
        QVERIFY(engine.draw(result) && engine.splice(result));
        const QStringList list = texts(result);
        QCOMPARE(list.mid(0, 10), QStringList({"A1", "x", "B1", "B2", "abc", "A1", "c", "d", "e", "[a b]【甲】[Ｘ][甲"}));
        QCOMPARE(engine.splices(), 2 + 1 + 3 + 6);
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
        GenerationEngine::Request r = request("Templates/t.tqw", &editor);
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
        GenerationEngine::Request r = request("Templates/t.tqw", &editor);
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
        QVector<GeneratedPiece> result{{text, {}}, {text, {}}};
        GenerationEngine::fillPlaceholders(result, list, html);
        QCOMPARE(texts(result), QStringList({expected, expected}));
    }

    void branchesAndPoems()
    {
        for (const QString name : {"广告", "服装", "保健", "美容", "旅游", "餐饮", "食品"})
            QCOMPARE(GenerationEngine::branchOf("Templates/" + name + ".tqw"), GenerationEngine::AdvertisementBranch);
        QCOMPARE(GenerationEngine::branchOf("Templates/软文.tqw"), GenerationEngine::AdvertorialBranch);
        for (const QString path : {"Templates/标题.tqw", "Templates/诗歌/诗歌A=A-IA-UA.tqw", "templates/广告.tqw",
                                    "./Templates/广告.tqw", "Templates/新闻/国际新闻.tqw"})
            QCOMPARE(GenerationEngine::branchOf(path), GenerationEngine::StoryBranch);
        QCOMPARE(GenerationEngine::poemTemplate("ang=ang-iang-uang"), QString("Templates/诗歌/诗歌ANG=ANG-IANG-UANG.tqw"));
        QVERIFY(GenerationEngine::isPoemTemplate("x/Templates/诗歌/诗歌Q.tqw"));
        QVERIFY(!GenerationEngine::isPoemTemplate("Templates/诗歌.tqw"));

        // A poem draws its lines from the themes of its first entry, never one
        // twice: one theme while it suffices, further themes as stanzas after
        // an empty line, and no more lines than the themes hold.
        const QString poem = "Templates/诗歌/诗歌ANG=ANG-IANG-UANG.tqw";
        writeBytes(poem, "<template title=\"t\"><entry title=\"诗句\">"
                         "<entry title=\"春\"><content>春风吹过山岗</content><content>桃花开满村庄</content>"
                         "<content>燕子回到故乡</content></entry>"
                         "<entry title=\"秋\"><content>稻田一片金黄</content><content>桂花飘来清香</content>"
                         "<content>大雁飞向南方</content></entry></entry>"
                         "<entry title=\"别的\"><content>不取</content></entry></template>");
        const QStringList spring{"春风吹过山岗", "桃花开满村庄", "燕子回到故乡"};
        const QStringList autumn{"稻田一片金黄", "桂花飘来清香", "大雁飞向南方"};
        const auto drawPoem = [&](int lines) {
            GenerationEngine::Request r = request(poem);
            r.poemLines = lines;
            QVector<GeneratedPiece> pieces;
            GenerationEngine(r).draw(pieces);
            return pieces;
        };
        QSet<QString> firstThemes;
        for (quint32 seed = 1; seed <= 20; ++seed) {
            RandomSource::seed(seed);
            QVector<GeneratedPiece> pieces = drawPoem(2);
            QCOMPARE(pieces.size(), 2);
            const QStringList& theme = spring.contains(pieces[0].text) ? spring : autumn;
            QVERIFY(theme.contains(pieces[1].text) && pieces[0].text != pieces[1].text);
            firstThemes << theme.first();

            // Four lines: two stanzas of two, each of one theme, an empty line between.
            pieces = drawPoem(4);
            QCOMPARE(pieces.size(), 5);
            QCOMPARE(pieces[2].text, QString());
            QCOMPARE(pieces[2].records[0]->position.size(), 1);
            const QStringList first{pieces[0].text, pieces[1].text};
            const QStringList second{pieces[3].text, pieces[4].text};
            const QStringList& firstTheme = spring.contains(first[0]) ? spring : autumn;
            const QStringList& secondTheme = spring.contains(first[0]) ? autumn : spring;
            QVERIFY(firstTheme.contains(first[1]) && first[0] != first[1]);
            QVERIFY(secondTheme.contains(second[0]) && secondTheme.contains(second[1]) && second[0] != second[1]);

            // More than the themes hold: every line once, then the poem ends.
            pieces = drawPoem(8);
            QStringList lines = texts(pieces);
            QCOMPARE(lines.size(), 7);
            lines.removeAll(QString());
            const QStringList all = spring + autumn;
            QCOMPARE(QSet<QString>(lines.begin(), lines.end()), QSet<QString>(all.begin(), all.end()));
        }
        QCOMPARE(firstThemes.size(), 2);

        // A first entry of plain lines is one theme.
        writeTemplate(poem, {{"长江东去浪", "月照小城墙", "秋风送花香"}, {"不取"}});
        QStringList flat = texts(drawPoem(8));
        std::sort(flat.begin(), flat.end());
        QCOMPARE(flat, QStringList({"月照小城墙", "秋风送花香", "长江东去浪"}));
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

    void batchFoldersAndNames()
    {
        QStringList names;
        for (int number : {0, 9999, 10000, 123456})
            names << GenerationBatch::fileName("out", "ad", number);
        QCOMPARE(names, QStringList({"out/ad0000.txt", "out/ad9999.txt", "out/ad10000.txt", "out/ad123456.txt"}));

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
        for (const QString run : {"[a b]", "[Ｘ]", "[../x]", "[a/b]", "[..]", "x[a]", "[a]x"})
            QVERIFY2(!TemplateWalk::isAtomRun(run), qPrintable(run));
    }

    void walks()
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
    }

    // Every command of the table, by its action: the template it fixes and the
    // dialog it opens (or the run it starts at once).
    void everyCommandReachesItsTemplateAndDialog()
    {
        CurrentDir cwd(TestEnvironment::programDir());
        ScriptedPrompt prompt;
        MessageCapture capture;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QStringList advertisements = QString("广告 服装 保健 美容 旅游 餐饮 食品").split(' ');
        const QStringList atOnce = QString("新闻 国际新闻 国内新闻 文化新闻 娱乐新闻 体育新闻 科技新闻 房产新闻 汽车新闻 "
                                           "政治 党务 外交 工业 经济 农业 文化 教育 公益 民族 宗教 防灾 环保 日记 散文 书信 情书")
                                       .split(' ');
        QCOMPARE(GenerationCommand::all().size(), 90);
        for (const GenerationCommand& command : GenerationCommand::all()) {
            const QString text = QString::fromUtf8(command.text);
            QString expected = "Templates/" + text + ".tqw";
            if (text.endsWith("新闻") && text != "新闻")
                expected = "Templates/新闻/" + text + ".tqw";
            expected.replace("情感", "情绪").replace("自建", "自建语段");
            QVERIFY2(!generationAction(window, text)->statusTip().isEmpty(), qPrintable(text));
            window.currentAutoGenTemplate = "unchanged";
            int from = window.activeMdiChild() ? window.activeMdiChild()->document()->blockCount() : 0;
            capture.clear();
            trigger(window, text);

            QDialog* shown = nullptr;
            for (QDialog* dialog : {(QDialog*)window.autoGenInputDialog, (QDialog*)window.autoGenInputDialog4Advertisement,
                                    (QDialog*)window.autoGenInputDialog4AdvertisementSoft, (QDialog*)window.poemConfigDialog}) {
                if (dialog && dialog->isVisible()) {
                    QVERIFY2(!shown, qPrintable(text));
                    shown = dialog;
                    dialog->hide();
                }
            }
            if (text == "人物设计" || text == "故事设计") {
                QCOMPARE(window.currentAutoGenTemplate, QString("unchanged"));
                QVERIFY(capture.contains("./" + expected));
                QVERIFY(!shown);
                continue;
            }
            QCOMPARE(window.currentAutoGenTemplate, expected);
            if (atOnce.contains(text)) {
                QVERIFY2(!shown, qPrintable(text));
                QVERIFY2(generatedBlocks(window.activeMdiChild(), from, expected) > 0, qPrintable(text));
            } else if (advertisements.contains(text)) {
                QCOMPARE(shown, (QDialog*)window.autoGenInputDialog4Advertisement);
            } else if (text == "软文") {
                QCOMPARE(shown, (QDialog*)window.autoGenInputDialog4AdvertisementSoft);
            } else if (text == "诗歌") {
                QCOMPARE(shown, (QDialog*)window.poemConfigDialog);
            } else {
                QVERIFY2(shown == window.autoGenInputDialog, qPrintable(text));
                QCOMPARE(window.autoGenInputDialog->ui->stackedWidget->currentIndex(), 0);
            }
        }
        QCOMPARE(generationAction(window, "美女")->statusTip(), QString("自动生成美女描述"));
        QVERIFY(!generationAction(window, "美女")->icon().isNull());
        QCOMPARE(generationAction(window, "国际新闻")->statusTip(), QString("国际新闻模板"));
        QVERIFY(prompt.texts.isEmpty());

        // A translated action text still finds the advertisement's template.
        QAction* clothing = generationAction(window, "服装");
        clothing->setText("服裝");
        clothing->trigger();
        QCOMPARE(window.currentAutoGenTemplate, QString("Templates/服装.tqw"));
        QVERIFY(window.autoGenInputDialog4Advertisement->isVisible());
    }

    // One command of each kind on the shipped data, as a user would run them.
    void commandsOnTheShippedData()
    {
        CurrentDir cwd(TestEnvironment::programDir());
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QVERIFY(!window.autoGenInputDialog);

        // Before the deferred start-up work: the command makes the dialog it needs.
        trigger(window, "新闻");
        QVERIFY(window.autoGenInputDialog);
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        int from = 0;
        auto generated = [&](const QString& path) { return generatedBlocks(child, from, path); };
        QVERIFY(generated("Templates/新闻.tqw") > 0);

        const int beauty = from + 1; // the second paragraph of the next run
        trigger(window, "美女");
        fill(window.autoGenInputDialog);
        accept(window.autoGenInputDialog);
        QVERIFY(generated("Templates/美女.tqw") > 1);
        // The inputs became history.
        QCOMPARE(Settings().value("AutoGen/Man1Name/1/Key").toString(), QString("某甲"));

        trigger(window, "故事");
        accept(window.autoGenInputDialog);
        QVERIFY(generated("Templates/故事.tqw") > 0);

        trigger(window, "诗歌");
        window.poemConfigDialog->ui->lineNumbersSpinBox->setValue(8);
        window.poemConfigDialog->ui->finalSoundComboBox->setCurrentText("ang=ang-iang-uang");
        accept(window.poemConfigDialog);
        QCOMPARE(generated("Templates/诗歌/诗歌ANG=ANG-IANG-UANG.tqw"), 8);
        QCOMPARE(Settings().value("Poem/LineNumbers").toInt(), 8);
        QCOMPARE(Settings().value("Poem/FinalSound").toString(), QString("ang=ang-iang-uang"));

        trigger(window, "政治");
        QVERIFY(generated("Templates/政治.tqw") > 0);

        const QString url = "http://example.cn/店?a=1&b=2";
        trigger(window, "广告");
        fill(window.autoGenInputDialog4Advertisement, url);
        accept(window.autoGenInputDialog4Advertisement);
        QVERIFY(generated("Templates/广告.tqw") > 0);
        int links = 0;
        for (QTextBlock block = child->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isAnchor()) {
                    QCOMPARE(it.fragment().charFormat().anchorHref(), url);
                    QCOMPARE(it.fragment().text(), QString("某甲"));
                    ++links;
                }
            }
        }
        QVERIFY(links > 0);

        trigger(window, "软文");
        fill(window.autoGenInputDialog4AdvertisementSoft);
        accept(window.autoGenInputDialog4AdvertisementSoft);
        QVERIFY(generated("Templates/软文.tqw") > 0);

        trigger(window, "标题");
        accept(window.autoGenInputDialog);
        QCOMPARE(window.accessoryListWidget->count(), window.autoGenInputDialog->generationCount());
        QVERIFY(!window.accessoryDock->isHidden() && window.dictDock->isHidden());
        for (int i = 0; i < window.accessoryListWidget->count(); ++i)
            QVERIFY(!window.accessoryListWidget->item(i)->text().isEmpty());
        QCOMPARE(child->document()->blockCount(), from);

        // A batch of 20 into a new folder, without a dialog.
        autoGenBatchMode = true;
        const QString folder = freshTempFolder("batch") + "/新建";
        window.autoGenInputDialog->ui->textEditDir->setPlainText(folder + "\n");
        window.autoGenInputDialog->ui->textEditName->setPlainText("news");
        window.autoGenInputDialog->ui->spinBoxGenCount->setValue(20);
        trigger(window, "国内新闻");
        autoGenBatchMode = false;
        const QStringList files = QDir(folder).entryList(QDir::Files);
        QCOMPARE(files.size(), 20);
        QCOMPARE(files.first(), QString("news0000.txt"));
        QCOMPARE(files.last(), QString("news0019.txt"));
        for (const QString& file : files) {
            const QString text = QString::fromUtf8(readAll(folder + '/' + file));
            QVERIFY(!text.isEmpty() && !text.contains('\n') && !text.contains("__") && !text.contains('['));
        }
        QCOMPARE(prompt.openedUrls, QList<QUrl>({QUrl::fromLocalFile(folder)}));
        QCOMPARE(child->document()->blockCount(), from);
        QVERIFY(prompt.texts.isEmpty());

        // Clicking into a generated paragraph shows the template item it came from.
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        child->setFocus();
        const QTextBlock block = child->document()->findBlockByNumber(beauty);
        QVERIFY(TextBlockUserData::of(block));
        const QList<int> position = TextBlockUserData::of(block)->items.first()->position;
        QVERIFY(position[0] > 0);
        QTest::mouseClick(child->viewport(), Qt::LeftButton, {}, child->cursorRect(QTextCursor(block)).center());
        QCOMPARE(child->textCursor().blockNumber(), beauty);
        auto* tab = qobject_cast<TemplateDialog*>(window.mainTabWidget->currentWidget());
        QVERIFY(tab && tab->fileName().endsWith("Templates/美女.tqw"));
        QCOMPARE(tab->getTreeWidget()->currentItem(), tab->getTreeWidget()->topLevelItem(position[0]));
        QCOMPARE(tab->getListWidget()->currentRow(), position[1]);
    }

    // A refused batch still keeps the inputs; a title list ignores batch mode and
    // keeps the titles made before a failure; an empty template takes the file.
    void failuresKeepWhatWasDone()
    {
        writeTemplate("Templates/标题.tqw", {{"好", "好", "好", "[无]"}});
        writeTemplate("Templates/Atom/季.tqw", {{"春"}});
        writeTemplate("Templates/情书.tqw", {{"见字如面。"}});
        writeBytes("full/a.txt", "x");
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);

        autoGenBatchMode = true;
        window.storyInputDialog()->ui->textEditDir->setPlainText("full");
        window.storyInputDialog()->ui->comboBoxMan1Name->setEditText("林远");
        trigger(window, "情书");
        QCOMPARE(prompt.texts, QStringList({"请选择空目录，或输入不存在的目录，系统会自动为您创建。"}));
        QCOMPARE(QDir("full").entryList(QDir::Files).size(), 1);
        QCOMPARE(Settings().value("AutoGen/Man1Name/1/Key").toString(), QString("林远"));
        QVERIFY(prompt.openedUrls.isEmpty());

        prompt.texts.clear();
        window.currentAutoGenTemplate = "Templates/标题.tqw";
        window.autoGenStart();
        autoGenBatchMode = false;
        const int titles = window.accessoryListWidget->count();
        QVERIFY2(titles > 0 && titles < 10, qPrintable(QString::number(titles)));
        QCOMPARE(window.accessoryListWidget->item(0)->text(), QString("好"));
        QCOMPARE(prompt.texts, QStringList({"Templates/Atom/无.tqw 未找到或格式错误!"}));
        QCOMPARE(QDir("full").entryList(QDir::Files).size(), 1);

        window.currentAutoGenTemplate.clear();
        QString result;
        QVERIFY(window.autoGenFromTemplate(result, "Templates/Atom/季.tqw"));
        QCOMPARE(window.currentAutoGenTemplate, QString("Templates/Atom/季.tqw"));
        QCOMPARE(window.activeMdiChild()->toPlainText(), QString("春"));
    }

    void walksAndFixedContents()
    {
        writeTemplate("combos.tqw", {{"a", "b"}, {"1", "2", "3"}, {"x"}});
        writeTemplate("six.tqw", {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}});
        const QStringList seven{"1", "2", "3", "4", "5", "6", "7"};
        writeTemplate("many.tqw", {seven, seven, seven, seven, seven});
        const QStringList twenty = QString(20, 'z').split(QString(), Qt::SkipEmptyParts);
        writeTemplate("huge.tqw", {twenty, twenty, twenty, twenty, twenty});
        writeTemplate("Templates/Atom/季.tqw", {{"春"}});
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        auto text = [&]() { return window.activeMdiChild()->toPlainText(); };

        window.autoGenAct->trigger();
        QVERIFY(window.autoGenAllAct);
        window.autoGenAllAct->trigger(); // opens a document before it refuses
        QCOMPARE(prompt.texts, QStringList({"请先选择模板!", "请首先打开需要使用的模板!"}));
        QVERIFY(window.activeMdiChild());

        showTemplateTab(window, "combos.tqw");
        prompt.answers = {{QMessageBox::Yes, false}};
        window.autoGenAllAct->trigger();
        QCOMPARE(text(), QString("a1x\na2x\na3x\nb1x\nb2x\nb3x\n"));
        window.activeMdiChild()->clear();

        prompt.answers = {{QMessageBox::No, false}};
        window.autoGenAct->trigger();
        QCOMPARE(text().size(), 3);
        QVERIFY(TextBlockUserData::of(window.activeMdiChild()->document()->begin()));
        prompt.answers = {{QMessageBox::Cancel, false}};
        window.autoGenFromCurrentItemAct->trigger();
        QCOMPARE(text().size(), 3);
        window.activeMdiChild()->clear();

        prompt.texts.clear();
        showTemplateTab(window, "six.tqw");
        window.autoGenAllAct->trigger();
        showTemplateTab(window, "huge.tqw");
        window.autoGenAllAct->trigger();
        showTemplateTab(window, "many.tqw");
        prompt.answers = {{QMessageBox::No, false}};
        window.autoGenAllAct->trigger();
        QCOMPARE(prompt.texts.size(), 3);
        QCOMPARE(prompt.texts[0], QString("段落太多(最多五个段落)"));
        QVERIFY(prompt.texts[1].contains("1000000"));
        QVERIFY(prompt.texts[2].contains("16807"));
        QCOMPARE(text(), QString());

        // Above the question's threshold a progress dialog can stop the run:
        // what was written stays, and one undo takes it all back.
        prompt.answers = {{QMessageBox::Yes, false}, {QMessageBox::Yes, false}};
        int seen = 0;
        QTimer stopper;
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (auto* progress = window.findChild<QProgressDialog*>("autoGenAllProgressDialog")) {
                ++seen;
                progress->cancel();
            }
        });
        stopper.start(0);
        window.autoGenAllAct->trigger();
        stopper.stop();
        QVERIFY(seen > 0);
        const int lines = text().count('\n');
        QVERIFY2(lines > 0 && lines < 16807, qPrintable(QString::number(lines)));
        QVERIFY(text().startsWith("11111\n11112\n"));
        QVERIFY(!window.findChild<QProgressDialog*>("autoGenAllProgressDialog"));
        window.activeMdiChild()->undo();
        QCOMPARE(text(), QString());

        // Fixed contents: plain runs as paragraphs, atom runs generated, a
        // missing atom reported and skipped, a run that names no atom kept as text;
        // into the document even in batch mode.
        prompt.texts.clear();
        QAction fixed(QString("用本条目生成"), nullptr);
        fixed.setProperty("content", "春天[季]的[无]早晨[a/b]");
        QObject::connect(&fixed, SIGNAL(triggered()), &window, SLOT(autoGenFinal()));
        autoGenBatchMode = true;
        fixed.trigger();
        autoGenBatchMode = false;
        QCOMPARE(text(), QString("春天\n春\n的\n早晨\n[a/b]"));
        QCOMPARE(prompt.texts, QStringList({"Templates/Atom/无.tqw 未找到或格式错误!"}));
        QCOMPARE(window.currentAutoGenTemplate, QString());
    }
};

TQ_TEST_MAIN(GenerationTest)
#include "tst_generation.moc"
