#include "TextEncoding.h"

#include <QDebug>
#include <QHash>
#include <QReadWriteLock>
#include <QTextCodec>
#include <QVector>

#include <cstring>
#include <initializer_list>
#include <utility>

namespace {

inline bool allAscii8(const unsigned char* p)
{
    quint64 word;
    std::memcpy(&word, p, sizeof word);
    return (word & Q_UINT64_C(0x8080808080808080)) == 0;
}

inline bool inRange(unsigned char c, unsigned char low, unsigned char high)
{
    return c >= low && c <= high;
}

// Steps over eight ASCII bytes at once, or over one; false, without moving,
// when the byte at p is not ASCII.
inline bool skipAscii(const unsigned char*& p, const unsigned char* end)
{
    if (end - p >= 8 && allAscii8(p)) {
        p += 8;
        return true;
    }
    if (*p < 0x80) {
        ++p;
        return true;
    }
    return false;
}

// Linear index of a GB18030 four-byte code (bytes already checked for shape).
inline quint32 gb18030Linear(const unsigned char* p)
{
    return ((quint32(p[0] - 0x81) * 10 + quint32(p[1] - 0x30)) * 126 + quint32(p[2] - 0x81)) * 10
        + quint32(p[3] - 0x30);
}

// Four-byte codes map U+0080..U+FFFF (linear 0..39419) and U+10000..U+10FFFF
// (linear 189000..1237575); everything else decodes to U+FFFD.
inline bool gb18030LinearAssigned(quint32 linear)
{
    return linear <= 39419u || (linear >= 189000u && linear <= 1237575u);
}

// Two-byte DBCS structure shared by GBK and Big5-like encodings; lead bytes lie
// in [firstLead, lastLead].
bool isValidDoubleByte(const char* data, qint64 size, bool allowFourByte, bool big5Trail,
                       unsigned char firstLead = 0x81, unsigned char lastLead = 0xFE)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    while (p < end) {
        if (skipAscii(p, end))
            continue;
        const unsigned char c = *p;
        if (!inRange(c, firstLead, lastLead))
            return false;
        if (end - p < 2)
            return false;
        const unsigned char t = p[1];
        if (allowFourByte && inRange(t, 0x30, 0x39)) {
            if (end - p < 4 || !inRange(p[2], 0x81, 0xFE) || !inRange(p[3], 0x30, 0x39))
                return false;
            if (!gb18030LinearAssigned(gb18030Linear(p)))
                return false;
            p += 4;
            continue;
        }
        const bool trailOk = big5Trail ? (inRange(t, 0x40, 0x7E) || inRange(t, 0xA1, 0xFE))
                                       : (inRange(t, 0x40, 0x7E) || inRange(t, 0x80, 0xFE));
        if (!trailOk)
            return false;
        p += 2;
    }
    return true;
}

QString canonicalName(const QString& name)
{
    return name.trimmed().toUpper().remove(QLatin1Char('_'));
}

// GB18030 through tables taken once from the system codec: decoding checks
// every sequence in the same pass (the codec itself reports nothing and drops a
// truncated last sequence), and both directions run without per-call overhead.
struct Gb18030Tables
{
    bool usable = false;
    QVector<ushort> twoByte;  // (lead - 0x81) * 191 + (trail - 0x40); 0xFFFD where unmapped
    QVector<ushort> fourByte; // linear index 0..39419 of the BMP four-byte codes
    QVector<quint32> encode;  // per BMP code unit: 0 none, <= 0xFFFF two bytes, else four bytes
};

// Writes the four-byte GB18030 code with linear index `linear` (0 is
// 81 30 81 30) at o and moves o past it.
inline void putFourByteCode(char*& o, quint32 linear)
{
    o[3] = char(0x30 + linear % 10);
    linear /= 10;
    o[2] = char(0x81 + linear % 126);
    linear /= 126;
    o[1] = char(0x30 + linear % 10);
    o[0] = char(0x81 + linear / 10);
    o += 4;
}

