// Builds one word database (SQLite) from UTF-8 TSV sources, one source per
// table: the file's base name is the table's name, its first line that is not
// a comment ("#...") names the columns, every further line is one row.
// In cells, "\t", "\n" and "\\" stand for a tab, a line break and a backslash.
// Key columns (Word, Word01, Word02, TypoWord) get a NOCASE index, which is
// what the program's lookups compare with.
//
//   dictbuild OUTPUT.db SOURCE.tsv [SOURCE.tsv ...]
//
// The database is written to a temporary file beside OUTPUT and renamed over
// it only when complete.

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTextStream>
#include <cstdio>

namespace {

QString unescapeCell(const QString& cell)
{
    if (!cell.contains(QLatin1Char('\\')))
        return cell;
    QString out;
    out.reserve(cell.size());
    for (int i = 0; i < cell.size(); ++i) {
        const QChar c = cell.at(i);
        if (c != QLatin1Char('\\') || i + 1 == cell.size()) {
            out += c;
            continue;
        }
        const QChar next = cell.at(++i);
        if (next == QLatin1Char('t'))
            out += QLatin1Char('\t');
        else if (next == QLatin1Char('n'))
            out += QLatin1Char('\n');
        else
            out += next;
    }
    return out;
}

QString quoted(const QString& name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

bool fail(const QString& text)
{
    std::fprintf(stderr, "dictbuild: %s\n", qPrintable(text));
    return false;
}

bool addTable(QSqlDatabase& db, const QString& sourcePath)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1").arg(sourcePath));
    const QString table = QFileInfo(sourcePath).completeBaseName();
    const QString text = QString::fromUtf8(source.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        return fail(QStringLiteral("%1: no byte-order mark expected").arg(sourcePath));

    QStringList columns;
    QList<QStringList> rows;
    QSet<QString> seen;
    int lineNumber = 0;
    for (QString line : text.split(QLatin1Char('\n'))) {
        ++lineNumber;
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QStringList cells = line.split(QLatin1Char('\t'));
        if (columns.isEmpty()) {
            columns = cells;
            continue;
        }
        if (cells.size() > columns.size())
            return fail(QStringLiteral("%1:%2: %3 cells, %4 columns")
                            .arg(sourcePath).arg(lineNumber).arg(cells.size()).arg(columns.size()));
        while (cells.size() < columns.size())
            cells << QString();
        for (QString& cell : cells)
            cell = unescapeCell(cell);
        const QString key = cells.join(QChar(0x1F));
        if (seen.contains(key)) {
            std::fprintf(stderr, "dictbuild: %s:%d: duplicate row skipped\n", qPrintable(sourcePath), lineNumber);
            continue;
        }
        seen.insert(key);
        rows << cells;
    }
    if (columns.isEmpty())
        return fail(QStringLiteral("%1: no column line").arg(sourcePath));
    // A word database without rows makes every check of its category find nothing.
    if (rows.isEmpty())
        return fail(QStringLiteral("%1: no rows").arg(sourcePath));

    QSqlQuery query(db);
    QStringList definitions;
    for (const QString& column : columns)
        definitions << quoted(column) + QStringLiteral(" TEXT");
    if (!query.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoted(table), definitions.join(QStringLiteral(", ")))))
        return fail(query.lastError().text());
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    if (!query.prepare(QStringLiteral("INSERT INTO %1 VALUES (%2)").arg(quoted(table), marks.join(QLatin1Char(',')))))
        return fail(query.lastError().text());
    for (const QStringList& row : rows) {
        for (int i = 0; i < row.size(); ++i)
            query.bindValue(i, row.at(i));
        if (!query.exec())
            return fail(query.lastError().text());
    }
    const QStringList keyColumns{QStringLiteral("Word"), QStringLiteral("Word01"), QStringLiteral("Word02"),
                                 QStringLiteral("TypoWord")};
    for (const QString& column : columns) {
        if (!keyColumns.contains(column))
            continue;
        const QString index = quoted(table + QLatin1Char('_') + column + QStringLiteral("_nocase"));
        if (!query.exec(QStringLiteral("CREATE INDEX %1 ON %2 (%3 COLLATE NOCASE)")
                            .arg(index, quoted(table), quoted(column))))
            return fail(query.lastError().text());
    }
    std::printf("%s: %d rows\n", qPrintable(table), int(rows.size()));
    return true;
}

bool build(const QString& output, const QStringList& sources)
{
    const QString temporary = output + QStringLiteral(".part");
    QFile::remove(temporary);
    bool ok = true;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("dictbuild"));
        db.setDatabaseName(temporary);
        if (!db.open())
            return fail(db.lastError().text());
        QSqlQuery query(db);
        query.exec(QStringLiteral("PRAGMA page_size = 8192"));
        db.transaction();
        for (const QString& source : sources) {
            if (!addTable(db, source)) {
                ok = false;
                break;
            }
        }
        if (ok)
            ok = db.commit();
        else
            db.rollback();
        // Compacted, so the program finds no free pages to vacuum. (No ANALYZE:
        // its statistics table would show up among the tables of the file.)
        if (ok)
            ok = query.exec(QStringLiteral("VACUUM"));
        if (!ok && query.lastError().isValid())
            fail(query.lastError().text());
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("dictbuild"));
    if (!ok) {
        QFile::remove(temporary);
        return false;
    }
    QFile::remove(output);
    if (!QFile::rename(temporary, output))
        return fail(QStringLiteral("cannot write %1").arg(output));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: dictbuild OUTPUT.db SOURCE.tsv [SOURCE.tsv ...]\n");
        return 2;
    }
    const QString output = arguments.takeFirst();
    QDir().mkpath(QFileInfo(output).absolutePath());
    return build(output, arguments) ? 0 : 1;
}
