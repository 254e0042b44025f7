#pragma once
// Text encodings of the documents, the one entry point for the rest of the
// program: codec lookup, byte-order marks, "can this text be written" checks,
// and decoding/encoding with explicit BOM handling. The work behind it is
// done by concern: strict validators (EncodingValidator), the table-driven
// GB18030 codec (Gb18030Codec), plain-text detection (EncodingDetector) and
// a document's text as file bytes (DocumentTextEncoder).
//
// Debian's ICU-backed codecs for GB18030, GBK and Big5 never report invalid
// input, so whether bytes really are in an encoding is decided by the
// validators, never by a codec's converter state.

#include <QByteArray>
#include <QString>
#include <QStringList>

class QTextCodec;

class TextEncoding
{
public:
    // Result of guessing the encoding of a plain-text file.
    struct Detection
    {
        QString encoding;  // a name codec() knows
        int bomLength = 0; // bytes of byte-order mark at the start (0 without one)
        bool hasBom() const { return bomLength > 0; }
    };

    // The codec of an encoding name, or null for an empty or unknown name.
    static QTextCodec* codec(const QString& name);
    // The name as names are compared: trimmed, in upper case, without underscores.
    static QString canonicalName(const QString& name);
    static bool isKnown(const QString& name);
    // UTF-8 and UTF-16 (either byte order) are "Unicode" here: every text fits.
    static bool isUtf8(const QString& name);
    static bool isUtf16(const QString& name);

    // Byte-order marks.
    static bool hasUtf8Bom(const QByteArray& data);
    // "UTF-8", "UTF-16LE" or "UTF-16BE" when data starts with that mark, else empty.
    static QString bomEncoding(const QByteArray& data, int* bomLength = nullptr);
    // The mark written for an encoding (UTF-8 and UTF-16 only), else empty.
    static QByteArray byteOrderMark(const QString& name);
    // Length of the mark of this encoding at the start of data (0 when absent).
    static int bomLengthFor(const QByteArray& data, const QString& name);

    // Strict validators. They look at structure only where the encoding's
    // tables are the codec's business (GB18030/GBK two-byte codes, Big5 pairs).
    static bool isValidUtf8(const char* data, qint64 size, bool* hasNonAscii = nullptr);
    static bool isValidUtf8(const QByteArray& data, bool* hasNonAscii = nullptr);
    static bool isValidGb18030(const char* data, qint64 size);
    static bool isValidGbk(const char* data, qint64 size);
    static bool isValidBig5(const char* data, qint64 size);
    // UTF-16 counts as valid only with its byte-order mark, an even length and
    // properly paired surrogates.
    static bool isValidUtf16WithBom(const QByteArray& data);
    // Dispatches on the name; bytes after a leading mark of that encoding are checked.
    // Unknown names are never valid.
    static bool isValid(const QByteArray& data, const QString& name);

    // Index of the first character the encoding cannot hold, or -1.
    static int firstUnencodable(const QString& text, const QString& name);
    static bool canEncode(const QString& text, const QString& name);

    // How plausible a decoding is as text of an encoding: of its characters,
    // those that are ASCII, common CJK punctuation or common characters of the
    // encoding's script (GB2312 level 1 for the GB encodings, Big5 level 1 for
    // the Big5 ones, either for the others) are plausible; U+FFFD, private-use
    // and rare characters are not.
    struct Plausibility
    {
        qint64 plausible = 0;
        qint64 total = 0;
        // A larger share of plausible characters (an empty text has no share).
        bool betterThan(const Plausibility& other) const { return plausible * other.total > other.plausible * total; }
    };
    static Plausibility plausibility(const QString& text, const QString& name);

    // The encodings a text without a byte-order mark may be in, in the order that
    // wins a tie: GB18030 (the default), UTF-8, Big5, Big5-HKSCS.
    static QStringList candidateEncodings();
    // The most plausible of the candidates for data without a byte-order mark,
    // judged on a sample from the first non-ASCII byte on (up to 16 KiB, cut
    // where no multi-byte sequence can continue): among the candidates the
    // sample is strictly valid in (or all of them, when it is valid in none),
    // the larger plausible share wins, a tie going to the earlier candidate.
    // Pure ASCII gives the first candidate.
    static QString guess(const QByteArray& data, const QStringList& candidates = candidateEncodings());

    // Plain text: a UTF-8 or UTF-16 mark decides; otherwise guess().
    static Detection detect(const QByteArray& data);

    // Decodes data from byte offset skip (normally the mark's length), without
    // the codec eating or adding any mark of its own. Null string for an unknown
    // name. lossless tells whether every byte was valid in the encoding (invalid
    // bytes become U+FFFD, and writing the text back cannot restore them).
    static QString decode(const QByteArray& data, const QString& name, int skip = 0, bool* lossless = nullptr);
    // detect() and decode() in one go, with as few passes over the data as possible.
    static QString detectAndDecode(const QByteArray& data, Detection* detection, bool* lossless = nullptr);
    // Encodes text, preceded by the encoding's mark when withBom is set and the
    // encoding has one. Empty for an unknown name.
    static QByteArray encode(const QString& text, const QString& name, bool withBom);

    // A document's raw text (QTextDocument::toRawText) as plain-text file text:
    // paragraph ends (and frame boundaries) become CR LF, everything else stays.
    static QString plainTextWithCrLf(const QString& raw);
    // The same text encoded, in one pass for GB18030 and UTF-8, preceded by the
    // mark when withBom is set and the encoding has one. When a character cannot
    // be held, *unencodable gets its index in raw and the result is empty;
    // otherwise *unencodable is -1.
    static QByteArray encodeDocumentText(const QString& raw, const QString& name, bool withBom, int* unencodable);

    // CR LF and lone CR become LF.
    static QString normalizeLineEnds(QString text);

    // The encoding the program's log files are written in, which the log view
    // reads them with (the local 8-bit code page of this platform).
    static QString logEncoding();

    // The default of plain text without a mark.
    static QString defaultEncoding();
};
