// Embellish: cutting one line into segments against a word category.
//
// The scan runs from the last character of the line to the first. Each
// candidate word has a fixed right end and grows leftward one character at a
// time between the category's shortest and longest length; every candidate of
// at least the shortest length is looked up. Delimiters end candidates. In
// longest-match mode the longest hit of a right end wins, otherwise the
// shortest. Pieces are produced right to left; they are collected in reverse
// and turned around once at the end.

#include "Embellish.h"

#include <QDebug>
#include <QVector>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "Logging.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "WordDatabaseCatalogue.h"

namespace {

inline bool segmentationLogging()
{
    return logTargets != LOG_TARGET_NONE && logLevel <= QtDebugMsg;
}

// Delimiters outside ASCII that are always there: 。，？“”！《》【】…：、‘’；—（）·
// and, beside them, every blank (the no-break space of web pages, the
// ideographic space that indents Chinese paragraphs, line and paragraph
// separators), every punctuation mark and every symbol (「」〔〕～→％ and the
// like, superscript and circled numbers too). Digits other than ASCII ones,
// the numerals written like letters (〇 of 二〇二四, Ⅳ, ⅻ), full-width
// letters and the other Latin letters (é, ë) go with the digit and letter
// settings.
constexpr ushort kWideDelimiters[] = {0x3002, 0xFF0C, 0xFF1F, 0x201C, 0x201D, 0xFF01, 0x300A, 0x300B, 0x3010, 0x3011,
                                      0x2026, 0xFF1A, 0x3001, 0x2018, 0x2019, 0xFF1B, 0x2014, 0xFF08, 0xFF09, 0x00B7};

enum WideClass : unsigned char { WideWord = 0, WideDelimiter = 1, WideDigit = 2, WideLetter = 3, WideNumeral = 4 };

bool isSymbolOrPunctuation(uint codePoint)
{
    switch (QChar::category(codePoint)) {
    case QChar::Punctuation_Connector:
    case QChar::Punctuation_Dash:
    case QChar::Punctuation_Open:
    case QChar::Punctuation_Close:
    case QChar::Punctuation_InitialQuote:
    case QChar::Punctuation_FinalQuote:
    case QChar::Punctuation_Other:
    case QChar::Symbol_Math:
    case QChar::Symbol_Currency:
    case QChar::Symbol_Modifier:
    case QChar::Symbol_Other:
    case QChar::Number_Other: // ² ½ ①
        return true;
    default:
        return false;
    }
}

// The class of every character of the Basic Multilingual Plane above ASCII,
// worked out once (thread-safe static initialisation).
const unsigned char* wideClasses()
{
    static const std::vector<unsigned char> classes = [] {
        std::vector<unsigned char> table(0x10000, WideWord);
        for (uint u = 0x80; u < 0x10000; ++u) {
            const QChar c{ushort(u)};
            if (c.isSurrogate())
                continue;
            if (c.isSpace() || isSymbolOrPunctuation(u))
                table[u] = WideDelimiter;
            else if (c.category() == QChar::Number_DecimalDigit)
                table[u] = WideDigit;
            else if (c.category() == QChar::Number_Letter)
                table[u] = WideNumeral;
            else if ((u >= 0xFF21 && u <= 0xFF3A) || (u >= 0xFF41 && u <= 0xFF5A)
                     || (c.isLetter() && c.script() == QChar::Script_Latin))
                table[u] = WideLetter;
        }
        for (ushort d : kWideDelimiters)
            table[d] = WideDelimiter;
        return table;
    }();
    return classes.data();
}

bool isWideDelimiter(ushort c, bool digits, bool letters)
{
    switch (wideClasses()[c]) {
    case WideDelimiter:
        return true;
    case WideDigit:
    case WideNumeral:
        return digits;
    case WideLetter:
        return letters;
    default:
        return false;
    }
}

// A numeral written like a letter (〇, Ⅳ, ⅻ) is no doubtful character: where
// the digit setting makes it part of a word, the white-list check takes it as
// known, like a high-frequency character.
bool isLetterNumeral(QChar c)
{
    return c.unicode() >= 0x80 && wideClasses()[c.unicode()] == WideNumeral;
}

// A character outside the Basic Multilingual Plane (an emoji, a rare
// character) is two code units: both halves go with the whole character.
bool isSupplementaryDelimiter(const QString& line, int at)
{
    const QChar c = line.at(at);
    uint codePoint = 0;
    if (c.isHighSurrogate() && at + 1 < line.size() && line.at(at + 1).isLowSurrogate())
        codePoint = QChar::surrogateToUcs4(c, line.at(at + 1));
    else if (c.isLowSurrogate() && at > 0 && line.at(at - 1).isHighSurrogate())
        codePoint = QChar::surrogateToUcs4(line.at(at - 1), c);
    return codePoint != 0 && isSymbolOrPunctuation(codePoint);
}

bool isAsciiDelimiter(ushort c, bool digits, bool letters)
{
    if (c == 0x0A || c == 0x0D || c == 0x20 || c == 0x09 || c == 0x0B || c == 0x0C)
        return true;
    if (c >= '0' && c <= '9')
        return digits;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))
        return letters;
    // The 32 ASCII punctuation characters.
    return c >= 0x21 && c <= 0x7E;
}

