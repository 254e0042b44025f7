#include "SharedCodes.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QTabWidget>
#include <QTextCursor>
#include <QTreeWidget>
#include <cmath>


QAction* addTemplateMarkerAct = nullptr;
QAction* searchAtomTemplateTOCAct = nullptr;
QAction* newTemplateParagraphFromSelectionAct = nullptr;
QAction* newTemplateChildParagraphFromSelectionAct = nullptr;
QAction* newTemplateContentFromSelectionAct = nullptr;

QString errorCode2String(int code)
{
    const char* text = nullptr;
    switch (code) {
    case ERROR_CODE_SUCCESS: text = QT_TRANSLATE_NOOP("ErrorCode", "成功"); break;
    case ERROR_CODE_NO_ACTIVE_DOCUMENT: text = QT_TRANSLATE_NOOP("ErrorCode", "无法找到当前文档窗口"); break;
    case ERROR_CODE_SAVE_AS_CANCELLED: text = QT_TRANSLATE_NOOP("ErrorCode", "文件另存为被取消"); break;
    case ERROR_CODE_TEMPLATE_EMPTY_FILE_NAME: text = QT_TRANSLATE_NOOP("ErrorCode", "以空文件名保存模板文件"); break;
    case ERROR_CODE_TEMPLATE_OPEN_FAILED: text = QT_TRANSLATE_NOOP("ErrorCode", "打开模板文件失败"); break;
    case ERROR_CODE_DB_NO_TABLE: text = QT_TRANSLATE_NOOP("ErrorCode", "数据库没有表存在"); break;
    case ERROR_CODE_DB_TABLE_NOT_FOUND: text = QT_TRANSLATE_NOOP("ErrorCode", "数据库里不存在指定的表名"); break;
    case ERROR_CODE_DB_COLUMN_COUNT_MISMATCH: text = QT_TRANSLATE_NOOP("ErrorCode", "数据库表的列数不匹配"); break;
    case ERROR_CODE_TEMPLATE_MISSING_OR_INVALID: text = QT_TRANSLATE_NOOP("ErrorCode", "模板不存在或格式错误"); break;
    case ERROR_CODE_NOT_UNIQUE_INSTANCE: text = QT_TRANSLATE_NOOP("ErrorCode", "非唯一实例"); break;
    default: text = QT_TRANSLATE_NOOP("ErrorCode", "未知错误"); break;
    }
    return QCoreApplication::translate("ErrorCode", text);
}

QString templateType2String(uint code)
{
    const char* name = "TEMPLATE_TYPE_UNKNOWN";
    switch (code) {
    case TEMPLATE_TYPE_NONE: name = "TEMPLATE_TYPE_NONE"; break;
    case TEMPLATE_TYPE_TQW_FILE: name = "TEMPLATE_TYPE_TQW_FILE"; break;
    case TEMPLATE_TYPE_TQW_FILE_ATOM_TOC: name = "TEMPLATE_TYPE_TQW_FILE_ATOM_TOC"; break;
    case TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD: name = "TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD"; break;
    case TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD: name = "TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD"; break;
    case TEMPLATE_TYPE_SQLITE_DB_ANTONYM: name = "TEMPLATE_TYPE_SQLITE_DB_ANTONYM"; break;
    case TEMPLATE_TYPE_SQLITE_DB_ATOM: name = "TEMPLATE_TYPE_SQLITE_DB_ATOM"; break;
    case TEMPLATE_TYPE_SQLITE_DB_DICTIONARY: name = "TEMPLATE_TYPE_SQLITE_DB_DICTIONARY"; break;
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST: name = "TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST"; break;
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST: name = "TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST"; break;
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION: name = "TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION"; break;
    case TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER: name = "TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER"; break;
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_USER_DEFINED_WORD: name = "TEMPLATE_TYPE_SQLITE_DB_SPELLING_USER_DEFINED_WORD"; break;
    case TEMPLATE_TYPE_SQLITE_DB_SYNONYM: name = "TEMPLATE_TYPE_SQLITE_DB_SYNONYM"; break;
    case TEMPLATE_TYPE_INVALID: name = "TEMPLATE_TYPE_INVALID"; break;
    default: break;
    }
    return QStringLiteral("0x%1 (").arg(code, 0, 16) + QLatin1String(name) + QLatin1Char(')');
}

bool hasUtf8Bom(const QByteArray& data)
{
    return data.size() >= 3 && static_cast<uchar>(data[0]) == 0xEF
        && static_cast<uchar>(data[1]) == 0xBB && static_cast<uchar>(data[2]) == 0xBF;
}

double logBase2(double x)
{
    return static_cast<double>(std::log(static_cast<long double>(x)) / 0.6931471805599453L);
}

bool localeAwareLessThan(const QString& a, const QString& b)
{
    return QString::localeAwareCompare(a, b) < 0;
}