const Gb18030Tables& gb18030Tables()
{
    static const Gb18030Tables tables = [] {
        Gb18030Tables t;
        QTextCodec* codec = QTextCodec::codecForName("GB18030");
        if (!codec)
            return t;
        // Two-byte codes, all in one call: each yields exactly one UTF-16 unit.
        QByteArray pairs;
        pairs.reserve(126 * 190 * 2);
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail)
                if (trail != 0x7F)
                    pairs.append(char(lead)).append(char(trail));
        const QString two = codec->toUnicode(pairs);
        if (two.size() != pairs.size() / 2)
            return t;
        t.twoByte.fill(0xFFFD, 126 * 191);
        int k = 0;
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail)
                if (trail != 0x7F)
                    t.twoByte[(lead - 0x81) * 191 + (trail - 0x40)] = two.at(k++).unicode();
        // Four-byte codes of the BMP.
        QByteArray quads(39420 * 4, Qt::Uninitialized);
        char* q = quads.data();
        for (quint32 linear = 0; linear <= 39419; ++linear)
            putFourByteCode(q, linear);
        const QString four = codec->toUnicode(quads);
        if (four.size() != 39420)
            return t;
        t.fourByte.resize(39420);
        for (int i = 0; i < 39420; ++i)
            t.fourByte[i] = four.at(i).unicode();
        // Encoding of every BMP character, parsed back by the code structure.
        QString all;
        all.reserve(0x10000);
        for (uint u = 0x80; u <= 0xFFFF; ++u)
            if (u < 0xD800 || u > 0xDFFF)
                all.append(QChar(ushort(u)));
        const QByteArray encoded = codec->fromUnicode(all);
        t.encode.fill(0, 0x10000);
        const auto* p = reinterpret_cast<const unsigned char*>(encoded.constData());
        const unsigned char* end = p + encoded.size();
        for (const QChar c : all) {
            if (p >= end)
                return t;
            if (p[0] < 0x80) {
                ++p; // substituted: not encodable
            } else if (end - p >= 4 && inRange(p[1], 0x30, 0x39)) {
                t.encode[c.unicode()] = (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | p[3];
                p += 4;
            } else if (end - p >= 2) {
                t.encode[c.unicode()] = (quint32(p[0]) << 8) | p[1];
                p += 2;
            } else {
                return t;
            }
        }
        t.usable = p == end;
        return t;
    }();
    return tables;
}

QString decodeGb18030(const char* data, qint64 size, bool* lossless)
{
    const Gb18030Tables& t = gb18030Tables();
    QString out(int(size), Qt::Uninitialized); // never more units than bytes
    QChar* o = out.data();
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    bool valid = true;
    const ushort* twoByte = t.twoByte.constData();
    const ushort* fourByte = t.fourByte.constData();
    while (p < end) {
        if (end - p >= 8 && allAscii8(p)) {
            for (int i = 0; i < 8; ++i)
                *o++ = QChar(ushort(p[i]));
            p += 8;
            continue;
        }
        const unsigned char c = *p;
        if (c < 0x80) {
            *o++ = QChar(ushort(c));
            ++p;
            continue;
        }
        if (c == 0x80 || c == 0xFF || end - p < 2) {
            *o++ = QChar(QChar::ReplacementCharacter);
            valid = false;
            ++p;
            continue;
        }
        const unsigned char trail = p[1];
        if (inRange(trail, 0x30, 0x39)) {
            if (end - p < 4 || !inRange(p[2], 0x81, 0xFE) || !inRange(p[3], 0x30, 0x39)) {
                *o++ = QChar(QChar::ReplacementCharacter);
                valid = false;
                ++p;
                continue;
            }
            const quint32 linear = gb18030Linear(p);
            if (linear <= 39419u) {
                *o++ = QChar(fourByte[linear]);
            } else if (linear >= 189000u && linear <= 1237575u) {
                const uint cp = linear - 189000u + 0x10000u;
                *o++ = QChar(QChar::highSurrogate(cp));
                *o++ = QChar(QChar::lowSurrogate(cp));
            } else {
                *o++ = QChar(QChar::ReplacementCharacter);
                valid = false;
            }
            p += 4;
            continue;
        }
        if (inRange(trail, 0x40, 0x7E) || inRange(trail, 0x80, 0xFE)) {
            const ushort u = twoByte[(c - 0x81) * 191 + (trail - 0x40)];
            *o++ = QChar(u);
            p += 2;
            continue;
        }
        *o++ = QChar(QChar::ReplacementCharacter);
        valid = false;
        ++p;
    }
    out.truncate(int(o - out.constData()));
    if (lossless)
        *lossless = valid;
    return out;
}

