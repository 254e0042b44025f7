// Embellish: misspellings no black-list row lists.
//
// A stretch of two to four characters that is no word may be a word of the
// white list with one character taken for another (ConfusableWords: 以经 for
// 已经, 按装 for 安装, 滥竽冲数 for 滥竽充数). Whether it is depends on the
// words around it: 按装 in 按装置说明书 is 按|装置. So the stretch's context
// is read twice, as written and with the guess put in, each as its cheapest
// run of pieces (white-list words, people's names, single characters, each
// costing -ln of how common it is). The guess wins only where its reading,
// with the cost of the slip itself added, is cheaper than the text as written.

#include "Embellish.h"

#include <QVector>
#include <algorithm>
#include <climits>

#include "SharedCodes.h"

namespace {

// -ln(the share of slips among the writings of a word) x 10: about one in
// three thousand, so a guess wins only where the text as written reads
// clearly worse.
constexpr int kSlipCost = 80;
// Where no listed word of the context holds any character of the stretch,
// the characters stand about on their own, as a slip leaves them: a slip is
// likelier there.
constexpr int kStraySlipCost = 60;
// A person's name costs what a fairly common word does.
constexpr int kNameCost = 100;
constexpr int kLongestPiece = 8;
// The fewest characters around a stretch for a guess to be judged.
constexpr int kLeastContext = 2;
// The guesses tried for one stretch, cheapest first.
constexpr int kMostGuesses = 6;
// Characters that spell foreign names by their sound (阿姆斯特丹, 塔塔尔语):
// a run of them is a name, no slip.
const QString kSoundSpelling = QStringLiteral(
    "阿埃艾爱安昂奥巴拜班邦保鲍贝本比彼毕波玻伯勃博布采查策达戴丹道德登迪蒂丁东杜敦多厄恩法凡范菲斐费芬丰"
    "佛弗伏福富盖甘冈高戈哥格根古圭哈海汉豪赫亨洪胡华霍基吉加贾杰金喀卡凯坎康考柯科克肯库夸奎拉莱赖兰朗劳"
    "勒雷蕾里利莉丽列林琳隆卢鲁路伦罗洛马玛迈麦曼梅门蒙孟米密莫姆木穆纳娜乃南内尼涅宁纽努诺欧帕潘佩彭皮"
    "珀普奇齐恰乔切钦琼丘萨塞桑瑟森沙莎舍圣什施史斯松苏索塔泰坦汤唐特提铁图托瓦万旺威韦维温沃乌伍西希锡"
    "夏谢辛休雅亚扬耶伊因英尤约泽扎詹哲兹祖佐夫尔耳");
// What follows a foreign name and makes it one: a language, a place.
const QString kNameEndings = QStringLiteral("语省州郡岛区县市府河山湾族城堡港湖角峰");

// Is the stretch around text[start .. end - 1] a foreign name: the part
// written in name-spelling characters and its neighbours of the same kind at
// least three characters long, or two followed by a language or a place?
bool inForeignName(const QString& text, int start, int end)
{
    // 切罗基语, 杜兰戈州: the name's end may be in the stretch judged.
    if (end - start > 1 && kNameEndings.contains(text.at(end - 1)))
        --end;
    for (int k = start; k < end; ++k)
        if (!kSoundSpelling.contains(text.at(k)))
            return false;
    int from = start;
    while (from > 0 && kSoundSpelling.contains(text.at(from - 1)))
        --from;
    int to = end;
    while (to < text.size() && kSoundSpelling.contains(text.at(to)))
        ++to;
    return to - from >= 3 || (to < text.size() && kNameEndings.contains(text.at(to)));
}

// A number or a pointing word before a measure word (那件, 百颗, 逐份), and a
// verb before its result or direction (治好, 拨出), are no slips, though the
// pair is no word of the white list.
const QString kBeforeMeasureWords = QStringLiteral("一二三四五六七八九十百千万两几这那哪每各某整半逐多");
const QString kResults = QStringLiteral("好完出来去到住走掉开上下起过回进成着了得在给见透满光懂");
// A word of degree before a one-character adjective (太艳, 很淡) is no slip either.
const QString kDegrees = QStringLiteral("太很真挺最更蛮极好");

// The corrections offered for a word on its own.
constexpr int kMostOffered = 8;

} // namespace

