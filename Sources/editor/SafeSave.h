#pragma once
// Writes a whole file so that the previous content survives any failure: the
// new bytes go to a temporary file in the target's own folder, are flushed and
// synced, the optional ".bak" copy is taken from the previous file, and the
// target is replaced by one rename. The file keeps its mode, owner and group,
// and a symbolic link stays a link while the file it points to is written. In a
// folder that takes no new files, a writable file is written in place instead
// (after its ".bak" copy, which then must be an existing, writable file).

#include <QByteArray>
#include <QCoreApplication>
#include <QString>

#include <functional>

class SafeSave
{
    Q_DECLARE_TR_FUNCTIONS(SafeSave)

public:
    enum Stage {
        OpenTemporary, // making the temporary file beside the target
        Write,         // writing the bytes into it
        Backup,        // taking the ".bak" copy of the previous file
        Replace,       // syncing and renaming over the target
    };

    // Writes data to fileName. With backup set and a previous file present,
    // "<fileName>.bak" holds the previous version afterwards. On failure the
    // target is untouched, false is returned and errorString says why.
    static bool write(const QString& fileName, const QByteArray& data, bool backup, QString* errorString = nullptr);

    // The cause of a failed system call in words for the user; fallback (the
    // device's own text) when the error number says nothing.
    static QString causeText(int errorNumber, const QString& fallback = QString());

    // The file that is really written: fileName with symbolic links followed.
    static QString resolvedTarget(const QString& fileName);

    // Test hook: called before each stage; returning true makes that stage fail
    // as the disk would. An empty function removes the hook.
    using FaultHook = std::function<bool(Stage stage, const QString& fileName)>;
    static void setFaultHook(const FaultHook& hook);
};
