// Embellish: misspellings no black-list row lists.
//
// A stretch of two to four characters that is no word may be a word of the
// white list with one character taken for another (ConfusableWords: 栽判 for
// 裁判, 按装 for 安装, 滥竽冲数 for 滥竽充数). Whether it is depends on the
// words around it: 按装 in 按装置说明书 is 按|装置. So the stretch's context
// is read twice, as written and with the guess put in, each as its cheapest
// run of pieces (white-list words, people's names, single characters, each
// costing -ln of how common it is). The guess wins only where its reading,
// with the cost of the slip itself added, is cheaper than the text as written.
//
// No guess is made for a word of jieba's list (秒数, 单选: ConfusableWords
// knows them) or of the place names, for a stretch inside a longer word
// (有模有样), near Latin letters or the signs of code (technical text), in a
// foreign name (by its name-spelling characters, or before a place or a
// language), just before a person's title (于广辉|先生), where a phrase reads
// (这条|江, 歇一歇, 洒下, 太艳), or where 的, 地 and 得 would be taken for one
// another (Embellish_Grammar.cpp judges those).

#include "Embellish.h"

#include <QVector>
#include <algorithm>
#include <climits>
#include <vector>

#include "SharedCodes.h"

namespace {

// -ln(the share of slips among the writings of a word) x 10: about one in
// five thousand, so a guess wins only where the text as written reads
// clearly worse.
constexpr int kSlipCost = 86;
// A slip in a character of grammar, written for another of the same syllable
// and tone in one of the commonest words (以经 for 已经, 已及 for 以及), is
// likelier: such characters are where one picks the wrong one of a row of
// homophones, and as words of their own they make the text as written read
// better than it is.
constexpr int kGrammarSlipCost = 60;
const QString kGrammarCharacters = QStringLiteral("以已在再因应即既一但那哪及给于未末则");
// The cost of the commonest words: about the first 500 of the white list.
constexpr int kCommonestCost = 86;
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
const QString kBeforeMeasureWords = QStringLiteral("一二三四五六七八九十百千万亿零两几这那哪每各某整半逐多");
const QString kResults = QStringLiteral("好完出来去到住走掉开上下起过回进成着了得在给见透满光懂");
// A word of degree before a one-character adjective (太艳, 很淡) is no slip either.
const QString kDegrees = QStringLiteral("太很真挺最更蛮极好");

// 的, 地 and 得 are not taken for one another by a guess (基的 for 基地): which
// one a sentence needs is a matter of grammar, not of a word.
const QString kParticles = QStringLiteral("的地得");
// Where at least half the characters around a stretch spell foreign names by
// their sound (萨默塞特, 科普里夫尼察-克里热夫齐), it belongs to a name.
constexpr int kSoundSpellingShare = 50;

// What follows a person's name (于广辉|先生, 张晓莹|老师): a surname just
// before such a word starts a name, not a slip.
const QStringList kTitles = QStringLiteral("先生 女士 小姐 老师 同学 教授 博士 医生 大夫 师傅 同志 主任 经理 局长 书记 "
                                           "院长 校长 部长 厂长 总监 阿姨 叔叔 大爷 大妈 奶奶 爷爷 老板 律师 记者")
                                .split(QLatin1Char(' '));

// The corrections offered for a word on its own.
constexpr int kMostOffered = 8;

// Is at least kSoundSpellingShare per cent of a context of four characters or
// more made of name-spelling characters?
bool spelledBySound(const QString& context)
{
    if (context.size() < 4)
        return false;
    const int spelling = int(std::count_if(context.cbegin(), context.cend(), [](QChar c) { return kSoundSpelling.contains(c); }));
    return spelling * 100 >= context.size() * kSoundSpellingShare;
}

// Does stretch[start .. end - 1] take part in a repetition: a verb on both
// sides of 一 (歇一歇), or two characters said twice (整宿整宿)?
bool repeats(const QString& stretch, int start, int end)
{
    for (int k = std::max(1, start - 1); k <= end && k + 1 < stretch.size(); ++k)
        if (stretch.at(k) == QChar(0x4E00) && stretch.at(k - 1) == stretch.at(k + 1)) // 一
            return true;
    for (int k = std::max(0, start - 3); k < end && k + 3 < stretch.size(); ++k)
        if (stretch.at(k) == stretch.at(k + 2) && stretch.at(k + 1) == stretch.at(k + 3))
            return true;
    return false;
}

// Would the guess break a phrase of the text as written: a verb before its
// result or direction (治好, 洒下, 亮成), a word of degree before a
// one-character adjective (太艳)?
bool breaksPhrase(const QChar* text, int length, const QString& guess)
{
    for (int k = 0; k < length; ++k) {
        if (guess.at(k) == text[k])
            continue;
        if ((k + 1 < length && kResults.contains(text[k + 1])) || (length == 2 && k == 1 && kDegrees.contains(text[0])))
            return true;
    }
    return false;
}

// Is the guess's one changed character a character of grammar, the same
// syllable and tone as the meant one, in one of the commonest words?
bool slipInGrammar(const QChar* text, int length, const ConfusableWords::Guess& guess)
{
    if (guess.confusionCost != 0 || guess.wordCost > kCommonestCost)
        return false;
    for (int k = 0; k < length; ++k)
        if (guess.word.at(k) != text[k])
            return kGrammarCharacters.contains(text[k]);
    return false;
}

// Does the guess put one of 的, 地 and 得 for another?
bool swapsParticles(const QChar* text, int length, const QString& guess)
{
    for (int k = 0; k < length; ++k)
        if (guess.at(k) != text[k] && kParticles.contains(text[k]) && kParticles.contains(guess.at(k)))
            return true;
    return false;
}

} // namespace

