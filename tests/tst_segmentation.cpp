// Line segmentation: the edge cases of the backward scan, text preservation over
// random lines and random tables for every code in both matching modes, longest
// against shortest match, lines cut the same whatever was cut before, and long
// lines cut into pieces giving the same segments as the whole line.

#include <random>

#include "Embellish.h"
#include "EmbellishRun.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "TestSupport.h"
#include "WordDatabaseCatalogue.h"
#include "WordLookupTable.h"

namespace {

QString joined(const SegmentList& segments)
{
    QString text;
    for (const Segment& segment : segments)
        text += segment.text;
    return text;
}

QString describe(const SegmentList& segments)
{
    QStringList parts;
    for (const Segment& segment : segments)
        parts << segment.text + (segment.matched ? "✓" : "");
    return parts.join('|');
}

// The line cut as a marking run cuts it; the first list described.
QString cut(Embellish& embellish, const QString& line, uint code, SegmentList* marked = nullptr,
            SegmentList* embellished = nullptr)
{
    SegmentList first, second;
    marked = marked ? marked : &first;
    embellished = embellished ? embellished : &second;
    marked->clear();
    embellished->clear();
    EmbellishRun::segmentText(embellish, line, code, SegmentationSettings::read(), marked, embellished);
    return describe(*marked);
}

void setMatching(bool longest, int maxWordLength)
{
    Settings settings;
    settings.setValue("EmbellishTryMaxNewWordLength", longest ? 2 : 0);
    settings.setValue("MaxWordLength", maxWordLength);
}

void addWords(TemporaryDictionary& dictionary, uint code, const QStringList& words)
{
    QList<QVariantList> rows;
    for (const QString& word : words)
        rows << QVariantList{word};
    dictionary.add(code, {"Word"}, rows, true);
}

// A name template: surnames, then the given name's first and second characters.
QByteArray nameTemplate(const QStringList& surnames, const QStringList& first, const QStringList& second)
{
    QString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"名\">";
    for (const QStringList& entry : {surnames, first, second})
        xml += "<entry title=\"部分\"><content>" + entry.join("</content><content>") + "</content></entry>";
    return (xml + "</template>\n").toUtf8();
}

const uint kListCodes[] = {16, 17, 33, 36, 80, 81, 82, 83, 84, 86, 87, 88, 89, 96, 117, 254};
const QString kAlphabet = QStringLiteral("甲乙丙丁戊己庚辛 a1B，。！、“”\t\u3000\u00a0「→２");

} // namespace

class SegmentationTest : public QObject
{
    Q_OBJECT

    // The black-list check over a line, against a one-row black list and the given white-list words:
    // the pieces it cuts and marks, the line with every mark's first word put in, and each mark's
    // pop-up list offering what was put in.
    void blackListCorrects(const QString& line, const QString& expected, const QString& corrected,
                           const QStringList& whiteWords)
    {
        TemporaryDictionary dictionary("seg");
        dictionary.add(32, {"TypoWord", "Correction"}, {{"按步就班", "按部就班"}}, true);
        addWords(dictionary, 33, whiteWords);
        Embellish embellish(nullptr);
        SegmentList marked, embellished;
        QCOMPARE(cut(embellish, line, 32, &marked, &embellished), expected);
        QCOMPARE(joined(embellished), corrected);
        for (const Segment& segment : marked)
            if (segment.matched)
                QVERIFY(embellish.getNewWordList(segment.text, 32, true)
                            .contains(corrected.mid(line.indexOf(segment.text), segment.text.size())));
    }

private slots:
    void init() { Settings().clear(); }
    void cleanup()
    {
        WordLookupTable::clearCache();
        atomTemplateMarkers.clear();
    }

