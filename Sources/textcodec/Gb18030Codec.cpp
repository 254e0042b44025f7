#include "Gb18030Codec.h"

#include <QTextCodec>
#include <QVector>

#include "ByteScan.h"
#include "DocumentTextEncoder.h"

using ByteScan::allAscii8;
using ByteScan::inRange;

namespace {

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

// Built on first use, once for the program.
const Gb18030Tables& tables()
{
    static const Gb18030Tables built = [] {
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
    return built;
}

} // namespace

bool Gb18030Codec::usable()
{
    return tables().usable;
}

bool Gb18030Codec::handles(QTextCodec* codec)
{
    return codec && codec->name().toUpper() == "GB18030" && usable();
}

QString Gb18030Codec::decode(const char* data, qint64 size, bool* lossless)
{
    const Gb18030Tables& t = tables();
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
            const quint32 linear = Gb18030Codec::linear(p);
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

QByteArray Gb18030Codec::encode(const QChar* data, int size, bool documentText, int* unencodable)
{
    const quint32* table = tables().encode.constData();
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
        if (documentText && DocumentTextEncoder::isParagraphEnd(u)) {
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
