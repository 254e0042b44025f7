#include "Embellish.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QMessageBox>
#include <QSqlError>
#include <QSqlRecord>
#include <QThread>
#include <QUuid>
#include <algorithm>

#include "Logging.h"
#include "Prompt.h"
#include "RandomSource.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "WordDatabaseCatalogue.h"

QStringList atomTemplateMarkers;

namespace {

// A marking run asks about every character of a document; the lookup entry
// lines are only formatted when the program's log would actually write them.
inline bool lookupLogging()
{
    return logTargets != LOG_TARGET_NONE && logLevel <= QtDebugMsg;
}

bool onGuiThread()
{
    const QCoreApplication* application = QCoreApplication::instance();
    return application && QThread::currentThread() == application->thread();
}

// LIKE pattern that matches text literally, for the prefix lookups.
QString escapeLike(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    QString escaped;
    escaped.reserve(text.size() + 4);
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('%') || c == QLatin1Char('_'))
            escaped += QLatin1Char('\\');
        escaped += c;
    }
    return escaped;
}

QString quotedIdentifier(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

constexpr int kBusyTimeoutMs = 10000;

} // namespace

Embellish::Embellish(QObject* parent)
    : QObject(parent)
    , m_connectionName(QUuid::createUuid().toString())
    , m_readOnly(!onGuiThread())
{
    qDebug() << Q_FUNC_INFO << ", parent =" << parent << ", connection =" << m_connectionName
             << ", readOnly =" << m_readOnly;
    database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
    maxWordLength = 4;
    minWordLength = 2;
    getHighFrequencyCharacters();
}

Embellish::~Embellish()
{
    qDebug() << Q_FUNC_INFO << ", connection =" << m_connectionName;
    releaseStatements();
    if (database.isOpen())
        database.close();
    // Every handle must be gone before the named connection can be removed.
    database = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

void Embellish::showError(const QString& text) const
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    // Workers show no boxes; their failures are in the log only.
    if (!onGuiThread())
        return;
    QMessageBox box(QMessageBox::Critical, tr("错误"), text, QMessageBox::Ok);
    Prompt::current().exec(box);
}

QString Embellish::getDatabaseFileName(uint databaseType)
{
    if (lookupLogging())
        qDebug() << Q_FUNC_INFO << ", databaseType =" << templateType2String(databaseType);
    if (databaseType == TEMPLATE_TYPE_SQLITE_DB_FILE)
        return QString();
    const QString fileName = WordDatabaseCatalogue::fileName(databaseType);
    if (fileName.isEmpty()) {
        const QString text = tr("未知数据库类型: ") + QString::number(databaseType);
        qCritical().noquote() << text;
        showError(text);
    }
    return fileName;
}

QSqlDatabase Embellish::getDatabase(uint databaseType, const QString& databaseName)
{
    qDebug() << Q_FUNC_INFO << ": databaseType =" << templateType2String(databaseType)
             << ", databaseName =" << databaseName;
    if (databaseType == TEMPLATE_TYPE_NONE)
        return database;
    qDebug().noquote() << "Original databaseName = " + database.databaseName();
    const QString fileName = getDatabaseFileName(databaseType);
    selectFile(databaseType == TEMPLATE_TYPE_SQLITE_DB_FILE ? databaseName : fileName);
    return database;
}

void Embellish::selectFile(const QString& fileName)
{
    if (lookupLogging())
        qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    if (fileName != database.databaseName()) {
        releaseStatements();
        if (database.isOpen())
            database.close();
        database.setDatabaseName(fileName);
    }
    if (!database.isOpen()) {
        // Closed behind our back (callers get the handle): its statements are dead.
        releaseStatements();
        openDatabase();
    }
}