    void edgeCases()
    {
        TemporaryDictionary dictionary("seg");
        addWords(dictionary, 16, {"坏蛋", "兴", "高兴"});
        addWords(dictionary, 36, {"你", "是"});
        addWords(dictionary, 33, {"你好"});
        addWords(dictionary, 96, {"a b"});
        Embellish embellish(nullptr);

        setMatching(false, 4);
        QCOMPARE(cut(embellish, "你是坏蛋！", 16), QString("你是|坏蛋✓|！"));
        SegmentList marked, embellished;
        cut(embellish, "你是坏蛋！", 16, &marked, &embellished);
        QCOMPARE(embellished, marked); // a list category replaces a word with itself
        QCOMPARE(cut(embellish, "，。 ！", 16), QString("，。 ！"));
        QCOMPARE(cut(embellish, "，。 ！", 33), QString("，。 ！✓"));
        // White list: characters of unknown words stand alone; frequent ones count as found.
        QCOMPARE(cut(embellish, "你好，他是谁", 33), QString("你好✓|，✓|他|是✓|谁"));
        // Codes without delimiters look spaces and punctuation up like any character.
        QCOMPARE(cut(embellish, "a b, a", 96), QString("a b✓|, a"));
        QCOMPARE(cut(embellish, "", 16), QString());

        // Shortest match takes the first hit growing leftward, longest the longest.
        QCOMPARE(cut(embellish, "高兴", 16), QString("高|兴✓"));
        setMatching(true, 4);
        QCOMPARE(cut(embellish, "高兴", 16), QString("高兴✓"));
        // A hit, then a delimiter within the longest length: the rest is cut on its own.
        QCOMPARE(cut(embellish, "他，大坏蛋", 16), QString("他，大|坏蛋✓"));
    }

    // A black-list hit counts only where its context does not read better as
    // correct words: a white-list word running out of the hit (平安|祥和,
    // 按|纽约) takes the hit away unless the wrong form still gives the
    // shorter reading; a tie goes to the correct words.
    void blackListHitsInContext()
    {
        TemporaryDictionary dictionary("seg");
        dictionary.add(32, {"TypoWord", "Correction"},
                       {{"安祥", "安详"}, {"按纽", "按钮"}, {"幅射", "辐射"}}, true);
        addWords(dictionary, 33, {"平安", "祥和", "纽约", "时间", "射线", "检测", "强度"});
        Embellish embellish(nullptr);
        QCOMPARE(cut(embellish, "节日里平安祥和", 32), QString("节日里平安祥和"));
        QCOMPARE(cut(embellish, "她神态安祥", 32), QString("她神态|安祥✓"));
        // 按|纽约|时间 against 按纽|约|时间: as many pieces, so no mark.
        QCOMPARE(cut(embellish, "按纽约时间", 32), QString("按纽约时间"));
        // 检测|幅射|强度 needs fewer pieces than 检测|幅|射|强度.
        QCOMPARE(cut(embellish, "检测幅射强度", 32), QString("检测|幅射✓|强度"));
        // The context stops at a delimiter: 平安，祥和 has no word across the comma.
        QCOMPARE(cut(embellish, "安祥，和", 32), QString("安祥✓|，和"));
        // The combined check: no black-list hit, the white list finds its words.
        QCOMPARE(cut(embellish, "节日里平安祥和", 34), QString("节日里|平安✓|祥和✓"));
    }

