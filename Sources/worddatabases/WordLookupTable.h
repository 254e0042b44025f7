#pragma once
// One word table loaded into memory, for runs that ask it about every
// character of a document. Immutable once loaded: any number of threads may
// read the same instance. Matches exactly like the bound SQL lookups do
// (`= ? COLLATE NOCASE`): equal text after folding ASCII letters only.

#include <QHash>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QVector>
#include <vector>

#include "WordDatabaseCatalogue.h"

class QSqlDatabase;

// The first two columns of one table row, as text.
struct WordRow
{
    QString first;
    QString second;
};

class WordLookupTable
{
public:
    using Pointer = QSharedPointer<const WordLookupTable>;

    // The table of a catalogue code, shared by every caller while its file is
    // unchanged (path, size, modification time and SQLite's change counter).
    // Null when the file is missing or the table cannot be read; the reason
    // goes to *error.
    static Pointer shared(uint code, QString* error = nullptr);
    // Reads the table of a catalogue code from an open connection.
    static Pointer load(const QSqlDatabase& database, uint code, QString* error = nullptr);
    // Forgets every shared table.
    static void clearCache();

    // SQLite's NOCASE folding: A-Z to a-z, nothing else. Shares the string when
    // nothing changes.
    static QString foldCase(const QString& text);

    WordDatabaseCatalogue::LookupKind kind() const { return m_kind; }
    uint code() const { return m_code; }
    int rowCount() const { return m_rowCount; }

    // List tables: is the word in the table?
    bool contains(const QString& word) const;
    // List tables: the number of the first row that holds the word, counted
    // from 1 in the order the rows were written (by row id); 0 when the word
    // is not there.
    int rowOf(const QString& word) const;
    // List tables: every word (folded) with its first row.
    const QHash<QString, int>& wordRows() const { return m_words; }
    // Pair and correction tables: the rows whose key column (for pairs either
    // column) equals the word, or begins with it when prefix is set.
    QVector<WordRow> rows(const QString& word, bool prefix = false) const;

private:
    WordLookupTable() = default;
    // The filter of the keys' endings: a word whose last two characters end
    // no key is no key, found without hashing it (most words asked about).
    void noteEnding(const QString& key);
    bool mayHold(const QString& word) const;

    uint m_code = 0;
    WordDatabaseCatalogue::LookupKind m_kind = WordDatabaseCatalogue::NoLookup;
    int m_rowCount = 0;
    QHash<QString, int> m_words;       // list tables: folded word -> its first row, from 1
    QVector<WordRow> m_rows;           // pair and correction tables
    QHash<QString, QVector<int>> m_index; // folded key -> row numbers
    std::vector<quint64> m_endings;       // bits of the keys' endings, empty for an empty table
};