// Codes whose single characters are worth a lookup: every list category but
// idioms, and atom markers.
bool shortestLengthIsOne(uint type)
{
    const auto kind = WordDatabaseCatalogue::lookupKind(type);
    return (kind == WordDatabaseCatalogue::ListLookup && type != TEMPLATE_TYPE_SQLITE_DB_IDIOM)
        || kind == WordDatabaseCatalogue::AtomLookup;
}

} // namespace

// ---- Settings --------------------------------------------------------------------

SegmentationSettings SegmentationSettings::read()
{
    qDebug() << Q_FUNC_INFO;
    Settings settings;
    SegmentationSettings result;
    result.digitsAsSymbol = settings.value(QStringLiteral("EmbellishDigitsAsSymbol"), true).toBool();
    result.alphaAsSymbol = settings.value(QStringLiteral("EmbellishAlphaAsSymbol"), true).toBool();
    result.longestMatch = settings.value(QStringLiteral("EmbellishTryMaxNewWordLength"), 0).toInt() != 0;
    result.maxWordLength = settings.value(QStringLiteral("MaxWordLength"), 4).toInt();
    return result;
}

bool SegmentationSettings::hasDelimiters(uint type)
{
    return type != TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION && type != TEMPLATE_TYPE_SQLITE_DB_ENGLISH
        && type != TEMPLATE_TYPE_SQLITE_DB_NUMBER && type != TEMPLATE_TYPE_SQLITE_DB_IDIOM;
}

int SegmentationSettings::longestCandidate(uint type) const
{
    if (type == TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER)
        return 1;
    // The black list always looks at four characters at most.
    if (type == TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST || !longestMatch)
        return 4;
    return std::max(maxWordLength, 4);
}

bool SegmentationSettings::isDelimiter(const QString& line, int at, uint type) const
{
    if (!hasDelimiters(type))
        return false;
    const ushort u = line.at(at).unicode();
    if (u < 0x80)
        return isAsciiDelimiter(u, digitsAsSymbol, alphaAsSymbol);
    if (QChar::isSurrogate(u))
        return isSupplementaryDelimiter(line, at);
    return isWideDelimiter(u, digitsAsSymbol, alphaAsSymbol);
}

// ---- Scan ------------------------------------------------------------------------

// The rules of one top-level call, shared by its nested calls.
struct Embellish::ScanRules
{
    uint type = 0;
    QString category;
    int minLength = 2;
    int maxLength = 4;
    bool longest = false;
    bool asciiDelimiter[0x80] = {};
    bool delimiters = true;
    bool digits = true;
    bool letters = true;