// A paragraph end of a document's raw text: the paragraph separator, and the
// marks QTextDocument puts at frame boundaries.
inline bool isDocumentParagraphEnd(ushort u)
{
    return u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1;
}

// With documentText set, paragraph ends become CR LF and a lone surrogate stops
// the encoding: *unencodable gets its index and the result is empty.
QByteArray encodeGb18030(const QChar* data, int size, bool documentText = false, int* unencodable = nullptr)
{
    const quint32* table = gb18030Tables().encode.constData();
    QByteArray out;
    out.resize(size * 2 + 16);
    char* o = out.data();
    char* limit = out.data() + out.size() - 4;
    for (int i = 0; i < size; ++i) {
        if (o > limit) {
            const qptrdiff used = o - out.data();
            out.resize(out.size() + out.size() / 2 + 16);
            o = out.data() + used;
            limit = out.data() + out.size() - 4;
        }
        const ushort u = data[i].unicode();
        if (u < 0x80) {
            *o++ = char(u);
            continue;
        }
        if (documentText && isDocumentParagraphEnd(u)) {
            *o++ = '\r';
            *o++ = '\n';
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < size && data[i + 1].isLowSurrogate()) {
            putFourByteCode(o, QChar::surrogateToUcs4(u, data[i + 1].unicode()) - 0x10000u + 189000u);
            ++i;
            continue;
        }
        const quint32 code = table[u];
        if (code == 0 && documentText) {
            if (unencodable)
                *unencodable = i;
            return QByteArray();
        }
        if (code == 0) {
            *o++ = '?'; // lone surrogate; canEncode() reports these before a save
        } else if (code <= 0xFFFF) {
            *o++ = char(code >> 8);
            *o++ = char(code & 0xFF);
        } else {
            *o++ = char(code >> 24);
            *o++ = char((code >> 16) & 0xFF);
            *o++ = char((code >> 8) & 0xFF);
            *o++ = char(code & 0xFF);
        }
    }
    out.truncate(int(o - out.constData()));
    return out;
}

bool isGb18030Codec(QTextCodec* codec)
{
    return codec && codec->name().toUpper() == "GB18030" && gb18030Tables().usable;
}

// UTF-8 of a document's raw text, paragraph ends as CR LF; a lone surrogate
// stops it as in encodeGb18030.
QByteArray encodeUtf8DocumentText(const QChar* data, int size, int* unencodable)
{
    QByteArray out;
    out.resize(size * 3 + 16);
    char* o = out.data();
    for (int i = 0; i < size; ++i) {
        const ushort u = data[i].unicode();
        if (u < 0x80) {
            *o++ = char(u);
        } else if (u < 0x800) {
            *o++ = char(0xC0 | (u >> 6));
            *o++ = char(0x80 | (u & 0x3F));
        } else if (QChar::isSurrogate(u)) {
            if (!QChar::isHighSurrogate(u) || i + 1 >= size || !data[i + 1].isLowSurrogate()) {
                if (unencodable)
                    *unencodable = i;
                return QByteArray();
            }
            const uint cp = QChar::surrogateToUcs4(u, data[++i].unicode());
            *o++ = char(0xF0 | (cp >> 18));
            *o++ = char(0x80 | ((cp >> 12) & 0x3F));
            *o++ = char(0x80 | ((cp >> 6) & 0x3F));
            *o++ = char(0x80 | (cp & 0x3F));
        } else if (isDocumentParagraphEnd(u)) {
            *o++ = '\r';
            *o++ = '\n';
        } else {
            *o++ = char(0xE0 | (u >> 12));
            *o++ = char(0x80 | ((u >> 6) & 0x3F));
            *o++ = char(0x80 | (u & 0x3F));
        }
    }
    out.truncate(int(o - out.constData()));
    return out;
}

// A set of BMP characters, one bit each.
class CharacterSet
{
public:
    CharacterSet() : m_bits(0x10000 / 64, 0) {}
    void add(ushort u) { m_bits[u >> 6] |= quint64(1) << (u & 63); }
    bool contains(ushort u) const { return (m_bits.at(u >> 6) >> (u & 63)) & 1; }

private:
    QVector<quint64> m_bits;
};

