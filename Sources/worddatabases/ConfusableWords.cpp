#include "ConfusableWords.h"

#include <QDebug>
#include <QMutex>
#include <QMutexLocker>
#include <algorithm>
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

// The readings of every standard character: syllable number x 8 + tone.
struct Characters
{
    QHash<ushort, QVector<int>> readings;
    QVector<int> otherNasal; // syllable number -> the one with the other nasal ending, or -1
    QHash<ushort, QVector<int>> lookAlikeGroups;
    std::vector<unsigned char> costs = std::vector<unsigned char>(0x10000, 0);
};

const Characters& characters()
{
    static const Characters data = [] {
        Characters result;
        QHash<QString, int> syllables;
        for (int k = 0; k < CharacterData::kReadingCount; ++k) {
            const QString line = QString::fromUtf8(CharacterData::kReadings[k]);
            const int tab = line.indexOf(QLatin1Char('\t'));
            const int number = k;
            syllables.insert(line.left(tab), number);
            int tone = 5;
            for (const QChar c : line.mid(tab + 1)) {
                if (c >= QLatin1Char('1') && c <= QLatin1Char('5'))
                    tone = c.digitValue();
                else if (!c.isSurrogate())
                    result.readings[c.unicode()].append(number * 8 + tone);
            }
        }
        result.otherNasal.fill(-1, CharacterData::kReadingCount);
        for (auto it = syllables.cbegin(); it != syllables.cend(); ++it) {
            if (it.key().endsWith(QLatin1String("n"))) {
                const int other = syllables.value(it.key() + QLatin1Char('g'), -1);
                if (other >= 0) {
                    result.otherNasal[it.value()] = other;
                    result.otherNasal[other] = it.value();
                }
            }
        }
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
        return result;
    }();
    return data;
}

// Up to four characters in one number, the one at `gap` left out as 0; the
// leading zeros give the length.
quint64 keyOf(const QChar* text, int length, int gap)
{
    quint64 key = 0;
    for (int k = 0; k < length; ++k)
        key = (key << 16) | (k == gap ? 0u : text[k].unicode());
    return key;
}

} // namespace

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
    const QHash<QString, int>& words = whiteList.wordRows();
    m_entries.reserve(words.size() * 3);
    for (auto it = words.cbegin(); it != words.cend(); ++it) {
        const QString& word = it.key();
        if (word.size() < 2 || word.size() > kLongestGuess
            || !std::all_of(word.cbegin(), word.cend(), [](QChar c) { return isIdeograph(c); }))
            continue;
        for (int gap = 0; gap < word.size(); ++gap)
            m_entries.append(Entry{keyOf(word.constData(), word.size(), gap), word.at(gap).unicode(), it.value()});
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return a.key < b.key || (a.key == b.key && a.row < b.row);
    });
    m_firstEntry.reserve(m_entries.size());
    for (int k = m_entries.size() - 1; k >= 0; --k)
        m_firstEntry.insert(m_entries.at(k).key, k);
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

QVector<ConfusableWords::Guess> ConfusableWords::guesses(const QChar* text, int length) const
{
    // Hot path of the black-list check: no logging.
    QVector<Guess> result;
    if (length < 2 || length > kLongestGuess)
        return result;
    for (int k = 0; k < length; ++k)
        if (!isIdeograph(text[k]))
            return result;
    for (int gap = 0; gap < length; ++gap) {
        const quint64 key = keyOf(text, length, gap);
        const auto first = m_firstEntry.constFind(key);
        if (first == m_firstEntry.constEnd())
            continue;
        for (int k = *first; k < m_entries.size() && m_entries.at(k).key == key; ++k) {
            const Entry& entry = m_entries.at(k);
            const int confusion = confusionCost(text[gap], QChar(entry.meant));
            if (confusion < 0)
                continue;
            Guess guess;
            guess.word = QString(text, length);
            guess.word[gap] = QChar(entry.meant);
            guess.wordCost = rowCost(entry.row);
            guess.confusionCost = confusion;
            result.append(guess);
        }
    }
    std::sort(result.begin(), result.end(), [](const Guess& a, const Guess& b) {
        return a.wordCost + a.confusionCost < b.wordCost + b.confusionCost
            || (a.wordCost + a.confusionCost == b.wordCost + b.confusionCost && a.word < b.word);
    });
    return result;
}