    ScanRules(uint code, const SegmentationSettings& settings)
        : type(code)
        , category(Embellish::categoryName(code))
    {
        minLength = shortestLengthIsOne(code) ? 1 : 2;
        // Worked out afresh for every line, so a line is cut the same way
        // whatever was cut before it.
        longest = code == TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST || settings.longestMatch;
        maxLength = settings.longestCandidate(code);
        delimiters = SegmentationSettings::hasDelimiters(code);
        digits = settings.digitsAsSymbol;
        letters = settings.alphaAsSymbol;
        for (ushort c = 0; c < 0x80; ++c)
            asciiDelimiter[c] = delimiters && isAsciiDelimiter(c, settings.digitsAsSymbol, settings.alphaAsSymbol);
    }

    bool isDelimiter(const QString& line, int at) const
    {
        const ushort u = line.at(at).unicode();
        if (u < 0x80)
            return asciiDelimiter[u];
        if (!delimiters)
            return false;
        if (QChar::isSurrogate(u))
            return isSupplementaryDelimiter(line, at);
        return isWideDelimiter(u, digits, letters);
    }
};

// What a scan produces, last piece first. Pieces are ranges of the line being
// cut (a hit also keeps its replacement); an unfound piece that meets the one
// before it is joined to it at once, which is what merging would do later.
struct Embellish::ScanOutput
{
    struct Piece
    {
        int start;
        int length;
        bool matched;
        bool hit;
        QString replacement;
    };

    const QString& line;
    const ScanRules& rules;
    const QString& frequent;
    QVector<Piece> pieces;
    QString candidate; // the lookup buffer, reused
    Embellish* owner = nullptr; // for code 33: asked whether a listed word stands over a character

    // An unfound character of codes 33 and 36 that counts as found: a
    // high-frequency character, and for 33 a letter-like numeral.
    bool known(QChar c) const
    {
        return frequent.contains(c) || (rules.type == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST && isLetterNumeral(c));
    }
    void add(int start, int length, bool matched)
    {
        if (!matched && !pieces.isEmpty()) {
            Piece& previous = pieces.last();
            if (!previous.matched && previous.start == start + length) {
                previous.start = start;
                previous.length += length;
                return;
            }
        }
        pieces.append(Piece{start, length, matched, false, QString()});
    }
    // Puts line[start .. start + length - 1] in front of what went before. An
    // unfound piece of codes 33 and 36 goes in one character at a time, each
    // found when it is known.
    void put(int start, int length, bool matched)
    {
        if (length <= 0)
            return;
        if (!matched
            && (rules.type == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST
                || rules.type == TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER)) {
            for (int k = start + length - 1; k >= start; --k)
                add(k, 1, known(line.at(k)) || (owner && owner->inListedWord(line, k)));
            return;
        }
        add(start, length, matched);
    }
    void putHit(int start, int length, const QString& replacement)
    {
        pieces.append(Piece{start, length, true, true, replacement});
    }
    // The pieces in text order, as segments.
    void collect(QList<Segment>& marked, QList<Segment>& embellished) const
    {
        marked.reserve(pieces.size());
        embellished.reserve(pieces.size());
        for (auto it = pieces.crbegin(); it != pieces.crend(); ++it) {
            const QString text = it->length == line.size() ? line : line.mid(it->start, it->length);
            marked.append(Segment{text, rules.category, it->matched});
            embellished.append(Segment{it->hit ? it->replacement : text, rules.category, it->matched});
        }
    }
};

QString Embellish::categoryName(uint type)
{
    if (type == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC)
        return QStringLiteral("扩写");
    if (WordDatabaseCatalogue::lookupKind(type) == WordDatabaseCatalogue::NoLookup)
        return QString();
    return WordDatabaseCatalogue::tableName(type);
}