void Embellish::openDatabase()
{
    const QString fileName = database.databaseName();
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", readOnly =" << m_readOnly;
    QString report = tr("Open database:") + fileName;
    // QSQLITE would create a missing file; a missing word database must stay missing.
    if (!QFileInfo(fileName).isFile()) {
        report += tr(" 错误: 无法找到数据库文件: ") + fileName;
        qCritical().noquote() << report;
        return;
    }

    // Workers only read, and wait for a writer instead of failing (a failed
    // lookup would silently count as "no hit").
    QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs);
    if (m_readOnly)
        options += QStringLiteral(";QSQLITE_OPEN_READONLY");
    database.setConnectOptions(options);
    if (!database.open()) {
        report += tr(" 错误: ") + database.lastError().text();
        qCritical().noquote() << report;
        showError(report);
        return;
    }
    report += tr(" 错误: type = %1, text = %2.")
                  .arg(int(database.lastError().type()))
                  .arg(database.lastError().text());
    qDebug().noquote() << report;

    {
        QSqlQuery query(database);
        query.exec(QStringLiteral("PRAGMA page_size = 8192"));
        query.exec(QStringLiteral("PRAGMA cache_size = 16384"));
        query.exec(QStringLiteral("PRAGMA temp_store = MEMORY"));
        if (m_readOnly) {
            query.exec(QStringLiteral("PRAGMA journal_mode = OFF"));
            query.exec(QStringLiteral("PRAGMA synchronous = OFF"));
        }
        // The GUI connection keeps the file's own journal (a rollback journal,
        // or WAL if the file uses it): it writes (template library saves,
        // compaction), and without a journal a crash could corrupt the file.
    }

    bool attached = false;
    QString errorText;
    {
        QSqlQuery query(database);
        query.prepare(QStringLiteral("ATTACH DATABASE ? AS ?"));
        query.addBindValue(fileName);
        query.addBindValue(fileName);
        attached = query.exec();
        if (!attached)
            errorText = query.lastError().isValid() ? query.lastError().text() : tr("未知错误");
    }
    if (attached) {
        vacuumDatabase();
        return;
    }
    QString shownPath = fileName;
    shownPath.replace(QLatin1Char('\''), QStringLiteral("''"));
    const QString statementText = QStringLiteral("ATTACH DATABASE '%1' AS '%1'").arg(shownPath);
    const QString message = statementText + tr("\n 错误信息: ") + errorText;
    qCritical().noquote() << message;
    showError(message);
}

void Embellish::vacuumDatabase()
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << database.databaseName();
    // Readers never compact: many workers racing to VACUUM one file would make
    // each other's lookups fail.
    if (m_readOnly || !database.isOpen())
        return;
    qint64 pages = 0;
    qint64 freePages = 0;
    {
        QSqlQuery query(database);
        if (!query.exec(QStringLiteral("PRAGMA page_count;")) || !query.next())
            return;
        pages = query.value(0).toLongLong();
        if (pages == 0)
            return;
        query.finish();
        if (!query.exec(QStringLiteral("PRAGMA freelist_count;")) || !query.next())
            return;
        freePages = query.value(0).toLongLong();
    }
    if (double(freePages) / double(pages) >= 0.01) {
        releaseStatements();
        QSqlQuery query(database);
        if (!query.exec(QStringLiteral("VACUUM;")))
            qWarning().noquote() << "VACUUM" << database.databaseName() << query.lastError().text();
    }
}

void Embellish::getHighFrequencyCharacters()
{
    qDebug() << Q_FUNC_INFO;
    getDatabase(TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER, QString());
    if (!database.isOpen())
        return;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    // Row order: without ORDER BY SQLite may walk the index instead.
    if (!query.exec(QStringLiteral("SELECT * FROM 高频字 ORDER BY rowid"))) {
        qWarning().noquote() << "SELECT * FROM 高频字:" << query.lastError().text();
        return;
    }
    while (query.next())
        highFrequencyCharacters += query.value(0).toString();
}

QString Embellish::getErrorProneCharacters()
{
    qDebug() << Q_FUNC_INFO;
    QString characters;
    getDatabase(TEMPLATE_TYPE_SQLITE_DB_SPELLING_USER_DEFINED_WORD, QString());
    if (!database.isOpen())
        return characters;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM 自定义词 ORDER BY rowid"))) {
        qWarning().noquote() << "SELECT * FROM 自定义词:" << query.lastError().text();
        return characters;
    }
    while (query.next())
        characters += query.value(0).toString();
    return characters;
}

// ---- Lookups -------------------------------------------------------------------

void Embellish::releaseStatements()
{
    if (lookupLogging())
        qDebug() << Q_FUNC_INFO << ", count =" << m_statements.size();
    qDeleteAll(m_statements);
    m_statements.clear();
}

