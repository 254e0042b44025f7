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
