#include "DatabaseTemplate.h"

#include <QDebug>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <QUuid>

#include "SharedCodes.h"
#include "TemplateContents.h"
#include "WordDatabaseCatalogue.h"

namespace {

// The English table names of older databases and the codes they stand for.
const struct
{
    const char* name;
    uint code;
} kEnglishNames[] = {
    {"Synonym", TEMPLATE_TYPE_SQLITE_DB_SYNONYM},
    {"Antonym", TEMPLATE_TYPE_SQLITE_DB_ANTONYM},
    {"AdjectiveWord", TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD},
    {"SensitiveWord", TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD},
    {"SpellingWord", TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST},
    {"Word", TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST},
    {"SpellingPunctuation", TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION},
    {"Character", TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER},
};

uint codeOfEnglishName(const QString& name)
{
    for (const auto& entry : kEnglishNames)
        if (name == QLatin1String(entry.name))
            return entry.code;
    return 0;
}

// Runs one statement; on failure records it and the driver's text.
bool run(QSqlQuery& query, const QString& statement, QString* failed, QString* error)
{
    if (query.exec(statement))
        return true;
    qCritical().noquote() << "SQL failed:" << statement << query.lastError().text();
    if (failed)
        *failed = statement;
    if (error)
        *error = query.lastError().text();
    return false;
}

bool runOne(QSqlDatabase database, const QString& statement, QString* failed, QString* error)
{
    QSqlQuery query(database);
    return run(query, statement, failed, error);
}

} // namespace

QString DatabaseTemplate::quoted(const QString& identifier)
{
    QString text = identifier;
    text.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + text + QLatin1Char('"');
}

bool DatabaseTemplate::isUsableTableName(const QString& name)
{
    return !name.trimmed().isEmpty() && !name.contains(QChar(0));
}

bool DatabaseTemplate::isDatabaseType(uint type)
{
    switch (type) {
    case TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_ANTONYM:
    case TEMPLATE_TYPE_SQLITE_DB_ATOM:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION:
    case TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER:
    case TEMPLATE_TYPE_SQLITE_DB_SYNONYM:
    case TEMPLATE_TYPE_SQLITE_DB_FILE:
        return true;
    default:
        return false;
    }
}

uint DatabaseTemplate::databaseCodeFor(uint type, const QString& tableName)
{
    if (isDatabaseType(type))
        return type;
    const uint code = codeOfEnglishName(tableName);
    return code ? code : uint(TEMPLATE_TYPE_SQLITE_DB_ATOM);
}

QString DatabaseTemplate::tableOfEnglishName(const QString& name)
{
    const uint code = codeOfEnglishName(name);
    return code ? WordDatabaseCatalogue::tableName(code) : QString();
}

QString DatabaseTemplate::tableToShow(const QStringList& tables, const QString& name, uint type)
{
    if (type == TEMPLATE_TYPE_SQLITE_DB_FILE)
        return tables.value(0);
    // Older callers name the word databases' tables in English.
    const QString english = tableOfEnglishName(name);
    if (!tables.contains(name) && tables.contains(english))
        return english;
    return tables.contains(name) ? name : QString();
}

QString DatabaseTemplate::rowSeparator(const QString& databaseFile)
{
    return databaseFile.endsWith(QStringLiteral("/Dictionary/近义词.db")) ? QStringLiteral(" = ")
                                                                          : QStringLiteral(" -> ");
}

int DatabaseTemplate::columnCount(QSqlDatabase database, const QString& table)
{
    QSqlQuery query(database);
    if (!query.exec(QStringLiteral("SELECT * FROM ") + quoted(table) + QStringLiteral(" LIMIT 0")))
        return -1;
    return query.record().count();
}

QTreeWidgetItem* DatabaseTemplate::topItem(const QTreeWidget* tree, const QString& table)
{
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == table)
            return tree->topLevelItem(i);
    return tree->topLevelItem(0);
}

int DatabaseTemplate::load(QSqlDatabase database, const QString& table, QTreeWidgetItem* top, int* columnCount,
                           QString* error)
{
    qDebug() << Q_FUNC_INFO << ", table =" << table;
    QSqlQuery query(database);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT * FROM ") + quoted(table))) {
        if (error)
            *error = query.lastError().text();
        return ERROR_CODE_TEMPLATE_MISSING_OR_INVALID;
    }
    const int columns = query.record().count();
    if (columnCount)
        *columnCount = columns;
    if (columns != 1 && columns != 2)
        return ERROR_CODE_DB_COLUMN_COUNT_MISMATCH;
    const QString separator = rowSeparator(database.databaseName());
    QList<QTreeWidgetItem*> rows;
    while (query.next()) {
        const QString text = columns == 1 ? query.value(0).toString()
                                          : query.value(0).toString() + separator + query.value(1).toString();
        rows << TemplateContents::newContent(text);
    }
    top->addChildren(rows);
    return ERROR_CODE_SUCCESS;
}