void Embellish::scanLine(const QString& line, int first, int last, const ScanRules& rules, ScanOutput& out)
{
    if (last < first)
        return;

    // The candidate is line[i .. p] while it grows, line[i + 1 .. p] once a
    // delimiter at i has stopped it; candidateLength says how much of it there is.
    int i = last;
    int p = last;
    int candidateLength = 0;
    bool hit = false;
    int hitStart = -1;
    int hitLength = 0;
    QString replacement;
    int delimiterStart = -1; // the delimiter run is line[delimiterStart .. delimiterEnd]
    int delimiterEnd = -1;
    int carried = -1; // position of the carried unfound character, -1 for none

    const bool delimiterRunMatched = rules.type == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST;
    auto emitDelimiterRun = [&] {
        if (delimiterEnd < 0)
            return;
        out.put(delimiterStart, delimiterEnd - delimiterStart + 1, delimiterRunMatched);
        delimiterStart = delimiterEnd = -1;
    };
    auto emitCarried = [&] {
        if (carried < 0)
            return;
        out.put(carried, 1, false);
        carried = -1;
    };

    while (i >= first) {
        if (rules.isDelimiter(line, i)) {
            if (delimiterEnd < 0)
                delimiterEnd = i;
            delimiterStart = i;
            p = i > first ? i - 1 : first;
            emitCarried();
            if (hit) {
                out.putHit(hitStart, hitLength, replacement);
                if (candidateLength > hitLength)
                    scanLine(line, i + 1, i + candidateLength - hitLength, rules, out);
            } else if (candidateLength > 0) {
                if (candidateLength <= rules.minLength)
                    out.put(i + 1, candidateLength, false);
                else
                    scanLine(line, i + 1, i + candidateLength, rules, out);
            }
            candidateLength = 0;
            hit = false;
            if (i > first) {
                --i;
                continue;
            }
        } else {
            emitDelimiterRun();
            ++candidateLength;
            bool flush;
            if (candidateLength >= rules.minLength) {
                out.candidate.setUnicode(line.constData() + i, candidateLength);
                QString newWord;
                // A row of the black list decides by its own reading; a
                // stretch no row lists may still be a slip.
                const bool listed = getNewWord(out.candidate, &newWord, rules.type, nullptr);
                if ((listed
                     && (rules.type != TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST
                         || readsAsWrongForm(line, i, candidateLength, rules)))
                    || (!listed && guessAt(line, i, candidateLength, rules, &newWord))) {
                    hit = true;
                    hitStart = i;
                    hitLength = candidateLength;
                    replacement = newWord;
                    flush = !rules.longest || i == first || candidateLength >= rules.maxLength;
                } else {
                    flush = candidateLength >= rules.maxLength || i == first;
                }
            } else {
                flush = candidateLength >= rules.maxLength || i == first;
            }
            if (!flush) {
                --i;
                continue;
            }
        }

        // Flush: everything right of the next right end goes out.
        emitDelimiterRun();
        emitCarried();
        if (hit)
            out.putHit(hitStart, hitLength, replacement);
        if (candidateLength <= rules.minLength && i == first) {
            out.put(first, candidateLength - (hit ? hitLength : 0), false);
            break;
        }
        if (!hit && candidateLength > 0)
            carried = p;
        p = hit ? hitStart - 1 : p - 1;
        candidateLength = 0;
        hit = false;
        i = p;
    }
    // Never reached with a character still carried; kept so none could be lost.
    emitCarried();
}

// ---- Black-list hits in their context -----------------------------------------------

