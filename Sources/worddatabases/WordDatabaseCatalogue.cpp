#include "WordDatabaseCatalogue.h"

#include <QDebug>

namespace {

struct CatalogueEntry
{
    uint code;
    const char* table; // UTF-8
};

// Sorted by code.
const CatalogueEntry catalogue[] = {
    {TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD, "敏感词"},
    {TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD, "形容词"},
    {TEMPLATE_TYPE_SQLITE_DB_ANTONYM, "反义词"},
    {TEMPLATE_TYPE_SQLITE_DB_ATOM, "原子模板"},
    {TEMPLATE_TYPE_SQLITE_DB_DICTIONARY, "词典"},
    {TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, "黑名单"},
    {TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, "白名单"},
    {TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION, "错误标点符号"},
    {TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER, "高频字"},
    {TEMPLATE_TYPE_SQLITE_DB_SPELLING_USER_DEFINED_WORD, "自定义词"},
    {TEMPLATE_TYPE_SQLITE_DB_SYNONYM, "近义词"},
    {TEMPLATE_TYPE_SQLITE_DB_ENGLISH, "英文"},
    {TEMPLATE_TYPE_SQLITE_DB_EROTICISM, "涉黄"},
    {TEMPLATE_TYPE_SQLITE_DB_NUMBER, "数字"},
    {TEMPLATE_TYPE_SQLITE_DB_PLACE_NAME, "地名"},
    {TEMPLATE_TYPE_SQLITE_DB_POLITICS, "政治"},
    {TEMPLATE_TYPE_SQLITE_DB_SURNAME, "姓氏"},
    {TEMPLATE_TYPE_SQLITE_DB_VULGAR, "粗俗"},
    {TEMPLATE_TYPE_SQLITE_DB_INTERNET_WORD, "网络语言"},
    {TEMPLATE_TYPE_SQLITE_DB_POLYPHONE, "多音字"},
    {TEMPLATE_TYPE_SQLITE_DB_IDIOM, "成语"},
    {TEMPLATE_TYPE_SQLITE_DB_QUANTIFIER, "量词"},
    {TEMPLATE_TYPE_SQLITE_DB_USER_DEFINED, "自定义"},
};

} // namespace

// tableName, fileName and lookupKind are asked on every lookup: no log line.
QString WordDatabaseCatalogue::tableName(uint code)
{
    for (const CatalogueEntry& entry : catalogue)
        if (entry.code == code)
            return QString::fromUtf8(entry.table);
    return QString();
}

QString WordDatabaseCatalogue::fileName(uint code)
{
    const QString table = tableName(code);
    return table.isEmpty() ? QString() : QStringLiteral("./Dictionary/") + table + QStringLiteral(".db");
}

QList<uint> WordDatabaseCatalogue::databaseCodes()
{
    qDebug() << Q_FUNC_INFO;
    QList<uint> codes;
    for (const CatalogueEntry& entry : catalogue)
        codes << entry.code;
    return codes;
}

WordDatabaseCatalogue::LookupKind WordDatabaseCatalogue::lookupKind(uint code)
{
    switch (code) {
    case TEMPLATE_TYPE_TQW_FILE_ATOM_TOC:
        return AtomLookup;
    case TEMPLATE_TYPE_SQLITE_DB_ANTONYM:
    case TEMPLATE_TYPE_SQLITE_DB_SYNONYM:
        return PairLookup;
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION:
        return CorrectionLookup;
    case TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER:
    case TEMPLATE_TYPE_SQLITE_DB_ENGLISH:
    case TEMPLATE_TYPE_SQLITE_DB_EROTICISM:
    case TEMPLATE_TYPE_SQLITE_DB_NUMBER:
    case TEMPLATE_TYPE_SQLITE_DB_PLACE_NAME:
    case TEMPLATE_TYPE_SQLITE_DB_POLITICS:
    case TEMPLATE_TYPE_SQLITE_DB_SURNAME:
    case TEMPLATE_TYPE_SQLITE_DB_VULGAR:
    case TEMPLATE_TYPE_SQLITE_DB_INTERNET_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_POLYPHONE:
    case TEMPLATE_TYPE_SQLITE_DB_IDIOM:
    case TEMPLATE_TYPE_SQLITE_DB_QUANTIFIER:
    case TEMPLATE_TYPE_SQLITE_DB_USER_DEFINED:
        return ListLookup;
    default:
        return NoLookup;
    }
}

QString WordDatabaseCatalogue::keyColumn(uint code)
{
    qDebug() << Q_FUNC_INFO << ", code =" << code;
    switch (lookupKind(code)) {
    case ListLookup: return QStringLiteral("Word");
    case PairLookup: return QStringLiteral("Word01");
    case CorrectionLookup: return QStringLiteral("TypoWord");
    default: return QString();
    }
}