// The characters a codec gives for every pair [firstLead..lastLead] x trails
// (the trails in the given ranges), left out the pairs from skipFrom on.
void addPairs(CharacterSet* set, const char* codecName, int firstLead, int lastLead,
              std::initializer_list<std::pair<int, int>> trails, int skipFrom = 0x10000)
{
    QTextCodec* codec = QTextCodec::codecForName(codecName);
    if (!codec)
        return;
    QByteArray pairs;
    for (int lead = firstLead; lead <= lastLead; ++lead)
        for (const auto& range : trails)
            for (int trail = range.first; trail <= range.second; ++trail)
                if ((lead << 8 | trail) < skipFrom)
                    pairs.append(char(lead)).append(char(trail));
    const QString text = codec->toUnicode(pairs);
    for (const QChar c : text)
        if (c.unicode() >= 0x3400 && c.unicode() != QChar::ReplacementCharacter && !c.isSurrogate())
            set->add(c.unicode());
}

// GB2312 level 1: the 3,755 common characters of simplified Chinese.
const CharacterSet& simplifiedCommon()
{
    static const CharacterSet set = [] {
        CharacterSet s;
        addPairs(&s, "GB18030", 0xB0, 0xD7, {{0xA1, 0xFE}}, 0xD7FA);
        return s;
    }();
    return set;
}

// Big5 level 1: the 5,401 frequently used characters of traditional Chinese.
const CharacterSet& traditionalCommon()
{
    static const CharacterSet set = [] {
        CharacterSet s;
        addPairs(&s, "Big5", 0xA4, 0xC6, {{0x40, 0x7E}, {0xA1, 0xFE}}, 0xC6A1);
        return s;
    }();
    return set;
}

// Punctuation and signs of Chinese text: CJK symbols and punctuation, full-width
// and small and vertical forms, dashes, quotes and ellipses, middle dot,
// multiplication and division signs, numbered and circled numbers, degrees.
bool isCjkPunctuation(ushort u)
{
    return (u >= 0x3000 && u <= 0x303F) || (u >= 0xFF01 && u <= 0xFF65) || (u >= 0xFE30 && u <= 0xFE6F)
        || (u >= 0x2010 && u <= 0x203B) || u == 0x00B7 || u == 0x00D7 || u == 0x00F7 || u == 0x2103
        || u == 0x2116 || (u >= 0x2160 && u <= 0x217F) || (u >= 0x2460 && u <= 0x249B);
}

enum class Script { Simplified, Traditional, Either };

Script scriptOf(const QString& name)
{
    const QString n = canonicalName(name);
    if (n.startsWith(QLatin1String("GB")))
        return Script::Simplified;
    if (n.startsWith(QLatin1String("BIG5")))
        return Script::Traditional;
    return Script::Either;
}

// The sample the guess scores: from the first non-ASCII byte at `from` up to
// about 16 KiB (thousands of characters: plenty to tell the candidates apart),
// ending just after a byte below 0x30. No multi-byte sequence of
// the candidates holds such a byte (UTF-8 continues with 80..BF, GB18030 with
// 30..39 and 40..FE, Big5 with 40..FE), so the cut splits no character.
QByteArray scoringSample(const QByteArray& data, int from)
{
    const int window = 16 * 1024;
    int end = data.size();
    if (end - from > window) {
        const char* d = data.constData();
        int cut = -1;
        for (int i = from + window - 1; i > from && cut < 0; --i)
            if (uchar(d[i]) < 0x30)
                cut = i + 1;
        // A whole window without a break: look on for the first one.
        for (int i = from + window; i < end && cut < 0; ++i)
            if (uchar(d[i]) < 0x30)
                cut = i + 1;
        if (cut > 0)
            end = cut;
    }
    return QByteArray::fromRawData(data.constData() + from, end - from);
}

int firstNonAscii(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    const unsigned char* begin = p;
    const unsigned char* end = p + data.size();
    while (p < end) {
        if (skipAscii(p, end))
            continue;
        return int(p - begin);
    }
    return -1;
}

} // namespace

