#include "SafeSave.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
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

// Replaces any previous "<fileName>.bak" with the current content of target. In
// place (the folder takes no new files) only an existing, writable ".bak" can
// be rewritten.
bool makeBackup(const QString& target, const QString& backupName, bool inPlace, QString* errorString)
{
    qDebug() << Q_FUNC_INFO << ", target =" << target << ", backupName =" << backupName << ", inPlace =" << inPlace;
    QFileInfo backupInfo(backupName);
    if (backupInfo.isDir() && !backupInfo.isSymLink()) {
        *errorString = SafeSave::tr("备份文件 %1 是一个文件夹").arg(backupName);
        return false;
    }
    if (inPlace) {
        QFile source(target);
        QFile copy(backupName);
        errno = 0;
        if (!source.open(QIODevice::ReadOnly)) {
            *errorString = SafeSave::tr("无法读取 %1: %2").arg(target, SafeSave::causeText(errno, source.errorString()));
            return false;
        }
        const QByteArray previous = source.readAll();
        errno = 0;
        if (!backupInfo.exists() || !copy.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || copy.write(previous) != previous.size() || !copy.flush() || ::fsync(copy.handle()) != 0) {
            const int cause = errno ? errno : EACCES;
            *errorString = SafeSave::tr("无法创建备份文件 %1: %2").arg(backupName, SafeSave::causeText(cause, copy.errorString()));
            return false;
        }
        return true;
    }
    if (backupInfo.exists() || backupInfo.isSymLink()) {
        QFile old(backupName);
        errno = 0;
        if (!old.remove()) {
            *errorString = SafeSave::tr("无法删除旧的备份文件 %1: %2").arg(backupName, SafeSave::causeText(errno, old.errorString()));
            return false;
        }
    }
    // A hard link costs nothing and keeps the previous file exactly; the rename
    // that follows gives the target a new inode, so the link keeps the old one.
    if (::link(QFile::encodeName(target).constData(), QFile::encodeName(backupName).constData()) == 0)
        return true;
    QFile source(target);
    errno = 0;
    if (!source.copy(backupName)) {
        *errorString = SafeSave::tr("无法创建备份文件 %1: %2").arg(backupName, SafeSave::causeText(errno, source.errorString()));
        return false;
    }
    return true;
}

// Gives the rewritten file the mode, owner and group the previous one had (a
// replacement file starts with the defaults of a new file). Owner and group are
// kept where the system allows it.
void restoreAttributes(const QString& target, const struct stat& previous)
{
    const QByteArray path = QFile::encodeName(target);
    struct stat now;
    if (::stat(path.constData(), &now) != 0)
        return;
    if (now.st_uid != previous.st_uid || now.st_gid != previous.st_gid)
        if (::chown(path.constData(), previous.st_uid, previous.st_gid) != 0)
            qWarning() << "SafeSave: owner not kept, target =" << target << ", error =" << std::strerror(errno);
    // After chown, which may clear the set-id bits.
    if (::chmod(path.constData(), previous.st_mode & 07777) != 0)
        qWarning() << "SafeSave: mode not kept, target =" << target << ", error =" << std::strerror(errno);
}

// Writes data over the target itself, for a folder that takes no new files.
// Not atomic: a failure part way leaves the file incomplete, which the message says.
bool writeInPlace(const QString& fileName, const QString& target, const QByteArray& data, bool backup,
                  QString* error)
{
    qDebug() << Q_FUNC_INFO << ", target =" << target << ", data.size() =" << data.size() << ", backup =" << backup;
    if (backup
        && (injected(SafeSave::Backup, fileName, error)
            || !makeBackup(target, fileName + QStringLiteral(".bak"), true, error))) {
        qCritical() << "SafeSave: backup failed, fileName =" << fileName << ", error =" << *error;
        return false;
    }
    QFile file(target);
    errno = 0;
    if (!file.open(QIODevice::ReadWrite)) {
        *error = SafeSave::tr("无法写入 %1: %2").arg(target, SafeSave::causeText(errno, file.errorString()));
        qCritical() << "SafeSave: in-place open failed, target =" << target << ", error =" << *error;
        return false;
    }
    errno = 0;
    if (injected(SafeSave::Write, fileName, error) || file.write(data) != data.size() || !file.flush()
        || !file.resize(data.size()) || ::fsync(file.handle()) != 0) {
        const QString cause = error->isEmpty() ? SafeSave::causeText(errno, file.errorString()) : *error;
        *error = SafeSave::tr("写入 %1 时出错, 文件可能已不完整: %2").arg(target, cause);
        qCritical() << "SafeSave: in-place write failed, target =" << target << ", error =" << *error;
        return false;
    }
    return true;
}

} // namespace

