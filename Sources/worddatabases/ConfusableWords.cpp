#include "ConfusableWords.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
#include <array>
#include <vector>

#include "CharacterData.h"

namespace {

// What taking one character for another costs, by the way they are alike.
constexpr int kSameReading = 0;
constexpr int kOtherTone = 10;
constexpr int kOtherNasal = 15; // 因/应, 亲/青: -n heard as -ng or the other way
constexpr int kLookAlike = 15;
// A character that is no word of its own (or unknown) costs this much.
constexpr int kRareCharacter = 180;
constexpr int kLongestGuess = 4;

// A reading is its syllable number x 8 + its tone. A character's tags say
// how it is typed or seen: its syllables, the syllables of the other nasal
// ending, its look-alike groups; kept below the ideographs' code points, so a
// tag in a key never passes for a character.
constexpr ushort kSyllableTag = 0x0100;
constexpr ushort kGroupTag = 0x1100;
constexpr int kMostTags = 8;
// The tag of any character, for a word's frame: its other characters in place.
constexpr ushort kFrameTag = 0x0001;

struct Characters
{
    QHash<ushort, QVector<int>> readings;
    QVector<int> otherNasal; // syllable number -> the one with the other nasal ending, or -1
    QHash<ushort, QVector<int>> lookAlikeGroups;
    std::vector<unsigned char> costs = std::vector<unsigned char>(0x10000, 0);
    // Per character: how many tags, then the tags under which the words that
    // hold it are filed (meant) and the tags it is looked up by (written).
    std::vector<std::array<ushort, kMostTags + 1>> meantTags
        = std::vector<std::array<ushort, kMostTags + 1>>(0x10000, std::array<ushort, kMostTags + 1>{});
    std::vector<std::array<ushort, kMostTags + 1>> writtenTags
        = std::vector<std::array<ushort, kMostTags + 1>>(0x10000, std::array<ushort, kMostTags + 1>{});
};

void addTag(std::array<ushort, kMostTags + 1>& tags, ushort tag)
{
    for (int k = 1; k <= tags[0]; ++k)
        if (tags[k] == tag)
            return;
    if (tags[0] < kMostTags)
        tags[++tags[0]] = tag;
}

void readReadings(Characters& result)
{
    QHash<QString, int> syllables;
    for (int k = 0; k < CharacterData::kReadingCount; ++k) {
        const QString line = QString::fromUtf8(CharacterData::kReadings[k]);
        const int tab = line.indexOf(QLatin1Char('\t'));
        syllables.insert(line.left(tab), k);
        int tone = 5;
        for (const QChar c : line.mid(tab + 1)) {
            if (c >= QLatin1Char('1') && c <= QLatin1Char('5'))
                tone = c.digitValue();
            else if (!c.isSurrogate() && !result.readings.value(c.unicode()).contains(k * 8 + tone))
                result.readings[c.unicode()].append(k * 8 + tone);
        }
    }
    result.otherNasal.fill(-1, CharacterData::kReadingCount);
    for (auto it = syllables.cbegin(); it != syllables.cend(); ++it) {
        const int other = it.key().endsWith(QLatin1Char('n')) ? syllables.value(it.key() + QLatin1Char('g'), -1) : -1;
        if (other >= 0) {
            result.otherNasal[it.value()] = other;
            result.otherNasal[other] = it.value();
        }
    }
}

const Characters& characters()
{
    static const Characters data = [] {
        Characters result;
        readReadings(result);
        for (int k = 0; k < CharacterData::kLookAlikeCount; ++k)
            for (const QChar c : QString::fromUtf8(CharacterData::kLookAlikes[k]))
                if (!c.isSurrogate())
                    result.lookAlikeGroups[c.unicode()].append(k);
        for (int k = 0; k < CharacterData::kCharacterCostCount; ++k) {
            const QString line = QString::fromUtf8(CharacterData::kCharacterCosts[k]);
            const int tab = line.indexOf(QLatin1Char('\t'));
            const int cost = std::min(line.left(tab).toInt(), 255);
            for (const QChar c : line.mid(tab + 1))
                if (!c.isSurrogate())
                    result.costs[c.unicode()] = static_cast<unsigned char>(std::max(cost, 1));
        }
        // One tag for a syllable and the one of the other nasal ending (yin, ying).
        for (auto it = result.readings.cbegin(); it != result.readings.cend(); ++it)
            for (int reading : it.value()) {
                const int other = result.otherNasal.at(reading / 8);
                const ushort tag = ushort(kSyllableTag + (other >= 0 ? std::min(other, reading / 8) : reading / 8));
                addTag(result.meantTags[it.key()], tag);
                addTag(result.writtenTags[it.key()], tag);
            }
        for (auto it = result.lookAlikeGroups.cbegin(); it != result.lookAlikeGroups.cend(); ++it)
            for (int group : it.value()) {
                addTag(result.meantTags[it.key()], ushort(kGroupTag + group));
                addTag(result.writtenTags[it.key()], ushort(kGroupTag + group));
            }
        return result;
    }();
    return data;
}

// The known words of CharacterData, each of two to four characters.
QVector<QString> knownWords()
{
    QVector<QString> words;
    for (int k = 0; k < CharacterData::kKnownWordLineCount; ++k)
        for (const QString& word : QString::fromUtf8(CharacterData::kKnownWords[k]).split(QLatin1Char(' ')))
            if (word.size() >= 2 && word.size() <= kLongestGuess)
                words.append(word);
    return words;
}

// Up to four characters in one number, the one at `gap` replaced by a tag;
// the leading zeros give the length.
quint64 keyOf(const QChar* text, int length, int gap, ushort tag)
{
    quint64 key = 0;
    for (int k = 0; k < length; ++k)
        key = (key << 16) | (k == gap ? tag : text[k].unicode());
    return key;
}

// The key spread over all its bits (one to one), so that neighbouring keys
// fall far apart.
quint64 spread(quint64 key)
{
    key *= 0x9E3779B97F4A7C15ull;
    return key ^ (key >> 29);
}

// The frames' bit set: 2^22 bits (512 KiB), a few in a hundred set.
constexpr quint64 kFrameBits = quint64(1) << 22;

quint64 frameBit(quint64 key)
{
    return (key * 0x9E3779B97F4A7C15ull) >> (64 - 22);
}

// The two bits of a spread key within its word of the filter.
quint64 bitsOf(quint64 spreadKey)
{
    return (quint64(1) << (spreadKey & 63)) | (quint64(1) << ((spreadKey >> 6) & 63));
}

} // namespace

