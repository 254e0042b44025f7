#pragma once
// Word-database tables shown and edited as templates: one entry (the table)
// whose contents are the rows. A one-column row is its value; a two-column
// row is "value0 -> value1" ("value0 = value1" in the synonym database).
//
// Every statement binds its values and quotes its identifiers. A save writes
// the rows into a new table inside one transaction and only then puts it in
// the old one's place, with the old table's indexes made again; any failure
// rolls the whole save back, so the old table stays as it was.

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QPair>

class QTreeWidget;
class QTreeWidgetItem;

class DatabaseTemplate
{
    Q_DECLARE_TR_FUNCTIONS(DatabaseTemplate)

public:
    // An SQL identifier in double quotes, an inner quote doubled.
    static QString quoted(const QString& identifier);
    // Whether a table name can be used (not empty, no NUL character).
    static bool isUsableTableName(const QString& name);

    // The template types shown from databases: 16-19, 32, 33, 35, 36, 64 and
    // 128 (a database file named by its path).
    static bool isDatabaseType(uint type);
    // The database a tab of this type and table lives in: the type itself for
    // the word-database codes; for any other type the table's old English name
    // decides ("Synonym" 64 … "Character" 36), else the atom database (19).
    // Type 128 names no code: its tab keeps its own file.
    static uint databaseCodeFor(uint type, const QString& tableName);
    // The catalogue table behind the English names "Synonym", "Antonym", …; empty for others.
    static QString tableOfEnglishName(const QString& name);
    // The table a tab opened as name shows, among a database's tables: for type
    // 128 (a database file) the first table; else the table of that name, or of
    // the catalogue name behind an English one. Empty when there is none.
    static QString tableToShow(const QStringList& tables, const QString& name, uint type);
    // " = " for the synonym database file, " -> " for every other.
    static QString rowSeparator(const QString& databaseFile);

    // The item of a table's tab whose children are the rows: the top-level
    // item named after the table, else the first one (null in an empty tree).
    static QTreeWidgetItem* topItem(const QTreeWidget* tree, const QString& table);

    // Appends one hidden-to-be content child per row of the table to top.
    // Returns 0, or 0x1003 with columnCount set when the table has neither
    // one nor two columns; 0x2001 when the table cannot be read (error set).
    static int load(QSqlDatabase database, const QString& table, QTreeWidgetItem* top, int* columnCount,
                    QString* error);
    // The number of columns of a table; -1 when it cannot be read.
    static int columnCount(QSqlDatabase database, const QString& table);

    struct SaveResult
    {
        bool ok = false;
        int badRow = -1;        // a content that does not split into two parts
        QString statement;      // the statement that failed
        QString error;          // the driver's text
    };
    // Writes the texts as the table's rows, split by separator for a two-column table.
    static SaveResult save(QSqlDatabase database, const QString& table, const QStringList& texts,
                           const QString& separator);

    // Statements of the atom-template selection dialog; false with error set on failure.
    static bool createTable(QSqlDatabase database, const QString& name, QString* statement, QString* error);
    static bool renameTable(QSqlDatabase database, const QString& from, const QString& to, QString* statement,
                            QString* error);
    static bool dropTable(QSqlDatabase database, const QString& name, QString* statement, QString* error);

private:
    // The save's transaction, on a connection of its own.
    static SaveResult writeRows(QSqlDatabase database, const QString& table, int columns,
                                const QVector<QPair<QString, QString>>& values);
};