// A wrong form of the black list is often nothing but the meeting of two
// correct words: 平安|祥和 holds 安祥, 按|纽约 holds 按纽, 从事|绩效 holds
// 事绩. So a hit counts only where the text reads better with it than as
// correct words. The stretch around the hit (up to kReadingContext characters
// on each side, never across a delimiter) is read as the fewest pieces, each
// a white-list word or a single character:
// - as written: the hit's characters may not stand together as one piece
//   (a word the user put on the black list may well be a white-list word),
//   they must belong to other words or stand alone;
// - with the hit taken whole: fewer pieces than as written mark it
//   (这次|聚会|很|热闹 against 这次|聚|会|很|热闹);
// - with a correction put in, kept together (inside one piece): fewer pieces
//   than as written mark it too (的|候选人 against 的|侯|选人), while
//   这|家具|乐|部 reads worse than 这家|俱乐部.
// A person's name is one piece as well (美玲|听完, 小欧|打来|电话, see
// PersonalNames).
// When the correction reads with as many pieces as the text as written, the
// words decide: the shipped white list lists its words most frequent first,
// so a word's row is a rough measure of how common it is, and a correction
// whose reading is made of clearly more common words (请|按照|规定 against
// 请安|照|规定) is marked as well.
namespace {

constexpr int kReadingContext = 6;
constexpr int kLongestReadingWord = 8;
// ln 20: the correction's reading must be about twenty times as common.
constexpr double kClearlyMoreCommon = 3.0;
// A single character of at most this cost is a common word of its own (好, 的, 在).
constexpr int kStandaloneCost = 70;
constexpr int kNamePiece = -1;

// The weight of one piece: ln(row) for a white-list word. Frequency does not
// judge a name (a story may say 张海 on every page), so in a tie a name's
// reading stands. A single character, or a span that must be one piece
// whatever the white list says, weighs singleWeight.
double pieceWeight(int row, double singleWeight)
{
    if (row > 0)
        return std::log(double(row));
    return row == kNamePiece ? 0.0 : singleWeight;
}

struct Reading
{
    int pieces = INT_MAX / 2;
    double weight = 0; // the sum of the pieces' ln(row); lower is more common
};

bool readsBetter(const Reading& a, const Reading& b)
{
    return a.pieces < b.pieces || (a.pieces == b.pieces && a.weight < b.weight);
}

// How the span [from, to) of a stretch must be read.
enum class SpanRule {
    Whole,    // exactly one piece (the hit as written)
    NotWhole, // anything but exactly one piece (the text as written)
    Together, // no piece ends inside it (a correction put in)
};

// The best reading of a stretch of size characters. rows[k * kLongestReadingWord
// + n - 2] is the white-list row of its n characters at k (0: no word,
// kNamePiece: a name); singleWeight is the weight of a single character.
Reading bestReading(const QVector<int>& rows, int size, int from, int to, SpanRule rule, double singleWeight)
{
    QVector<Reading> best(size + 1);
    best[0] = Reading{0, 0};
    const int span = to - from;
    for (int k = 0; k < size; ++k) {
        if (best[k].pieces >= INT_MAX / 2)
            continue;
        for (int n = 1; n <= kLongestReadingWord && k + n <= size; ++n) {
            const int row = n >= 2 ? rows[k * kLongestReadingWord + n - 2] : 0;
            const bool exactSpan = k == from && n == span;
            bool allowed;
            switch (rule) {
            case SpanRule::Whole:
                allowed = exactSpan || k + n <= from || k >= to;
                break;
            case SpanRule::NotWhole:
                allowed = !exactSpan;
                break;
            case SpanRule::Together:
                allowed = !(k > from && k < to) && !(k + n > from && k + n < to);
                break;
            }
            // The span itself is a piece where it must be one: the hit as
            // written, or the correction, whatever the white list says.
            const bool piece = n == 1 || row != 0 || (exactSpan && rule != SpanRule::NotWhole);
            if (!allowed || !piece)
                continue;
            const Reading next{best[k].pieces + 1, best[k].weight + pieceWeight(row, singleWeight)};
            if (readsBetter(next, best[k + n]))
                best[k + n] = next;
        }
    }
    return best[size];
}

} // namespace

void Embellish::prepareReading()
{
    if (m_readingPrepared)
        return;
    m_readingPrepared = true;
    // The white list is read from memory: every hit asks it about a few dozen pieces.
    if (!hasWordTable(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST))
        loadWordTable(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST);
    QString error;
    WordLookupTable::Pointer surnames = WordLookupTable::shared(TEMPLATE_TYPE_SQLITE_DB_SURNAME, &error);
    if (!surnames)
        qWarning().noquote() << "Surnames not loaded:" << error;
    m_names = PersonalNames::load(std::move(surnames));
    m_confusable = ConfusableWords::shared(m_tables.value(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST));
    m_places = WordLookupTable::shared(TEMPLATE_TYPE_SQLITE_DB_PLACE_NAME, &error);
    m_idioms = WordLookupTable::shared(TEMPLATE_TYPE_SQLITE_DB_IDIOM, &error);
    m_measureWords = WordLookupTable::shared(TEMPLATE_TYPE_SQLITE_DB_QUANTIFIER, &error);
}