quint64 ConfusableWords::textKey(const QChar* text, int length)
{
    return keyOf(text, length, -1, 0);
}

int ConfusableWords::confusionCost(QChar written, QChar meant)
{
    if (written == meant)
        return -1;
    const Characters& data = characters();
    const auto writtenReadings = data.readings.constFind(written.unicode());
    const auto meantReadings = data.readings.constFind(meant.unicode());
    int best = -1;
    auto consider = [&best](int cost) {
        if (best < 0 || cost < best)
            best = cost;
    };
    if (writtenReadings != data.readings.constEnd() && meantReadings != data.readings.constEnd()) {
        for (int a : *writtenReadings)
            for (int b : *meantReadings) {
                if (a == b)
                    consider(kSameReading);
                else if (a / 8 == b / 8)
                    consider(kOtherTone);
                else if (data.otherNasal.value(a / 8, -1) == b / 8)
                    consider(kOtherNasal);
            }
    }
    const auto writtenGroups = data.lookAlikeGroups.constFind(written.unicode());
    const auto meantGroups = data.lookAlikeGroups.constFind(meant.unicode());
    if (writtenGroups != data.lookAlikeGroups.constEnd() && meantGroups != data.lookAlikeGroups.constEnd()) {
        for (int group : *writtenGroups)
            if (meantGroups->contains(group))
                consider(kLookAlike);
    }
    return best;
}

int ConfusableWords::characterCost(QChar c)
{
    const unsigned char cost = characters().costs[c.unicode()];
    return cost ? int(cost) : kRareCharacter;
}

int ConfusableWords::rowCost(int row)
{
    int cost = CharacterData::kRowCosts[0][1];
    for (int k = 0; k < CharacterData::kRowCostCount && CharacterData::kRowCosts[k][0] <= row; ++k)
        cost = CharacterData::kRowCosts[k][1];
    return cost;
}

ConfusableWords::ConfusableWords(const WordLookupTable& whiteList)
{
    const Characters& data = characters();
    const QHash<QString, int>& words = whiteList.wordRows();
    m_entries.reserve(words.size() * 6);
    for (auto it = words.cbegin(); it != words.cend(); ++it) {
        const QString& word = it.key();
        if (word.size() < 2 || word.size() > kLongestGuess
            || !std::all_of(word.cbegin(), word.cend(), [](QChar c) { return isIdeograph(c); }))
            continue;
        for (int gap = 0; gap < word.size(); ++gap) {
            const auto& tags = data.meantTags[word.at(gap).unicode()];
            for (int t = 1; t <= tags[0]; ++t)
                m_entries.append(Entry{keyOf(word.constData(), word.size(), gap, tags[t]), word.at(gap).unicode(),
                                       it.value()});
        }
    }
    m_frames.assign(kFrameBits / 64, 0);
    for (auto it = words.cbegin(); it != words.cend(); ++it) {
        const QString& word = it.key();
        if (word.size() >= 2 && word.size() <= kLongestGuess
            && std::all_of(word.cbegin(), word.cend(), [](QChar c) { return isIdeograph(c); }))
            for (int gap = 0; gap < word.size(); ++gap) {
                const quint64 bit = frameBit(keyOf(word.constData(), word.size(), gap, kFrameTag));
                m_frames[bit / 64] |= quint64(1) << (bit % 64);
            }
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return a.key < b.key || (a.key == b.key && a.row < b.row);
    });
    m_firstEntry.reserve(m_entries.size());
    for (int k = m_entries.size() - 1; k >= 0; --k)
        m_firstEntry.insert(m_entries.at(k).key, k);
    // The white list's words (their rows), and the words it leaves out that a
    // stretch may still be (row 0): a word is no slip.
    const QVector<QString> known = knownWords();
    m_words.reserve(words.size() + known.size());
    for (const QString& word : known)
        m_words.insert(keyOf(word.constData(), word.size(), -1, 0), 0);
    for (auto it = words.cbegin(); it != words.cend(); ++it)
        if (it.key().size() >= 2 && it.key().size() <= kLongestGuess)
            m_words.insert(keyOf(it.key().constData(), it.key().size(), -1, 0), it.value());
}

