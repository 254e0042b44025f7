#include "MatchScanner.h"

#include <QTextBoundaryFinder>

#include <algorithm>
#include <optional>

namespace {

// The characters that end a paragraph in a document's raw text: the paragraph
// separator, and the marks where a frame (a table, say) starts and ends.
bool endsParagraph(QChar c)
{
    return c == QChar::ParagraphSeparator || c.unicode() == 0xFDD0 || c.unicode() == 0xFDD1;
}

// Matches handed on between two questions whether to stop.
const int matchesBetweenStopChecks = 4096;

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

} // namespace

// One scan: hands the matches on and asks now and then whether to stop.
class MatchScanner::Run
{
public:
    Run(const Visit& visit, const Stop& stop) : m_visit(visit), m_stop(stop) {}

    // False once the scan is to end.
    bool found(int start, int end)
    {
        m_visit(start, end);
        if (++m_sinceCheck < matchesBetweenStopChecks)
            return true;
        m_sinceCheck = 0;
        return goOn();
    }

    bool goOn() const { return !m_stop || !m_stop(); }

private:
    const Visit& m_visit;
    const Stop& m_stop;
    int m_sinceCheck = 0;
};

MatchScanner::MatchScanner(const QString& find, Qt::CaseSensitivity cs, bool regexp)
    : m_find(find)
    , m_cs(cs)
    , m_regexp(regexp)
    , m_expression(regexp ? find : QRegExp::escape(find), cs, QRegExp::RegExp2)
{
}

bool MatchScanner::scan(const QString& raw, const Visit& visit, const Stop& stop) const
{
    Run run(visit, stop);
    if (!run.goOn())
        return false;
    if (m_find.isEmpty() || !m_expression.isValid())
        return true;
    // Plain text that cannot span paragraphs is found in one pass over the whole
    // text; an expression, or text holding a paragraph's end, paragraph by paragraph.
    const bool oneParagraph = std::none_of(m_find.begin(), m_find.end(),
                                           [](QChar c) { return endsParagraph(c) || c == QLatin1Char('\n'); });
    return !m_regexp && oneParagraph ? scanRaw(raw, run) : scanParagraphs(raw, run);
}

int MatchScanner::count(const QString& raw, const Stop& stop) const
{
    int matches = 0;
    const bool complete = scan(raw, [&matches](int, int) { ++matches; }, stop);
    return complete ? matches : -1;
}

bool MatchScanner::isCharacterBoundary(const QString& text, int position)
{
    return Characters(text).isBoundary(position);
}

bool MatchScanner::scanRaw(const QString& raw, Run& run) const
{
    QString text = raw;
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    const int length = m_find.size();
    for (int at = text.indexOf(m_find, 0, m_cs); at >= 0; at = text.indexOf(m_find, at + length, m_cs)) {
        if (!run.found(at, at + length))
            return false;
    }
    return true;
}

bool MatchScanner::scanParagraphs(const QString& raw, Run& run) const
{
    int start = 0;
    for (int i = 0; i <= raw.size(); ++i) {
        if (i < raw.size() && !endsParagraph(raw.at(i)))
            continue;
        if (!run.goOn() || !scanParagraph(raw.mid(start, i - start), start, run))
            return false;
        start = i + 1;
    }
    return true;
}

// The matches of one paragraph starting at document position `position`. After
// a match the search goes on behind it; after an empty match, at the next
// character, so that an expression like "x*" ends and never splits a character.
bool MatchScanner::scanParagraph(QString text, int position, Run& run) const
{
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    Characters characters(text);
    int offset = 0;
    while (offset >= 0 && offset <= text.size()) {
        const int at = m_expression.indexIn(text, offset);
        if (at < 0)
            break;
        const int length = m_expression.matchedLength();
        if (length > 0) {
            if (!run.found(position + at, position + at + length))
                return false;
            offset = at + length;
            continue;
        }
        if (characters.isBoundary(at) && !run.found(position + at, position + at))
            return false;
        offset = characters.next(at);
    }
    return true;
}