QTextCodec* TextEncoding::codec(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    if (name.trimmed().isEmpty())
        return nullptr;
    // Looking a codec up by name compares it with every alias the system knows;
    // the guess asks for a few names per file searched. Codecs live as long as the program.
    static QReadWriteLock lock;
    static QHash<QString, QTextCodec*> known;
    {
        QReadLocker reading(&lock);
        const auto it = known.constFind(name);
        if (it != known.constEnd())
            return it.value();
    }
    QTextCodec* found = QTextCodec::codecForName(name.trimmed().toLatin1());
    QWriteLocker writing(&lock);
    known.insert(name, found);
    return found;
}

bool TextEncoding::isKnown(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    return codec(name) != nullptr;
}

bool TextEncoding::isUtf8(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    const QString n = canonicalName(name);
    return n == QLatin1String("UTF-8") || n == QLatin1String("UTF8");
}

bool TextEncoding::isUtf16(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    const QString n = canonicalName(name).remove(QLatin1Char('-'));
    return n == QLatin1String("UTF16") || n == QLatin1String("UTF16LE") || n == QLatin1String("UTF16BE");
}

bool TextEncoding::hasUtf8Bom(const QByteArray& data)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    return data.startsWith("\xEF\xBB\xBF");
}

QString TextEncoding::bomEncoding(const QByteArray& data, int* bomLength)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    int length = 0;
    QString name;
    if (data.startsWith("\xEF\xBB\xBF")) {
        name = QStringLiteral("UTF-8");
        length = 3;
    } else if (data.startsWith("\xFF\xFE")) {
        name = QStringLiteral("UTF-16LE");
        length = 2;
    } else if (data.startsWith("\xFE\xFF")) {
        name = QStringLiteral("UTF-16BE");
        length = 2;
    }
    if (bomLength)
        *bomLength = length;
    return name;
}

QByteArray TextEncoding::byteOrderMark(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    if (isUtf8(name))
        return QByteArray("\xEF\xBB\xBF");
    const QString n = canonicalName(name).remove(QLatin1Char('-'));
    if (n == QLatin1String("UTF16BE"))
        return QByteArray("\xFE\xFF");
    if (n == QLatin1String("UTF16LE") || n == QLatin1String("UTF16"))
        return QByteArray("\xFF\xFE");
    return QByteArray();
}

int TextEncoding::bomLengthFor(const QByteArray& data, const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size() << ", name =" << name;
    if (isUtf16(name) && canonicalName(name).remove(QLatin1Char('-')) == QLatin1String("UTF16")) {
        // Plain "UTF-16" takes either mark.
        int length = 0;
        const QString found = bomEncoding(data, &length);
        return isUtf16(found) ? length : 0;
    }
    const QByteArray mark = byteOrderMark(name);
    return !mark.isEmpty() && data.startsWith(mark) ? mark.size() : 0;
}

bool TextEncoding::isValidUtf8(const char* data, qint64 size, bool* hasNonAscii)
{
    qDebug() << Q_FUNC_INFO << ", size =" << size;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    bool nonAscii = false;
    while (p < end) {
        if (skipAscii(p, end))
            continue;
        const unsigned char c = *p;
        nonAscii = true;
        qint64 need;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (inRange(c, 0xC2, 0xDF)) {
            need = 1;
        } else if (c == 0xE0) {
            need = 2;
            low = 0xA0; // no overlong forms
        } else if (inRange(c, 0xE1, 0xEC) || c == 0xEE || c == 0xEF) {
            need = 2;
        } else if (c == 0xED) {
            need = 2;
            high = 0x9F; // no surrogates
        } else if (c == 0xF0) {
            need = 3;
            low = 0x90;
        } else if (inRange(c, 0xF1, 0xF3)) {
            need = 3;
        } else if (c == 0xF4) {
            need = 3;
            high = 0x8F; // nothing above U+10FFFF
        } else {
            return false;
        }
        if (end - p <= need)
            return false;
        if (!inRange(p[1], low, high))
            return false;
        for (qint64 i = 2; i <= need; ++i)
            if (!inRange(p[i], 0x80, 0xBF))
                return false;
        p += need + 1;
    }
    if (hasNonAscii)
        *hasNonAscii = nonAscii;
    return true;
}