int Embellish::cheapestReading(const QString& text, int from, int to)
{
    const auto loaded = m_tables.constFind(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST);
    const WordLookupTable* whiteList = loaded != m_tables.constEnd() ? loaded->data() : nullptr;
    QVector<int> best(text.size() + 1, INT_MAX);
    best[0] = 0;
    QString piece;
    for (int k = 0; k < text.size(); ++k) {
        if (best[k] == INT_MAX)
            continue;
        for (int n = 1; n <= kLongestPiece && k + n <= text.size(); ++n) {
            // A stretch that must stay together may not be cut inside.
            if ((k > from && k < to) || (k + n > from && k + n < to))
                continue;
            int cost;
            if (n == 1) {
                cost = ConfusableWords::characterCost(text.at(k));
            } else {
                piece.setUnicode(text.constData() + k, n);
                const int row = whiteList ? whiteList->rowOf(piece) : 0;
                if (row > 0)
                    cost = ConfusableWords::rowCost(row);
                else if (m_names.isName(piece.constData(), n))
                    cost = kNameCost;
                else
                    continue;
            }
            best[k + n] = std::min(best[k + n], best[k] + cost);
        }
    }
    return best[text.size()];
}

bool Embellish::guessMisspelling(const QString& stretch, int start, int length, QString* correction)
{
    prepareReading();
    if (!m_confusable)
        return false;
    const QChar* text = stretch.constData() + start;
    const QString written = QString::fromRawData(text, length);
    if (containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, written) || m_names.isName(text, length)
        || m_names.isSurname(text, length))
        return false;
    // A slip shows in its context: a stretch standing alone (a name in a
    // list, a heading) is not judged.
    if (stretch.size() < length + kLeastContext || inForeignName(stretch, start, start + length))
        return false;
    QVector<ConfusableWords::Guess> guesses = m_confusable->guesses(text, length, slipBudget(text, length));
    // Writers misspell common words, not the names of places or foreigners.
    guesses.erase(std::remove_if(guesses.begin(), guesses.end(),
                                 [this](const ConfusableWords::Guess& guess) {
                                     return (m_places && m_places->contains(guess.word))
                                         || std::all_of(guess.word.cbegin(), guess.word.cend(),
                                                        [](QChar c) { return kSoundSpelling.contains(c); });
                                 }),
                  guesses.end());
    int asWritten = -1;
    int bestMargin = 0; // before the slip's own cost
    QString best;
    for (int g = 0; g < guesses.size() && g < kMostGuesses; ++g) {
        const ConfusableWords::Guess& guess = guesses.at(g);
        if (length == 2
            && ((guess.word.at(0) != text[0] && kResults.contains(text[1]))
                || (guess.word.at(1) != text[1] && kDegrees.contains(text[0]))))
            continue;
        if (asWritten < 0)
            asWritten = cheapestReading(stretch, -1, -1);
        const QString corrected = stretch.left(start) + guess.word + stretch.mid(start + length);
        const int margin = asWritten - cheapestReading(corrected, start, start + length) - guess.confusionCost;
        if (margin > bestMargin) {
            bestMargin = margin;
            best = guess.word;
        }
    }
    // The rarer checks last: most stretches are done with by now.
    if (bestMargin <= std::min(kSlipCost, kStraySlipCost) || readsAsPhrase(stretch, start, length))
        return false;
    if (bestMargin <= kSlipCost) {
        for (int k = start; k < start + length; ++k)
            if (inListedWord(stretch, k))
                return false;
    }
    *correction = best;
    return bestMargin > 0;
}

int Embellish::slipBudget(const QChar* text, int length)
{
    int letters = 0;
    for (int k = 0; k < length; ++k)
        letters += ConfusableWords::characterCost(text[k]);
    return letters - std::min(kSlipCost, kStraySlipCost);
}

bool Embellish::readsAsPhrase(const QString& stretch, int start, int length)
{
    const QChar* text = stretch.constData() + start;
    if (length == 2 && kBeforeMeasureWords.contains(text[0]) && m_measureWords
        && m_measureWords->contains(QString(text[1])))
        return true;
    // Two words of the white list (阖家|幸福).
    if (length == 4 && containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, QString(text, 2))
        && containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, QString(text + 2, 2)))
        return true;
    // A row of the black list that overlaps the stretch is the one to judge it.
    for (int from = std::max(0, start - 3); from < start + length; ++from)
        for (int n = 2; n <= 4 && from + n <= stretch.size(); ++n) {
            if (from + n <= start || (from == start && n == length))
                continue;
            if (!matchingRows(TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, stretch.mid(from, n), false).isEmpty())
                return true;
        }
    return false;
}

QStringList Embellish::guessedCorrections(const QString& word)
{
    prepareReading();
    QStringList offered;
    if (!m_confusable || containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, word))
        return offered;
    for (const ConfusableWords::Guess& guess : m_confusable->guesses(word.constData(), word.size(), INT_MAX)) {
        if (offered.size() >= kMostOffered)
            break;
        if (!offered.contains(guess.word))
            offered << guess.word;
    }
    return offered;
}