QString Embellish::contextOf(const QString& line, int start, int length, const ScanRules& rules, int* hitStart)
{
    int from = start;
    while (from > 0 && start - from < kReadingContext && !rules.isDelimiter(line, from - 1))
        --from;
    int to = start + length; // one past the end
    while (to < line.size() && to - (start + length) < kReadingContext && !rules.isDelimiter(line, to))
        ++to;
    *hitStart = start - from;
    return line.mid(from, to - from);
}

namespace {

// The stretches found to have no guess, remembered by their key: 2^16 of them.
constexpr int kUnguessedBits = 16;
constexpr size_t kUnguessedSlots = size_t(1) << kUnguessedBits;
// How far technical signs around a stretch count, in characters.
constexpr int kTechnicalReach = 12;
// The ends of place and language names, and how many characters may stand
// between a stretch and such an end.
const QString kPlaceEndings = QStringLiteral("省州郡岛区县府族语");
constexpr int kLongestNameTail = 3;

bool isTechnicalSign(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u < 0x80 && QByteArrayLiteral("%<>_=\\$@{}|`").contains(char(u)));
}

} // namespace

bool Embellish::inTechnicalText(const QString& line, int start, int length)
{
    const int from = std::max(0, start - kTechnicalReach);
    const int to = std::min(int(line.size()), start + length + kTechnicalReach);
    for (int k = from; k < to; ++k)
        if (isTechnicalSign(line.at(k)))
            return true;
    return false;
}

bool Embellish::beforeNameEnding(const QString& line, int end, const ScanRules& rules)
{
    int last = end - 1;
    while (last + 1 < line.size() && last + 1 - end < kLongestNameTail && !rules.isDelimiter(line, last + 1))
        ++last;
    const bool pieceEnds = last + 1 == line.size() || rules.isDelimiter(line, last + 1);
    return pieceEnds && kPlaceEndings.contains(line.at(last));
}

bool Embellish::mayBeGuessed(const QChar* text, int length)
{
    for (int k = 0; k < length; ++k)
        if (!ConfusableWords::isIdeograph(text[k]))
            return false;
    if (m_unguessed.empty())
        m_unguessed.assign(kUnguessedSlots, 0);
    const quint64 key = ConfusableWords::textKey(text, length);
    quint64& slot = m_unguessed[(key * 0x9E3779B97F4A7C15ull) >> (64 - kUnguessedBits)];
    if (slot == key)
        return false;
    if (!slipGuesses(text, length).isEmpty())
        return true;
    slot = key;
    return false;
}

bool Embellish::guessAt(const QString& line, int start, int length, const ScanRules& rules, QString* correction)
{
    if (rules.type != TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST)
        return false;
    if (particleSlip(line, start, length, correction) || measureSlip(line, start, length, correction))
        return true;
    // Most stretches have no word to be guessed, or none that reads better
    // than the characters written: that is found without the context, and
    // remembered, as text repeats its pairs of characters.
    prepareReading();
    if (!m_confusable || !mayBeGuessed(line.constData() + start, length))
        return false;
    if (inTechnicalText(line, start, length) || beforeNameEnding(line, start + length, rules))
        return false;
    int hitStart = 0;
    const QString stretch = contextOf(line, start, length, rules, &hitStart);
    return guessMisspelling(stretch, hitStart, length, correction);
}

