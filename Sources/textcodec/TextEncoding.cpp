#include "TextEncoding.h"

#include <QDebug>
#include <QHash>
#include <QReadWriteLock>
#include <QTextCodec>

#include "DocumentTextEncoder.h"
#include "EncodingDetector.h"
#include "EncodingValidator.h"
#include "Gb18030Codec.h"

QString TextEncoding::canonicalName(const QString& name)
{
    return name.trimmed().toUpper().remove(QLatin1Char('_'));
}

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
    return EncodingValidator::isValidUtf8(data, size, hasNonAscii);
}

bool TextEncoding::isValidUtf8(const QByteArray& data, bool* hasNonAscii)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    return isValidUtf8(data.constData(), data.size(), hasNonAscii);
}

bool TextEncoding::isValidGb18030(const char* data, qint64 size)
{
    qDebug() << Q_FUNC_INFO << ", size =" << size;
    return EncodingValidator::isValidGb18030(data, size);
}

bool TextEncoding::isValidGbk(const char* data, qint64 size)
{
    qDebug() << Q_FUNC_INFO << ", size =" << size;
    return EncodingValidator::isValidGbk(data, size);
}

bool TextEncoding::isValidBig5(const char* data, qint64 size)
{
    qDebug() << Q_FUNC_INFO << ", size =" << size;
    return EncodingValidator::isValidBig5(data, size);
}

bool TextEncoding::isValidUtf16WithBom(const QByteArray& data)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    int bom = 0;
    const QString name = bomEncoding(data, &bom);
    if (!isUtf16(name))
        return false;
    return EncodingValidator::isValidUtf16(data.constData() + bom, data.size() - bom,
                                           name == QLatin1String("UTF-16LE"));
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
        return EncodingValidator::isValidBig5Proper(bytes, size);
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
    return EncodingDetector::plausibility(text, name);
}

QStringList TextEncoding::candidateEncodings()
{
    qDebug() << Q_FUNC_INFO;
    return EncodingDetector::candidateEncodings();
}

QString TextEncoding::guess(const QByteArray& data, const QStringList& candidates)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size() << ", candidates =" << candidates;
    return EncodingDetector::guess(data, candidates);
}

TextEncoding::Detection TextEncoding::detect(const QByteArray& data)
{
    qDebug() << Q_FUNC_INFO << ", data.size() =" << data.size();
    return EncodingDetector::detect(data);
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
    if (Gb18030Codec::handles(c)) {
        text = Gb18030Codec::decode(bytes, size, lossless);
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
    if (Gb18030Codec::handles(c)) {
        body = Gb18030Codec::encode(text.constData(), text.size());
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
    return DocumentTextEncoder::plainTextWithCrLf(raw);
}

QByteArray TextEncoding::encodeDocumentText(const QString& raw, const QString& name, bool withBom, int* unencodable)
{
    qDebug() << Q_FUNC_INFO << ", raw.size() =" << raw.size() << ", name =" << name << ", withBom =" << withBom;
    return DocumentTextEncoder::encode(raw, name, withBom, unencodable);
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
