// Embellish: slips that no word list shows, in particles and measure words.
//
// Which of 的, 得 and 地 a sentence needs is grammar, not spelling, so no
// guess takes one for another (Embellish_Guesses.cpp). A few shapes show it
// all the same, and the black-list check marks them:
// - a verb without an object or a one-character adjective, then 的, then a
//   word of degree that opens its complement: 跑的很快, 累的要命 hold 得
//   (跑得很快);
// - a manner word (慢慢, 悄悄, 高兴, 认真), then 的, then a verb with an aspect,
//   a direction or a result after it: 慢慢的走了, 高兴的跳了起来 hold 地.
// The lists are kept short: each shape marks only what can be nothing else
// (的很多 is "many of", 这样的很少见 "such things are rare", 高兴的事 a noun).
//
// A measure word is chosen by its noun: 棵 for plants, 颗 for small round
// things, 幅 for pictures, 副 for pairs and faces, 座 for mountains and
// buildings. After a number or a pointing word, a measure word of the same
// sound whose noun is the other one's (一颗老槐树, 一副徐悲鸿的奔马图, 一付老花镜)
// is marked with the right one. The noun is the first listed one after the
// last 的 before the next delimiter, within a few characters.

#include "Embellish.h"

#include "SharedCodes.h"

#include <algorithm>

namespace {

const QChar kOf(0x7684);      // 的
const QChar kComplement(0x5F97); // 得
const QChar kManner(0x5730);  // 地

// Verbs without an object and one-character adjectives that take a
// complement of degree. Verbs that take one are left out: 你说的很对 and 他写的很好
// read as "what you said", "what he wrote" as well.
const QString kComplementHeads = QStringLiteral("跑走飞睡跳笑哭活住长变醒站坐躺游爬累忙急气冻热冷饿困疼美");
// The words of degree a complement starts with; none of one character before
// 多 or 少 (吃的很多 may well be "much of what is eaten"), and 太, 真, 挺 and 更
// not where they start a word (画的太阳, 写的真相, 写的更新).
const QStringList kDegreeOpenings = QStringLiteral("很 非常 特别 十分 太 真 挺 极其 越来越 更 要命 不得了")
                                        .split(QLatin1Char(' '));
const QChar kVery(0x5F88); // 很
const QString kQuantities = QStringLiteral("多少");
// Words of manner that go before a verb: reduplicated characters and
// two-character adjectives of feeling and attitude.
const QString kRepeatedManners = QStringLiteral("慢轻悄静默渐紧狠偷匆早远牢稳暗缓细重快");
const QStringList kMannerWords = QStringLiteral("高兴 开心 兴奋 激动 愉快 伤心 难过 生气 着急 焦急 紧张 害怕 惊讶 得意 "
                                                "满意 失望 委屈 认真 仔细 耐心 热情 亲切 温柔 轻松 努力 拼命 大声 小声 "
                                                "默默 悄悄 慢慢 轻轻 静静 偷偷 匆匆 狠狠 紧紧 渐渐 缓缓")
                                     .split(QLatin1Char(' '));
// Verbs of motion, speech and feeling, and what shows them used as verbs.
const QString kActionVerbs = QStringLiteral("走跑跳笑哭说喊叫问答看望盯想点摇站坐躺离关开打握抱拉推放拿流落飘升吹睡写读念听摸拍敲转回进出爬飞");
const QString kVerbEndings = QStringLiteral("了着过起下上出进回开去来在到向完");

// The measure words, each with the nouns it counts (their last character is
// enough: 槐树, 奔马图, 老花镜) and the measure words of the same sound written
// for it.
struct MeasureWord
{
    QChar measure;
    QString nouns;
    QString mistaken;
};
const MeasureWord kMeasureWords[] = {
    {QChar(0x68F5), QStringLiteral("树草菜苗竹松柏柳槐杨"), QStringLiteral("颗课")},      // 棵
    {QChar(0x9897), QStringLiteral("心星牙珠弹钉粒豆痣扣"), QStringLiteral("棵课")},      // 颗
    {QChar(0x5E45), QStringLiteral("画图卷"), QStringLiteral("副付")},                   // 幅
    {QChar(0x526F), QStringLiteral("镜套联克环脸孔具"), QStringLiteral("幅付")},          // 副
    {QChar(0x5EA7), QStringLiteral("山桥城楼塔寺庙宫殿岛碑"), QStringLiteral("坐做")},    // 座
};
const QString kCounters = QStringLiteral("一二三四五六七八九十百千万两几这那每哪某半");
// Every measure word written for another, for a quick first test.
const QString kMistakenMeasures = QStringLiteral("颗课棵副付幅坐做");
constexpr int kNounReach = 8;

} // namespace