bool Embellish::readsAsWrongForm(const QString& line, int start, int length, const ScanRules& rules)
{
    int hitStart = 0;
    const QString stretch = contextOf(line, start, length, rules, &hitStart);
    const int hitEnd = hitStart + length;

    prepareReading();
    const auto loaded = m_tables.constFind(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST);
    const WordLookupTable* whiteList = loaded != m_tables.constEnd() ? loaded->data() : nullptr;
    // Without the table in memory every word counts the same.
    const double singleWeight = whiteList ? std::log(double(whiteList->rowCount()) + 1) : 0;
    QString piece;
    auto wordRows = [&](const QString& text) {
        QVector<int> rows(text.size() * kLongestReadingWord, 0);
        for (int k = 0; k < text.size(); ++k)
            for (int n = 2; n <= kLongestReadingWord && k + n <= text.size(); ++n) {
                piece.setUnicode(text.constData() + k, n);
                int& row = rows[k * kLongestReadingWord + n - 2];
                row = whiteList ? whiteList->rowOf(piece)
                                : int(containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, piece));
                if (row == 0 && m_names.isName(piece.constData(), n))
                    row = kNamePiece;
            }
        return rows;
    };

    const QVector<int> rows = wordRows(stretch);
    const QVector<WordRow> corrections = matchingRows(TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, stretch.mid(hitStart, length), false);
    if (runsIntoPhrase(hitStart, length, rows, corrections))
        return false;
    const Reading asWritten = bestReading(rows, stretch.size(), hitStart, hitEnd, SpanRule::NotWhole, singleWeight);
    if (bestReading(rows, stretch.size(), hitStart, hitEnd, SpanRule::Whole, singleWeight).pieces < asWritten.pieces)
        return true;

    for (const WordRow& row : corrections) {
        const QString& correction = row.second;
        if (row.first.isEmpty() || correction.isEmpty())
            continue;
        const QString corrected = stretch.left(hitStart) + correction + stretch.mid(hitEnd);
        const Reading reading = bestReading(wordRows(corrected), corrected.size(), hitStart,
                                            hitStart + correction.size(), SpanRule::Together, singleWeight);
        if (reading.pieces < asWritten.pieces
            || (whiteList && reading.pieces == asWritten.pieces
                && reading.weight + kClearlyMoreCommon < asWritten.weight && leavesStray(stretch, hitStart, length)))
            return true;
    }
    return false;
}

// A wrong form of three characters or more that is no idiom's is a phrase
// (作晚饭, 实再太: the rows of collocations); a listed word that runs into it
// from before takes its first character away, and the phrase with it
// (当作|晚饭, 其实|再太). An idiom stands on its own (繁星|星罗旗布 is still
// 星罗棋布 misspelled).
bool Embellish::runsIntoPhrase(int start, int length, const QVector<int>& rows, const QVector<WordRow>& corrections)
{
    if (length < 3)
        return false;
    for (const WordRow& row : corrections)
        if (m_idioms && m_idioms->contains(row.second))
            return false;
    for (int from = std::max(0, start - kLongestReadingWord + 1); from < start; ++from)
        for (int n = start - from + 1; n <= kLongestReadingWord && from + n <= start + length; ++n)
            if (rows[from * kLongestReadingWord + n - 2] != 0)
                return true;
    return false;
}

// Common words decide a tie only where the text as written leaves a character
// of the hit standing alone that is seldom a word of its own (请安|照|规定):
// 一手|好|象棋 is no 一手|好像|棋, though 好像 is the more common word.
bool Embellish::leavesStray(const QString& stretch, int start, int length)
{
    for (int k = start; k < start + length; ++k) {
        if (ConfusableWords::characterCost(stretch.at(k)) <= kStandaloneCost)
            continue;
        bool covered = false;
        for (int from = std::max(0, k - kLongestReadingWord + 1); from <= k && !covered; ++from)
            for (int n = std::max(2, k - from + 1); n <= kLongestReadingWord && from + n <= stretch.size() && !covered; ++n)
                covered = !(from == start && n == length)
                    && containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, QString::fromRawData(stretch.constData() + from, n));
        if (!covered)
            return true;
    }
    return false;
}

