#pragma once
// Reading a file whole and decoding it as the editor does, for the companion
// programs and the editor alike. A file that cannot be read whole (larger than
// its text can be held at once, or whose reading stops short) is refused and
// named, never taken for an empty one. The texts that say why a file was left
// out of a count live here, and only here.

#include <QByteArray>
#include <QString>

class QIODevice;

class TextFileReader
{
public:
    enum Outcome {
        Text,       // read whole and, for read(), decoded without loss
        Unreadable, // cannot be opened
        TooLarge,   // more than maxFileSize() bytes
        Incomplete, // the reading stopped short or failed
        Lossy,      // bytes that do not fit the detected encoding
    };

    struct Result
    {
        Outcome outcome = Unreadable;
        QString text; // only for Text
    };

    // The largest file read whole: the text of a file this size fits one string
    // whatever its encoding (a byte never decodes to more than one character).
    static qint64 maxFileSize();

    // All the bytes of an open device, or why not: Text, TooLarge or Incomplete.
    static Outcome readWhole(QIODevice& device, QByteArray* bytes, qint64 limit = maxFileSize());
    // The file read whole and decoded as the editor decodes it.
    static Result read(const QString& path, qint64 limit = maxFileSize());

    // What is wrong with the file, e.g. "无法无损解码" (empty for Text).
    static QString problem(Outcome outcome);
    // Why it was left out of a count, e.g. "无法无损解码，未计入".
    static QString leftOut(Outcome outcome);
    // The line naming a single file left out: "<why>: <path>".
    static QString leftOutLine(Outcome outcome, const QString& path);
    // The end of a folder's progress line for a file left out: " (<why>)".
    static QString leftOutSuffix(Outcome outcome);
};