DatabaseTemplate::SaveResult DatabaseTemplate::save(QSqlDatabase database, const QString& table,
                                                    const QStringList& texts, const QString& separator)
{
    qDebug() << Q_FUNC_INFO << ", table =" << table << ", rows =" << texts.size();
    SaveResult result;
    const int columns = columnCount(database, table);
    if (columns != 1 && columns != 2) {
        result.statement = QStringLiteral("SELECT * FROM ") + quoted(table);
        result.error = columns < 0 ? database.lastError().text() : tr("目前只支持一列或两列的表，当前表格列数为:")
                                                                      + QString::number(columns);
        return result;
    }

    // A two-column row splits at its first separator: the second value may hold one.
    QVector<QPair<QString, QString>> values;
    values.reserve(texts.size());
    for (int i = 0; i < texts.size(); ++i) {
        const QString& text = texts.at(i);
        if (columns == 1) {
            values.append({text, QString()});
            continue;
        }
        const int at = text.indexOf(separator);
        if (at < 0) {
            result.badRow = i;
            return result;
        }
        values.append({text.left(at).simplified(), text.mid(at + separator.size()).simplified()});
    }

    // A connection of its own: the shared one may have the same file attached
    // under another name, whose read lock would keep the commit waiting.
    const QString connection = QStringLiteral("DatabaseTemplate-") + QUuid::createUuid().toString();
    {
        QSqlDatabase own = QSqlDatabase::cloneDatabase(database, connection);
        if (!QFileInfo(database.databaseName()).isFile()) {
            // Removed since it was opened: SQLite would make a new, empty file.
            result.statement = QStringLiteral("OPEN ") + database.databaseName();
            result.error = tr("数据库文件不存在");
        } else if (!own.open()) {
            result.statement = QStringLiteral("OPEN ") + database.databaseName();
            result.error = own.lastError().text();
        } else {
            result = writeRows(own, table, columns, values);
            own.close();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return result;
}

DatabaseTemplate::SaveResult DatabaseTemplate::writeRows(QSqlDatabase database, const QString& table, int columns,
                                                         const QVector<QPair<QString, QString>>& values)
{
    // The rows are replaced inside the table itself, in one transaction: its
    // definition (keys, constraints, defaults, collations), its indexes and
    // triggers stay exactly as the user made them, no work table can meet a
    // table of the user's, and a failure half-way leaves the old rows whole.
    SaveResult result;
    const QString current = quoted(table);
    if (!database.transaction()) {
        result.statement = QStringLiteral("BEGIN");
        result.error = database.lastError().text();
        return result;
    }
    auto fail = [&]() {
        database.rollback();
        return result;
    };
    {
        QSqlQuery query(database);
        if (!run(query, QStringLiteral("DELETE FROM ") + current, &result.statement, &result.error))
            return fail();
        if (!values.isEmpty()) {
            const QString insert = QStringLiteral("INSERT INTO ") + current
                + (columns == 1 ? QStringLiteral(" VALUES (?)") : QStringLiteral(" VALUES (?, ?)"));
            QSqlQuery rows(database);
            if (!rows.prepare(insert)) {
                result.statement = insert;
                result.error = rows.lastError().text();
                return fail();
            }
            for (const auto& row : qAsConst(values)) {
                rows.bindValue(0, row.first);
                if (columns == 2)
                    rows.bindValue(1, row.second);
                if (!rows.exec()) {
                    result.statement = insert;
                    result.error = rows.lastError().text();
                    return fail();
                }
            }
        }
    }
    if (!database.commit()) {
        result.statement = QStringLiteral("COMMIT");
        result.error = database.lastError().text();
        return fail();
    }
    result.ok = true;
    return result;
}

bool DatabaseTemplate::createTable(QSqlDatabase database, const QString& name, QString* statement, QString* error)
{
    return runOne(database, QStringLiteral("CREATE TABLE ") + quoted(name) + QStringLiteral(" (content text)"),
                  statement, error);
}

bool DatabaseTemplate::renameTable(QSqlDatabase database, const QString& from, const QString& to, QString* statement,
                                   QString* error)
{
    return runOne(database, QStringLiteral("ALTER TABLE ") + quoted(from) + QStringLiteral(" RENAME TO ") + quoted(to),
                  statement, error);
}

bool DatabaseTemplate::dropTable(QSqlDatabase database, const QString& name, QString* statement, QString* error)
{
    return runOne(database, QStringLiteral("DROP TABLE ") + quoted(name), statement, error);
}
