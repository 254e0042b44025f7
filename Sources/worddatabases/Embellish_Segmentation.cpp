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

#include "Logging.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "WordDatabaseCatalogue.h"

namespace {

inline bool segmentationLogging()
{
    return logTargets != LOG_TARGET_NONE && logLevel <= QtDebugMsg;
}

// Delimiters outside ASCII: 。，？“”！《》【】…：、‘’；—（）·
constexpr ushort kWideDelimiters[] = {0x3002, 0xFF0C, 0xFF1F, 0x201C, 0x201D, 0xFF01, 0x300A, 0x300B, 0x3010, 0x3011,
                                      0x2026, 0xFF1A, 0x3001, 0x2018, 0x2019, 0xFF1B, 0x2014, 0xFF08, 0xFF09, 0x00B7};

bool isWideDelimiter(ushort c)
{
    for (ushort d : kWideDelimiters)
        if (d == c)
            return true;
    return false;
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

// Codes whose single characters are worth a lookup.
bool shortestLengthIsOne(uint type)
{
    switch (type) {
    case TEMPLATE_TYPE_TQW_FILE_ATOM_TOC:
    case TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER:
    case TEMPLATE_TYPE_SQLITE_DB_ENGLISH:
    case TEMPLATE_TYPE_SQLITE_DB_EROTICISM:
    case TEMPLATE_TYPE_SQLITE_DB_NUMBER:
    case TEMPLATE_TYPE_SQLITE_DB_PLACE_NAME:
    case TEMPLATE_TYPE_SQLITE_DB_POLITICS:
    case TEMPLATE_TYPE_SQLITE_DB_SURNAME:
    case TEMPLATE_TYPE_SQLITE_DB_VULGAR:
    case TEMPLATE_TYPE_SQLITE_DB_INTERNET_WORD:
    case TEMPLATE_TYPE_SQLITE_DB_POLYPHONE:
    case TEMPLATE_TYPE_SQLITE_DB_QUANTIFIER:
    case TEMPLATE_TYPE_SQLITE_DB_USER_DEFINED:
        return true;
    default:
        return false;
    }
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

bool SegmentationSettings::isDelimiter(QChar c, uint type) const
{
    if (!hasDelimiters(type))
        return false;
    const ushort u = c.unicode();
    return u < 0x80 ? isAsciiDelimiter(u, digitsAsSymbol, alphaAsSymbol) : isWideDelimiter(u);
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

    ScanRules(uint code, const SegmentationSettings& settings)
        : type(code)
        , category(Embellish::categoryName(code))
    {
        minLength = shortestLengthIsOne(code) ? 1 : 2;
        // Worked out afresh for every line, so a line is cut the same way
        // whatever was cut before it.
        if (code == TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST) {
            longest = true;
            maxLength = 4;
        } else {
            longest = settings.longestMatch;
            maxLength = longest ? std::max(settings.maxWordLength, 4) : 4;
        }
        if (code == TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER)
            maxLength = 1;
        delimiters = SegmentationSettings::hasDelimiters(code);
        for (ushort c = 0; c < 0x80; ++c)
            asciiDelimiter[c] = delimiters && isAsciiDelimiter(c, settings.digitsAsSymbol, settings.alphaAsSymbol);
    }

    bool isDelimiter(QChar c) const
    {
        const ushort u = c.unicode();
        if (u < 0x80)
            return asciiDelimiter[u];
        return delimiters && isWideDelimiter(u);
    }
};

// Pieces in reverse text order.
struct Embellish::ScanOutput
{
    QVector<Segment> marked;
    QVector<Segment> embellished;
};

QString Embellish::categoryName(uint type)
{
    if (type == TEMPLATE_TYPE_TQW_FILE_ATOM_TOC)
        return QStringLiteral("扩写");
    if (WordDatabaseCatalogue::lookupKind(type) == WordDatabaseCatalogue::NoLookup)
        return QString();
    return WordDatabaseCatalogue::tableName(type);
}

void Embellish::emitPiece(const QString& text, bool matched, const ScanRules& rules, ScanOutput& out) const
{
    if (text.isEmpty())
        return;
    const bool perCharacter = !matched
        && (rules.type == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST
            || rules.type == TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER);
    if (!perCharacter) {
        out.marked.append(Segment{text, rules.category, matched});
        out.embellished.append(Segment{text, rules.category, matched});
        return;
    }
    // Last character first: the output is reversed. A high-frequency
    // character counts as found.
    for (int k = text.size() - 1; k >= 0; --k) {
        const QChar c = text.at(k);
        const bool frequent = highFrequencyCharacters.contains(c);
        out.marked.append(Segment{QString(c), rules.category, frequent});
        out.embellished.append(Segment{QString(c), rules.category, frequent});
    }
}

void Embellish::scanLine(const QString& line, const ScanRules& rules, ScanOutput& out)
{
    const int length = line.size();
    if (length == 0)
        return;

    // The candidate is line[i .. p] while it grows, line[i + 1 .. p] once a
    // delimiter at i has stopped it; candidateLength says how much of it there is.
    int i = length - 1;
    int p = length - 1;
    int candidateLength = 0;
    bool hit = false;
    int hitStart = -1;
    QString hitWord;
    QString replacement;
    int delimiterStart = -1; // the delimiter run is line[delimiterStart .. delimiterEnd]
    int delimiterEnd = -1;
    int carried = -1; // position of the carried unfound character, -1 for none

    const bool delimiterRunMatched = rules.type == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST;
    auto emitDelimiterRun = [&] {
        if (delimiterEnd < 0)
            return;
        emitPiece(line.mid(delimiterStart, delimiterEnd - delimiterStart + 1), delimiterRunMatched, rules, out);
        delimiterStart = delimiterEnd = -1;
    };
    auto emitCarried = [&] {
        if (carried < 0)
            return;
        emitPiece(QString(line.at(carried)), false, rules, out);
        carried = -1;
    };
    auto emitHit = [&] {
        out.marked.append(Segment{hitWord, rules.category, true});
        out.embellished.append(Segment{replacement, rules.category, true});
    };

    while (i >= 0) {
        const QChar c = line.at(i);
        if (rules.isDelimiter(c)) {
            if (delimiterEnd < 0)
                delimiterEnd = i;
            delimiterStart = i;
            p = i > 0 ? i - 1 : 0;
            emitCarried();
            if (hit) {
                emitHit();
                const int hitLength = hitWord.size();
                if (candidateLength > hitLength)
                    scanLine(line.mid(i + 1, candidateLength - hitLength), rules, out);
            } else if (candidateLength > 0) {
                if (candidateLength <= rules.minLength)
                    emitPiece(line.mid(i + 1, candidateLength), false, rules, out);
                else
                    scanLine(line.mid(i + 1, candidateLength), rules, out);
            }
            candidateLength = 0;
            hit = false;
            if (i > 0) {
                --i;
                continue;
            }
        } else {
            emitDelimiterRun();
            ++candidateLength;
            bool flush;
            if (candidateLength >= rules.minLength) {
                const QString candidate = line.mid(i, candidateLength);
                QString newWord;
                if (getNewWord(candidate, &newWord, rules.type, nullptr)) {
                    hit = true;
                    hitStart = i;
                    hitWord = candidate;
                    replacement = newWord;
                    flush = !rules.longest || i == 0 || candidateLength >= rules.maxLength;
                } else {
                    flush = candidateLength >= rules.maxLength || i == 0;
                }
            } else {
                flush = candidateLength >= rules.maxLength || i == 0;
            }
            if (!flush) {
                --i;
                continue;
            }
        }

        // Flush: everything right of the next right end goes out.
        emitDelimiterRun();
        emitCarried();
        const int hitLength = hit ? hitWord.size() : 0;
        if (hit)
            emitHit();
        if (candidateLength <= rules.minLength && i == 0) {
            emitPiece(line.mid(0, candidateLength - hitLength), false, rules, out);
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

    ScanOutput out;
    scanLine(str, rules, out);

    QList<Segment> first;
    QList<Segment> second;
    first.reserve(out.marked.size() + marked->size());
    second.reserve(out.embellished.size() + embellished->size());
    for (auto it = out.marked.crbegin(); it != out.marked.crend(); ++it)
        first.append(*it);
    for (auto it = out.embellished.crbegin(); it != out.embellished.crend(); ++it)
        second.append(*it);
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
    ScanOutput out;
    emitPiece(text, matched, rules, out);
    if (marked)
        for (const Segment& segment : qAsConst(out.marked))
            marked->prepend(segment);
    if (embellished)
        for (const Segment& segment : qAsConst(out.embellished))
            embellished->prepend(segment);
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
