#pragma once
// The file behind an editor document: reading it in a detected or chosen
// encoding, reading it again when it changes on disk or the user picks another
// encoding, and writing it through SafeSave so that the previous file survives
// any failure. The editor shows the text; this class knows where it came from.

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QString>

#include "DocumentDecoder.h"

class MdiChild;
class QTextCursor;

class DocumentFile
{
    Q_DECLARE_TR_FUNCTIONS(MdiChild)

public:
    explicit DocumentFile(MdiChild* editor);
    ~DocumentFile();

    // Reads fileName; enc forces an encoding, a null string detects it. With
    // undoable set the text is replaced as one edit the user can undo. On
    // failure a box says why and the document is left as it was.
    bool load(const QString& fileName, const QString& enc, bool undoable);
    bool reloadWithEncoding(const QString& enc);
    void reloadFilePath(const QString& path);

    int save(bool askName);
    int saveAs();
    int saveFile(const QString& fileName, bool temp);
    bool maybeSave();

    QString recoveryFileName() const { return recoveryFile; }
    bool loadedLossily() const { return lossyLoad; }
    bool unchangedOnDisk() const;
    void watch(const QString& path, bool on) const;

private:
    bool fail(const QString& fileName, const QString& reason) const;
    // The whole file, or a null array after telling the user why not.
    bool readBytes(const QString& fileName, QByteArray* bytes, QDateTime* modified) const;
    void fillReplacingUndoably(DocumentDecoder::Result& decoded);
    void fillAfresh(DocumentDecoder::Result& decoded);
    void warnLossy(const QString& fileName, const QString& encoding) const;
    void stamp(const QString& fileName, const QByteArray& bytes, const QDateTime& modified);

    // The bytes to write for fileName, after asking for another encoding where
    // the text does not fit; false when the user cancelled.
    bool encodeForSave(const QString& fileName, QByteArray* bytes);
    // The character at index of text cannot be held by the encoding (none when
    // index is -1): asks for GB18030 or UTF-8 instead; false when cancelled.
    bool chooseEncodableEncoding(const QString& text, int index);
    // Asks before a lossily read file is written over; true to go on.
    bool confirmLossySave(const QString& fileName);
    int writeRecoveryFile();

    MdiChild* const m_editor;
    // Size, time and a hash of the file's bytes when it was last loaded or saved.
    struct Stamp
    {
        qint64 size = -1;
        QDateTime modified;
        size_t hash = 0;
    } fileStamp;
    bool lossyLoad = false;
    QString recoveryFile;
};
