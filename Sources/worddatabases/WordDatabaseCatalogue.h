#pragma once
// Which word database a TemplateType code names: its file under ./Dictionary,
// its table, and how a word is looked up in it.

#include <QList>
#include <QString>

#include "SharedCodes.h"

// Word-database codes the shared code table prints as unknown; they belong to
// the word databases alone.
constexpr uint TEMPLATE_TYPE_SQLITE_DB_ENGLISH = 80;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_EROTICISM = 81;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_NUMBER = 82;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_PLACE_NAME = 83;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_POLITICS = 84;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_SURNAME = 86;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_VULGAR = 87;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_INTERNET_WORD = 88;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_POLYPHONE = 89;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_IDIOM = 96;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_QUANTIFIER = 117;
constexpr uint TEMPLATE_TYPE_SQLITE_DB_USER_DEFINED = 254;

class WordDatabaseCatalogue
{
public:
    enum LookupKind {
        NoLookup,         // no word lookup for this code
        ListLookup,       // a hit means the word is in the table (column Word)
        PairLookup,       // Word01/Word02 pairs: a hit yields the other words
        CorrectionLookup, // TypoWord, then its correction: a hit yields the corrections
        AtomLookup,       // atom-template markers, no database
    };

    // Table of a code with a database file; empty for every other code (and 128,
    // whose file the caller names).
    static QString tableName(uint code);
    // "./Dictionary/" + table + ".db", or empty.
    static QString fileName(uint code);
    static bool hasDatabase(uint code) { return !tableName(code).isEmpty(); }
    // Every code that has a file of its own, in ascending order.
    static QList<uint> databaseCodes();

    static LookupKind lookupKind(uint code);
    // The column a lookup compares the word with ("Word", "Word01", "TypoWord"),
    // empty for codes without a database lookup. Pairs also compare "Word02".
    static QString keyColumn(uint code);
};