    // A stretch no row lists is marked where it is a white-list word with one character taken for
    // another of the same syllable (以经, 才判) or look (栽判), and the word reads better in its context; the
    // mark carries the word, which the pop-up list offers too. A word standing there (按|装置) keeps
    // the text as it is.
    void blackListGuessesSlips_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("corrected");
        QTest::newRow("same syllable") << "他以经走了" << "他|以经✓|走了" << "他已经走了";
        QTest::newRow("same syllable, no character of grammar") << "比赛的才判很公正" << "比赛的|才判✓|很公正"
                                                                << "比赛的裁判很公正";
        QTest::newRow("look-alike") << "比赛的栽判很公正" << "比赛的|栽判✓|很公正" << "比赛的裁判很公正";
        QTest::newRow("idiom") << "他只是滥竽冲数" << "他只是|滥竽冲数✓" << "他只是滥竽充数";
        QTest::newRow("words around it") << "请按装置说明书操作" << "请按装置说明书操作" << "请按装置说明书操作";
        QTest::newRow("foreign name") << "他们登上锡安山" << "他们登上锡安山" << "他们登上锡安山";
        QTest::newRow("alone in its line") << "锡安" << "锡安" << "锡安";
    }
    void blackListGuessesSlips()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QFETCH(QString, corrected);
        blackListCorrects(line, expected, corrected,
                          {"已经", "安装", "装置", "说明书", "操作", "裁判", "比赛", "公正", "滥竽充数", "只是", "西安", "他们",
                           "登上"});
    }

    // Where the text reads as something else than a slip, no guess is made: a word of jieba's list
    // (秒数, which the white list lacks), text near Latin letters or the signs of code, a foreign
    // name (by its name-spelling characters, or a place name's ending), a person before a title, a
    // verb said twice (歇一歇), a measure word and its noun after a number (这条|江), a verb and its
    // direction (洒下). The same slip elsewhere is marked.
    void blackListGuessesLeaveOtherReadings_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::newRow("slip") << "比赛的栽判很公正" << "比赛的|栽判✓|很公正";
        QTest::newRow("word of jieba's list") << "时钟上显示秒数" << "时钟上显示秒数";
        QTest::newRow("technical text") << "比赛的栽判很公正 (v2)" << "比赛的栽判很公正 (v2)";
        QTest::newRow("name-spelling characters") << "巴思东北萨默塞特" << "巴思东北萨默塞特";
        QTest::newRow("place name's ending") << "他去过坤西育府" << "他去过坤西育府";
        QTest::newRow("before a title") << "于广辉先生讲话" << "于广辉先生讲话";
        QTest::newRow("verb said twice") << "累了就歇一歇" << "累了就歇一歇";
        QTest::newRow("measure word and noun") << "这条江里有鱼" << "这条江里有鱼";
        QTest::newRow("verb and direction") << "夕阳洒下金光" << "夕阳洒下金光";
    }
    void blackListGuessesLeaveOtherReadings()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        TemporaryDictionary dictionary("seg");
        dictionary.add(32, {"TypoWord", "Correction"}, {{"按步就班", "按部就班"}}, true);
        addWords(dictionary, 33, {"裁判", "比赛", "公正", "时钟", "显示", "少数", "萨摩", "西域", "光辉", "讲话", "先生",
                                  "一些", "条件", "有鱼", "夕阳西下", "金光"});
        addWords(dictionary, 86, {"于"});
        addWords(dictionary, 117, {"条"});
        Embellish embellish(nullptr);
        QCOMPARE(cut(embellish, line, 32), expected);
    }

    // A tie between the text as written and a row's correction goes to the more common words only
    // where the text leaves one of the hit's characters alone that is seldom a word on its own:
    // 请安|照|规定 is marked (照), 一手|好|象棋 is not (好 is a word), though 好像 is more common than 象棋.
    void blackListTiesNeedAStrayCharacter()
    {
        TemporaryDictionary dictionary("seg");
        dictionary.add(32, {"TypoWord", "Correction"}, {{"好象", "好像"}, {"安照", "按照"}}, true);
        QStringList words{"好像", "按照", "规定", "一手", "办理"};
        for (int k = 0; k < 40; ++k) // rarer words further down the list
            words << QString(QChar(0x9F8D)) + QChar(0x9F8E + k);
        words << "象棋" << "请安";
        addWords(dictionary, 33, words);
        Embellish embellish(nullptr);
        QCOMPARE(cut(embellish, "请安照规定办理", 32), QString("请|安照✓|规定办理"));
        QCOMPARE(cut(embellish, "他下得一手好象棋", 32), QString("他下得一手好象棋"));
    }

    // 的 where a complement needs 得 (跑的很快) or a manner word 地 (慢慢的走了), and a number's measure
    // word of the same sound as its noun's (一颗老槐树 for 一棵, 一副…奔马图 for 一幅) are marked with the
    // right one, which the pop-up offers too; 的 that reads as "what" or "of" (你说的很对, 走的很多地方,
    // 静静的夜晚, 静静的看台) and a measure word that fits (一副眼镜, 这颗螺丝松了) are left alone.
    void blackListMarksParticlesAndMeasureWords_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("corrected");
        QTest::newRow("complement") << "他跑的很快" << "他|跑的✓|很快" << "他跑得很快";
        QTest::newRow("quantity") << "他走的很多地方" << "他走的很多地方" << "他走的很多地方";
        QTest::newRow("what was said") << "你说的很对" << "你说的很对" << "你说的很对";
        QTest::newRow("manner") << "她慢慢的走了" << "她|慢慢的✓|走了" << "她慢慢地走了";
        QTest::newRow("manner word and noun") << "静静的夜晚" << "静静的夜晚" << "静静的夜晚";
        QTest::newRow("verb not used as one") << "静静的看台" << "静静的看台" << "静静的看台";
        QTest::newRow("plant") << "村口有一颗老槐树" << "村口有|一颗✓|老槐树" << "村口有一棵老槐树";
        QTest::newRow("noun after 的") << "墙上挂着一副徐悲鸿的奔马图" << "墙上挂着|一副✓|徐悲鸿的奔马图"
                                       << "墙上挂着一幅徐悲鸿的奔马图";
        QTest::newRow("fitting measure word") << "他戴着一副眼镜" << "他戴着一副眼镜" << "他戴着一副眼镜";
        QTest::newRow("noun's character in a verb") << "这颗螺丝松了" << "这颗螺丝松了" << "这颗螺丝松了";
    }
    void blackListMarksParticlesAndMeasureWords()
    {
        QFETCH(QString, line);
        QFETCH(QString, expected);
        QFETCH(QString, corrected);
        blackListCorrects(line, expected, corrected,
                          {"村口", "槐树", "墙上", "眼镜", "螺丝", "夜晚", "地方", "很多", "很快", "很对", "看台"});
    }

    // Which characters writers take for one another, and what it costs: the same reading, another
    // tone, the other nasal ending, a similar look; unrelated characters not at all.
    void charactersWritersConfuse_data()
    {
        QTest::addColumn<QString>("pair");
        QTest::addColumn<int>("cost");
        QTest::newRow("same reading") << "以已" << 0;
        QTest::newRow("polyphone") << "的地" << 0;
        QTest::newRow("other tone") << "即既" << 10;
        QTest::newRow("other nasal ending") << "因应" << 15;
        QTest::newRow("look-alike") << "栽裁" << 15;
        QTest::newRow("phonetic series") << "概慨" << 15;
        QTest::newRow("unrelated") << "大小" << -1;
        QTest::newRow("itself") << "大大" << -1;
    }
    void charactersWritersConfuse()
    {
        QFETCH(QString, pair);
        QFETCH(int, cost);
        QCOMPARE(ConfusableWords::confusionCost(pair.at(0), pair.at(1)), cost);
    }

    // The white-list check knows a character wherever a listed word stands over it, whatever piece
    // the cut chose: 湖边 taken first leaves 鄱阳湖 whole in the list. A rare character alone stays marked.
    void whiteListKnowsWordsAtTheirSpot_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("marked");
        QTest::newRow("word cut apart") << "我在鄱阳湖边住了三年。" << "";
        QTest::newRow("rare character alone") << "饕了三年" << "饕";
        QTest::newRow("listed word whole") << "饕餮了" << "";
        QTest::newRow("no listed word over it") << "鄱阳边" << "鄱";
    }
    void whiteListKnowsWordsAtTheirSpot()
    {
        QFETCH(QString, line);
        QFETCH(QString, marked);
        TemporaryDictionary dictionary("seg");
        addWords(dictionary, 33, {"鄱阳湖", "湖边", "饕餮"});
        Embellish embellish(nullptr);
        embellish.highFrequencyCharacters = "我在边住了三年阳湖";
        SegmentList segments, embellished;
        cut(embellish, line, 33, &segments, &embellished);
        QStringList unknown;
        for (const Segment& segment : segments)
            if (!segment.matched)
                unknown << segment.text;
        QCOMPARE(unknown.join('|'), marked);
    }

    // A person's name is one piece, so its last character does not start a wrong form: a surname of
    // 姓氏 after 小, 老 or 阿, a given name as the name generator puts it together (from one of its
    // templates, also in Base64), a surname with a given name. A misspelling beside a name is marked.
    void blackListReadsNamesAsOnePiece()
    {
        TemporaryDictionary dictionary("seg");
        dictionary.add(32, {"TypoWord", "Correction"}, {{"侯补", "候补"}, {"玲听", "聆听"}, {"欧打", "殴打"}}, true);
        addWords(dictionary, 33, {"车票", "聆听", "殴打", "候补", "报告", "邻居"});
        addWords(dictionary, 86, {"侯", "王", "欧阳"});
        writeBytes(dictionary.path() + "/Templates/男名.tqw", nameTemplate({"王"}, {"国"}, {"强"}));
        writeBytes(dictionary.path() + "/Templates/女名.tqw", nameTemplate({"王"}, {"美", "小"}, {"玲", "莹"}).toBase64());
        Embellish embellish(nullptr);
        for (const QString line : {"小侯补了车票", "老侯补了车票", "美玲听完报告", "王美玲听完报告", "欧阳玲听完报告"})
            QCOMPARE(cut(embellish, line, 32), line);
        // 国 and 玲 come from different templates: no name.
        QCOMPARE(cut(embellish, "国玲听完报告", 32), QString("国|玲听✓|完报告"));
        QCOMPARE(cut(embellish, "小王欧打邻居", 32), QString("小王|欧打✓|邻居"));
        QCOMPARE(cut(embellish, "美玲玲听报告", 32), QString("美玲|玲听✓|报告"));
    }

    // The length limit decides which words can be found at all: shortest
    // match never looks further than four characters, longest match exactly
    // as far as the limit.
    void wordLongerThanTheLimit_data()
    {
        QTest::addColumn<bool>("longest");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("shortest, limit 8") << false << 8 << "前一二三四五后";
        QTest::newRow("longest, limit 4") << true << 4 << "前一二三四五后";
        QTest::newRow("longest, limit 5") << true << 5 << "前|一二三四五✓|后";
        QTest::newRow("longest, limit 8") << true << 8 << "前|一二三四五✓|后";
    }
    void wordLongerThanTheLimit()
    {
        QFETCH(bool, longest);
        QFETCH(int, limit);
        QFETCH(QString, expected);
        TemporaryDictionary dictionary("seg");
        addWords(dictionary, 16, {"一二三四五"});
        setMatching(longest, limit);
        Embellish embellish(nullptr);
        QCOMPARE(cut(embellish, "前一二三四五后", 16), expected);
    }

    void sameCutWhateverCameBefore()
    {
        TemporaryDictionary dictionary("seg");
        dictionary.add(32, {"TypoWord", "Correction"}, {{"一二三四五", "五四三二一"}, {"二三四五", "五四三二"}}, true);
        dictionary.add(64, {"Word01", "Word02"}, {{"一二三四五", "壹贰叁肆伍"}}, true);
        setMatching(true, 8);
        Embellish fresh(nullptr);
        Embellish used(nullptr);
        QCOMPARE(cut(used, "一二三四五", 64), QString("一二三四五✓"));
        // The black list always looks at four characters at most, after anything.
        QCOMPARE(cut(used, "一二三四五", 32), QString("一|二三四五✓"));
        QCOMPARE(cut(used, "一二三四五", 32), cut(fresh, "一二三四五", 32));
        QCOMPARE(cut(used, "一二三四五", 34), cut(fresh, "一二三四五", 34));
    }

    // Random tables over a small alphabet and random lines: whatever the code
    // and mode, the pieces give the line back, the second list is the line with
    // each hit replaced, and no two unfound pieces touch. Long lines cut into
    // pieces (after delimiters, or where no word lies across) give the same
    // segments as the whole line.
    void randomLinesKeepTheirText()
    {
        std::mt19937 random(20240611);
        auto word = [&](int maxLength) {
            QString text;
            const int length = 1 + int(random() % quint32(maxLength));
            for (int k = 0; k < length; ++k)
                text += kAlphabet.at(int(random() % 8)); // words from the eight word characters
            return text;
        };
        for (int round = 0; round < 6; ++round) {
            TemporaryDictionary dictionary("seg");
            QHash<uint, QHash<QString, QString>> partners; // code -> word -> its only replacement
            QStringList used;
            auto freshWord = [&] {
                QString text;
                do
                    text = word(5);
                while (used.contains(text));
                used << text;
                return text;
            };
            for (uint code : kListCodes) {
                QStringList words;
                for (int k = 0; k < 12; ++k)
                    words << word(code == 36 ? 1 : 5);
                if (code == 96)
                    words << "a1" << "，甲";
                addWords(dictionary, code, words);
            }
            // Pairs go both ways, corrections from the typo only; every word in one row.
            for (uint code : {18u, 64u, 32u, 35u}) {
                const bool pair = code == 18 || code == 64;
                QList<QVariantList> rows;
                used.clear();
                for (int k = 0; k < 8; ++k) {
                    const QString a = freshWord(), b = freshWord();
                    rows << QVariantList{a, b};
                    partners[code][a] = b;
                    if (pair)
                        partners[code][b] = a;
                }
                dictionary.add(code, pair ? QStringList{"Word01", "Word02"} : QStringList{"TypoWord", "Correction"},
                               rows, true);
            }
            // Atom markers: a hit becomes its marker.
            atomTemplateMarkers = QStringList{"[形容甲乙]", "[丙语境]"};
            partners[2] = {{"甲乙", "[形容甲乙]"}, {"丙", "[丙语境]"}};
            setMatching(round % 2 == 1, 2 + round);
            const SegmentationSettings settings = SegmentationSettings::read();
            Embellish embellish(nullptr);
            QList<uint> codes{34, 2};
            for (uint code : kListCodes)
                codes << code;
            codes << 18 << 64 << 32 << 35;
            for (uint code : codes) {
                for (int n = 0; n < 25; ++n) {
                    QString line;
                    const int length = int(random() % 40);
                    for (int k = 0; k < length; ++k)
                        line += kAlphabet.at(int(random() % quint32(kAlphabet.size())));
                    SegmentList marked, embellished;
                    cut(embellish, line, code, &marked, &embellished);
                    const QString where = QString("code %1, line \"%2\": %3").arg(code).arg(line, describe(marked));
                    QVERIFY2(joined(marked) == line, qPrintable(where));
                    QVERIFY2(marked.size() == embellished.size(), qPrintable(where));
                    for (int k = 0; k < marked.size(); ++k) {
                        QVERIFY2(!marked[k].text.isEmpty(), qPrintable(where));
                        QVERIFY2(marked[k].matched == embellished[k].matched, qPrintable(where));
                        if (k > 0 && code != 34)
                            QVERIFY2(marked[k].matched || marked[k - 1].matched, qPrintable(where));
                        const uint pass = code == 34 ? (marked[k].category == "黑名单" ? 32 : 33) : code;
                        const QString expected = marked[k].matched && partners[pass].contains(marked[k].text)
                            ? partners[pass][marked[k].text] : marked[k].text;
                        QVERIFY2(embellished[k].text == expected, qPrintable(where));
                    }
                    // The same line cut into pieces of at least two characters.
                    SegmentList pieceMarked, pieceEmbellished;
                    for (const EmbellishRun::Piece& piece : EmbellishRun::pieces({line}, code, settings, 2, &embellish)) {
                        SegmentList m, e;
                        EmbellishRun::segmentText(embellish, line.mid(piece.start, piece.length), code, settings,
                                                  &m, &e);
                        EmbellishRun::appendPiece(pieceMarked, m);
                        EmbellishRun::appendPiece(pieceEmbellished, e);
                    }
                    QVERIFY2(pieceMarked == marked, qPrintable(where + " / " + describe(pieceMarked)));
                    QVERIFY2(pieceEmbellished == embellished, qPrintable(where));
                }
            }
        }
    }

    void appendAndMerge()
    {
        TemporaryDictionary dictionary("seg");
        addWords(dictionary, 36, {"的"});
        Embellish embellish(nullptr);
        SegmentList marked{Segment{"尾", "", false}}, embellished{Segment{"尾", "", false}};
        embellish.appendSegment("好的", false, &marked, nullptr, "白名单", 33);
        QCOMPARE(describe(marked), QString("好|的✓|尾"));
        embellish.appendSegment("词", true, &marked, &embellished, "白名单", 33);
        QCOMPARE(describe(embellished), QString("词✓|尾"));
        marked = {Segment{"a", "x", false}, Segment{"b", "y", false}, Segment{"c", "", true}, Segment{"d", "", false},
                  Segment{"e", "", false}};
        embellished = marked;
        Embellish::mergeSegments(&marked, &embellished);
        QCOMPARE(describe(marked), QString("ab|c✓|de"));
        QCOMPARE(marked.first().category, QString("x"));
        QCOMPARE(embellished, marked);
    }
};

TQ_TEST_MAIN(SegmentationTest)
#include "tst_segmentation.moc"
