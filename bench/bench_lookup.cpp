// Word lookup benchmark: lookups per second per thread against the shipped
// white list and a 349,000-word table, for
//   plain     a bound query prepared anew for every lookup (baseline),
//   held      one prepared query reused inside one held read transaction,
//   embellish Embellish::getNewWord on its prepared statements,
//   memory    WordLookupTable::contains,
//   run       Embellish::getNewWord on a loaded in-memory table (what a
//             marking run uses), on 1 thread and on 8 threads at once.
// Ratios are against the plain path measured in the same run.
//
//   build/bench/bench_lookup [seconds per measurement, default 0.5]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextStream>
#include <QThread>
#include <QUuid>
#include <atomic>
#include <functional>
#include <random>

#include "Embellish.h"
#include "WordDatabaseCatalogue.h"
#include "WordLookupTable.h"

namespace {

QTextStream out(stdout);
double secondsPerMeasurement = 0.5;

// Candidates as the backward scan asks them: every 1-4 character piece of a
// text made of table words and other characters.
QStringList candidatesFrom(const QStringList& words, int count, quint32 seed)
{
    std::mt19937 random(seed);
    QString text;
    const QString filler = QStringLiteral("的了着过吧呢啊，。！？、");
    while (text.size() < count / 3 + 8) {
        if (random() % 3 == 0)
            text += filler.at(int(random() % quint32(filler.size())));
        else
            text += words.at(int(random() % quint32(words.size())));
    }
    QStringList candidates;
    for (int end = 1; end <= text.size() && candidates.size() < count; ++end)
        for (int length = 1; length <= 4 && length <= end && candidates.size() < count; ++length)
            candidates << text.mid(end - length, length);
    return candidates;
}

// Runs `body(candidate)` over the candidates for about the measurement time;
// returns lookups per second and the hit count of one pass.
double measure(const QStringList& candidates, const std::function<bool(const QString&)>& body, int* hits = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    qint64 lookups = 0;
    int passHits = 0;
    bool firstPass = true;
    do {
        for (const QString& candidate : candidates) {
            const bool hit = body(candidate);
            if (firstPass && hit)
                ++passHits;
        }
        lookups += candidates.size();
        firstPass = false;
    } while (timer.nsecsElapsed() < qint64(secondsPerMeasurement * 1e9));
    if (hits)
        *hits = passHits;
    return lookups / (timer.nsecsElapsed() / 1e9);
}

QString rate(double perSecond)
{
    if (perSecond >= 1e6)
        return QString::number(perSecond / 1e6, 'f', 2) + " M/s";
    return QString::number(perSecond / 1e3, 'f', 1) + " k/s";
}

void runSuite(const QString& label, const QString& folder, const QStringList& candidates)
{
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder);
    const uint code = TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST;
    const QString path = QDir(folder).absoluteFilePath(WordDatabaseCatalogue::fileName(code));
    out << "\n" << label << " (" << candidates.size() << " candidates per pass)\n";

    const QString connection = QUuid::createUuid().toString();
    double plain = 0, held = 0, embellished = 0, memory = 0, run = 0;
    int plainHits = 0, heldHits = 0, embellishHits = 0, memoryHits = 0, runHits = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        db.setDatabaseName(path);
        if (!db.open()) {
            out << "cannot open " << path << "\n";
            return;
        }
        const QString sql = QStringLiteral("SELECT Word FROM 白名单 WHERE Word = ? COLLATE NOCASE LIMIT 1");
        plain = measure(candidates, [&](const QString& word) {
            QSqlQuery query(db);
            query.prepare(sql);
            query.addBindValue(word);
            return query.exec() && query.next();
        }, &plainHits);

