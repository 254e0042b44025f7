#include "WordLookupTable.h"

#include <QDateTime>
#include <QDir>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

namespace {

struct FileStamp
{
    qint64 size = -1;
    qint64 modified = 0;
    QByteArray changeCounter;

    bool operator==(const FileStamp& other) const
    {
        return size == other.size && modified == other.modified && changeCounter == other.changeCounter;
    }
};

// SQLite bumps the 4-byte change counter at offset 24 of the header on every
// committed write in rollback-journal mode, so a table rewritten within the
// file system's time resolution is still noticed.
FileStamp stampOf(const QString& path)
{
    qDebug() << Q_FUNC_INFO << ", path =" << path;
    FileStamp stamp;
    const QFileInfo info(path);
    if (!info.isFile())
        return stamp;
    stamp.size = info.size();
    stamp.modified = info.lastModified().toMSecsSinceEpoch();
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.seek(24))
        stamp.changeCounter = file.read(4);
    return stamp;
}

struct CacheEntry
{
    FileStamp stamp;
    WordLookupTable::Pointer table;
};

QMutex cacheMutex;
QHash<QString, CacheEntry>& cache()
{
    static QHash<QString, CacheEntry> entries;
    return entries;
}

} // namespace

QString WordLookupTable::foldCase(const QString& text)
{
    // Hot path of every in-memory lookup: no logging, no copy unless needed.
    const QChar* data = text.constData();
    const int length = text.size();
    int i = 0;
    while (i < length && !(data[i].unicode() >= 'A' && data[i].unicode() <= 'Z'))
        ++i;
    if (i == length)
        return text;
    QString folded = text;
    QChar* out = folded.data();
    for (; i < length; ++i) {
        const ushort c = out[i].unicode();
        if (c >= 'A' && c <= 'Z')
            out[i] = QChar(ushort(c + ('a' - 'A')));
    }
    return folded;
}