QString SafeSave::causeText(int errorNumber, const QString& fallback)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return tr("没有权限");
    case ENOSPC:
        return tr("磁盘空间不足");
    case EDQUOT:
        return tr("超出磁盘配额");
    case EROFS:
        return tr("文件系统是只读的");
    case ENOENT:
        return tr("文件或文件夹不存在");
    case ENOTDIR:
        return tr("路径中有一部分不是文件夹");
    case EISDIR:
        return tr("这是一个文件夹");
    case ENAMETOOLONG:
        return tr("文件名太长");
    case EIO:
        return tr("输入/输出错误");
    case EBUSY:
    case ETXTBSY:
        return tr("文件正被占用");
    case EMFILE:
    case ENFILE:
        return tr("打开的文件太多");
    case 0:
        return fallback.isEmpty() ? tr("未知错误") : tr("未知错误 (%1)").arg(fallback);
    default:
        return tr("系统错误 %1 (%2)").arg(errorNumber).arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

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
    struct stat previous;
    const bool keepAttributes = previousExists && ::stat(QFile::encodeName(target).constData(), &previous) == 0;

    QSaveFile file(fileName);
    errno = 0;
    if (injected(OpenTemporary, fileName, error) || !file.open(QIODevice::WriteOnly)) {
        const int cause = errno;
        // A folder that takes no new files (but a file in it that may be written):
        // the file is written in place.
        if (error->isEmpty() && (cause == EACCES || cause == EPERM) && previousExists && targetInfo.isWritable()) {
            qWarning() << "SafeSave: the folder takes no temporary file; writing in place, fileName =" << fileName;
            if (!writeInPlace(fileName, target, data, backup, error))
                return false;
            if (keepAttributes)
                restoreAttributes(target, previous);
            return true;
        }
        if (error->isEmpty())
            *error = SafeSave::tr("无法在 %1 中创建临时文件: %2")
                         .arg(targetInfo.absolutePath(), causeText(cause, file.errorString()));
        qCritical() << "SafeSave: temporary file open failed, fileName =" << fileName << ", error =" << *error;
        return false;
    }

    errno = 0;
    if (injected(Write, fileName, error) || file.write(data) != data.size() || !file.flush()
        || file.error() != QFileDevice::NoError) {
        // The device often says only "Unknown error" for a full disk; the system knows better.
        if (error->isEmpty())
            *error = causeText(errno, file.errorString());
        file.cancelWriting();
        qCritical() << "SafeSave: write failed, fileName =" << fileName << ", error =" << *error;
        return false;
    }

    if (backup && previousExists) {
        if (injected(Backup, fileName, error) || !makeBackup(target, fileName + QStringLiteral(".bak"), false, error)) {
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
    errno = 0;
    if (!file.commit()) {
        *error = causeText(errno, file.errorString());
        qCritical() << "SafeSave: commit failed, fileName =" << fileName << ", error =" << *error;
        return false;
    }
    if (keepAttributes)
        restoreAttributes(target, previous);
    return true;
}

void SafeSave::setFaultHook(const FaultHook& hook)
{
    qDebug() << Q_FUNC_INFO << ", hook set =" << bool(hook);
    faultHook() = hook;
}