bool Embellish::endsListedWord(const QString& line, int from, int at)
{
    for (int k = std::max(from, at - 3); k < at; ++k)
        if (containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, line.mid(k, at - k + 1)))
            return true;
    return false;
}

bool Embellish::measureSlip(const QString& line, int start, int length, QString* correction)
{
    if (length != 2 || !kMistakenMeasures.contains(line.at(start + 1)) || !kCounters.contains(line.at(start)))
        return false;
    const QChar written = line.at(start + 1);
    // The noun phrase: up to the next delimiter or kNounReach characters, its
    // head after the last 的.
    int from = start + 2;
    int to = from;
    while (to < line.size() && to - from < kNounReach && ConfusableWords::isIdeograph(line.at(to)))
        ++to;
    const int lastOf = line.lastIndexOf(kOf, to - 1);
    if (lastOf >= from)
        from = lastOf + 1;
    for (int k = from; k < to; ++k) {
        // A noun ends a listed word there (老|槐树, 老花镜) or ends the phrase (奔马|图).
        const bool endsNoun = k + 1 == to || endsListedWord(line, from, k);
        for (const MeasureWord& word : kMeasureWords) {
            if (!endsNoun || !word.nouns.contains(line.at(k)))
                continue;
            if (word.measure == written || !word.mistaken.contains(written))
                return false;
            *correction = line.mid(start, 1) + word.measure;
            return true;
        }
    }
    return false;
}

bool Embellish::particleSlip(const QString& line, int start, int length, QString* correction)
{
    const int end = start + length;
    if (length < 2 || line.at(end - 1) != kOf)
        return false;
    const QString rest = line.mid(end, 4);
    // 跑的很快: a head standing alone (not the end of a word such as 学说).
    if (length == 2 && kComplementHeads.contains(line.at(start))
        && (start == 0 || !containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, line.mid(start - 1, 2)))) {
        for (const QString& degree : kDegreeOpenings) {
            if (!rest.startsWith(degree))
                continue;
            if (degree.size() == 1 && rest.size() > 1
                && (kQuantities.contains(rest.at(1))
                    || (degree.at(0) != kVery && containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, rest.left(2)))))
                return false;
            *correction = line.mid(start, 1) + kComplement;
            return true;
        }
        return false;
    }
    // 慢慢的走了, 高兴的跳了起来.
    const QString manner = line.mid(start, length - 1);
    const bool mannerWord = (manner.size() == 2 && manner.at(0) == manner.at(1) && kRepeatedManners.contains(manner.at(0)))
        || kMannerWords.contains(manner);
    if (mannerWord && rest.size() >= 2 && kActionVerbs.contains(rest.at(0)) && kVerbEndings.contains(rest.at(1))) {
        *correction = manner + kManner;
        return true;
    }
    return false;
}

QStringList Embellish::measureCorrections(const QString& word)
{
    QStringList offered;
    if (word.size() != 2 || !kCounters.contains(word.at(0)))
        return offered;
    for (const MeasureWord& measure : kMeasureWords)
        if (measure.mistaken.contains(word.at(1)))
            offered << word.left(1) + measure.measure;
    return offered;
}

QStringList Embellish::particleCorrections(const QString& word)
{
    QStringList offered;
    if (word.size() < 2 || word.size() > 3 || word.back() != kOf)
        return offered;
    const QString head = word.left(word.size() - 1);
    if (word.size() == 2 && kComplementHeads.contains(head.at(0)))
        offered << head + kComplement;
    if (word.size() == 3 || kMannerWords.contains(head))
        offered << head + kManner;
    return offered;
}
