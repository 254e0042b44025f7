#pragma once
// A document's raw text (QTextDocument::toRawText) as the bytes of a
// plain-text file: paragraph ends (and frame boundaries) become CR LF,
// everything else stays, and a character the encoding cannot hold stops the
// encoding instead of turning into a question mark.

#include <QByteArray>
#include <QString>

class DocumentTextEncoder
{
public:
    // A paragraph end of a document's raw text: the paragraph separator, and
    // the marks QTextDocument puts at frame boundaries.
    static bool isParagraphEnd(ushort u) { return u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1; }

    // The raw text with its paragraph ends as CR LF.
    static QString plainTextWithCrLf(const QString& raw);
    // The raw text encoded, in one pass for GB18030 and UTF-8, preceded by the
    // mark when withBom is set and the encoding has one. When a character cannot
    // be held, *unencodable gets its index in raw and the result is empty;
    // otherwise *unencodable is -1.
    static QByteArray encode(const QString& raw, const QString& name, bool withBom, int* unencodable);

private:
    // UTF-8 of raw text, paragraph ends as CR LF; a lone surrogate stops it.
    static QByteArray encodeUtf8(const QChar* data, int size, int* unencodable);
};
