#include "SafeSave.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <unistd.h>

namespace {

SafeSave::FaultHook& faultHook()
{
    static SafeSave::FaultHook hook;
    return hook;
}

bool injected(SafeSave::Stage stage, const QString& fileName, QString* errorString)
{
    const SafeSave::FaultHook& hook = faultHook();
    if (!hook || !hook(stage, fileName))
        return false;
    if (errorString)
        *errorString = QStringLiteral("injected fault at stage %1").arg(int(stage));
    return true;
}

// Replaces any previous "<fileName>.bak" with the current content of target.
bool makeBackup(const QString& target, const QString& backupName, QString* errorString)
{
    qDebug() << Q_FUNC_INFO << ", target =" << target << ", backupName =" << backupName;
    QFileInfo backupInfo(backupName);
    if (backupInfo.exists() || backupInfo.isSymLink()) {
        if (backupInfo.isDir() && !backupInfo.isSymLink()) {
            *errorString = SafeSave::tr("备份文件 %1 是一个文件夹").arg(backupName);
            return false;
        }
        QFile old(backupName);
        if (!old.remove()) {
            *errorString = SafeSave::tr("无法删除旧的备份文件 %1: %2").arg(backupName, old.errorString());
            return false;
        }
    }
    // A hard link costs nothing and keeps the previous file exactly; the rename
    // that follows gives the target a new inode, so the link keeps the old one.
    if (::link(QFile::encodeName(target).constData(), QFile::encodeName(backupName).constData()) == 0)
        return true;
    QFile source(target);
    if (!source.copy(backupName)) {
        *errorString = SafeSave::tr("无法创建备份文件 %1: %2").arg(backupName, source.errorString());
        return false;
    }
    return true;
}

} // namespace

QString SafeSave::resolvedTarget(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    QFileInfo info(fileName);
    int depth = 128;
    while (info.isSymLink() && --depth > 0)
        info.setFile(info.symLinkTarget());
    return info.filePath();
}

bool SafeSave::write(const QString& fileName, const QByteArray& data, bool backup, QString* errorString)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", data.size() =" << data.size() << ", backup =" << backup;
    QString localError;
    QString* error = errorString ? errorString : &localError;
    error->clear();

    const QString target = resolvedTarget(fileName);
    const QFileInfo targetInfo(target);
    const bool previousExists = targetInfo.exists();
    if (previousExists && !targetInfo.isFile()) {
        *error = SafeSave::tr("%1 不是普通文件").arg(target);
        qCritical() << "SafeSave: not a regular file, target =" << target;
        return false;
    }

    QSaveFile file(fileName);
    if (injected(OpenTemporary, fileName, error) || !file.open(QIODevice::WriteOnly)) {
        if (error->isEmpty())
            *error = file.errorString();
        qCritical() << "SafeSave: temporary file open failed, fileName =" << fileName << ", error =" << *error;
        return false;
    }

    errno = 0;
    if (injected(Write, fileName, error) || file.write(data) != data.size() || !file.flush()
        || file.error() != QFileDevice::NoError) {
        // The device often says only "Unknown error" for a full disk; the system knows better.
        if (error->isEmpty())
            *error = errno ? QString::fromLocal8Bit(std::strerror(errno)) : file.errorString();
        file.cancelWriting();
        qCritical() << "SafeSave: write failed, fileName =" << fileName << ", error =" << *error;
        return false;
    }

    if (backup && previousExists) {
        if (injected(Backup, fileName, error) || !makeBackup(target, fileName + QStringLiteral(".bak"), error)) {
            file.cancelWriting();
            qCritical() << "SafeSave: backup failed, fileName =" << fileName << ", error =" << *error;
            return false;
        }
    }

    if (injected(Replace, fileName, error)) {
        file.cancelWriting();
        qCritical() << "SafeSave: replace failed, fileName =" << fileName << ", error =" << *error;
        return false;
    }
    // commit() flushes, syncs to disk and renames over the target.
    if (!file.commit()) {
        *error = file.errorString();
        qCritical() << "SafeSave: commit failed, fileName =" << fileName << ", error =" << *error;
        return false;
    }
    return true;
}

void SafeSave::setFaultHook(const FaultHook& hook)
{
    qDebug() << Q_FUNC_INFO << ", hook set =" << bool(hook);
    faultHook() = hook;
}
