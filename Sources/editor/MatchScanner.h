#pragma once
// The matches of a find text in a document's text: the one rule that the count,
// 查找, 替换 and 全部替换 all follow. Matches go left to right, each search going
// on behind the match, paragraph by paragraph, no-break spaces seen as spaces,
// "^" and "$" at a paragraph's ends. An empty match stands only between two
// characters (grapheme clusters, as the editor's cursor moves): after one the
// search goes on at the next character, and one inside a character is passed
// over. Expressions are written as for QRegExp (see FindExpression).
//
// It reads only the text it is given (QTextDocument::toRawText, whose indexes
// are document positions, or one block's text), so a copy of it may run on any
// thread; a scan asks before every match whether to stop.

#include <QRegularExpression>
#include <QString>

#include <functional>

class MatchScanner
{
public:
    MatchScanner(const QString& find, Qt::CaseSensitivity cs, bool regexp);

    // A match [start, end); start is -1 when there is none. gaveUp: the engine
    // gave up on the expression before it found one (too much backtracking, as
    // ".*.*c" on a long line), so there may well be one.
    struct Match
    {
        int start = -1;
        int end = -1;
        bool gaveUp = false;
        bool found() const { return start >= 0; }
    };

    // How a scan ended: at the end of the text, stopped when asked, or where the
    // engine gave up (the matches before that were visited, the rest are unknown).
    enum class Scan { Complete, Stopped, GaveUp };
    // What count() says for a scan the engine gave up.
    static const int TooComplex = -2;

    // Called with each match [start, end) in document positions.
    using Visit = std::function<void(int start, int end)>;
    // Asked before every match; true ends the scan early.
    using Stop = std::function<bool()>;

    // Visits every match of `raw`, the document's raw text.
    Scan scan(const QString& raw, const Visit& visit, const Stop& stop = Stop()) const;
    // The number of matches, -1 when `stop` ended the count, TooComplex when the
    // engine gave up.
    int count(const QString& raw, const Stop& stop = Stop()) const;

    // In one paragraph's text (a block's text): the first match from `from` on,
    // as a scan goes on from there; without `emptyAtFrom`, an empty match at
    // `from` is passed over.
    Match next(const QString& paragraph, int from, bool emptyAtFrom = true) const;
    // The last of the paragraph's matches, as a scan finds them from its start,
    // that starts before `before`, or, with `emptyAtBefore`, is empty at `before`.
    Match previous(const QString& paragraph, int before, bool emptyAtBefore) const;

    // Whether `position` of a paragraph's text lies between two characters.
    static bool isCharacterBoundary(const QString& text, int position);

private:
    class Run;
    class Paragraph;
    Scan scanRaw(const QString& raw, Run& run) const;
    Scan scanParagraphs(const QString& raw, Run& run) const;
    // Hands the matches of `paragraph` from `offset` on to `found` until it returns false.
    Scan matches(Paragraph& paragraph, int offset, const std::function<bool(int, int)>& found) const;

    QString m_find;
    Qt::CaseSensitivity m_cs;
    bool m_regexp;
    QRegularExpression m_expression; // the find text itself, escaped, unless it is an expression
};
