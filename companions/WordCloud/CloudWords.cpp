#include "CloudWords.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QStringList>

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Longest word the cut tries; longer listed words are ignored.
const int longestWord = 12;
// Cost of a character that starts no listed word, well above every listed word.
const int unknownRank = 400000;

// Words that say little in a cloud: pronouns, function words and other very
// frequent words that carry no subject.
const QSet<QString>& stopWords()
{
    static const QSet<QString> words = [] {
        const QStringList list = QStringLiteral(
            "我们 你们 他们 她们 它们 咱们 自己 大家 别人 人家 什么 怎么 怎样 怎么样 为什么 哪里 哪儿 这里 "
            "那里 这儿 那儿 这个 那个 这些 那些 这样 那样 这么 那么 这种 那种 一个 一些 一种 一样 一下 一点 "
            "一直 一起 有些 有的 没有 不是 就是 也是 都是 还是 只是 而是 可以 可能 应该 需要 已经 正在 还有 "
            "因为 所以 但是 可是 而且 并且 或者 如果 虽然 然后 于是 因此 不过 只要 只有 即使 不但 不仅 "
            "以及 关于 对于 由于 为了 除了 通过 根据 按照 之后 以后 之前 以前 时候 的话 其中 其他 其它 "
            "非常 十分 特别 比较 更加 最后 开始 出来 起来 下来 上来 过来 过去 回来 进来 出去 知道 觉得 "
            "就要 不要 不会 不能 不用 还要 能够 或许 也许 大概 其实 当然 于是 甚至 只能 这时 那时 然而")
                                     .split(QLatin1Char(' '), Qt::SkipEmptyParts);
        return QSet<QString>(list.begin(), list.end());
    }();
    return words;
}

bool isLatinWordCharacter(uint c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
        || (c >= 0xFF10 && c <= 0xFF19) || (c >= 0xFF21 && c <= 0xFF3A) || (c >= 0xFF41 && c <= 0xFF5A);
}

std::u16string_view view(const QString& text, int from, int length)
{
    return std::u16string_view(reinterpret_cast<const char16_t*>(text.constData()) + from, size_t(length));
}

} // namespace

bool isChineseIdeograph(uint c)
{
    return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF)
        || (c >= 0x20000 && c <= 0x323AF) || (c >= 0x2F800 && c <= 0x2FA1F) || c == 0x3007;
}

bool CloudWords::loadWordList(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QVector<QPair<int, int>> spans; // start and length in m_storage
    bool heading = true;
    while (!file.atEnd()) {
        QString line = QString::fromUtf8(file.readLine());
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const int tab = line.indexOf(QLatin1Char('\t'));
        if (tab >= 0)
            line.truncate(tab);
        line = line.trimmed();
        if (heading) {
            heading = false;
            if (line == QLatin1String("Word"))
                continue;
        }
        if (line.isEmpty() || line.size() > longestWord)
            continue;
        spans.append(qMakePair(m_storage.size(), line.size()));
        m_storage += line;
    }
    // The views point into m_storage, which no longer changes.
    m_ranks.reserve(size_t(spans.size()));
    for (int rank = 0; rank < spans.size(); ++rank) {
        m_ranks.emplace(view(m_storage, spans[rank].first, spans[rank].second), rank);
        m_longest = qMax(m_longest, spans[rank].second);
    }
    return !m_ranks.empty();
}

double CloudWords::wordCost(std::u16string_view word) const
{
    const auto found = m_ranks.find(word);
    if (found != m_ranks.end())
        return std::log(double(found->second) + 2.0) + 10.0;
    return word.size() == 1 ? std::log(double(unknownRank)) + 10.0 : -1.0;
}

QVector<QString> CloudWords::cut(const QString& run) const
{
    const int n = run.size();
    std::vector<double> best(size_t(n) + 1, std::numeric_limits<double>::infinity());
    std::vector<int> step(size_t(n) + 1, 1);
    best[0] = 0;
    for (int end = 1; end <= n; ++end) {
        for (int length = 1; length <= qMin(m_longest, end); ++length) {
            const int start = end - length;
            // Never split a surrogate pair.
            if (run.at(start).isLowSurrogate() || (end < n && run.at(end).isLowSurrogate()))
                continue;
            double cost = wordCost(view(run, start, length));
            if (cost < 0 && length == 2 && run.at(start).isHighSurrogate())
                cost = std::log(double(unknownRank)) + 10.0;
            if (cost < 0)
                continue;
            if (best[size_t(start)] + cost < best[size_t(end)]) {
                best[size_t(end)] = best[size_t(start)] + cost;
                step[size_t(end)] = length;
            }
        }
    }
    QVector<QString> words;
    for (int end = n; end > 0; end -= step[size_t(end)])
        words.prepend(run.mid(end - step[size_t(end)], step[size_t(end)]));
    return words;
}

QVector<CloudWords::Word> CloudWords::count(const QString& text) const
{
    QHash<QString, int> index;
    QVector<Word> words;
    auto add = [&](const QString& word) {
        auto found = index.find(word);
        if (found != index.end()) {
            ++words[found.value()].count;
            return;
        }
        index.insert(word, words.size());
        words.append(Word{word, 1});
    };

    const int n = text.size();
    // The code point at a position and how many UTF-16 units it takes.
    const auto codePointAt = [&](int at, int* width) {
        if (text.at(at).isHighSurrogate() && at + 1 < n && text.at(at + 1).isLowSurrogate()) {
            *width = 2;
            return QChar::surrogateToUcs4(text.at(at), text.at(at + 1));
        }
        *width = 1;
        return uint(text.at(at).unicode());
    };
    int i = 0;
    while (i < n) {
        int width = 1;
        const uint c = codePointAt(i, &width);
        const bool chinese = isChineseIdeograph(c);
        if (!chinese && !isLatinWordCharacter(c)) {
            i += width;
            continue;
        }
        int end = i + width;
        while (end < n) {
            const uint d = codePointAt(end, &width);
            if (chinese ? !isChineseIdeograph(d) : !isLatinWordCharacter(d))
                break;
            end += width;
        }
        const QString run = text.mid(i, end - i);
        if (chinese) {
            for (const QString& word : cut(run))
                if (word.toUcs4().size() > 1 && !stopWords().contains(word))
                    add(word);
        } else {
            bool letter = false;
            for (const QChar ch : run)
                letter = letter || ch.isLetter();
            if (letter && run.size() > 1)
                add(run);
        }
        i = end;
    }
    std::stable_sort(words.begin(), words.end(), [](const Word& a, const Word& b) { return a.count > b.count; });
    return words;
}
