#include "DocumentTextEncoder.h"

#include <QTextCodec>

#include "Gb18030Codec.h"
#include "TextEncoding.h"

QString DocumentTextEncoder::plainTextWithCrLf(const QString& raw)
{
    QString text;
    text.reserve(raw.size() + raw.size() / 32 + 16);
    const QChar* data = raw.constData();
    const int size = raw.size();
    int runStart = 0;
    for (int i = 0; i < size; ++i) {
        if (isParagraphEnd(data[i].unicode())) {
            text.append(data + runStart, i - runStart);
            text.append(QLatin1String("\r\n"));
            runStart = i + 1;
        }
    }
    text.append(data + runStart, size - runStart);
    return text;
}

QByteArray DocumentTextEncoder::encode(const QString& raw, const QString& name, bool withBom, int* unencodable)
{
    int bad = -1;
    QByteArray body;
    QTextCodec* c = TextEncoding::codec(name);
    if (!c) {
        bad = raw.isEmpty() ? -1 : 0;
    } else if (Gb18030Codec::handles(c)) {
        body = Gb18030Codec::encode(raw.constData(), raw.size(), true, &bad);
    } else if (c->name().toUpper() == "UTF-8") {
        body = encodeUtf8(raw.constData(), raw.size(), &bad);
    } else {
        // Other encodings take the text with its line ends built first.
        const QString text = plainTextWithCrLf(raw);
        const int index = TextEncoding::firstUnencodable(text, name);
        if (index < 0) {
            if (unencodable)
                *unencodable = -1;
            return TextEncoding::encode(text, name, withBom);
        }
        // The same character in raw: each paragraph end before it took two places.
        bad = index;
        for (int i = 0, j = 0; i < raw.size() && j < index; ++i, ++j) {
            if (isParagraphEnd(raw.at(i).unicode())) {
                ++j;
                --bad;
            }
        }
    }
    if (unencodable)
        *unencodable = bad;
    if (bad >= 0)
        return QByteArray();
    const QByteArray mark = withBom ? TextEncoding::byteOrderMark(name) : QByteArray();
    return mark.isEmpty() ? body : mark + body;
}

QByteArray DocumentTextEncoder::encodeUtf8(const QChar* data, int size, int* unencodable)
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
        } else if (isParagraphEnd(u)) {
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
