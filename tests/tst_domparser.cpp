// Template files and their reader: both file forms, parse errors, the case
// fallback for names, the outline tree, random draws with their positions,
// the progress dialog of large entries, hostile files, the atom marker and
// the templates shipped with the program.

#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QSet>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <functional>

#include "DomParser.h"
#include "RandomSource.h"
#include "TestSupport.h"

namespace {

// One line per item: depth, tag (user role), column 0, column 1, hidden flag.
QStringList dumpTree(QTreeWidget& tree)
{
    return treeLines(tree, [](const QTreeWidgetItem* item) -> QString {
        return item->data(0, Qt::UserRole).toString() + '|' + item->text(0) + '|' + item->text(1)
            + (item->isHidden() ? "|hidden" : "") + (item->type() != 0 ? "|type" : "");
    });
}

const QByteArray kSample = R"(<?xml version="1.0" encoding="UTF-8"?>
<template title="春游">
    <content>说明：首个内容不在大纲里</content>
    <entry title="开头">
        <content>[季节]的早晨</content>
        <content>阳光 &amp; 微风 &lt;轻轻&gt; "好"</content>
        <entry title="细节">
            <content>柳枝</content>
        </entry>
    </entry>
    <!-- 注释不算条目 -->
    <content>顶层内容</content>
    <unknown><entry title="隐藏"><content>不出现</content></entry></unknown>
    <entry>
        <content>无标题条目的内容 🌸</content>
    </entry>
    <entry title="结尾"/>
</template>
)";

const QStringList kSampleTree{
    "entry|开头|title",
    "  content|[季节]的早晨|content|hidden",
    "  content|阳光 & 微风 <轻轻> \"好\"|content|hidden",
    "  entry|细节|title",
    "    content|柳枝|content|hidden",
    "content|顶层内容|content|hidden",
    "entry||title",
    "  content|无标题条目的内容 🌸|content|hidden",
    "entry|结尾|title",
};

QByteArray wrapped(const QByteArray& data, int width, const QByteArray& lineEnd)
{
    QByteArray result;
    for (int i = 0; i < data.size(); i += width)
        result += data.mid(i, width) + lineEnd;
    return result;
}

QByteArray templateWithEntry(int contents)
{
    QByteArray xml = "<template title=\"大\"><entry title=\"很多\">";
    for (int i = 0; i < contents; ++i)
        xml += "<content>内容" + QByteArray::number(i) + "</content>";
    return xml + "</entry></template>";
}

QByteArray nested(int depth)
{
    // depth counts every element, the root included.
    QByteArray xml = "<template title=\"深\">";
    for (int i = 1; i < depth; ++i)
        xml += "<entry title=\"e\">";
    for (int i = 1; i < depth; ++i)
        xml += "</entry>";
    return xml + "</template>";
}

struct DrawResult
{
    QStringList texts;
    QList<QList<int>> positions;
    int entryCount = -1;
};

DrawResult drawAll(DomParser& parser)
{
    DrawResult result;
    parser.pickRandomContents(result.texts, result.entryCount, result.positions);
    return result;
}

// Watches progress dialogs: how each was shown and every value its bar took,
// with the label text in force just before each value.
class ProgressWatcher : public QObject
{
public:
    struct Seen
    {
        QString title;
        QString cancelText;
        Qt::WindowModality modality = Qt::NonModal;
        bool hasParent = false;
        QList<int> values;
        QStringList labelsBefore;
        int maximum = 0;
    };
    QList<Seen> dialogs;
    std::function<void(QProgressDialog*, int)> onValue;

    ProgressWatcher() { qApp->installEventFilter(this); }
    ~ProgressWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* dialog = qobject_cast<QProgressDialog*>(object);
        if (dialog && event->type() == QEvent::Show && !m_known.contains(dialog)) {
            m_known.insert(dialog);
            Seen seen;
            seen.title = dialog->windowTitle();
            seen.modality = dialog->windowModality();
            seen.hasParent = dialog->parentWidget() != nullptr;
            seen.maximum = dialog->maximum();
            if (auto* button = dialog->findChild<QPushButton*>())
                seen.cancelText = button->text();
            const int index = dialogs.size();
            dialogs << seen;
            auto* bar = dialog->findChild<QProgressBar*>();
            auto* label = dialog->findChild<QLabel*>();
            connect(bar, &QProgressBar::valueChanged, this, [this, index, label, dialog](int value) {
                dialogs[index].values << value;
                dialogs[index].labelsBefore << (label ? label->text() : QString());
                if (onValue)
                    onValue(dialog, value);
            });
            connect(dialog, &QObject::destroyed, this, [this, dialog]() { m_known.remove(dialog); });
        }
        return false;
    }

