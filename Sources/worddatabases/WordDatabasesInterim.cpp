// Interim bodies of the word-database services the shell calls before the
// word databases exist. Replaced by the real implementation.

#include <QDebug>
#include <QFile>

#include "PartOfSpeechFlags.h"

QStringList partOfSpeechFlags;
QStringList partOfSpeechDescriptions;

bool parseJieBaFlagConfigFile()
{
    qDebug() << Q_FUNC_INFO;
    const QString fileName = QStringLiteral("./Utilities/JieBa/JieBaFlag.ini");
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning().noquote() << "Failed to open config file:" << fileName;
        return false;
    }
    return true;
}

// --- The engine's connection -------------------------------------------------

#include <QSqlDatabase>
#include <QUuid>

#include "Embellish.h"

Embellish::Embellish(QObject* parent)
    : QObject(parent)
    , m_connectionName(QUuid::createUuid().toString())
{
    qDebug() << Q_FUNC_INFO;
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
}

Embellish::~Embellish()
{
    // The database object must be gone before its connection can be removed.
    {
        QSqlDatabase database = QSqlDatabase::database(m_connectionName, false);
        if (database.isOpen())
            database.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QStringList Embellish::getNewWordList(const QString& word, uint newWordType, bool exactly)
{
    qDebug() << Q_FUNC_INFO << "(interim)" << ", word =" << word << ", newWordType =" << newWordType
             << ", exactly =" << exactly;
    return {};
}
