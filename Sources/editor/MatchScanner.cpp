#include "MatchScanner.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>

#include "FindExpression.h"

namespace {

// The characters that end a paragraph in a document's raw text: the paragraph
// separator, and the marks where a frame (a table, say) starts and ends.
bool endsParagraph(QChar c)
{
    return c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

// The characters (grapheme clusters) of one paragraph's text, looked up lazily:
// most searches never meet an empty match.
class Characters
{
public:
    explicit Characters(const QString& text) : m_text(text) {}

    // Whether `position` lies between two characters; the ends always do.
    bool isBoundary(int position)
    {
        if (position <= 0 || position >= m_text.size())
            return true;
        finder().setPosition(position);
        return finder().isAtBoundary();
    }

    // The start of the character after the one at `position`, -1 at the end.
    int next(int position)
    {
        if (position >= m_text.size())
            return -1;
        finder().setPosition(position);
        return finder().toNextBoundary();
    }

private:
    QTextBoundaryFinder& finder()
    {
        if (!m_finder)
            m_finder.emplace(QTextBoundaryFinder::Grapheme, m_text);
        return *m_finder;
    }

    const QString& m_text;
    std::optional<QTextBoundaryFinder> m_finder;
};

// The engine reads the text without checking it: a lone surrogate (half of a
// character outside the Basic Multilingual Plane) becomes U+FFFD, which keeps
// every position where it was.
QString withoutLoneSurrogates(QString text)
{
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

} // namespace

// One paragraph's text as the expression reads it, and its characters.
class MatchScanner::Paragraph
{
public:
    explicit Paragraph(QString text)
        : m_text(withoutLoneSurrogates(text.replace(QChar::Nbsp, QLatin1Char(' '))))
        , m_characters(m_text)
    {
    }
    Paragraph(const Paragraph&) = delete;
    Paragraph& operator=(const Paragraph&) = delete;

    const QString& text() const { return m_text; }
    bool isBoundary(int position) { return m_characters.isBoundary(position); }
    int next(int position) { return m_characters.next(position); }
    // `position`, moved off the middle of a surrogate pair.
    int aligned(int position) const
    {
        const bool inPair = position > 0 && position < m_text.size() && m_text.at(position).isLowSurrogate()
                         && m_text.at(position - 1).isHighSurrogate();
        return inPair ? position + 1 : position;
    }

private:
    const QString m_text;
    Characters m_characters;
};

// One scan: hands the matches on and asks before each whether to stop.
class MatchScanner::Run
{
public:
    Run(const Visit& visit, const Stop& stop) : m_visit(visit), m_stop(stop) {}

    // False once the scan is to end.
    bool found(int start, int end)
    {
        m_visit(start, end);
        return goOn();
    }

    bool goOn() const { return !m_stop || !m_stop(); }

private:
    const Visit& m_visit;
    const Stop& m_stop;
};

MatchScanner::MatchScanner(const QString& find, Qt::CaseSensitivity cs, bool regexp)
    : m_find(find)
    , m_cs(cs)
    , m_regexp(regexp)
    , m_expression(FindExpression::compile(find, cs, regexp))
{
}

MatchScanner::Scan MatchScanner::scan(const QString& raw, const Visit& visit, const Stop& stop) const
{
    Run run(visit, stop);
    if (!run.goOn())
        return Scan::Stopped;
    if (m_find.isEmpty() || !m_expression.isValid())
        return Scan::Complete;
    // Plain text that cannot span paragraphs is found in one pass over the whole
    // text; an expression, or text holding a paragraph's end, paragraph by paragraph.
    const bool oneParagraph = std::none_of(m_find.begin(), m_find.end(),
                                           [](QChar c) { return endsParagraph(c) || c == QLatin1Char('\n'); });
    return !m_regexp && oneParagraph ? scanRaw(raw, run) : scanParagraphs(raw, run);
}

int MatchScanner::count(const QString& raw, const Stop& stop) const
{
    int matches = 0;
    switch (scan(raw, [&matches](int, int) { ++matches; }, stop)) {
    case Scan::Complete:
        return matches;
    case Scan::Stopped:
        return -1;
    case Scan::GaveUp:
        break;
    }
    return TooComplex;
}

MatchScanner::Match MatchScanner::next(const QString& text, int from, bool emptyAtFrom) const
{
    Match first;
    if (m_find.isEmpty() || !m_expression.isValid())
        return first;
    Paragraph paragraph(text);
    const Scan scanned = matches(paragraph, from, [&](int start, int end) {
        if (!emptyAtFrom && start == from && end == from)
            return true;
        first = {start, end};
        return false;
    });
    first.gaveUp = scanned == Scan::GaveUp;
    return first;
}

MatchScanner::Match MatchScanner::previous(const QString& text, int before, bool emptyAtBefore) const
{
    Match last;
    if (m_find.isEmpty() || !m_expression.isValid())
        return last;
    Paragraph paragraph(text);
    // The matches start further on, one after another.
    const Scan scanned = matches(paragraph, 0, [&](int start, int end) {
        if (start < before || (emptyAtBefore && start == before && end == before))
            last = {start, end};
        return start < before;
    });
    last.gaveUp = scanned == Scan::GaveUp;
    return last;
}

bool MatchScanner::isCharacterBoundary(const QString& text, int position)
{
    return Characters(text).isBoundary(position);
}

MatchScanner::Scan MatchScanner::scanRaw(const QString& raw, Run& run) const
{
    QString text = raw;
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    const int length = m_find.size();
    for (int at = text.indexOf(m_find, 0, m_cs); at >= 0; at = text.indexOf(m_find, at + length, m_cs)) {
        if (!run.found(at, at + length))
            return Scan::Stopped;
    }
    return Scan::Complete;
}

MatchScanner::Scan MatchScanner::scanParagraphs(const QString& raw, Run& run) const
{
    int start = 0;
    for (int i = 0; i <= raw.size(); ++i) {
        if (i < raw.size() && !endsParagraph(raw.at(i)))
            continue;
        if (!run.goOn())
            return Scan::Stopped;
        Paragraph paragraph(raw.mid(start, i - start));
        const int position = start;
        const Scan scanned
            = matches(paragraph, 0, [&run, position](int from, int to) { return run.found(position + from, position + to); });
        if (scanned != Scan::Complete)
            return scanned;
        start = i + 1;
    }
    return Scan::Complete;
}

// After a match the search goes on behind it; after an empty match, at the next
// character, so that an expression like "x*" ends and never splits a character.
MatchScanner::Scan MatchScanner::matches(Paragraph& paragraph, int offset,
                                         const std::function<bool(int, int)>& found) const
{
    const QString& text = paragraph.text();
    offset = paragraph.aligned(offset);
    while (offset >= 0 && offset <= text.size()) {
        const QRegularExpressionMatch match = m_expression.match(
            text, offset, QRegularExpression::NormalMatch, QRegularExpression::DontCheckSubjectStringMatchOption);
        if (!match.hasMatch())
            return match.isValid() ? Scan::Complete : Scan::GaveUp;
        const int at = match.capturedStart();
        const int end = match.capturedEnd();
        if (end > at) {
            if (!found(at, end))
                return Scan::Stopped;
            offset = end;
            continue;
        }
        if (paragraph.isBoundary(at) && !found(at, at))
            return Scan::Stopped;
        offset = paragraph.next(at);
    }
    return Scan::Complete;
}