private:
    QSet<QObject*> m_known;
};

} // namespace

class DomParserTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { RandomSource::seed(20240601); }

    // ---- Forms of the file ---------------------------------------------------

    void formsBuildTheSameTree_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray base64 = kSample.toBase64();
        QTest::newRow("plain") << kSample;
        QTest::newRow("plain with UTF-8 BOM") << QByteArray("\xEF\xBB\xBF") + kSample;
        QTest::newRow("plain with CR LF") << QByteArray(kSample).replace("\n", "\r\n");
        QTest::newRow("Base64 one line") << base64;
        QTest::newRow("Base64 76 columns LF") << wrapped(base64, 76, "\n");
        QTest::newRow("Base64 64 columns CR LF") << wrapped(base64, 64, "\r\n");
        QTest::newRow("Base64 indented") << "  \t" + wrapped(base64, 50, "\n    ") + "\n\n";
    }
    void formsBuildTheSameTree()
    {
        QFETCH(QByteArray, bytes);
        writeBytes("forms/春游.tqw", bytes);
        QTreeWidget tree;
        DomParser parser(&tree);
        QVERIFY(parser.readFile("forms/春游.tqw"));
        QVERIFY(parser.errorString().isEmpty());
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.title, QString("春游"));
        QCOMPARE(parser.header, QString("说明：首个内容不在大纲里"));
        QCOMPARE(dumpTree(tree), kSampleTree);
    }

    void garbageGivesParseError_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("where"); // expected "line L, column C" part, empty: any
        QTest::newRow("text") << QByteArray("hello <world") << QString();
        QTest::newRow("binary") << QByteArray("\x00\x01\x02\xff\xfe\x80", 6) << QString();
        QTest::newRow("empty file") << QByteArray() << QString("line 1, column 1");
        QTest::newRow("truncated XML") << QByteArray("<template title=\"a\"><entry>") << QString();
        QTest::newRow("Base64 of broken XML, error on decoded line 4")
            << QByteArray("<?xml version=\"1.0\"?>\n<template>\n<entry title=\"a\">\n<content>x</contnt>\n</entry></template>")
                   .toBase64()
            << QString("line 4, column");
        QTest::newRow("Base64 cut short")
            << kSample.toBase64().left(kSample.toBase64().size() / 2) << QString();
    }
    void garbageGivesParseError()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, where);
        writeBytes("garbage/good.tqw", kSample);
        writeBytes("garbage/bad.tqw", bytes);
        QTreeWidget tree;
        DomParser parser(&tree);
        QVERIFY(parser.readFile("garbage/good.tqw"));

        MessageCapture capture;
        QVERIFY(!parser.readFile("garbage/bad.tqw"));
        bool logged = false;
        for (const auto& entry : capture.entries())
            if (entry.first == QtCriticalMsg && entry.second.startsWith("Error: Parse error at line "))
                logged = true;
        QVERIFY2(logged, qPrintable(capture.messages().join('\n')));
        QVERIFY(parser.errorString().startsWith("Error: Parse error at line "));
        QVERIFY(QRegularExpression("^Error: Parse error at line \\d+, column \\d+: .+$").match(parser.errorString()).hasMatch());
        if (!where.isEmpty())
            QVERIFY2(parser.errorString().contains(where), qPrintable(parser.errorString()));

        // The document loaded before is still there.
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.title, QString("春游"));
        QCOMPARE(dumpTree(tree), kSampleTree);
    }

    void nameCaseFallback_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<bool>("found");
        QTest::newRow("exact") << "case1/Mixed.tqw" << "case1/Mixed.tqw" << true;
        QTest::newRow("lower-case form exists") << "case2/lower/a.tqw" << "case2/Lower/A.TQW" << true;
        QTest::newRow("upper-case form exists") << "CASE3/UPPER/B.TQW" << "case3/upper/b.tqw" << true;
        QTest::newRow("only another mixed form") << "case4/MiXed.tqw" << "case4/mIxEd.tqw" << false;
        QTest::newRow("missing") << "case5/here.tqw" << "case5/Nowhere.tqw" << false;
        QTest::newRow("a folder of that name") << "case6/dir.tqw/inner.tqw" << "case6/dir.tqw" << false;
    }
    void nameCaseFallback()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, requested);
        QFETCH(bool, found);
        writeBytes(onDisk, QByteArray("<template title=\"磁盘上\"><entry title=\"x\"><content>y</content></entry></template>"));
        DomParser parser;
        QVERIFY(parser.readData(QByteArray("<template title=\"原来的\"/>")));
        MessageCapture capture;
        QCOMPARE(parser.readFile(requested), found);
        QVERIFY(parser.buildTree());
        if (found) {
            QCOMPARE(parser.title, QString("磁盘上"));
        } else {
            QCOMPARE(parser.title, QString("原来的"));
            QVERIFY(capture.messages().contains(requested + " does not exist."));
        }
    }

    // ---- Outline tree --------------------------------------------------------

    void treeLayout_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("header");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("first root content skipped, later one hidden at top")
            << QByteArray("<template title=\"t\"><content>头</content><content>二</content><entry title=\"e\"/></template>")
            << "头" << QStringList{"content|二|content|hidden", "entry|e|title"};
        QTest::newRow("a comment first: the content is no header")
            << QByteArray("<template><!--c--><content>头</content></template>") << ""
            << QStringList{"content|头|content|hidden"};
        QTest::newRow("unknown elements dropped with their subtree")
            << QByteArray("<template><entry title=\"a\"><x><content>no</content></x><content>yes</content></entry>"
                          "<Entry title=\"b\"/><y/></template>")
            << "" << QStringList{"entry|a|title", "  content|yes|content|hidden"};
        QTest::newRow("missing title reads as empty")
            << QByteArray("<template><entry><content>c</content></entry></template>") << ""
            << QStringList{"entry||title", "  content|c|content|hidden"};
        QTest::newRow("content text joins nested text; nested elements become child items")
            << QByteArray("<template><entry title=\"e\"><content>a<entry title=\"n\">b</entry>c</content></entry></template>")
            << "" << QStringList{"entry|e|title", "  content|abc|content|hidden", "    entry|n|title"};
        QTest::newRow("whitespace-only text is no content text")
            << QByteArray("<template><entry title=\"e\">\n  <content>  </content>\n  <content> x </content></entry></template>")
            << "" << QStringList{"entry|e|title", "  content||content|hidden", "  content| x |content|hidden"};
        QTest::newRow("CDATA and character references")
            << QByteArray("<template><entry title=\"&#x4e2d;\"><content><![CDATA[<b>&]]>&#169;</content></entry></template>")
            << "" << QStringList{"entry|中|title", "  content|<b>&©|content|hidden"};
        QTest::newRow("empty template") << QByteArray("<template title=\"空\"/>") << "" << QStringList();
    }
    void treeLayout()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, header);
        QFETCH(QStringList, expected);
        QTreeWidget tree;
        tree.setColumnCount(2);
        DomParser parser(&tree);
        QVERIFY(parser.readData(xml));
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.header, header);
        QCOMPARE(dumpTree(tree), expected);
    }

    void wrongRootLeavesTreeAndTitle_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::newRow("capital T") << QByteArray("<Template title=\"x\"><entry title=\"e\"/></Template>");
        QTest::newRow("other root") << QByteArray("<entry title=\"x\"/>");
    }
    void wrongRootLeavesTreeAndTitle()
    {
        QFETCH(QByteArray, xml);
        QTreeWidget tree;
        DomParser parser(&tree);
        QVERIFY(parser.readData(kSample));
        QVERIFY(parser.buildTree());
        QVERIFY(parser.readData(xml));
        MessageCapture capture;
        QVERIFY(!parser.buildTree());
        QVERIFY(capture.messages().contains("Error: Not a template file"));
        QCOMPARE(parser.title, QString("春游"));
        QCOMPARE(parser.header, QString("说明：首个内容不在大纲里"));
        QCOMPARE(dumpTree(tree), kSampleTree);
    }

    void rebuildReplacesTheTree()
    {
        QTreeWidget tree;
        DomParser first(&tree);
        QVERIFY(first.readData(kSample));
        QVERIFY(first.buildTree());
        QVERIFY(first.buildTree());
        QCOMPARE(dumpTree(tree), kSampleTree);
        DomParser second(&tree);
        QVERIFY(second.readData("<template title=\"另\"><entry title=\"唯一\"/></template>"));
        QVERIFY(second.buildTree());
        QCOMPARE(dumpTree(tree), QStringList{"entry|唯一|title"});

        DomParser treeless;
        QVERIFY(treeless.readData(kSample));
        QVERIFY(treeless.buildTree());
        QCOMPARE(treeless.title, QString("春游"));

        DomParser nothingLoaded(&tree);
        QVERIFY(!nothingLoaded.buildTree());
        QCOMPARE(tree.topLevelItemCount(), 1);
    }

    // ---- Random draws ----------------------------------------------------------

    void drawsSkipEmptyEntries()
    {
        DomParser parser;
        QVERIFY(parser.readData("<template><entry title=\"a\"><content>a0</content><content>a1</content></entry>"
                                "<entry title=\"b\"/>"
                                "<entry title=\"c\"><content>c0</content><content>c1</content><content>c2</content></entry>"
                                "</template>"));
        QSet<QString> seen;
        for (quint32 seed = 1; seed <= 60; ++seed) {
            RandomSource::seed(seed);
            const DrawResult r = drawAll(parser);
            QCOMPARE(r.entryCount, 3);
            QCOMPARE(r.texts.size(), 2);
            QCOMPARE(r.positions.size(), 2);
            QCOMPARE(r.positions[0].size(), 2);
            QCOMPARE(r.positions[0][0], 0);
            QCOMPARE(r.positions[1][0], 2);
            QCOMPARE(r.texts[0], QString("a%1").arg(r.positions[0][1]));
            QCOMPARE(r.texts[1], QString("c%1").arg(r.positions[1][1]));
            seen << r.texts[0] << r.texts[1];
        }
        QCOMPARE(seen, (QSet<QString>{"a0", "a1", "c0", "c1", "c2"}));
    }

    void drawsFollowTheSeed()
    {
        DomParser parser;
        QVERIFY(parser.readData(templateWithEntry(50)));
        QStringList first, second;
        QList<QList<int>> positions;
        RandomSource::seed(99);
        parser.pickRandomContentsOfFirstEntry(first, positions, 20);
        RandomSource::seed(99);
        parser.pickRandomContentsOfFirstEntry(second, positions, 20);
        QCOMPARE(first, second);
        RandomSource::seed(100);
        QStringList third;
        parser.pickRandomContentsOfFirstEntry(third, positions, 20);
        QVERIFY(third != first);
        // Each draw is the process generator's number modulo the child count.
        RandomSource::seed(5);
        QStringList one;
        QList<QList<int>> onePosition;
        parser.pickRandomContentsOfFirstEntry(one, onePosition, 1);
        RandomSource::seed(5);
        const int expected = int(RandomSource::next() % 50);
        QCOMPARE(onePosition.last(), (QList<int>{0, expected}));
        QCOMPARE(one.last(), QString("内容%1").arg(expected));
    }

    void drawsUsePreOrderEntryIndices()
    {
        // A holds two contents and the nested entry B; C follows.
        DomParser parser;
        QVERIFY(parser.readData("<template><entry title=\"A\"><content>a0</content><content>a1</content>"
                                "<entry title=\"B\"><content>b0</content><content>b1</content></entry></entry>"
                                "<entry title=\"C\"><content>c0</content></entry></template>"));
        bool sawWholeB = false;
        for (quint32 seed = 1; seed <= 80; ++seed) {
            RandomSource::seed(seed);
            const DrawResult r = drawAll(parser);
            QCOMPARE(r.entryCount, 3);
            QCOMPARE(r.positions.size(), 3);
            QCOMPARE(r.positions[0][0], 0);
            QCOMPARE(r.positions[1][0], 1);
            QCOMPARE(r.positions[2], (QList<int>{2, 0}));
            QCOMPARE(r.texts[2], QString("c0"));
            QVERIFY(r.positions[0][1] >= 0 && r.positions[0][1] < 3);
            if (r.positions[0][1] == 2) {
                QCOMPARE(r.texts[0], QString("b0b1"));
                sawWholeB = true;
            }
            QCOMPARE(r.texts[1], QString("b%1").arg(r.positions[1][1]));
        }
        QVERIFY(sawWholeB);
    }

    void drawsOfNodesThatAreNoElements()
    {
        DomParser parser;
        QVERIFY(parser.readData("<template><entry title=\"e\"><!--c--><content>x</content></entry></template>"));
        QSet<QString> texts;
        for (quint32 seed = 1; seed <= 40; ++seed) {
            RandomSource::seed(seed);
            const DrawResult r = drawAll(parser);
            QCOMPARE(r.texts.size(), 1);
            QCOMPARE(r.texts[0], r.positions[0][1] == 0 ? QString() : QString("x"));
            texts << r.texts[0];
        }
        QCOMPARE(texts.size(), 2);
    }

    void drawsAppendToTheOutLists()
    {
        DomParser parser;
        QVERIFY(parser.readData("<template><entry title=\"e\"><content>x</content></entry></template>"));
        QStringList texts{"before"};
        QList<QList<int>> positions{{7, 7}};
        int entryCount = 42;
        parser.pickRandomContents(texts, entryCount, positions);
        parser.pickRandomContentsOfFirstEntry(texts, positions, 2);
        QCOMPARE(entryCount, 1);
        QCOMPARE(texts, (QStringList{"before", "x", "x"}));
        QCOMPARE(positions, (QList<QList<int>>{{7, 7}, {0, 0}, {0, 0}}));

        DomParser empty;
        texts.clear();
        positions.clear();
        QVERIFY(empty.pickRandomContents(texts, entryCount, positions));
        QCOMPARE(entryCount, 0);
        QVERIFY(texts.isEmpty() && positions.isEmpty());
    }

    void firstEntryDraws_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("drawn");
        const QByteArray one = "<template><entry title=\"e\"><content>only</content></entry>"
                               "<entry title=\"f\"><content>other</content></entry></template>";
        QTest::newRow("five asked of one content: drawn once") << one << 5 << 1;
        QTest::newRow("count 0") << one << 0 << 0;
        QTest::newRow("negative count") << one << -3 << 0;
        QTest::newRow("no entries") << QByteArray("<template><content>h</content><content>c</content></template>") << 5 << 0;
        QTest::newRow("first entry without children")
            << QByteArray("<template><entry title=\"e\"/><entry title=\"f\"><content>x</content></entry></template>") << 5 << 0;
        QTest::newRow("first entry nested in a content counts")
            << QByteArray("<template><content>h</content><content><entry title=\"n\"><content>only</content></entry></content></template>")
            << 3 << 1;
    }
    void firstEntryDraws()
    {
        QFETCH(QByteArray, xml);
        QFETCH(int, count);
        QFETCH(int, drawn);
        DomParser parser;
        QVERIFY(parser.readData(xml));
        QStringList texts;
        QList<QList<int>> positions;
        QVERIFY(parser.pickRandomContentsOfFirstEntry(texts, positions, count));
        QCOMPARE(texts.size(), drawn);
        QCOMPARE(texts, QStringList(QVector<QString>(drawn, "only").toList()));
        QCOMPARE(positions, QList<QList<int>>(QVector<QList<int>>(drawn, QList<int>{0, 0}).toList()));
    }

    // ---- Progress while large entries are parsed -------------------------------

    void progressThreshold_data()
    {
        QTest::addColumn<int>("contents");
        QTest::addColumn<bool>("withTree");
        QTest::addColumn<QList<int>>("values");
        QTest::newRow("500: none") << 500 << true << QList<int>();
        QTest::newRow("501") << 501 << true << QList<int>{100, 200, 300, 400, 500, 501};
        QTest::newRow("1000") << 1000 << true << QList<int>{100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
        QTest::newRow("1000 without tree") << 1000 << false << QList<int>{100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
    }
    void progressThreshold()
    {
        QFETCH(int, contents);
        QFETCH(bool, withTree);
        QFETCH(QList<int>, values);
        QTreeWidget tree;
        DomParser parser(withTree ? &tree : nullptr);
        QVERIFY(parser.readData(templateWithEntry(contents)));
        ProgressWatcher watcher;
        QVERIFY(parser.buildTree());
        if (values.isEmpty()) {
            QVERIFY(watcher.dialogs.isEmpty());
        } else {
            QCOMPARE(watcher.dialogs.size(), 1);
            const ProgressWatcher::Seen& seen = watcher.dialogs.first();
            QCOMPARE(seen.title, QString("正在解析模板"));
            QCOMPARE(seen.cancelText, QString("取消"));
            QCOMPARE(seen.modality, Qt::ApplicationModal);
            QVERIFY(!seen.hasParent);
            QCOMPARE(seen.maximum, contents);
            QCOMPARE(seen.values, values);
            QCOMPARE(seen.labelsBefore.first(), QString("正在准备..."));
            for (int i = 1; i < values.size(); ++i)
                QCOMPARE(seen.labelsBefore[i], QString("正在处理模板条目 %1, 共 %2...").arg(values[i - 1]).arg(contents));
        }
        if (withTree) {
            QCOMPARE(tree.topLevelItemCount(), 1);
            QCOMPARE(tree.topLevelItem(0)->childCount(), contents);
        }
    }

    void progressCountsNestedContents()
    {
        // 300 direct contents and a nested entry of 300: only the outer entry
        // passes the threshold; its counter counts its 301 child nodes.
        QByteArray xml = "<template><entry title=\"外\">";
        for (int i = 0; i < 300; ++i)
            xml += "<content>o</content>";
        xml += "<entry title=\"内\">";
        for (int i = 0; i < 300; ++i)
            xml += "<content>i</content>";
        xml += "</entry></entry></template>";
        QTreeWidget tree;
        DomParser parser(&tree);
        QVERIFY(parser.readData(xml));
        ProgressWatcher watcher;
        QVERIFY(parser.buildTree());
        QCOMPARE(watcher.dialogs.size(), 1);
        QCOMPARE(watcher.dialogs[0].maximum, 600);
        QCOMPARE(watcher.dialogs[0].values, (QList<int>{100, 200, 300}));
        QCOMPARE(tree.topLevelItem(0)->childCount(), 301);
    }

    // "取消" stops the parse: the build fails, nothing half-built stays in the
    // tree, the title is the one before; building again without cancelling works.
    void progressCancelStopsTheParse()
    {
        QTreeWidget tree;
        DomParser parser(&tree);
        QVERIFY(parser.readData(templateWithEntry(1000)));
        parser.title = "before";
        ProgressWatcher watcher;
        watcher.onValue = [](QProgressDialog* dialog, int value) {
            if (value == 100) {
                QPointer<QPushButton> button = dialog->findChild<QPushButton*>();
                QTimer::singleShot(0, [button]() {
                    if (button)
                        QTest::mouseClick(button, Qt::LeftButton);
                });
            }
        };
        QVERIFY(!parser.buildTree());
        QCOMPARE(watcher.dialogs.size(), 1);
        QCOMPARE(watcher.dialogs[0].values, QList<int>{100});
        QCOMPARE(tree.topLevelItemCount(), 0);
        QCOMPARE(parser.title, QString("before"));
        QCOMPARE(parser.errorString(), QString("模板解析已取消"));

        watcher.onValue = nullptr;
        QVERIFY(parser.buildTree());
        QCOMPARE(tree.topLevelItem(0)->childCount(), 1000);
    }

    void treeGoneWhileEventsRun_data()
    {
        QTest::addColumn<bool>("deleteTree");
        QTest::newRow("tree deleted") << true;
        QTest::newRow("tree cleared") << false;
    }
    void treeGoneWhileEventsRun()
    {
        QFETCH(bool, deleteTree);
        QByteArray xml = "<template><entry title=\"a\">";
        for (int i = 0; i < 700; ++i)
            xml += "<content>x</content>";
        xml += "<entry title=\"b\"><content>y</content></entry></entry><entry title=\"c\"><content>z</content></entry></template>";
        QPointer<QTreeWidget> tree = new QTreeWidget;
        DomParser parser(tree);
        QVERIFY(parser.readData(xml));
        QTimer::singleShot(0, [tree, deleteTree]() {
            if (!tree)
                return;
            if (deleteTree)
                delete tree.data();
            else
                tree->clear();
        });
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.title, QString());
        QCOMPARE(tree.isNull(), deleteTree);
        if (!deleteTree) {
            // Nothing more goes into a tree that was emptied meanwhile.
            QCOMPARE(tree->topLevelItemCount(), 0);
            delete tree.data();
        }
        // The parser is still usable for draws.
        const DrawResult r = drawAll(parser);
        QCOMPARE(r.entryCount, 3);
    }

    // ---- Hostile files --------------------------------------------------------

    void hostileFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("loads"); // 1 loads, 0 fails, -1 either, as long as nothing breaks
        QTest::addColumn<QString>("message");
        QTest::newRow("256 levels") << nested(256) << 1 << QString();
        QTest::newRow("257 levels") << nested(257) << 0 << QString("nested deeper than 256 levels");
        QTest::newRow("100000 levels") << nested(100000) << 0 << QString("nested deeper than 256 levels");
        QTest::newRow("100000 levels in Base64") << nested(100000).toBase64() << 0 << QString("nested deeper than 256 levels");
        QTest::newRow("100000 open tags, never closed") << QByteArray(100000 * 7, 'x').replace("xxxxxxx", "<entry>") << 0
                                                        << QString("nested deeper than 256 levels");
        QByteArray laughs = "<?xml version=\"1.0\"?><!DOCTYPE template [<!ENTITY a \"" + QByteArray(4000, 'x')
            + "\">]><template><entry title=\"e\"><content>";
        for (int i = 0; i < 20000; ++i)
            laughs += "&a;";
        laughs += "</content></entry></template>";
        QTest::newRow("entity expansion") << laughs << 0 << QString("entity declarations are not allowed");
        QTest::newRow("entity expansion in Base64") << laughs.toBase64() << 0 << QString("entity declarations are not allowed");
        QByteArray nestedLaughs = "<!DOCTYPE template [<!ENTITY a0 \"lol\">";
        for (int i = 1; i < 10; ++i) {
            nestedLaughs += "<!ENTITY a" + QByteArray::number(i) + " \"";
            for (int k = 0; k < 10; ++k)
                nestedLaughs += "&a" + QByteArray::number(i - 1) + ";";
            nestedLaughs += "\">";
        }
        nestedLaughs += "]><template>&a9;</template>";
        QTest::newRow("nested entities") << nestedLaughs << 0 << QString("entity declarations are not allowed");
        QTest::newRow("doctype without entities") << QByteArray("<!DOCTYPE template><template title=\"d\"/>") << 1 << QString();
        QTest::newRow("undeclared entity") << QByteArray("<template>&nothing;</template>") << 0 << QString();
        QTest::newRow("one-megabyte title") << "<template title=\"" + QByteArray(1 << 20, 'T') + "\"/>" << 1 << QString();
        QTest::newRow("invalid UTF-8 inside Base64")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?><template title=\"\xC3\x28\xFF\"><entry/></template>").toBase64()
            << -1 << QString();
        QTest::newRow("declared GB18030")
            << QByteArray("<?xml version=\"1.0\" encoding=\"GB18030\"?><template title=\"\xB4\xBA\"/>") << 1 << QString();
        QTest::newRow("UTF-16 with byte-order mark")
            << QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(QString("<template title=\"不\"/>").utf16()),
                                                    QString("<template title=\"不\"/>").size() * 2)
            << 1 << QString();
    }
    void hostileFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, loads);
        QFETCH(QString, message);
        writeBytes("hostile/x.tqw", bytes);
        QTreeWidget tree;
        DomParser parser(&tree);
        QElapsedTimer timer;
        timer.start();
        const bool loaded = parser.readFile("hostile/x.tqw");
        if (loads >= 0)
            QCOMPARE(loaded, loads == 1);
        if (loaded) {
            QVERIFY(parser.buildTree());
            const DrawResult r = drawAll(parser);
            QVERIFY(r.texts.size() <= r.entryCount);
        } else {
            QVERIFY(parser.errorString().startsWith("Error: Parse error at line "));
            QVERIFY2(parser.errorString().contains(message), qPrintable(parser.errorString()));
        }
        QVERIFY2(timer.elapsed() < 5000, "reading a hostile file took too long");
    }

    void encodingsOfTitles()
    {
        DomParser parser;
        QVERIFY(parser.readData("<?xml version=\"1.0\" encoding=\"GB18030\"?><template title=\"\xB4\xBA\"/>"));
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.title, QString("春"));
        const QString text = "<template title=\"不\"/>";
        QVERIFY(parser.readData(QByteArray("\xFF\xFE") + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2)));
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.title, QString("不"));
    }

    // ---- Atom markers ---------------------------------------------------------

    void atomMarker_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("marker");
        QTest::newRow("Chinese") << "今天是[季节]的早晨" << "[季节]";
        QTest::newRow("bar") << "[a|b]" << "[a|b]";
        QTest::newRow("ASCII and digits") << "x[Abc9]y" << "[Abc9]";
        QTest::newRow("U+4E00 and U+9FA5") << "[一\u9fa5]" << "[一\u9fa5]";
        QTest::newRow("blank") << "[a b]" << "";
        QTest::newRow("full-width letter") << "[Ｘ]" << "";
        QTest::newRow("full-width brackets") << "【季节】" << "";
        QTest::newRow("punctuation") << "[季节，天气]" << "";
        QTest::newRow("empty") << "[]" << "";
        QTest::newRow("unclosed") << "[季节" << "";
        QTest::newRow("first of two") << "[天气]和[季节]" << "[天气]";
        QTest::newRow("beyond U+9FA5") << "[\u9fa6]" << "";
    }
    void atomMarker()
    {
        QFETCH(QString, text);
        QFETCH(QString, marker);
        const QRegularExpressionMatch match = DomParser::atomMarkerExpression().match(text);
        QCOMPARE(match.hasMatch(), !marker.isEmpty());
        if (match.hasMatch())
            QCOMPARE(match.captured(), marker);
    }

    // ---- Data -------------------------------------------------------------------

    void shippedAtomTemplates()
    {
        const QString folder = TestEnvironment::programDir() + "/Templates/Atom";
        const QStringList files = QDir(folder).entryList({"*.tqw"}, QDir::Files);
        QVERIFY2(files.contains("原子模板库.tqw"), qPrintable(folder));
        QVERIFY(files.contains("季节.tqw"));
        QMap<QString, QStringList> markersOf;
        for (const QString& file : files) {
            QTreeWidget tree;
            DomParser parser(&tree);
            QVERIFY2(parser.readFile(folder + '/' + file), qPrintable(file));
            QVERIFY2(parser.buildTree(), qPrintable(file));
            QVERIFY2(!parser.title.isEmpty(), qPrintable(file));
            QVERIFY2(tree.topLevelItemCount() > 0, qPrintable(file));
            QVERIFY2(parser.header.isEmpty(), qPrintable(file));
            const QDomNodeList contents = parser.document().elementsByTagName("content");
            QVERIFY2(contents.count() > 0, qPrintable(file));
            for (int i = 0; i < contents.count(); ++i) {
                const QString text = contents.item(i).toElement().text();
                QVERIFY2(!text.trimmed().isEmpty(), qPrintable(file));
                auto it = DomParser::atomMarkerExpression().globalMatch(text);
                while (it.hasNext())
                    markersOf[file] << it.next().captured().mid(1).chopped(1);
            }
        }
        // Every content of the index is exactly one marker; every marker
        // anywhere names a shipped atom template; no atom leads back to itself.
        DomParser index;
        QVERIFY(index.readFile(folder + "/原子模板库.tqw"));
        const QDomNodeList indexContents = index.document().elementsByTagName("content");
        for (int i = 0; i < indexContents.count(); ++i) {
            const QString text = indexContents.item(i).toElement().text();
            const auto match = DomParser::atomMarkerExpression().match(text);
            QVERIFY2(match.hasMatch() && match.captured() == text, qPrintable(text));
        }
        for (auto it = markersOf.cbegin(); it != markersOf.cend(); ++it)
            for (const QString& name : it.value())
                QVERIFY2(files.contains(name + ".tqw"), qPrintable(it.key() + " -> " + name));
        std::function<bool(const QString&, QStringList)> cyclic = [&](const QString& name, QStringList path) {
            if (path.contains(name))
                return true;
            path << name;
            for (const QString& next : markersOf.value(name + ".tqw"))
                if (cyclic(next, path))
                    return true;
            return false;
        };
        for (const QString& file : files)
            if (file != "原子模板库.tqw")
                QVERIFY2(!cyclic(QFileInfo(file).completeBaseName(), {}), qPrintable(file));
    }

    // Every input the fuzzer ever crashed on, and the seed corpus, load without harm.
    void fuzzRegressionsAndCorpus()
    {
        const QString top = TestEnvironment::sourceDir() + "/tests/fuzz";
        int files = 0;
        for (const QString sub : {"regressions", "corpus"}) {
            QDirIterator it(top + '/' + sub, QDir::Files);
            while (it.hasNext()) {
                QFile file(it.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                QTreeWidget tree;
                DomParser parser(&tree);
                if (parser.readData(file.readAll()) && parser.buildTree()) {
                    const DrawResult r = drawAll(parser);
                    QVERIFY(r.texts.size() == r.positions.size() && r.texts.size() <= r.entryCount);
                }
                ++files;
            }
        }
        QVERIFY2(files >= 5, qPrintable(top));
    }
};

TQ_TEST_MAIN(DomParserTest)
#include "tst_domparser.moc"