void ConfusableWords::FlatMap::reserve(int count)
{
    quint64 size = 16;
    while (size < quint64(count) * 2)
        size *= 2;
    m_slots.assign(size, Slot());
    m_mask = size - 1;
    // About twelve bits a key, a key's two bits in one 64-bit word (one read
    // from memory): about one absent key in sixty passes the test.
    quint64 words = 1;
    while (words * 64 < size * 6)
        words *= 2;
    m_bits.assign(words, 0);
    m_bitMask = words - 1;
}

void ConfusableWords::FlatMap::insert(quint64 key, int value)
{
    const quint64 spreadKey = spread(key);
    m_bits[(spreadKey >> 40) & m_bitMask] |= bitsOf(spreadKey);
    for (quint64 slot = spreadKey & m_mask;; slot = (slot + 1) & m_mask) {
        if (m_slots[slot].key == 0 || m_slots[slot].key == key) {
            m_slots[slot] = Slot{key, value};
            return;
        }
    }
}

int ConfusableWords::FlatMap::value(quint64 key) const
{
    if (m_slots.empty())
        return -1;
    const quint64 spreadKey = spread(key);
    const quint64 bits = bitsOf(spreadKey);
    if ((m_bits[(spreadKey >> 40) & m_bitMask] & bits) != bits)
        return -1;
    for (quint64 slot = spreadKey & m_mask;; slot = (slot + 1) & m_mask) {
        if (m_slots[slot].key == key)
            return m_slots[slot].value;
        if (m_slots[slot].key == 0)
            return -1;
    }
}

ConfusableWords::Pointer ConfusableWords::shared(const WordLookupTable::Pointer& whiteList)
{
    static QMutex mutex;
    static WordLookupTable::Pointer builtFor;
    static Pointer built;
    if (!whiteList)
        return Pointer();
    QMutexLocker locker(&mutex);
    if (builtFor != whiteList) {
        qDebug() << Q_FUNC_INFO << ", words =" << whiteList->rowCount();
        built = Pointer(new ConfusableWords(*whiteList));
        builtFor = whiteList;
    }
    return built;
}

QVector<ConfusableWords::Guess> ConfusableWords::guesses(const QChar* text, int length, int maxCost, int maxWordCost,
                                                         int maxConfusion) const
{
    // Hot path of the black-list check: no logging, nothing allocated unless
    // a word is found.
    QVector<Guess> result;
    if (length < 2 || length > kLongestGuess)
        return result;
    // No word costs less than the most common one.
    if (maxCost <= CharacterData::kRowCosts[0][1])
        return result;
    for (int k = 0; k < length; ++k)
        if (!isIdeograph(text[k]))
            return result;
    // A word is no slip: asked once a word near it is found, which is seldom.
    int isWord = -1;
    const Characters& data = characters();
    for (int gap = 0; gap < length; ++gap) {
        // Is there a word at all with the other characters in their places?
        const quint64 frame = frameBit(keyOf(text, length, gap, kFrameTag));
        if (!(m_frames[frame / 64] & (quint64(1) << (frame % 64))))
            continue;
        const auto& tags = data.writtenTags[text[gap].unicode()];
        for (int t = 1; t <= tags[0]; ++t) {
            const quint64 key = keyOf(text, length, gap, tags[t]);
            const int first = m_firstEntry.value(key);
            if (first < 0)
                continue;
            for (int k = first; k < m_entries.size() && m_entries.at(k).key == key; ++k) {
                const Entry& entry = m_entries.at(k);
                const int wordCost = rowCost(entry.row);
                // The entries of a key come most frequent first.
                if (wordCost >= maxCost || wordCost > maxWordCost)
                    break;
                if (isWord < 0)
                    isWord = m_words.value(keyOf(text, length, -1, 0)) >= 0 ? 1 : 0;
                if (isWord)
                    return result;
                const int confusion = confusionCost(text[gap], QChar(entry.meant));
                if (confusion < 0 || confusion > maxConfusion || wordCost + confusion >= maxCost)
                    continue;
                Guess guess;
                guess.word = QString(text, length);
                guess.word[gap] = QChar(entry.meant);
                guess.wordCost = wordCost;
                guess.confusionCost = confusion;
                if (std::none_of(result.cbegin(), result.cend(), [&](const Guess& g) { return g.word == guess.word; }))
                    result.append(guess);
            }
        }
    }
    std::sort(result.begin(), result.end(), [](const Guess& a, const Guess& b) {
        return a.wordCost + a.confusionCost < b.wordCost + b.confusionCost
            || (a.wordCost + a.confusionCost == b.wordCost + b.confusionCost && a.word < b.word);
    });
    return result;
}