void Embellish::pieceCosts(const QString& text, int from, int to, QVector<int>& costs)
{
    const auto loaded = m_tables.constFind(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST);
    const WordLookupTable* whiteList = loaded != m_tables.constEnd() ? loaded->data() : nullptr;
    costs.resize(text.size() * kLongestPiece);
    QString piece;
    for (int k = 0; k < text.size(); ++k)
        for (int n = 1; n <= kLongestPiece; ++n) {
            // Only the pieces over text[from .. to - 1] (all when from < 0).
            if (from >= 0 && (k + n <= from || k >= to))
                continue;
            int& cost = costs[k * kLongestPiece + n - 1];
            cost = INT_MAX;
            if (k + n > text.size())
                continue;
            if (n == 1) {
                cost = ConfusableWords::characterCost(text.at(k));
                continue;
            }
            piece.setUnicode(text.constData() + k, n);
            const int row = whiteList ? whiteList->rowOf(piece) : 0;
            if (row > 0)
                cost = ConfusableWords::rowCost(row);
            else if (m_names.isName(piece.constData(), n))
                cost = kNameCost;
        }
}

int Embellish::cheapestReading(const QVector<int>& costs, int size, int from, int to)
{
    QVector<int> best(size + 1, INT_MAX);
    best[0] = 0;
    for (int k = 0; k < size; ++k) {
        if (best[k] == INT_MAX)
            continue;
        for (int n = 1; n <= kLongestPiece && k + n <= size; ++n) {
            // A stretch that must stay together may not be cut inside.
            const int cost = costs[k * kLongestPiece + n - 1];
            if (cost == INT_MAX || (k > from && k < to) || (k + n > from && k + n < to))
                continue;
            best[k + n] = std::min(best[k + n], best[k] + cost);
        }
    }
    return best[size];
}