namespace {

// The bit of a word's last two characters (ASCII letters folded) in a
// table's ending filter; kEndingBits bits in all.
constexpr quint32 kEndingBits = 1u << 20;

quint32 endingBit(const QString& word)
{
    auto folded = [](QChar c) {
        const ushort u = c.unicode();
        return quint32(u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
    };
    const int n = word.size();
    const quint32 last = folded(word.at(n - 1));
    const quint32 before = n > 1 ? folded(word.at(n - 2)) : 0xFFFFu;
    quint32 h = (before * 0x9E3779B1u) ^ (last * 0x85EBCA6Bu);
    h ^= h >> 15;
    return h & (kEndingBits - 1);
}

} // namespace

void WordLookupTable::noteEnding(const QString& key)
{
    if (key.isEmpty())
        return;
    if (m_endings.empty())
        m_endings.assign(kEndingBits / 64, 0);
    const quint32 bit = endingBit(key);
    m_endings[bit / 64] |= quint64(1) << (bit % 64);
}

bool WordLookupTable::mayHold(const QString& word) const
{
    if (word.isEmpty() || m_endings.empty())
        return true;
    const quint32 bit = endingBit(word);
    return m_endings[bit / 64] & (quint64(1) << (bit % 64));
}

bool WordLookupTable::contains(const QString& word) const
{
    // Hot path: no logging.
    return mayHold(word) && m_words.contains(foldCase(word));
}

int WordLookupTable::rowOf(const QString& word) const
{
    // Hot path: no logging.
    return mayHold(word) ? m_words.value(foldCase(word), 0) : 0;
}

QVector<WordRow> WordLookupTable::rows(const QString& word, bool prefix) const
{
    // Hot path: no logging.
    QVector<WordRow> result;
    if (!prefix && !mayHold(word))
        return result;
    const QString key = foldCase(word);
    if (!prefix) {
        const auto found = m_index.constFind(key);
        if (found != m_index.constEnd()) {
            result.reserve(found->size());
            for (int row : *found)
                result << m_rows.at(row);
        }
        return result;
    }
    for (const WordRow& row : m_rows) {
        if (foldCase(row.first).startsWith(key)
            || (m_kind == WordDatabaseCatalogue::PairLookup && foldCase(row.second).startsWith(key)))
            result << row;
    }
    return result;
}

WordLookupTable::Pointer WordLookupTable::load(const QSqlDatabase& database, uint code, QString* error)
{
    qDebug() << Q_FUNC_INFO << ", connection =" << database.connectionName() << ", code =" << code;
    const auto kind = WordDatabaseCatalogue::lookupKind(code);
    const QString table = WordDatabaseCatalogue::tableName(code);
    if (table.isEmpty() || kind == WordDatabaseCatalogue::NoLookup || kind == WordDatabaseCatalogue::AtomLookup) {
        if (error)
            *error = QStringLiteral("没有编号为 %1 的词库数据表").arg(code);
        return Pointer();
    }

    QSqlQuery query(database);
    query.setForwardOnly(true);
    // The whole row, like the SQL lookups: their first two columns are what
    // counts. In the order the rows were written (the shipped white list is
    // written most frequent first, and rowOf reports that order); a table
    // without row ids is read as SQLite gives it.
    const QString sql = QStringLiteral("SELECT * FROM \"%1\"").arg(table);
    if (!query.exec(sql + QStringLiteral(" ORDER BY rowid")) && !query.exec(sql)) {
        if (error)
            *error = QStringLiteral("无法读取数据表“%1”（%2）").arg(table, query.lastError().text());
        return Pointer();
    }
    QSharedPointer<WordLookupTable> result(new WordLookupTable);
    result->m_code = code;
    result->m_kind = kind;
    if (kind == WordDatabaseCatalogue::ListLookup) {
        const int column = query.record().indexOf(QStringLiteral("Word"));
        if (column < 0) {
            if (error)
                *error = QStringLiteral("数据表“%1”缺少 Word 列").arg(table);
            return Pointer();
        }
        while (query.next()) {
            const QVariant value = query.value(column);
            ++result->m_rowCount;
            if (!value.isNull()) {
                const QString word = foldCase(value.toString());
                if (!result->m_words.contains(word))
                    result->m_words.insert(word, result->m_rowCount);
                result->noteEnding(word);
            }
        }
    } else {
        if (query.record().count() < 2) {
            if (error)
                *error = QStringLiteral("数据表“%1”少于两列").arg(table);
            return Pointer();
        }
        const QString keyName = WordDatabaseCatalogue::keyColumn(code);
        const int keyColumn = query.record().indexOf(keyName);
        const int secondKeyColumn = kind == WordDatabaseCatalogue::PairLookup
            ? query.record().indexOf(QStringLiteral("Word02")) : -1;
        if (keyColumn < 0 || (kind == WordDatabaseCatalogue::PairLookup && secondKeyColumn < 0)) {
            if (error)
                *error = QStringLiteral("数据表“%1”缺少关键列 %2").arg(table, keyName);
            return Pointer();
        }
        while (query.next()) {
            const int number = result->m_rows.size();
            const QVariant key = query.value(keyColumn);
            const QVariant secondKey = secondKeyColumn >= 0 ? query.value(secondKeyColumn) : QVariant();
            result->m_rows.append(WordRow{query.value(0).toString(), query.value(1).toString()});
            ++result->m_rowCount;
            // NULL never equals anything in SQL, so a NULL key indexes nothing.
            QString firstKey;
            if (!key.isNull()) {
                firstKey = foldCase(key.toString());
                result->m_index[firstKey].append(number);
                result->noteEnding(firstKey);
            }
            if (!secondKey.isNull()) {
                const QString other = foldCase(secondKey.toString());
                if (key.isNull() || other != firstKey)
                    result->m_index[other].append(number);
                result->noteEnding(other);
            }
        }
    }
    if (query.lastError().isValid()) {
        if (error)
            *error = QStringLiteral("读取数据表“%1”时出错（%2）").arg(table, query.lastError().text());
        return Pointer();
    }
    result->m_words.squeeze();
    result->m_rows.squeeze();
    return result;
}

WordLookupTable::Pointer WordLookupTable::shared(uint code, QString* error)
{
    qDebug() << Q_FUNC_INFO << ", code =" << code;
    const QString fileName = WordDatabaseCatalogue::fileName(code);
    if (fileName.isEmpty()) {
        if (error)
            *error = QStringLiteral("没有编号为 %1 的词库").arg(code);
        return Pointer();
    }
    const QString path = QFileInfo(fileName).absoluteFilePath();
    const FileStamp stamp = stampOf(path);
    if (stamp.size < 0) {
        if (error)
            *error = QStringLiteral("词库文件不存在：%1").arg(QDir::toNativeSeparators(path));
        return Pointer();
    }
    if (stamp.size == 0) {
        // SQLite would take it for a new, empty database.
        if (error)
            *error = QStringLiteral("词库文件是空文件：%1").arg(QDir::toNativeSeparators(path));
        return Pointer();
    }

    // Held while loading, so threads that start together load the table once.
    QMutexLocker locker(&cacheMutex);
    const QString key = path + QLatin1Char('#') + QString::number(code);
    const auto found = cache().constFind(key);
    if (found != cache().constEnd() && found->stamp == stamp)
        return found->table;

    Pointer table;
    const QString connection = QUuid::createUuid().toString();
    {
        QSqlDatabase database = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        database.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=10000"));
        database.setDatabaseName(path);
        if (database.open()) {
            table = load(database, code, error);
            database.close();
            if (!table && error)
                *error = QStringLiteral("词库文件 %1 不可用：%2").arg(QDir::toNativeSeparators(path), *error);
        } else if (error) {
            *error = QStringLiteral("无法打开词库文件 %1（%2）")
                         .arg(QDir::toNativeSeparators(path), database.lastError().text());
        }
    }
    QSqlDatabase::removeDatabase(connection);
    if (table)
        cache().insert(key, CacheEntry{stamp, table});
    else
        cache().remove(key);
    return table;
}

void WordLookupTable::clearCache()
{
    qDebug() << Q_FUNC_INFO;
    QMutexLocker locker(&cacheMutex);
    cache().clear();
}