QSqlQuery* Embellish::statement(uint type, bool prefix)
{
    if (lookupLogging())
        qDebug() << Q_FUNC_INFO << ", type =" << type << ", prefix =" << prefix;
    selectFile(WordDatabaseCatalogue::fileName(type));
    if (!database.isOpen())
        return nullptr;
    const quint64 key = (quint64(type) << 1) | (prefix ? 1u : 0u);
    if (QSqlQuery* query = m_statements.value(key))
        return query;

    // Values are always bound. Exact lookups compare with NOCASE (the same
    // ASCII-only folding as LIKE, and it uses the NOCASE indexes); prefix
    // lookups escape the LIKE wildcards of the word.
    const QString table = quotedIdentifier(WordDatabaseCatalogue::tableName(type));
    const QString match = prefix ? QStringLiteral(" LIKE ? ESCAPE '\\'") : QStringLiteral(" = ? COLLATE NOCASE");
    QString sql;
    switch (WordDatabaseCatalogue::lookupKind(type)) {
    case WordDatabaseCatalogue::ListLookup:
        sql = QStringLiteral("SELECT Word FROM ") + table + QStringLiteral(" WHERE Word") + match
            + QStringLiteral(" LIMIT 1");
        break;
    case WordDatabaseCatalogue::PairLookup:
        sql = QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE Word01") + match
            + QStringLiteral(" OR Word02") + match;
        break;
    case WordDatabaseCatalogue::CorrectionLookup:
        sql = QStringLiteral("SELECT * FROM ") + table + QStringLiteral(" WHERE TypoWord") + match;
        break;
    default:
        return nullptr;
    }
    auto* query = new QSqlQuery(database);
    query->setForwardOnly(true);
    if (!query->prepare(sql)) {
        qWarning().noquote() << "Prepare failed:" << sql << query->lastError().text();
        delete query;
        return nullptr;
    }
    m_statements.insert(key, query);
    return query;
}

bool Embellish::containsWord(uint type, const QString& word)
{
    if (lookupLogging())
        qDebug() << Q_FUNC_INFO << ", type =" << type << ", word =" << word;
    // No copy of the shared pointer: its count is one cache line that every
    // worker would otherwise fight over on each lookup.
    if (!m_tables.isEmpty()) {
        const auto table = m_tables.constFind(type);
        if (table != m_tables.constEnd())
            return (*table)->contains(word);
    }
    QSqlQuery* query = statement(type, false);
    if (!query)
        return false;
    query->bindValue(0, word);
    if (!query->exec()) {
        qWarning().noquote() << "Lookup failed:" << query->lastQuery() << query->lastError().text();
        return false;
    }
    const bool hit = query->next() && !query->value(0).isNull();
    query->finish();
    return hit;
}

QVector<WordRow> Embellish::matchingRows(uint type, const QString& word, bool prefix)
{
    if (lookupLogging())
        qDebug() << Q_FUNC_INFO << ", type =" << type << ", word =" << word << ", prefix =" << prefix;
    if (!m_tables.isEmpty()) {
        const auto table = m_tables.constFind(type);
        if (table != m_tables.constEnd())
            return (*table)->rows(word, prefix);
    }
    QVector<WordRow> rows;
    QSqlQuery* query = statement(type, prefix);
    if (!query)
        return rows;
    const QString value = prefix ? escapeLike(word) + QLatin1Char('%') : word;
    query->bindValue(0, value);
    if (WordDatabaseCatalogue::lookupKind(type) == WordDatabaseCatalogue::PairLookup)
        query->bindValue(1, value);
    if (!query->exec()) {
        qWarning().noquote() << "Lookup failed:" << query->lastQuery() << query->lastError().text();
        return rows;
    }
    while (query->next())
        rows.append(WordRow{query->value(0).toString(), query->value(1).toString()});
    query->finish();
    return rows;
}

QStringList Embellish::matchAtomTemplate(const QString& word) const
{
    if (lookupLogging())
        qDebug() << Q_FUNC_INFO << ", word =" << word;
    const QString markers[] = {
        QStringLiteral("[形容") + word + QLatin1Char(']'),
        QStringLiteral("[描写") + word + QLatin1Char(']'),
        QStringLiteral("[指代") + word + QLatin1Char(']'),
        QLatin1Char('[') + word + QStringLiteral("语境]"),
    };
    QStringList found;
    for (const QString& marker : markers)
        if (atomTemplateMarkers.contains(marker))
            found << marker;
    return found;
}