bool TextEncoding::isValidUtf8(const QByteArray& data, bool* hasNonAscii)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    return isValidUtf8(data.constData(), data.size(), hasNonAscii);
}

bool TextEncoding::isValidGb18030(const char* data, qint64 size)
{
    qDebug() << Q_FUNC_INFO << ", size =" << size;
    return isValidDoubleByte(data, size, true, false);
}

bool TextEncoding::isValidGbk(const char* data, qint64 size)
{
    qDebug() << Q_FUNC_INFO << ", size =" << size;
    return isValidDoubleByte(data, size, false, false);
}

bool TextEncoding::isValidBig5(const char* data, qint64 size)
{
    qDebug() << Q_FUNC_INFO << ", size =" << size;
    return isValidDoubleByte(data, size, false, true);
}

bool TextEncoding::isValidUtf16WithBom(const QByteArray& data)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    int bom = 0;
    const QString name = bomEncoding(data, &bom);
    if (!isUtf16(name) || (data.size() - bom) % 2 != 0)
        return false;
    const bool little = name == QLatin1String("UTF-16LE");
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData()) + bom;
    const qint64 units = (data.size() - bom) / 2;
    for (qint64 i = 0; i < units; ++i) {
        const quint16 u = little ? quint16(p[2 * i] | (p[2 * i + 1] << 8)) : quint16((p[2 * i] << 8) | p[2 * i + 1]);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= units)
                return false;
            ++i;
            const quint16 v = little ? quint16(p[2 * i] | (p[2 * i + 1] << 8)) : quint16((p[2 * i] << 8) | p[2 * i + 1]);
            if (v < 0xDC00 || v > 0xDFFF)
                return false;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return false;
        }
    }
    return true;
}

bool TextEncoding::isValid(const QByteArray& data, const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size() << ", name =" << name;
    QTextCodec* c = codec(name);
    if (!c)
        return false;
    if (isUtf16(name))
        return isValidUtf16WithBom(data);
    const int skip = bomLengthFor(data, name);
    const char* bytes = data.constData() + skip;
    const qint64 size = data.size() - skip;
    const QByteArray resolved = c->name().toUpper();
    if (resolved == "UTF-8")
        return isValidUtf8(bytes, size);
    if (resolved == "GB18030")
        return isValidGb18030(bytes, size);
    if (resolved == "GBK" || resolved == "GB2312")
        return isValidGbk(bytes, size);
    // Big5 proper has its lead bytes in A1..F9; Big5-HKSCS adds 81..A0 and FA..FE.
    if (resolved == "BIG5")
        return isValidDoubleByte(bytes, size, false, true, 0xA1, 0xF9);
    if (resolved.startsWith("BIG5"))
        return isValidBig5(bytes, size);
    // Other codecs are trusted to report what they cannot read.
    QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
    c->toUnicode(bytes, int(qMin<qint64>(size, INT_MAX)), &state);
    return state.invalidChars == 0;
}

int TextEncoding::firstUnencodable(const QString& text, const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size() << ", name =" << name;
    QTextCodec* c = codec(name);
    if (!c)
        return text.isEmpty() ? -1 : 0;
    const QChar* data = text.constData();
    const int size = text.size();
    const QByteArray resolved = c->name().toUpper();
    const bool unicode = resolved == "UTF-8" || resolved.startsWith("UTF-16") || resolved == "GB18030";
    if (unicode) {
        // These hold every character; only a lone surrogate cannot be written.
        for (int i = 0; i < size; ++i) {
            const ushort u = data[i].unicode();
            if (u < 0xD800 || u > 0xDFFF)
                continue;
            if (u <= 0xDBFF && i + 1 < size && data[i + 1].isLowSurrogate()) {
                ++i;
                continue;
            }
            return i;
        }
        return -1;
    }
    if (c->canEncode(text))
        return -1;
    // Narrow down in chunks, then character by character (surrogate pairs kept whole).
    const int chunk = 4096;
    int start = 0;
    while (start < size) {
        int length = qMin(chunk, size - start);
        if (start + length < size && data[start + length - 1].isHighSurrogate())
            ++length;
        if (!c->canEncode(QString::fromRawData(data + start, length))) {
            for (int i = start; i < start + length; ++i) {
                const int n = (data[i].isHighSurrogate() && i + 1 < size && data[i + 1].isLowSurrogate()) ? 2 : 1;
                if (!c->canEncode(QString::fromRawData(data + i, n)))
                    return i;
                i += n - 1;
            }
        }
        start += length;
    }
    // The whole failed though no piece did: report the start rather than pass it.
    return 0;
}

