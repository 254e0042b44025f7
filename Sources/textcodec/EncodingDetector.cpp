#include "EncodingDetector.h"

#include <QDebug>
#include <QTextCodec>
#include <QVector>

#include <initializer_list>
#include <utility>

#include "ByteScan.h"

namespace {

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
    const QString n = TextEncoding::canonicalName(name);
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

} // namespace

TextEncoding::Plausibility EncodingDetector::plausibility(const QString& text, const QString& name)
{
    const Script script = scriptOf(name);
    const CharacterSet& simplified = simplifiedCommon();
    const CharacterSet& traditional = traditionalCommon();
    TextEncoding::Plausibility result;
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

QStringList EncodingDetector::candidateEncodings()
{
    return {TextEncoding::defaultEncoding(), QStringLiteral("UTF-8"), QStringLiteral("Big5"),
            QStringLiteral("Big5-HKSCS")};
}

QString EncodingDetector::guess(const QByteArray& data, const QStringList& candidates)
{
    if (candidates.isEmpty())
        return TextEncoding::defaultEncoding();
    const int from = ByteScan::firstNonAscii(data);
    if (from < 0)
        return candidates.first();
    const QByteArray sample = scoringSample(data, from);
    // Strict validity is cheap to tell; only when several candidates (or none) are
    // valid do their decodings have to be read.
    QStringList usable;
    QVector<bool> validity;
    int validCount = 0;
    for (const QString& name : candidates) {
        if (!TextEncoding::codec(name))
            continue;
        usable << name;
        validity << TextEncoding::isValid(sample, name);
        validCount += validity.last() ? 1 : 0;
    }
    if (validCount == 1)
        return usable.at(validity.indexOf(true));
    QString best;
    TextEncoding::Plausibility bestScore;
    bool bestValid = false;
    for (int k = 0; k < usable.size(); ++k) {
        const QString& name = usable.at(k);
        const bool valid = validity.at(k);
        if (validCount > 0 && !valid)
            continue;
        const QString text = TextEncoding::decode(sample, name, 0);
        TextEncoding::Plausibility score = TextEncoding::plausibility(text, name);
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

TextEncoding::Detection EncodingDetector::detect(const QByteArray& data)
{
    TextEncoding::Detection result;
    int bom = 0;
    const QString marked = TextEncoding::bomEncoding(data, &bom);
    if (TextEncoding::isUtf8(marked)) {
        result.encoding = marked;
        result.bomLength = bom;
        return result;
    }
    if (TextEncoding::isUtf16(marked) && TextEncoding::isValidUtf16WithBom(data)) {
        result.encoding = marked;
        result.bomLength = bom;
        return result;
    }
    result.encoding = TextEncoding::guess(data);
    return result;
}
