// Word lookups: hits and replacement candidates for list, pair and correction
// categories and atom markers, transitive synonyms, document text that looks
// like SQL, reproducible draws, and the in-memory tables against the SQL path.

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUuid>
#include <random>

#include "Embellish.h"
#include "RandomSource.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "TestSupport.h"
#include "WordDatabaseCatalogue.h"
#include "WordLookupTable.h"

namespace {

// A folder with a Dictionary/ of word tables made for one test; it is the
// current folder while the object lives.
class Dictionary : public TemporaryDictionary
{
public:
    Dictionary() : TemporaryDictionary("dict") {}

    // The key columns get NOCASE indexes like the shipped databases.
    void add(uint code, const QStringList& columns, const QList<QVariantList>& rows)
    {
        TemporaryDictionary::add(code, columns, rows, true);
    }
    void addPairs(uint code, const QList<QVariantList>& rows) { add(code, {"Word01", "Word02"}, rows); }
    void addWords(uint code, const QStringList& words)
    {
        QList<QVariantList> rows;
        for (const QString& word : words)
            rows << QVariantList{word};
        add(code, {"Word"}, rows);
    }
};

struct Lookup
{
    bool hit = false;
    QString newWord;
    QStringList candidates;

    bool operator==(const Lookup& other) const
    {
        return hit == other.hit && newWord == other.newWord && candidates == other.candidates;
    }
};

Lookup lookUp(Embellish& embellish, const QString& word, uint type)
{
    Lookup result;
    QSet<QString> candidates;
    result.hit = embellish.getNewWord(word, &result.newWord, type, &candidates);
    result.candidates = candidates.values();
    std::sort(result.candidates.begin(), result.candidates.end());
    return result;
}

QString describe(const Lookup& lookup)
{
    return QString("hit=%1 new=%2 candidates=%3").arg(lookup.hit).arg(lookup.newWord, lookup.candidates.join('|'));
}

void setTransitive(const QVariant& value)
{
    Settings settings;
    if (value.isValid())
        settings.setValue("EmbellishTransitiveSynonym", value);
    else
        settings.remove("EmbellishTransitiveSynonym");
}

} // namespace

class EmbellishLookupTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setTransitive(QVariant());
        atomTemplateMarkers.clear();
        WordLookupTable::clearCache();
    }

    void pairsListsAndCorrections_data()
    {
        QTest::addColumn<bool>("inMemory");
        QTest::newRow("sql") << false;
        QTest::newRow("in memory") << true;
    }
    void pairsListsAndCorrections()
    {
        QFETCH(bool, inMemory);
        Dictionary dictionary;
        dictionary.addPairs(64, {{"高兴", "快乐"}, {"自己", "自己"}, {"孤单", ""}, {"孤单", QVariant()}});
        dictionary.addPairs(18, {{"高兴", "难过"}, {"高兴", "悲伤"}});
        dictionary.add(32, {"TypoWord", "Correction"}, {{"迫不急待", "迫不及待"}, {"按步就班", "按部就班"}});
        dictionary.addWords(83, {"北京", "Paris"});
        Embellish embellish(nullptr);
        if (inMemory)
            for (uint code : {64u, 18u, 32u, 83u})
                QVERIFY(embellish.loadWordTable(code));

        Lookup happy = lookUp(embellish, "高兴", 64);
        QVERIFY(happy.hit);
        QCOMPARE(happy.newWord, QString("快乐"));
        QCOMPARE(happy.candidates, QStringList{"快乐"});
        // From either side of the pair.
        QCOMPARE(lookUp(embellish, "快乐", 64).newWord, QString("高兴"));
        // A word paired only with itself has nothing to become.
        QVERIFY(!lookUp(embellish, "自己", 64).hit);
        QVERIFY(embellish.getNewWord("自己", nullptr, 64, nullptr));
        // A half-empty pair is no pair: no hit, and never an empty replacement.
        QVERIFY(!lookUp(embellish, "孤单", 64).hit);
        QVERIFY(!lookUp(embellish, "开心", 64).hit);

        // A caller closed the connection it was handed: lookups reopen it.
        embellish.getDatabase(64, QString()).close();
        QCOMPARE(lookUp(embellish, "快乐", 64).newWord, QString("高兴"));

        QCOMPARE(lookUp(embellish, "迫不急待", 32).newWord, QString("迫不及待"));
        QVERIFY(!lookUp(embellish, "迫不及待", 32).hit); // corrections are found by the typo only

        // List categories: the word itself, ASCII case folded.
        QCOMPARE(lookUp(embellish, "北京", 83).newWord, QString("北京"));
        QCOMPARE(lookUp(embellish, "PARIS", 83).newWord, QString("PARIS"));
        QVERIFY(!lookUp(embellish, "上海", 83).hit);

        QCOMPARE(embellish.getNewWordList("高兴", 64, true), (QStringList{"高兴", "快乐"}));
        QCOMPARE(embellish.getNewWordList("高兴", 18, true), (QStringList{"悲伤", "难过"}));
        QCOMPARE(embellish.getNewWordList("迫不急待", 32, true), QStringList{"迫不及待"});
        QCOMPARE(embellish.getNewWordList("孤单", 64, true), QStringList{"孤单"});
        QCOMPARE(embellish.getNewWordList("开心", 18, true), QStringList());
    }

    void unsupportedCodes()
    {
        Dictionary dictionary;
        dictionary.addWords(83, {"北京"});
        const QString own = QDir::current().filePath("own.db");
        QFile::copy("Dictionary/地名.db", own);
        ScriptedPrompt prompt;
        Embellish embellish(nullptr);
        QVERIFY(embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, own).isOpen());
        QString newWord = "unchanged";
        for (uint code : {0u, 1u, 19u, 20u, 34u, 37u, 38u, 128u, 255u}) {
            QVERIFY(!embellish.getNewWord("北京", &newWord, code, nullptr));
            // Not touched: still the same open file.
            QCOMPARE(embellish.database.databaseName(), own);
            QVERIFY(embellish.database.isOpen());
        }
        QCOMPARE(newWord, QString("unchanged"));
        QVERIFY(prompt.texts.isEmpty());

        MessageCapture capture;
        QCOMPARE(embellish.getNewWordList("北京", 83, true), QStringList());
        QVERIFY(capture.contains("Unsupported newWordType: 83"));
    }

    void transitiveSynonyms_data()
    {
        QTest::addColumn<QVariant>("setting");
        QTest::addColumn<QList<QVariantList>>("pairs");
        QTest::addColumn<QStringList>("expected");
        const QList<QVariantList> chain{{"甲", "乙"}, {"乙", "丙"}, {"丁", "戊"}};
        const QList<QVariantList> cycle{{"甲", "乙"}, {"乙", "甲"}, {"乙", "丙"}, {"丙", "甲"}};
        QTest::newRow("absent") << QVariant() << chain << QStringList{"甲", "乙"};
        QTest::newRow("unchecked") << QVariant(0) << chain << QStringList{"甲", "乙"};
        QTest::newRow("checked") << QVariant(2) << chain << QStringList{"甲", "丙", "乙"};
        QTest::newRow("cycle") << QVariant(2) << cycle << QStringList{"甲", "丙", "乙"};
        QTest::newRow("cycle off") << QVariant(0) << cycle << QStringList{"甲", "丙", "乙"};
    }
    void transitiveSynonyms()
    {
        QFETCH(QVariant, setting);
        QFETCH(QList<QVariantList>, pairs);
        QFETCH(QStringList, expected);
        Dictionary dictionary;
        dictionary.addPairs(64, pairs);
        dictionary.addPairs(18, pairs);
        dictionary.add(32, {"TypoWord", "Correction"}, pairs);
        setTransitive(setting);
        Embellish embellish(nullptr);
        QCOMPARE(embellish.getNewWordList("甲", 64, true), expected);
        // Antonyms follow the same setting; the word itself is not listed.
        QCOMPARE(embellish.getNewWordList("甲", 18, true), expected.mid(1));
        // Corrections never chain.
        QCOMPARE(embellish.getNewWordList("甲", 32, true), QStringList{"乙"});
    }

    void prefixLookups()
    {
        Dictionary dictionary;
        dictionary.addPairs(64, {{"高兴", "快乐"}, {"高大", "魁梧"}, {"%x", "百分"}, {"a_b", "下划"}});
        Embellish embellish(nullptr);
        QCOMPARE(embellish.getNewWordList("高", 64, false), (QStringList{"高", "快乐", "高兴", "高大", "魁梧"}));
        // Wildcards in the word are literal.
        QCOMPARE(embellish.getNewWordList("%", 64, false), (QStringList{"%", "%x", "百分"}));
        QCOMPARE(embellish.getNewWordList("_", 64, false), QStringList{"_"});
        QVERIFY(embellish.loadWordTable(64));
        QCOMPARE(embellish.getNewWordList("高", 64, false), (QStringList{"高", "快乐", "高兴", "高大", "魁梧"}));
        QCOMPARE(embellish.getNewWordList("%", 64, false), (QStringList{"%", "%x", "百分"}));
    }

    void atomMarkers()
    {
        atomTemplateMarkers = QStringList{"[描写美丽]", "[美丽]", "[形容快乐]", "[春天语境]", "[指代他]"};
        Embellish embellish(nullptr);
        QCOMPARE(embellish.matchAtomTemplate("美丽"), QStringList{"[描写美丽]"});
        QCOMPARE(embellish.matchAtomTemplate("春天"), QStringList{"[春天语境]"});
        atomTemplateMarkers << "[形容美丽]" << "[美丽语境]" << "[指代美丽]";
        QCOMPARE(embellish.matchAtomTemplate("美丽"),
                 (QStringList{"[形容美丽]", "[描写美丽]", "[指代美丽]", "[美丽语境]"}));
        atomTemplateMarkers = QStringList{"[描写美丽]"};
        Lookup lookup = lookUp(embellish, "美丽", TEMPLATE_TYPE_TQW_FILE_ATOM_TOC);
        QVERIFY(lookup.hit);
        QCOMPARE(lookup.newWord, QString("[描写美丽]"));
        QCOMPARE(embellish.getNewWordList("美丽", TEMPLATE_TYPE_TQW_FILE_ATOM_TOC, true), QStringList{"[描写美丽]"});
        // No marker, no hit, with or without a new word asked for.
        QVERIFY(!embellish.getNewWord("丑陋", nullptr, TEMPLATE_TYPE_TQW_FILE_ATOM_TOC, nullptr));
        QVERIFY(!lookUp(embellish, "丑陋", TEMPLATE_TYPE_TQW_FILE_ATOM_TOC).hit);
    }

    void documentTextIsNeverSql_data()
    {
        QTest::addColumn<bool>("inMemory");
        QTest::addColumn<QString>("word");
        for (bool inMemory : {false, true}) {
            const char* path = inMemory ? "memory " : "sql ";
            for (const char* word : {"Word", "word", "WORD", "Word01", "Word02", "TypoWord", "Correction", "%", "_",
                                     "__", "%%", "h%", "hell_", "\\", "\"", "'", "\"\"", "''", "\"OR\"1\"LIKE\"1",
                                     "'OR'1'LIKE'1", "x\" OR \"1\"=\"1", "1; DROP TABLE 英文", "rowid", "*", ""})
                QTest::newRow(qPrintable(path + QString::fromUtf8(word))) << inMemory << QString::fromUtf8(word);
        }
    }
    void documentTextIsNeverSql()
    {
        QFETCH(bool, inMemory);
        QFETCH(QString, word);
        Dictionary dictionary;
        dictionary.addWords(80, {"hello", "world", "the"});
        dictionary.addPairs(64, {{"hello", "hi"}, {"big", "large"}});
        dictionary.add(32, {"TypoWord", "Correction"}, {{"teh", "the"}, {"recieve", "receive"}});
        ScriptedPrompt prompt;
        MessageCapture capture;
        Embellish embellish(nullptr);
        if (inMemory)
            for (uint code : {80u, 64u, 32u})
                QVERIFY(embellish.loadWordTable(code));
        for (uint code : {80u, 64u, 32u})
            QVERIFY2(!lookUp(embellish, word, code).hit, qPrintable(QString::number(code)));
        QCOMPARE(embellish.getNewWordList(word, 64, true), QStringList{word});
        QCOMPARE(embellish.getNewWordList(word, 32, true), QStringList());
        QVERIFY(prompt.texts.isEmpty());
        QVERIFY2(!capture.contains("Lookup failed"), qPrintable(capture.messages().join('\n')));

        // ASCII letters still match without regard to case.
        QCOMPARE(lookUp(embellish, "HELLO", 80).newWord, QString("HELLO"));
        QCOMPARE(lookUp(embellish, "Hello", 64).candidates, (QStringList{"hello", "hi"}));
        QCOMPARE(lookUp(embellish, "TEH", 32).candidates, (QStringList{"teh", "the"}));
        // The table is untouched.
        QCOMPARE(embellish.getNewWordList("big", 64, true), (QStringList{"big", "large"}));
    }

    void drawsAreReproducible()
    {
        // The same pairs in two row orders: a seeded instance picks the same words.
        QList<QVariantList> pairs{{"好", "佳"}, {"好", "良"}, {"善", "好"}, {"好", "优"}, {"美", "好"}};
        QStringList picks[2];
        for (int order = 0; order < 2; ++order) {
            Dictionary dictionary;
            if (order == 1)
                std::reverse(pairs.begin(), pairs.end());
            dictionary.addPairs(64, pairs);
            Embellish embellish(nullptr);
            embellish.seedRandom(20240607);
            for (int i = 0; i < 40; ++i)
                picks[order] << lookUp(embellish, "好", 64).newWord;
        }
        QCOMPARE(picks[0], picks[1]);

        // Unseeded instances draw their seed from the program's random source.
        QStringList unseeded[2];
        for (int run = 0; run < 2; ++run) {
            Dictionary dictionary;
            dictionary.addPairs(64, pairs);
            RandomSource::seed(99);
            Embellish embellish(nullptr);
            for (int i = 0; i < 20; ++i)
                unseeded[run] << lookUp(embellish, "好", 64).newWord;
        }
        QCOMPARE(unseeded[0], unseeded[1]);
        // And they are draws, not always the same word.
        QCOMPARE(QSet<QString>(picks[0].begin(), picks[0].end()).size(), 5);
    }

    void sharedTablesFollowTheFile()
    {
        Dictionary dictionary;
        dictionary.addWords(88, {"点赞"});
        Embellish first(nullptr);
        Embellish second(nullptr);
        QVERIFY(first.loadWordTable(88));
        QVERIFY(second.loadWordTable(88));
        QVERIFY(WordLookupTable::shared(88) == WordLookupTable::shared(88));
        QVERIFY(lookUp(first, "点赞", 88).hit);
        QVERIFY(!lookUp(first, "躺平", 88).hit);

        // The GUI connection writes a row (as the template library does).
        QSqlDatabase db = first.getDatabase(88, QString());
        QVERIFY(QSqlQuery(db).exec("INSERT INTO 网络语言 VALUES ('躺平')"));
        QVERIFY(second.loadWordTable(88));
        QVERIFY(lookUp(second, "躺平", 88).hit);
        // An instance keeps the table it loaded until it loads again.
        QVERIFY(!lookUp(first, "躺平", 88).hit);
        first.unloadWordTables();
        QVERIFY(lookUp(first, "躺平", 88).hit);
        QVERIFY(!first.hasWordTable(88));

        QVERIFY(!first.loadWordTable(19)); // no word table behind the atom database
        QVERIFY(!first.loadWordTable(16)); // missing file
    }

    // A word's row is its place in the order the rows were written (the
    // white list's rough frequency), however SQLite chooses to scan.
    void rowsInTheOrderWritten()
    {
        Dictionary dictionary;
        dictionary.addWords(33, {"的确", "一个", "卷纸"});
        const QString connection = QUuid::createUuid().toString();
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", connection);
            db.setDatabaseName(WordDatabaseCatalogue::fileName(33));
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec("PRAGMA reverse_unordered_selects = ON"));
            const WordLookupTable::Pointer table = WordLookupTable::load(db, 33);
            QVERIFY(table);
            QCOMPARE(table->rowOf("的确"), 1);
            QCOMPARE(table->rowOf("卷纸"), 3);
            // A table without row ids is read all the same.
            QVERIFY(QSqlQuery(db).exec("CREATE TABLE 自定义 (Word TEXT PRIMARY KEY) WITHOUT ROWID"));
            QVERIFY(QSqlQuery(db).exec("INSERT INTO 自定义 VALUES ('点赞')"));
            const WordLookupTable::Pointer withoutRowIds = WordLookupTable::load(db, 254);
            QVERIFY(withoutRowIds && withoutRowIds->contains("点赞"));
        }
        QSqlDatabase::removeDatabase(connection);
    }

    void workersShareOneTable()
    {
        Dictionary dictionary;
        QStringList words;
        for (int i = 0; i < 500; ++i)
            words << QString("词%1").arg(i);
        dictionary.addWords(33, words);
        constexpr int workers = 4;
        int hits[workers] = {};
        QList<QThread*> threads;
        for (int t = 0; t < workers; ++t) {
            threads << QThread::create([&, t] {
                Embellish embellish(nullptr);
                if (!embellish.loadWordTable(33))
                    return;
                for (int i = 0; i < 1000; ++i)
                    hits[t] += embellish.getNewWord(QString("词%1").arg(i), nullptr, 33, nullptr) ? 1 : 0;
            });
            threads.last()->start();
        }
        for (QThread* thread : threads) {
            thread->wait();
            delete thread;
        }
        for (int t = 0; t < workers; ++t)
            QCOMPARE(hits[t], 500);
    }

    // The in-memory tables give exactly what the bound SQL gives, on random
    // tables and texts that mix Chinese, ASCII case and LIKE wildcards.
    void inMemoryMatchesSql_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 4u, 5u})
            QTest::newRow(qPrintable(QString::number(seed))) << seed;
    }
    void inMemoryMatchesSql()
    {
        QFETCH(quint32, seed);
        std::mt19937 random(seed);
        const QStringList alphabet{"甲", "乙", "丙", "丁", "a", "A", "b", "B", "%", "_", "\"", "'", "\\"};
        auto pick = [&](int n) { return int(random() % quint32(n)); };
        auto randomWord = [&](int maxLength) {
            QString word;
            const int length = 1 + pick(maxLength);
            for (int i = 0; i < length; ++i)
                word += alphabet.at(pick(alphabet.size()));
            return word;
        };
        auto randomCell = [&]() -> QVariant {
            const int kind = pick(12);
            if (kind == 0)
                return QVariant();
            if (kind == 1)
                return QString("");
            return randomWord(3);
        };
        Dictionary dictionary;
        QStringList listWords;
        for (int i = 0; i < 40; ++i)
            listWords << randomWord(3);
        dictionary.addWords(80, listWords);
        QList<QVariantList> pairs, antonyms, corrections;
        for (int i = 0; i < 40; ++i) {
            pairs << QVariantList{randomCell(), randomCell()};
            antonyms << QVariantList{randomCell(), randomCell()};
            corrections << QVariantList{randomCell(), randomCell()};
        }
        dictionary.addPairs(64, pairs);
        dictionary.addPairs(18, antonyms);
        dictionary.add(32, {"TypoWord", "Correction"}, corrections);
        dictionary.add(35, {"TypoWord", "Correction"}, corrections);

        Embellish plain(nullptr);
        Embellish fast(nullptr);
        plain.seedRandom(seed);
        fast.seedRandom(seed);
        for (uint code : {80u, 64u, 18u, 32u, 35u})
            QVERIFY(fast.loadWordTable(code));

        setTransitive(seed % 2 ? 2 : 0);
        int hits = 0;
        for (int text = 0; text < 25; ++text) {
            const QString line = randomWord(8);
            for (int start = 0; start < line.size(); ++start) {
                for (int length = 1; start + length <= line.size() && length <= 4; ++length) {
                    const QString candidate = line.mid(start, length);
                    for (uint code : {80u, 64u, 18u, 32u, 35u}) {
                        const Lookup expected = lookUp(plain, candidate, code);
                        const Lookup actual = lookUp(fast, candidate, code);
                        QVERIFY2(actual == expected, qPrintable(QString("%1 in %2: sql %3, memory %4")
                                                                    .arg(candidate).arg(code)
                                                                    .arg(describe(expected), describe(actual))));
                        hits += expected.hit ? 1 : 0;
                    }
                    for (uint code : {64u, 18u, 32u})
                        for (bool exactly : {true, false})
                            QCOMPARE(fast.getNewWordList(candidate, code, exactly),
                                     plain.getNewWordList(candidate, code, exactly));
                }
            }
        }
        // The comparison meant something.
        QVERIFY(hits > 20);
    }
};

TQ_TEST_MAIN(EmbellishLookupTest)
#include "tst_embellish_lookup.moc"