bool TextEncoding::canEncode(const QString& text, const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size() << ", name =" << name;
    return firstUnencodable(text, name) < 0;
}

TextEncoding::Plausibility TextEncoding::plausibility(const QString& text, const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size() << ", name =" << name;
    const Script script = scriptOf(name);
    const CharacterSet& simplified = simplifiedCommon();
    const CharacterSet& traditional = traditionalCommon();
    Plausibility result;
    result.total = text.size();
    for (const QChar c : text) {
        const ushort u = c.unicode();
        bool good = u < 0x80 || isCjkPunctuation(u);
        if (!good && u >= 0x3400 && u < 0xA000) {
            if (script != Script::Traditional)
                good = simplified.contains(u);
            if (!good && script != Script::Simplified)
                good = traditional.contains(u);
        }
        if (good)
            ++result.plausible;
    }
    return result;
}

QStringList TextEncoding::candidateEncodings()
{
    qDebug() << Q_FUNC_INFO;
    return {defaultEncoding(), QStringLiteral("UTF-8"), QStringLiteral("Big5"), QStringLiteral("Big5-HKSCS")};
}

QString TextEncoding::guess(const QByteArray& data, const QStringList& candidates)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size() << ", candidates =" << candidates;
    if (candidates.isEmpty())
        return defaultEncoding();
    const int from = firstNonAscii(data);
    if (from < 0)
        return candidates.first();
    const QByteArray sample = scoringSample(data, from);
    // Strict validity is cheap to tell; only when several candidates (or none) are
    // valid do their decodings have to be read.
    QStringList usable;
    QVector<bool> validity;
    int validCount = 0;
    for (const QString& name : candidates) {
        if (!codec(name))
            continue;
        usable << name;
        validity << isValid(sample, name);
        validCount += validity.last() ? 1 : 0;
    }
    if (validCount == 1)
        return usable.at(validity.indexOf(true));
    QString best;
    Plausibility bestScore;
    bool bestValid = false;
    for (int k = 0; k < usable.size(); ++k) {
        const QString& name = usable.at(k);
        const bool valid = validity.at(k);
        if (validCount > 0 && !valid)
            continue;
        const QString text = decode(sample, name, 0);
        Plausibility score = plausibility(text, name);
        // Some codecs drop a broken sequence without a trace: it counts against them.
        if (!valid)
            ++score.total;
        qDebug() << "candidate =" << name << ", valid =" << valid << ", plausible =" << score.plausible
                 << "of" << score.total;
        // Strictly valid decodings come first; among them (or among the invalid
        // ones when none is valid) the larger plausible share wins.
        if (best.isEmpty() || (valid && !bestValid) || (valid == bestValid && score.betterThan(bestScore))) {
            best = name;
            bestScore = score;
            bestValid = valid;
        }
    }
    return best.isEmpty() ? candidates.first() : best;
}

TextEncoding::Detection TextEncoding::detect(const QByteArray& data)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    Detection result;
    int bom = 0;
    const QString marked = bomEncoding(data, &bom);
    if (isUtf8(marked)) {
        result.encoding = marked;
        result.bomLength = bom;
        return result;
    }
    if (isUtf16(marked) && isValidUtf16WithBom(data)) {
        result.encoding = marked;
        result.bomLength = bom;
        return result;
    }
    result.encoding = guess(data);
    return result;
}

QString TextEncoding::decode(const QByteArray& data, const QString& name, int skip, bool* lossless)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size() << ", name =" << name << ", skip =" << skip;
    QTextCodec* c = codec(name);
    if (!c) {
        if (lossless)
            *lossless = false;
        return QString();
    }
    skip = qBound(0, skip, data.size());
    const char* bytes = data.constData() + skip;
    const int size = data.size() - skip;
    QString text;
    if (isGb18030Codec(c)) {
        text = decodeGb18030(bytes, size, lossless);
    } else {
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        text = c->toUnicode(bytes, size, &state);
        if (lossless) {
            if (c->name().toUpper() == "UTF-8")
                *lossless = state.invalidChars == 0 && state.remainingChars == 0;
            else
                *lossless = isValid(data, name);
        }
    }
    if (text.isNull())
        text = QLatin1String("");
    return text;
}