        QSqlQuery prepared(db);
        prepared.setForwardOnly(true);
        prepared.prepare(sql);
        QSqlQuery transaction(db);
        transaction.exec(QStringLiteral("BEGIN"));
        held = measure(candidates, [&](const QString& word) {
            prepared.bindValue(0, word);
            const bool hit = prepared.exec() && prepared.next();
            prepared.finish();
            return hit;
        }, &heldHits);
        transaction.exec(QStringLiteral("COMMIT"));
        prepared.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);

    {
        Embellish embellish(nullptr);
        embellished = measure(candidates, [&](const QString& word) {
            return embellish.getNewWord(word, nullptr, code, nullptr);
        }, &embellishHits);

        QElapsedTimer loadTimer;
        loadTimer.start();
        WordLookupTable::clearCache();
        const WordLookupTable::Pointer table = WordLookupTable::shared(code);
        const double loadMs = loadTimer.nsecsElapsed() / 1e6;
        memory = measure(candidates, [&](const QString& word) { return table->contains(word); }, &memoryHits);
        embellish.loadWordTable(code);
        run = measure(candidates, [&](const QString& word) {
            return embellish.getNewWord(word, nullptr, code, nullptr);
        }, &runHits);
        out << "  table load into memory: " << QString::number(loadMs, 'f', 1) << " ms, "
            << table->rowCount() << " rows\n";
    }

    // Eight workers at once, each with its own instance on the shared table.
    constexpr int threads = 8;
    std::atomic<int> ready{0};
    double perThread[threads] = {};
    QList<QThread*> workers;
    for (int t = 0; t < threads; ++t) {
        workers << QThread::create([&, t] {
            // Own copies, as a worker cuts its candidates from its own lines.
            QStringList own;
            for (const QString& candidate : candidates)
                own << QString(candidate.constData(), candidate.size());
            Embellish embellish(nullptr);
            embellish.loadWordTable(code);
            ++ready;
            while (ready.load() < threads)
                QThread::yieldCurrentThread();
            perThread[t] = measure(own, [&](const QString& word) {
                return embellish.getNewWord(word, nullptr, code, nullptr);
            });
        });
        workers.last()->start();
    }
    double slowest = 1e18, total = 0;
    for (int t = 0; t < threads; ++t) {
        workers.at(t)->wait();
        delete workers.at(t);
        slowest = qMin(slowest, perThread[t]);
        total += perThread[t];
    }

    auto line = [&](const char* name, double value, int hits) {
        out << "  " << QString::fromLatin1(name).leftJustified(34) << rate(value).rightJustified(11)
            << "   ratio " << QString::number(value / plain, 'f', 1).rightJustified(7)
            << "   hits/pass " << hits << "\n";
    };
    line("plain (bound, prepared per call)", plain, plainHits);
    line("held (prepared, read transaction)", held, heldHits);
    line("embellish (getNewWord, SQL)", embellished, embellishHits);
    line("memory (WordLookupTable)", memory, memoryHits);
    line("run (getNewWord, table loaded)", run, runHits);
    out << "  run on 8 threads: slowest thread " << rate(slowest) << ", all threads " << rate(total)
        << " (goal: at least 1.00 M/s per thread)\n";
    if (plainHits != heldHits || plainHits != embellishHits || plainHits != memoryHits || plainHits != runHits)
        out << "  MISMATCH: the paths disagree on the hits\n";
    QDir::setCurrent(previous);
}

QStringList readWords(const QString& path)
{
    QStringList words;
    const QString connection = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT Word FROM 白名单"), db);
            while (query.next())
                words << query.value(0).toString();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
    return words;
}

// A white list of `count` words: the given words, then made-up two- to
// four-character words of common characters.
void writeBigTable(const QString& path, const QStringList& seedWords, int count)
{
    QSet<QString> seen(seedWords.begin(), seedWords.end());
    QStringList words = seedWords;
    QString characters;
    for (const QString& word : seedWords)
        if (word.size() == 1)
            characters += word;
    if (characters.size() < 100)
        characters = QStringLiteral("的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年");
    std::mt19937 random(349046);
    while (words.size() < count) {
        QString word;
        const int length = 2 + int(random() % 3);
        for (int i = 0; i < length; ++i)
            word += characters.at(int(random() % quint32(characters.size())));
        if (!seen.contains(word)) {
            seen.insert(word);
            words << word;
        }
    }
    const QString connection = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA page_size = 8192"));
        query.exec(QStringLiteral("CREATE TABLE 白名单 (Word TEXT)"));
        db.transaction();
        query.prepare(QStringLiteral("INSERT INTO 白名单 VALUES (?)"));
        for (const QString& word : words) {
            query.bindValue(0, word);
            query.exec();
        }
        db.commit();
        query.exec(QStringLiteral("CREATE INDEX 白名单_Word_nocase ON 白名单 (Word COLLATE NOCASE)"));
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(connection);
}

} // namespace

int main(int argc, char** argv)
{
    // Like the program with logging off: messages are dropped.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    QCoreApplication application(argc, argv);
    if (argc > 1)
        secondsPerMeasurement = QString::fromLocal8Bit(argv[1]).toDouble();
    const QString programDir = QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("../bin"));
    const QString shipped = programDir + QStringLiteral("/Dictionary/白名单.db");
    const QStringList shippedWords = readWords(shipped);
    if (shippedWords.isEmpty()) {
        out << "no white list at " << shipped << " (build the program first)\n";
        return 1;
    }
    out << "Word lookups, " << secondsPerMeasurement << " s per measurement\n";

    QTemporaryDir small;
    QDir(small.path()).mkpath(QStringLiteral("Dictionary"));
    QFile::copy(shipped, small.path() + QStringLiteral("/Dictionary/白名单.db"));
    QFile::copy(programDir + QStringLiteral("/Dictionary/高频字.db"), small.path() + QStringLiteral("/Dictionary/高频字.db"));
    const QStringList candidates = candidatesFrom(shippedWords, 200000, 7);
    runSuite(QStringLiteral("Shipped white list (%1 words)").arg(shippedWords.size()), small.path(), candidates);

    QTemporaryDir big;
    QDir(big.path()).mkpath(QStringLiteral("Dictionary"));
    QFile::copy(programDir + QStringLiteral("/Dictionary/高频字.db"), big.path() + QStringLiteral("/Dictionary/高频字.db"));
    writeBigTable(big.path() + QStringLiteral("/Dictionary/白名单.db"), shippedWords, 349000);
    runSuite(QStringLiteral("349,000-word table"), big.path(), candidates);
    return 0;
}