// ---- White-list words at their spot ---------------------------------------------------

// The cut takes one word at each place, scanning from the right, so a listed
// word may lose a character to its neighbour (鄱阳|湖边 after 湖边 is taken).
// A character is known wherever any listed word of the text stands over it.
bool Embellish::inListedWord(const QString& line, int at)
{
    for (int from = std::max(0, at - kLongestReadingWord + 1); from <= at; ++from) {
        for (int n = std::max(2, at - from + 1); n <= kLongestReadingWord && from + n <= line.size(); ++n)
            if (containsWord(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, QString::fromRawData(line.constData() + from, n)))
                return true;
    }
    return false;
}

// ---- Public interface ------------------------------------------------------------

void Embellish::embellishString(const QString& str, QList<Segment>* marked, QList<Segment>* embellished, uint type)
{
    embellishString(str, marked, embellished, type, SegmentationSettings::read());
}

void Embellish::embellishString(const QString& str, QList<Segment>* marked, QList<Segment>* embellished, uint type,
                                const SegmentationSettings& settings)
{
    if (segmentationLogging())
        qDebug() << Q_FUNC_INFO << ", str =" << str << ", type =" << type;
    if (str.isEmpty() || !marked || !embellished)
        return;
    const ScanRules rules(type, settings);
    minWordLength = rules.minLength;
    maxWordLength = rules.maxLength;

    ScanOutput out{str, rules, highFrequencyCharacters, {}, {}};
    if (type == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST)
        out.owner = this;
    scanLine(str, 0, str.size() - 1, rules, out);
    QList<Segment> first;
    QList<Segment> second;
    out.collect(first, second);
    if (marked->isEmpty() && embellished->isEmpty()) {
        // Joined as they were made.
        *marked = std::move(first);
        *embellished = std::move(second);
        return;
    }
    first += *marked;
    second += *embellished;
    mergeSegments(&first, &second);
    *marked = std::move(first);
    *embellished = std::move(second);
}

void Embellish::appendSegment(const QString& text, bool matched, QList<Segment>* marked,
                              QList<Segment>* embellished, const QString& category, uint type)
{
    if (segmentationLogging())
        qDebug() << Q_FUNC_INFO << ", text =" << text << ", matched =" << matched << ", type =" << type;
    ScanRules rules(type, SegmentationSettings());
    rules.category = category;
    ScanOutput out{text, rules, highFrequencyCharacters, {}, {}};
    // One piece at a time, as the scan emits them: nothing is joined here.
    if (!matched && (type == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST || type == TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER)) {
        for (int k = text.size() - 1; k >= 0; --k)
            out.pieces.append(ScanOutput::Piece{k, 1, out.known(text.at(k)), false, QString()});
    } else if (!text.isEmpty()) {
        out.pieces.append(ScanOutput::Piece{0, int(text.size()), matched, false, QString()});
    }
    QList<Segment> first;
    QList<Segment> second;
    out.collect(first, second);
    if (marked)
        *marked = first + *marked;
    if (embellished)
        *embellished = second + *embellished;
}

void Embellish::mergeSegments(QList<Segment>* marked, QList<Segment>* embellished)
{
    if (!marked || marked->size() < 2)
        return;
    const int size = marked->size();
    const int parallel = embellished ? std::min(size, embellished->size()) : 0;
    QList<Segment> first;
    QList<Segment> second;
    first.reserve(size);
    if (embellished)
        second.reserve(embellished->size());
    for (int k = 0; k < size; ++k) {
        const Segment& segment = marked->at(k);
        if (k > 0 && !segment.matched && !first.last().matched) {
            first.last().text += segment.text;
            if (k < parallel)
                second.last().text += embellished->at(k).text;
            continue;
        }
        first.append(segment);
        if (k < parallel)
            second.append(embellished->at(k));
    }
    *marked = std::move(first);
    if (embellished) {
        for (int k = parallel; k < embellished->size(); ++k)
            second.append(embellished->at(k));
        *embellished = std::move(second);
    }
}