bool Embellish::getNewWord(const QString& word, QString* newWord, uint type, QSet<QString>* candidates)
{
    if (lookupLogging())
        qDebug() << Q_FUNC_INFO << ", word =" << word << ", type =" << type;
    QSet<QString> found;
    switch (WordDatabaseCatalogue::lookupKind(type)) {
    case WordDatabaseCatalogue::NoLookup:
        return false;
    case WordDatabaseCatalogue::ListLookup:
        if (!containsWord(type, word))
            return false;
        if (newWord)
            *newWord = word;
        return true;
    case WordDatabaseCatalogue::AtomLookup:
        for (const QString& marker : matchAtomTemplate(word))
            found.insert(marker);
        break;
    case WordDatabaseCatalogue::PairLookup:
    case WordDatabaseCatalogue::CorrectionLookup:
        // A row with an empty side pairs the word with nothing: it is no hit and
        // gives no replacement (an empty replacement would delete the word).
        for (const WordRow& row : matchingRows(type, word, false)) {
            if (row.first.isEmpty() || row.second.isEmpty())
                continue;
            found.insert(row.first);
            found.insert(row.second);
        }
        break;
    }
    if (found.isEmpty())
        return false;
    if (newWord) {
        found.remove(word);
        if (found.isEmpty())
            return false;
        // Sorted before drawing, so a seeded generator gives the same choice
        // whatever order the rows came in.
        QStringList ordered = found.values();
        std::sort(ordered.begin(), ordered.end());
        // Seeded on first use, so making an instance takes nothing from the
        // program's random sequence.
        if (!m_randomSeeded) {
            m_random.seed(RandomSource::next());
            m_randomSeeded = true;
        }
        *newWord = ordered.at(int(m_random() % quint32(ordered.size())));
    }
    if (candidates)
        *candidates = found;
    return true;
}

QStringList Embellish::getNewWordList(const QString& word, uint newWordType, bool exactly)
{
    qDebug() << Q_FUNC_INFO << "word =" << word << "newWordType =" << newWordType
             << "exactly =" << (exactly ? "true" : "false");
    if (newWordType == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC)
        return matchAtomTemplate(word);
    if (newWordType != TEMPLATE_TYPE_SQLITE_DB_SYNONYM && newWordType != TEMPLATE_TYPE_SQLITE_DB_ANTONYM
        && newWordType != TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST) {
        qWarning().noquote() << "Unsupported newWordType: " + QString::number(newWordType);
        return QStringList();
    }

    bool transitive = false;
    if (newWordType != TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST) {
        Settings settings;
        transitive = settings.contains(QStringLiteral("EmbellishTransitiveSynonym"))
            && settings.value(QStringLiteral("EmbellishTransitiveSynonym")).toInt() != 0;
    }

    // Breadth first over the pair graph; every word is asked about once, so a
    // cycle ends like any other closure.
    QStringList pending{word};
    QSet<QString> queued{word};
    QSet<QString> found;
    while (!pending.isEmpty()) {
        const QString current = pending.takeFirst();
        for (const WordRow& row : matchingRows(newWordType, current, !exactly)) {
            qDebug() << "query.value(0) = " << row.first << "query.value(1) = " << row.second;
            for (const QString& text : {row.first, row.second}) {
                // Empty cells are no words; the word asked about is not its own
                // candidate (code 64 puts it in front below).
                if (text.isEmpty() || text == current || text == word)
                    continue;
                found.insert(text);
                if (!queued.contains(text)) {
                    queued.insert(text);
                    pending << text;
                }
            }
        }
        if (!transitive)
            break;
    }

    QStringList result = found.values();
    std::sort(result.begin(), result.end());
    // No row lists the word: the words it may have been meant as.
    if (newWordType == TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST && result.isEmpty() && exactly)
        result = guessedCorrections(word);
    if (newWordType == TEMPLATE_TYPE_SQLITE_DB_SYNONYM)
        result.prepend(word);
    return result;
}

// ---- Fast path -----------------------------------------------------------------

bool Embellish::loadWordTable(uint type)
{
    qDebug() << Q_FUNC_INFO << ", type =" << templateType2String(type);
    QString error;
    const WordLookupTable::Pointer table = WordLookupTable::shared(type, &error);
    if (!table) {
        qWarning().noquote() << "Word table not loaded:" << error;
        m_tables.remove(type);
        return false;
    }
    m_tables.insert(type, table);
    return true;
}

void Embellish::unloadWordTables()
{
    qDebug() << Q_FUNC_INFO << ", count =" << m_tables.size();
    m_tables.clear();
}

void Embellish::seedRandom(quint32 seed)
{
    qDebug() << Q_FUNC_INFO << ", seed =" << seed;
    m_random.seed(seed);
    m_randomSeeded = true;
}
