// The word databases shipped beside the program: their content makes sense,
// the sample document has something for every category to find, and the black
// list marks real misspellings but not the meeting of two correct words.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>

#include <QTextEdit>

#include "Embellish.h"
#include "EmbellishRun.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "TestSupport.h"
#include "WordDatabaseCatalogue.h"
#include "WordLookupTable.h"

namespace {

QString sampleText()
{
    QFile file(TestEnvironment::sourceDir() + "/data/samples/词库示例.txt");
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray data = file.readAll();
    // Opened by the program as UTF-8 only with the byte-order mark.
    if (!hasUtf8Bom(data))
        return QString();
    return QString::fromUtf8(data.mid(3));
}

// The sentences of a test data file: one per line, "#" lines and blank lines left out.
QStringList dataLines(const QString& name)
{
    QStringList lines;
    for (const QString& line : QString::fromUtf8(readAll(TestEnvironment::sourceDir() + "/tests/data/" + name)).split('\n')) {
        const QString text = line.trimmed();
        if (!text.isEmpty() && !text.startsWith('#'))
            lines << text;
    }
    return lines;
}

// The black-list hits of a line, as "start:text".
QStringList blackListHits(Embellish& embellish, const QString& line, uint code)
{
    SegmentList marked, embellished;
    EmbellishRun::segmentText(embellish, line, code, SegmentationSettings::read(), &marked, &embellished);
    QStringList hits;
    int at = 0;
    for (const Segment& segment : marked) {
        if (segment.matched && segment.category == "黑名单")
            hits << QString::number(at) + ':' + segment.text;
        at += segment.text.size();
    }
    return hits;
}

int tableRows(Embellish& embellish, uint code)
{
    QSqlQuery query(embellish.getDatabase(code, QString()));
    query.exec("SELECT count(*) FROM \"" + WordDatabaseCatalogue::tableName(code) + "\"");
    return query.next() ? query.value(0).toInt() : -1;
}

} // namespace

class WordDatabaseDataTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QDir::setCurrent(TestEnvironment::programDir());
    }

    void sampleHasEveryCategory_data()
    {
        QTest::addColumn<uint>("code");
        for (uint code : WordDatabaseCatalogue::databaseCodes())
            if (code != TEMPLATE_TYPE_SQLITE_DB_ATOM)
                QTest::newRow(qPrintable(WordDatabaseCatalogue::tableName(code))) << code;
    }
    void sampleHasEveryCategory()
    {
        QFETCH(uint, code);
        const QString text = sampleText();
        QVERIFY(!text.isEmpty());
        Embellish embellish(nullptr);
        QStringList found;
        if (code == TEMPLATE_TYPE_SQLITE_DB_SPELLING_USER_DEFINED_WORD) {
            for (const QChar c : embellish.getErrorProneCharacters())
                if (text.contains(c))
                    found << c;
        } else if (code == TEMPLATE_TYPE_SQLITE_DB_DICTIONARY) {
            QSqlQuery query(embellish.getDatabase(code, QString()));
            QVERIFY(query.exec("SELECT Word, Explanation FROM 词典"));
            while (query.next()) {
                QVERIFY(!query.value(1).toString().isEmpty());
                if (query.value(0).toString().size() > 1 && text.contains(query.value(0).toString()))
                    found << query.value(0).toString();
            }
        } else {
            for (int start = 0; start < text.size(); ++start)
                for (int length = 1; length <= 12 && start + length <= text.size(); ++length) {
                    const QString candidate = text.mid(start, length);
                    if (embellish.getNewWord(candidate, nullptr, code, nullptr))
                        found << candidate;
                }
        }
        QVERIFY2(!found.isEmpty(), qPrintable(WordDatabaseCatalogue::tableName(code)));
    }

    void shippedListsHaveTheirSizes()
    {
        Embellish embellish(nullptr);
        // The white list must be large, or it marks nearly everything.
        QVERIFY(tableRows(embellish, TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST) >= 50000);
        // Single characters are the high-frequency list's to judge.
        QSqlQuery single(embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, QString()));
        QVERIFY(single.exec("SELECT count(*) FROM 白名单 WHERE length(Word) < 2") && single.next());
        QCOMPARE(single.value(0).toInt(), 0);
        QVERIFY(tableRows(embellish, TEMPLATE_TYPE_SQLITE_DB_IDIOM) >= 5000);
        QVERIFY(tableRows(embellish, TEMPLATE_TYPE_SQLITE_DB_PLACE_NAME) >= 1000);
        QCOMPARE(tableRows(embellish, TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER), 3500);
        for (uint code : {18u, 32u, 35u, 64u, 20u, 88u, 86u, 89u, 80u, 117u})
            QVERIFY2(tableRows(embellish, code) >= 20, qPrintable(WordDatabaseCatalogue::tableName(code)));
    }

    void shippedLookups_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<uint>("code");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("synonym") << "高兴" << 64u << QStringList{"高兴", "快乐"};
        QTest::newRow("antonym") << "高兴" << 18u << QStringList{"难过"};
        QTest::newRow("typo") << "迫不急待" << 32u << QStringList{"迫不及待"};
    }
    void shippedLookups()
    {
        QFETCH(QString, word);
        QFETCH(uint, code);
        QFETCH(QStringList, list);
        Embellish embellish(nullptr);
        const QStringList found = embellish.getNewWordList(word, code, true);
        for (const QString& expected : list)
            QVERIFY2(found.contains(expected), qPrintable(found.join(' ')));
        QString newWord;
        QVERIFY(embellish.getNewWord(word, &newWord, code, nullptr));
        QVERIFY(found.contains(newWord) && newWord != word);
    }

    void shippedTablesLoadIntoMemory()
    {
        Embellish embellish(nullptr);
        for (uint code : WordDatabaseCatalogue::databaseCodes()) {
            const auto kind = WordDatabaseCatalogue::lookupKind(code);
            if (kind == WordDatabaseCatalogue::NoLookup)
                continue;
            QVERIFY2(embellish.loadWordTable(code), qPrintable(WordDatabaseCatalogue::tableName(code)));
            QCOMPARE(WordLookupTable::shared(code)->rowCount(), tableRows(embellish, code));
        }
        QVERIFY(embellish.getNewWord("一鼓作气", nullptr, TEMPLATE_TYPE_SQLITE_DB_IDIOM, nullptr));
        QVERIFY(embellish.getNewWord("Good", nullptr, TEMPLATE_TYPE_SQLITE_DB_ENGLISH, nullptr));
    }

    // Black list on the shipped tables: correct sentences in which a wrong
    // form's characters meet across two words (这家|俱乐部, 平安|祥和) get no
    // mark, and at least 99 in 100 of the natural sentences with a real
    // misspelling get theirs, in the black-list check and in the combined one.
    void blackListReadsTheContext()
    {
        Settings().clear();
        const QStringList correct = dataLines("blacklist-correct.txt");
        QStringList misspelled = dataLines("blacklist-misspelled.txt");
        QVERIFY(correct.size() >= 200 && misspelled.size() >= 200);
        Embellish embellish(nullptr);
        QVERIFY(embellish.loadWordTable(TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST));
        QVERIFY(embellish.loadWordTable(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST));
        QVERIFY(embellish.loadWordTable(TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER));
        for (uint code : {32u, 34u}) {
            QStringList wronglyMarked;
            for (const QString& sentence : correct) {
                // Each sentence holds a wrong form, or it would test nothing.
                bool holds = false;
                for (int at = 0; at < sentence.size() && !holds; ++at)
                    for (int length = 2; length <= 4 && at + length <= sentence.size() && !holds; ++length)
                        holds = embellish.getNewWord(sentence.mid(at, length), nullptr, 32, nullptr);
                QVERIFY2(holds, qPrintable(sentence));
                const QStringList hits = blackListHits(embellish, sentence, code);
                if (!hits.isEmpty())
                    wronglyMarked << sentence + " " + hits.join(' ');
            }
            QVERIFY2(wronglyMarked.isEmpty(), qPrintable(wronglyMarked.join('\n')));

            QStringList missed;
            for (const QString& line : qAsConst(misspelled)) {
                const QString sentence = line.section('\t', 0, 0);
                const QString wrong = line.section('\t', 1, 1);
                const int at = sentence.indexOf(wrong);
                QVERIFY2(at >= 0 && embellish.getNewWord(wrong, nullptr, 32, nullptr), qPrintable(line));
                // Caught when a mark covers the wrong form (or a longer wrong form holding it).
                bool caught = false;
                for (const QString& hit : blackListHits(embellish, sentence, code)) {
                    const int start = hit.section(':', 0, 0).toInt();
                    const int length = hit.section(':', 1).size();
                    caught = caught || (start <= at && at + wrong.size() <= start + length);
                }
                if (!caught)
                    missed << line;
            }
            QVERIFY2(missed.size() * 100 <= misspelled.size(), qPrintable(missed.join('\n')));
            // A correction that reads as fewer words (候选人) or as clearly
            // more common ones (请|按照|规定) decides a tie.
            for (const char* sentence : {"他是这次评选的侯选人之一。", "共有五名侯选人参加竞选。", "请安照规定办理手续。"})
                QVERIFY2(!missed.join('\n').contains(sentence), qPrintable(sentence));
            qInfo().noquote() << QString("code %1: %2 of %3 correct sentences marked, %4 of %5 misspellings caught")
                                     .arg(code).arg(wronglyMarked.size()).arg(correct.size())
                                     .arg(misspelled.size() - missed.size()).arg(misspelled.size())
                                 + (missed.isEmpty() ? QString() : "; missed:\n" + missed.join('\n'));
        }

        // The workers of a whole run read the white list too.
        QTextEdit editor;
        editor.setPlainText(correct.join('\n'));
        EmbellishRun marking;
        marking.options.workerCount = 4;
        QCOMPARE(marking.run(&editor, 32, true, nullptr), int(EmbellishRun::Completed));
        QCOMPARE(marking.counts().marks, 0);
    }

    // The word tables are what their sources make, and keep their rules: the
    // black list's right forms are words and its wrong forms are not, pairs
    // are words, no duplicates or self-pairs, every dictionary entry explained
    // (every synonym and antonym word among them), and the sizes they need.
    void sourcesAreCurrentAndSound_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("generated from data/wordsources") << QStringList{"scripts/make-wordtables.py", "--check"};
        QTest::newRow("rules and sizes") << QStringList{"scripts/check-wordtables.py"};
    }
    void sourcesAreCurrentAndSound()
    {
        QFETCH(QStringList, arguments);
        arguments.first().prepend(TestEnvironment::sourceDir() + '/');
        QProcess script;
        script.start("/usr/bin/python3", arguments);
        QVERIFY(script.waitForFinished(120000));
        QVERIFY2(script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0,
                 script.readAllStandardError().constData());
    }
};

TQ_TEST_MAIN(WordDatabaseDataTest)
#include "tst_worddb_data.moc"
