// The word-database catalogue and the connection of each Embellish: which file
// a code opens, missing and unknown databases, compaction, threads, removal.

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QUuid>
#include <functional>

#include "Embellish.h"
#include "SharedCodes.h"
#include "TestSupport.h"
#include "WordDatabaseCatalogue.h"

namespace {

// Runs a statement list on its own short-lived connection.
QVariant runSql(const QString& path, const QStringList& statements)
{
    const QString name = QUuid::createUuid().toString();
    QVariant last;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        QSqlQuery query(db);
        for (const QString& sql : statements) {
            if (!query.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
            if (query.next())
                last = query.value(0);
        }
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return last;
}

int pragma(const QString& path, const QString& name)
{
    return runSql(path, {QStringLiteral("PRAGMA ") + name}).toInt();
}

// A database of exactly `pages` pages (4096 bytes each) of which `freePages`
// are on the free list.
void makeDatabaseWithFreePages(const QString& path, int pages, int freePages)
{
    QFile::remove(path);
    runSql(path, {QStringLiteral("PRAGMA page_size = 4096"), QStringLiteral("CREATE TABLE filler(b BLOB)")});
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.open();
        QSqlQuery query(db);
        auto pageCount = [&] {
            query.exec(QStringLiteral("PRAGMA page_count"));
            query.next();
            const int count = query.value(0).toInt();
            query.finish();
            return count;
        };
        // One 3000-byte row fills one leaf page.
        while (pageCount() < pages - freePages - 5)
            query.exec(QStringLiteral("INSERT INTO filler VALUES (zeroblob(3000))"));
        // Every new table adds exactly its root page.
        const int tables = pages - pageCount();
        for (int i = 0; i < tables; ++i)
            query.exec(QStringLiteral("CREATE TABLE t%1(x)").arg(i));
        for (int i = 0; i < freePages; ++i)
            query.exec(QStringLiteral("DROP TABLE t%1").arg(i));
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void runInThread(const std::function<void()>& body)
{
    QThread* thread = QThread::create(body);
    thread->start();
    thread->wait();
    delete thread;
}

} // namespace

class EmbellishCatalogueTest : public QObject
{
    Q_OBJECT

private slots:
    void catalogue_data()
    {
        QTest::addColumn<uint>("code");
        QTest::addColumn<QString>("table");
        QTest::addColumn<int>("kind");
        const struct
        {
            uint code;
            const char* table;
            WordDatabaseCatalogue::LookupKind kind;
        } rows[] = {
            {16, "敏感词", WordDatabaseCatalogue::ListLookup},
            {17, "形容词", WordDatabaseCatalogue::ListLookup},
            {18, "反义词", WordDatabaseCatalogue::PairLookup},
            {19, "原子模板", WordDatabaseCatalogue::NoLookup},
            {20, "词典", WordDatabaseCatalogue::NoLookup},
            {32, "黑名单", WordDatabaseCatalogue::CorrectionLookup},
            {33, "白名单", WordDatabaseCatalogue::ListLookup},
            {35, "错误标点符号", WordDatabaseCatalogue::CorrectionLookup},
            {36, "高频字", WordDatabaseCatalogue::ListLookup},
            {38, "自定义词", WordDatabaseCatalogue::NoLookup},
            {64, "近义词", WordDatabaseCatalogue::PairLookup},
            {80, "英文", WordDatabaseCatalogue::ListLookup},
            {81, "涉黄", WordDatabaseCatalogue::ListLookup},
            {82, "数字", WordDatabaseCatalogue::ListLookup},
            {83, "地名", WordDatabaseCatalogue::ListLookup},
            {84, "政治", WordDatabaseCatalogue::ListLookup},
            {86, "姓氏", WordDatabaseCatalogue::ListLookup},
            {87, "粗俗", WordDatabaseCatalogue::ListLookup},
            {88, "网络语言", WordDatabaseCatalogue::ListLookup},
            {89, "多音字", WordDatabaseCatalogue::ListLookup},
            {96, "成语", WordDatabaseCatalogue::ListLookup},
            {117, "量词", WordDatabaseCatalogue::ListLookup},
            {254, "自定义", WordDatabaseCatalogue::ListLookup},
            // No database of their own.
            {0, "", WordDatabaseCatalogue::NoLookup},
            {1, "", WordDatabaseCatalogue::NoLookup},
            {2, "", WordDatabaseCatalogue::AtomLookup},
            {15, "", WordDatabaseCatalogue::NoLookup},
            {34, "", WordDatabaseCatalogue::NoLookup},
            {37, "", WordDatabaseCatalogue::NoLookup},
            {85, "", WordDatabaseCatalogue::NoLookup},
            {128, "", WordDatabaseCatalogue::NoLookup},
            {255, "", WordDatabaseCatalogue::NoLookup},
            {300, "", WordDatabaseCatalogue::NoLookup},
        };
        for (const auto& row : rows)
            QTest::newRow(qPrintable(QString::number(row.code))) << row.code << QString::fromUtf8(row.table) << int(row.kind);
    }
    void catalogue()
    {
        QFETCH(uint, code);
        QFETCH(QString, table);
        QFETCH(int, kind);
        QCOMPARE(WordDatabaseCatalogue::tableName(code), table);
        QCOMPARE(WordDatabaseCatalogue::fileName(code),
                 table.isEmpty() ? QString() : "./Dictionary/" + table + ".db");
        QCOMPARE(int(WordDatabaseCatalogue::lookupKind(code)), kind);
        QCOMPARE(WordDatabaseCatalogue::databaseCodes().contains(code), !table.isEmpty());

        ScriptedPrompt prompt;
        MessageCapture capture;
        Embellish embellish(nullptr);
        capture.clear();
        const QString fileName = embellish.getDatabaseFileName(code);
        QCOMPARE(fileName, WordDatabaseCatalogue::fileName(code));
        if (table.isEmpty() && code != TEMPLATE_TYPE_SQLITE_DB_FILE) {
            // Unknown codes: one error box on the GUI thread naming the code.
            QCOMPARE(prompt.titles, QStringList{"错误"});
            QCOMPARE(prompt.texts, QStringList{"未知数据库类型: " + QString::number(code)});
        } else {
            QVERIFY(prompt.texts.isEmpty());
        }
    }

    void unknownCodeOnWorkerIsLoggedOnly()
    {
        ScriptedPrompt prompt;
        MessageCapture capture;
        QString fileName = "not run";
        bool wasOpen = true;
        runInThread([&] {
            Embellish embellish(nullptr);
            fileName = embellish.getDatabaseFileName(37);
            wasOpen = embellish.getDatabase(37, QString()).isOpen();
        });
        QCOMPARE(fileName, QString());
        QVERIFY(!wasOpen);
        QVERIFY(prompt.texts.isEmpty());
        bool logged = false;
        for (const auto& entry : capture.entries())
            logged |= entry.first == QtCriticalMsg && entry.second.contains("未知数据库类型: 37");
        QVERIFY(logged);
    }

    void missingDatabaseCreatesNothing()
    {
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/missing-XXXXXX");
        CurrentDir current(dir.path());
        MessageCapture capture;
        ScriptedPrompt prompt;
        Embellish embellish(nullptr);
        QVERIFY(embellish.highFrequencyCharacters.isEmpty());
        QCOMPARE(embellish.database.databaseName(), QString("./Dictionary/高频字.db"));
        QVERIFY(!embellish.database.isOpen());
        const QString expected = "Open database:./Dictionary/高频字.db 错误: 无法找到数据库文件: ./Dictionary/高频字.db";
        bool logged = false;
        for (const auto& entry : capture.entries())
            logged |= entry.first == QtCriticalMsg && entry.second == expected;
        QVERIFY2(logged, qPrintable(capture.messages().join('\n')));
        QVERIFY(prompt.texts.isEmpty());

        // Every lookup asks again, and still creates nothing.
        QString newWord;
        QVERIFY(!embellish.getNewWord("高兴", &newWord, TEMPLATE_TYPE_SQLITE_DB_SYNONYM));
        QVERIFY(embellish.getNewWordList("高兴", TEMPLATE_TYPE_SQLITE_DB_SYNONYM, true) == QStringList{"高兴"});
        QVERIFY(!QDir(dir.path() + "/Dictionary").exists());
        QVERIFY(QDir(dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());
    }

    void codeZeroLeavesTheConnectionAlone()
    {
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/zero-XXXXXX");
        CurrentDir current(dir.path());
        Embellish embellish(nullptr);
        // Closed (no 高频字.db here): code 0 hands it back closed and unchanged.
        QSqlDatabase handle = embellish.getDatabase(TEMPLATE_TYPE_NONE, "ignored.db");
        QCOMPARE(handle.connectionName(), embellish.connectionName());
        QVERIFY(!handle.isOpen());
        QCOMPARE(handle.databaseName(), QString("./Dictionary/高频字.db"));

        const QString file = dir.filePath("own.db");
        runSql(file, {"CREATE TABLE t(Word TEXT)"});
        QVERIFY(embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, file).isOpen());
        handle = embellish.getDatabase(TEMPLATE_TYPE_NONE, QString());
        QVERIFY(handle.isOpen());
        QCOMPARE(handle.databaseName(), file);
    }

    void sameFileKeepsTheConnection()
    {
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/same-XXXXXX");
        CurrentDir current(dir.path());
        const QString first = dir.filePath("first.db");
        const QString second = dir.filePath("second.db");
        runSql(first, {"CREATE TABLE t(Word TEXT)"});
        runSql(second, {"CREATE TABLE t(Word TEXT)"});
        ScriptedPrompt prompt;
        Embellish embellish(nullptr);
        QSqlDatabase db = embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, first);
        QVERIFY(db.isOpen());
        // A temporary table lives exactly as long as its connection.
        QVERIFY(QSqlQuery(db).exec("CREATE TEMP TABLE marker(x)"));
        db = embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, first);
        QVERIFY(db.isOpen());
        QVERIFY(QSqlQuery(db).exec("SELECT * FROM temp.marker"));
        db = embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, second);
        QVERIFY(db.isOpen());
        QCOMPARE(db.databaseName(), second);
        QVERIFY(!QSqlQuery(db).exec("SELECT * FROM temp.marker"));
        QVERIFY(prompt.texts.isEmpty());
    }

    void attachTakesAnyPath()
    {
        // A quote in the path broke the pasted ATTACH statement.
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/quote-XXXXXX");
        const QString file = dir.filePath("it's \"mine\".db");
        runSql(file, {"CREATE TABLE t(Word TEXT)"});
        ScriptedPrompt prompt;
        MessageCapture capture;
        Embellish embellish(nullptr);
        QSqlDatabase db = embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, file);
        QVERIFY(db.isOpen());
        QVERIFY2(prompt.texts.isEmpty(), qPrintable(prompt.texts.join('\n')));
        QSqlQuery query(db);
        QVERIFY(query.exec("PRAGMA database_list"));
        QStringList schemas;
        while (query.next())
            schemas << query.value(1).toString();
        QCOMPARE(schemas, (QStringList{"main", file}));
    }

    void openFailureIsReported()
    {
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/bad-XXXXXX");
        const QString file = dir.filePath("garbage.db");
        QFile garbage(file);
        QVERIFY(garbage.open(QIODevice::WriteOnly));
        garbage.write(QByteArray(8192, 'x'));
        garbage.close();
        ScriptedPrompt prompt;
        Embellish embellish(nullptr);
        embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, file);
        // SQLite opens lazily: the failure surfaces at the attach, in one box.
        QCOMPARE(prompt.titles, QStringList{"错误"});
        QVERIFY(prompt.texts.first().contains("ATTACH DATABASE"));
        QVERIFY(prompt.texts.first().contains("错误信息: "));
        QCOMPARE(garbage.size(), qint64(8192));
    }

    void vacuumThreshold_data()
    {
        QTest::addColumn<int>("freePages");
        QTest::addColumn<bool>("onWorker");
        QTest::addColumn<int>("freeAfter");
        QTest::newRow("10 of 1000 free") << 10 << false << 0;
        QTest::newRow("9 of 1000 free") << 9 << false << 9;
        QTest::newRow("worker never compacts") << 10 << true << 10;
    }
    void vacuumThreshold()
    {
        QFETCH(int, freePages);
        QFETCH(bool, onWorker);
        QFETCH(int, freeAfter);
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/vacuum-XXXXXX");
        const QString file = dir.filePath("pages.db");
        makeDatabaseWithFreePages(file, 1000, freePages);
        QCOMPARE(pragma(file, "page_count"), 1000);
        QCOMPARE(pragma(file, "freelist_count"), freePages);
        const int rowsBefore = runSql(file, {"SELECT count(*) FROM filler"}).toInt();

        ScriptedPrompt prompt;
        auto open = [&] {
            Embellish embellish(nullptr);
            QVERIFY(embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, file).isOpen());
            QCOMPARE(embellish.isReadOnly(), onWorker);
        };
        if (onWorker)
            runInThread(open);
        else
            open();
        QCOMPARE(pragma(file, "freelist_count"), freeAfter);
        QCOMPARE(runSql(file, {"SELECT count(*) FROM filler"}).toInt(), rowsBefore);
        QCOMPARE(runSql(file, {"PRAGMA integrity_check"}).toString(), QString("ok"));
        // Compacted with a rollback journal, never without one.
        QVERIFY(!QFile::exists(file + "-journal"));
        QVERIFY(prompt.texts.isEmpty());
    }

    void emptyDatabaseIsNotCompacted()
    {
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/empty-XXXXXX");
        const QString file = dir.filePath("empty.db");
        QFile empty(file);
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        ScriptedPrompt prompt;
        Embellish embellish(nullptr);
        QVERIFY(embellish.getDatabase(TEMPLATE_TYPE_SQLITE_DB_FILE, file).isOpen());
        embellish.vacuumDatabase();
        QVERIFY(prompt.texts.isEmpty());
    }

    void connectionPerInstanceAndThread()
    {
        const QStringList baseline = QSqlDatabase::connectionNames();
        QString guiName;
        {
            Embellish gui(nullptr);
            guiName = gui.connectionName();
            QVERIFY(!gui.isReadOnly());
            QVERIFY(guiName.startsWith('{') && guiName.endsWith('}'));
            QCOMPARE(QSqlDatabase::connectionNames().size(), baseline.size() + 1);

            constexpr int workers = 4;
            QStringList names[workers];
            bool readOnly[workers] = {};
            QSemaphore ready;
            QSemaphore release;
            QList<QThread*> threads;
            for (int i = 0; i < workers; ++i) {
                threads << QThread::create([&, i] {
                    Embellish worker(nullptr);
                    names[i] << worker.connectionName();
                    readOnly[i] = worker.isReadOnly();
                    ready.release();
                    release.acquire();
                });
                threads.last()->start();
            }
            // All alive at once: one connection each, all distinct.
            ready.acquire(workers);
            QCOMPARE(QSqlDatabase::connectionNames().size(), baseline.size() + 1 + workers);
            release.release(workers);
            for (QThread* thread : threads) {
                thread->wait();
                delete thread;
            }
            QSet<QString> distinct{guiName};
            for (int i = 0; i < workers; ++i) {
                QVERIFY(readOnly[i]);
                distinct.insert(names[i].first());
            }
            QCOMPARE(distinct.size(), workers + 1);
            QCOMPARE(QSqlDatabase::connectionNames().size(), baseline.size() + 1);
        }
        QCOMPARE(QSqlDatabase::connectionNames(), baseline);
    }

    void busyDatabaseMakesLookupsWait()
    {
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/busy-XXXXXX");
        QDir(dir.path()).mkpath("Dictionary");
        const QString file = dir.filePath("Dictionary/近义词.db");
        runSql(file, {"CREATE TABLE 近义词(Word01 TEXT, Word02 TEXT)", "INSERT INTO 近义词 VALUES ('高兴', '快乐')"});
        CurrentDir current(dir.path());

        const QString name = QUuid::createUuid().toString();
        {
            QSqlDatabase writer = QSqlDatabase::addDatabase("QSQLITE", name);
            writer.setDatabaseName(file);
            QVERIFY(writer.open());
            QSqlQuery lock(writer);
            QVERIFY(lock.exec("BEGIN EXCLUSIVE"));

            QSemaphore asking;
            bool hit = false;
            QString newWord;
            QThread* worker = QThread::create([&] {
                Embellish embellish(nullptr);
                asking.release();
                hit = embellish.getNewWord("高兴", &newWord, TEMPLATE_TYPE_SQLITE_DB_SYNONYM);
            });
            worker->start();
            asking.acquire();
            // The worker is at (or about to reach) the locked file.
            QThread::msleep(300);
            QVERIFY(lock.exec("ROLLBACK"));
            worker->wait();
            delete worker;
            QVERIFY(hit);
            QCOMPARE(newWord, QString("快乐"));
            lock.finish();
            writer.close();
        }
        QSqlDatabase::removeDatabase(name);
    }

    void errorProneCharacters()
    {
        QTemporaryDir dir(TestEnvironment::instance()->tempDir() + "/prone-XXXXXX");
        QDir(dir.path()).mkpath("Dictionary");
        // Row order, not the order of the index on the column.
        runSql(dir.filePath("Dictionary/自定义词.db"),
               {"CREATE TABLE 自定义词(Word TEXT)", "CREATE INDEX w ON 自定义词(Word COLLATE NOCASE)",
                "INSERT INTO 自定义词 VALUES ('的')", "INSERT INTO 自定义词 VALUES ('地得')",
                "INSERT INTO 自定义词 VALUES ('B')", "INSERT INTO 自定义词 VALUES ('a')"});
        runSql(dir.filePath("Dictionary/高频字.db"),
               {"CREATE TABLE 高频字(Word TEXT)", "CREATE INDEX w ON 高频字(Word COLLATE NOCASE)",
                "INSERT INTO 高频字 VALUES ('是')", "INSERT INTO 高频字 VALUES ('一')",
                "INSERT INTO 高频字 VALUES ('人了')"});
        CurrentDir current(dir.path());
        Embellish embellish(nullptr);
        QCOMPARE(embellish.highFrequencyCharacters, QString("是一人了"));
        QCOMPARE(embellish.getErrorProneCharacters(), QString("的地得Ba"));
        // Both loaders leave the connection on the table they read.
        QCOMPARE(embellish.database.databaseName(), QString("./Dictionary/自定义词.db"));
    }

    void shippedDatabasesOpenByCode_data()
    {
        QTest::addColumn<uint>("code");
        for (uint code : WordDatabaseCatalogue::databaseCodes())
            QTest::newRow(qPrintable(WordDatabaseCatalogue::tableName(code))) << code;
    }
    void shippedDatabasesOpenByCode()
    {
        QFETCH(uint, code);
        CurrentDir current(TestEnvironment::programDir());
        ScriptedPrompt prompt;
        MessageCapture capture;
        Embellish embellish(nullptr);
        QSqlDatabase db = embellish.getDatabase(code, QString());
        QVERIFY2(db.isOpen(), qPrintable(capture.messages().join('\n')));
        QCOMPARE(db.databaseName(), WordDatabaseCatalogue::fileName(code));
        QVERIFY(prompt.texts.isEmpty());

        const QStringList tables = db.tables();
        QVERIFY(!tables.isEmpty());
        if (code == TEMPLATE_TYPE_SQLITE_DB_ATOM)
            return; // one table per atom template, column content
        QCOMPARE(tables, QStringList{WordDatabaseCatalogue::tableName(code)});
        const QSqlRecord record = db.record(tables.first());
        // The template library opens tables of one or two columns only.
        QVERIFY(record.count() == 1 || record.count() == 2);
        QSqlQuery query(db);
        QVERIFY(query.exec("SELECT count(*) FROM \"" + tables.first() + "\""));
        QVERIFY(query.next());
        QVERIFY(query.value(0).toInt() > 0);
        for (const QString column : {"Word", "Word01", "Word02", "TypoWord"}) {
            if (record.indexOf(column) < 0)
                continue;
            QVERIFY(query.exec(QString("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND tbl_name = '%1' "
                                       "AND sql LIKE '%(\"%2\" COLLATE NOCASE)%'")
                                   .arg(tables.first(), column)));
            QVERIFY(query.next());
            QVERIFY2(query.value(0).toInt() == 1, qPrintable(column));
        }
        // The lookup really uses that index.
        const QString key = WordDatabaseCatalogue::keyColumn(code);
        if (!key.isEmpty()) {
            QVERIFY(query.exec(QString("EXPLAIN QUERY PLAN SELECT * FROM \"%1\" WHERE %2 = 'x' COLLATE NOCASE")
                                   .arg(tables.first(), key)));
            QVERIFY(query.next());
            QVERIFY2(query.value(3).toString().contains("USING"), qPrintable(query.value(3).toString()));
        }
    }

    void shippedHighFrequencyCharacters()
    {
        CurrentDir current(TestEnvironment::programDir());
        Embellish embellish(nullptr);
        QCOMPARE(embellish.highFrequencyCharacters.size(), 3500);
        // The standard list's first level, in its own order; everyday characters
        // are in, garbled ones are not.
        QVERIFY(embellish.highFrequencyCharacters.startsWith("一乙二十丁厂七"));
        for (const QChar c : QString("馅捂蝴柠檬饺"))
            QVERIFY(embellish.highFrequencyCharacters.contains(c));
        for (const QChar c : QString("锛銆殑後簡"))
            QVERIFY(!embellish.highFrequencyCharacters.contains(c));
        QVERIFY(embellish.database.isOpen());
        QCOMPARE(embellish.maxWordLength, 4);
        QCOMPARE(embellish.minWordLength, 2);
    }
};

TQ_TEST_MAIN(EmbellishCatalogueTest)
#include "tst_embellish_catalogue.moc"