QString TextEncoding::detectAndDecode(const QByteArray& data, Detection* detection, bool* lossless)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    // The guess looks at a sample only, so the whole file is read once, by the decoder.
    const Detection found = detect(data);
    if (detection)
        *detection = found;
    return decode(data, found.encoding, found.bomLength, lossless);
}

QByteArray TextEncoding::encode(const QString& text, const QString& name, bool withBom)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size() << ", name =" << name << ", withBom =" << withBom;
    QTextCodec* c = codec(name);
    if (!c)
        return QByteArray();
    QByteArray bytes;
    if (withBom)
        bytes = byteOrderMark(name);
    QByteArray body;
    if (isGb18030Codec(c)) {
        body = encodeGb18030(text.constData(), text.size());
    } else {
        QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
        body = c->fromUnicode(text.constData(), text.size(), &state);
    }
    if (bytes.isEmpty())
        return body;
    return bytes + body;
}

QString TextEncoding::plainTextWithCrLf(const QString& raw)
{
    qDebug() << Q_FUNC_INFO << ", raw.size() =" << raw.size();
    QString text;
    text.reserve(raw.size() + raw.size() / 32 + 16);
    const QChar* data = raw.constData();
    const int size = raw.size();
    int runStart = 0;
    for (int i = 0; i < size; ++i) {
        if (isDocumentParagraphEnd(data[i].unicode())) {
            text.append(data + runStart, i - runStart);
            text.append(QLatin1String("\r\n"));
            runStart = i + 1;
        }
    }
    text.append(data + runStart, size - runStart);
    return text;
}

QByteArray TextEncoding::encodeDocumentText(const QString& raw, const QString& name, bool withBom, int* unencodable)
{
    qDebug() << Q_FUNC_INFO << ", raw.size() =" << raw.size() << ", name =" << name << ", withBom =" << withBom;
    int bad = -1;
    QByteArray body;
    QTextCodec* c = codec(name);
    if (!c) {
        bad = raw.isEmpty() ? -1 : 0;
    } else if (isGb18030Codec(c)) {
        body = encodeGb18030(raw.constData(), raw.size(), true, &bad);
    } else if (c->name().toUpper() == "UTF-8") {
        body = encodeUtf8DocumentText(raw.constData(), raw.size(), &bad);
    } else {
        // Other encodings take the text with its line ends built first.
        const QString text = plainTextWithCrLf(raw);
        const int index = firstUnencodable(text, name);
        if (index < 0) {
            if (unencodable)
                *unencodable = -1;
            return encode(text, name, withBom);
        }
        // The same character in raw: each paragraph end before it took two places.
        bad = index;
        for (int i = 0, j = 0; i < raw.size() && j < index; ++i, ++j) {
            if (isDocumentParagraphEnd(raw.at(i).unicode())) {
                ++j;
                --bad;
            }
        }
    }
    if (unencodable)
        *unencodable = bad;
    if (bad >= 0)
        return QByteArray();
    const QByteArray mark = withBom ? byteOrderMark(name) : QByteArray();
    return mark.isEmpty() ? body : mark + body;
}

QString TextEncoding::normalizeLineEnds(QString text)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size();
    const int first = text.indexOf(QLatin1Char('\r'));
    if (first < 0)
        return text;
    QChar* data = text.data();
    const int size = text.size();
    int out = first;
    for (int in = first; in < size; ++in) {
        const QChar c = data[in];
        if (c == QLatin1Char('\r')) {
            data[out++] = QLatin1Char('\n');
            if (in + 1 < size && data[in + 1] == QLatin1Char('\n'))
                ++in;
        } else {
            data[out++] = c;
        }
    }
    text.truncate(out);
    return text;
}

QString TextEncoding::logEncoding()
{
    qDebug() << Q_FUNC_INFO;
    return QStringLiteral("UTF-8");
}

QString TextEncoding::defaultEncoding()
{
    qDebug() << Q_FUNC_INFO;
    return QStringLiteral("GB18030");
}
