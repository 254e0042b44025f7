#include "RecoveryFile.h"

#include <QDebug>
#include <QDir>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "SafeSave.h"
#include "TextEncoding.h"

bool RecoveryFile::write(QString* fileName, const QString& raw, const QString& encoding, bool withBom)
{
    if (fileName->isEmpty()) {
        const QString folder = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
            + QStringLiteral("/Recovery");
        QDir().mkpath(folder);
        QTemporaryFile reserve(folder + QStringLiteral("/VeldmarkXXXXXX.txt"));
        reserve.setAutoRemove(false);
        if (!reserve.open()) {
            qCritical() << "tempFileName open failed!";
            return false;
        }
        *fileName = reserve.fileName();
        qDebug() << "tempFileName =" << *fileName;
    }
    // A lone surrogate, which nothing holds, becomes U+FFFD in the UTF-8 copy.
    int unencodable = -1;
    QByteArray bytes = TextEncoding::encodeDocumentText(raw, encoding, withBom, &unencodable);
    if (unencodable >= 0)
        bytes = TextEncoding::encode(TextEncoding::plainTextWithCrLf(raw), QStringLiteral("UTF-8"), true);
    QString error;
    if (!SafeSave::write(*fileName, bytes, false, &error)) {
        qCritical() << "Save recovery file failed, tempFileName =" << *fileName << ", error =" << error;
        return false;
    }
    return true;
}