bool Embellish::guessMisspelling(const QString& stretch, int start, int length, QString* correction)
{
    prepareReading();
    if (!m_confusable)
        return false;
    const QChar* text = stretch.constData() + start;
    const QString written = QString::fromRawData(text, length);
    if (containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, written) || m_names.isName(text, length)
        || m_names.isSurname(text, length) || (m_places && m_places->contains(written)))
        return false;
    // A slip shows in its context: a word of two characters standing alone
    // (a name in a list, a heading) is not judged; an idiom or a longer word
    // is.
    if ((length == 2 && stretch.size() < length + kLeastContext) || inForeignName(stretch, start, start + length)
        || spelledBySound(stretch) || beforeTitle(stretch, start, length))
        return false;
    QVector<ConfusableWords::Guess> guesses = slipGuesses(text, length);
    // Writers misspell common words, not the names of places or foreigners.
    guesses.erase(std::remove_if(guesses.begin(), guesses.end(),
                                 [this, text, length](const ConfusableWords::Guess& guess) {
                                     return (m_places && m_places->contains(guess.word))
                                         || std::all_of(guess.word.cbegin(), guess.word.cend(),
                                                        [](QChar c) { return kSoundSpelling.contains(c); })
                                         || swapsParticles(text, length, guess.word);
                                 }),
                  guesses.end());
    // The pieces of the text as written; a guess changes those over the stretch.
    QVector<int> writtenCosts;
    QVector<int> costs;
    int asWritten = -1;
    int bestMargin = 0; // before the slip's own cost
    int bestNeeded = 0; // the cost the best guess's margin must exceed
    QString best;
    for (int g = 0; g < guesses.size() && g < kMostGuesses; ++g) {
        const ConfusableWords::Guess& guess = guesses.at(g);
        if (breaksPhrase(text, length, guess.word))
            continue;
        if (asWritten < 0) {
            pieceCosts(stretch, -1, -1, writtenCosts);
            asWritten = cheapestReading(writtenCosts, stretch.size(), -1, -1);
        }
        const QString corrected = stretch.left(start) + guess.word + stretch.mid(start + length);
        costs = writtenCosts;
        pieceCosts(corrected, start, start + length, costs);
        const int margin = asWritten - cheapestReading(costs, corrected.size(), start, start + length) - guess.confusionCost;
        // A slip in a character of grammar, into one of the commonest words
        // (以经 for 已经), needs less to show.
        const int needed = slipInGrammar(text, length, guess) ? kGrammarSlipCost : kSlipCost;
        if (margin - needed > bestMargin - bestNeeded) {
            bestMargin = margin;
            bestNeeded = needed;
            best = guess.word;
        }
    }
    // The rarer checks last: most stretches are done with by now.
    if (best.isEmpty() || bestMargin <= bestNeeded || readsAsPhrase(stretch, start, length))
        return false;
    *correction = best;
    return true;
}

bool Embellish::beforeTitle(const QString& stretch, int start, int length) const
{
    const int end = start + length;
    const bool named = m_names.isSurname(stretch.constData() + start, 1)
        || (start > 0 && m_names.isSurname(stretch.constData() + start - 1, 1));
    if (!named)
        return false;
    for (const QString& title : kTitles)
        if (stretch.midRef(end, title.size()) == title)
            return true;
    return false;
}

QVector<ConfusableWords::Guess> Embellish::slipGuesses(const QChar* text, int length)
{
    // Hot path: whether a character is one of grammar, looked up in a table.
    static const std::vector<bool> grammar = [] {
        std::vector<bool> table(0x10000, false);
        for (const QChar c : kGrammarCharacters)
            table[c.unicode()] = true;
        return table;
    }();
    // A guess costs less than the characters written, each a word of its own,
    // with the slip's cost added.
    int letters = 0;
    for (int k = 0; k < length; ++k)
        letters += ConfusableWords::characterCost(text[k]);
    QVector<ConfusableWords::Guess> result = m_confusable->guesses(text, length, letters - kSlipCost);
    if (length == 2 && (grammar[text[0].unicode()] || grammar[text[1].unicode()])) {
        for (const ConfusableWords::Guess& guess :
             m_confusable->guesses(text, length, letters - kGrammarSlipCost, kCommonestCost, 0))
            if (slipInGrammar(text, length, guess)
                && std::none_of(result.cbegin(), result.cend(), [&](const ConfusableWords::Guess& g) { return g.word == guess.word; }))
                result.append(guess);
    }
    return result;
}

bool Embellish::readsAsPhrase(const QString& stretch, int start, int length)
{
    const QChar* text = stretch.constData() + start;
    const int end = start + length;
    auto isMeasureWord = [this](QChar c) { return m_measureWords && m_measureWords->contains(QString(c)); };
    // A number or a pointing word and its measure word (那件), or a measure
    // word after them and the noun it counts (这条|江, 一车|砖).
    if (length == 2 && isMeasureWord(text[1]) && kBeforeMeasureWords.contains(text[0]))
        return true;
    if (start > 0 && isMeasureWord(text[0]) && kBeforeMeasureWords.contains(stretch.at(start - 1)))
        return true;
    // A verb said twice (歇一歇, 试一试) or a pair of words (整宿整宿).
    if (repeats(stretch, start, end))
        return true;
    // A stretch inside a longer word of the white list (有模有样, 货比三家).
    for (int from = std::max(0, end - kLongestPiece); from <= start; ++from)
        for (int n = std::max(end - from, 2); n <= kLongestPiece && from + n <= stretch.size(); ++n)
            if ((from < start || from + n > end)
                && containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, QString::fromRawData(stretch.constData() + from, n)))
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
    QStringList offered = particleCorrections(word) + measureCorrections(word);
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
