#pragma once
// The text a document shows for the bytes of a file: rich text (".tqd", HTML or
// a head that declares itself rich text), the coloured view of one of the
// program's own log files, or plain text in a detected or a chosen encoding.
// Only the bytes decide; the document then fills itself from the result.

#include <QByteArray>
#include <QString>

class DocumentDecoder
{
public:
    enum Kind { Plain, Rich, Log };

    struct Result
    {
        Kind kind = Plain;
        QString content;        // the text (Plain), or HTML (Rich and Log)
        QString encoding;       // the plain-text encoding read (Plain and Log)
        int bomLength = 0;      // bytes of the byte-order mark skipped (Plain)
        bool lossless = true;   // false when bytes did not fit the encoding
    };

    // enc forces an encoding (a known one: callers check), a null string detects it.
    static Result decode(const QString& fileName, const QByteArray& bytes, const QString& enc);
};
