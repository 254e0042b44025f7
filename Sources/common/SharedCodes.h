#pragma once
// Result codes of document and template operations, the template/database type
// codes, and small helpers several parts of the program share.

#include <QByteArray>
#include <QString>

class QAction;

enum ErrorCode {
    ERROR_CODE_SUCCESS = 0,
    ERROR_CODE_NO_ACTIVE_DOCUMENT = 0x100,
    ERROR_CODE_SAVE_AS_CANCELLED = 0x101,
    ERROR_CODE_TEMPLATE_EMPTY_FILE_NAME = 0x200,
    ERROR_CODE_TEMPLATE_OPEN_FAILED = 0x201,
    ERROR_CODE_DB_NO_TABLE = 0x1001,
    ERROR_CODE_DB_TABLE_NOT_FOUND = 0x1002,
    ERROR_CODE_DB_COLUMN_COUNT_MISMATCH = 0x1003,
    ERROR_CODE_TEMPLATE_MISSING_OR_INVALID = 0x2001,
    ERROR_CODE_NOT_UNIQUE_INSTANCE = 0xE001,
};

// A failed document write; it has no name and prints as "未知错误".
constexpr int ERROR_CODE_WRITE_FAILED = 0xFFFF;

enum TemplateType : uint {
    TEMPLATE_TYPE_NONE = 0,
    TEMPLATE_TYPE_TQW_FILE = 1,
    TEMPLATE_TYPE_TQW_FILE_ATOM_TOC = 2,
    TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD = 16,
    TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD = 17,
    TEMPLATE_TYPE_SQLITE_DB_ANTONYM = 18,
    TEMPLATE_TYPE_SQLITE_DB_ATOM = 19,
    TEMPLATE_TYPE_SQLITE_DB_DICTIONARY = 20,
    TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST = 32,
    TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST = 33,
    TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION = 35,
    TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER = 36,
    TEMPLATE_TYPE_SQLITE_DB_SPELLING_USER_DEFINED_WORD = 38,
    TEMPLATE_TYPE_SQLITE_DB_SYNONYM = 64,
    TEMPLATE_TYPE_INVALID = 255,
};

// A word-database file opened as a template (all its tables).
constexpr uint TEMPLATE_TYPE_SQLITE_DB_FILE = 128;

QString errorCode2String(int code);
QString templateType2String(uint code);
bool hasUtf8Bom(const QByteArray& data);
double logBase2(double x);
bool localeAwareLessThan(const QString& a, const QString& b);

// The five actions updateSelectionActions manages (made with the action table).
extern QAction* addTemplateMarkerAct;
extern QAction* searchAtomTemplateTOCAct;
extern QAction* newTemplateParagraphFromSelectionAct;
extern QAction* newTemplateChildParagraphFromSelectionAct;
extern QAction* newTemplateContentFromSelectionAct;
