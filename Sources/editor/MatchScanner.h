#pragma once
// The matches of a find text in a copy of a document's text, as repeated
// searches of the editor find them: left to right, each search going on behind
// the match, paragraph by paragraph, no-break spaces seen as spaces, "^" and "$"
// at a paragraph's ends. An empty match stands only between two characters
// (grapheme clusters, as the editor's cursor moves): after one the search goes
// on at the next character, and one inside a character is passed over.
//
// It reads only the text it is given (QTextDocument::toRawText, whose indexes
// are document positions), so a copy of it may run on any thread.

#include <QRegExp>
#include <QString>

#include <functional>

class MatchScanner
{
public:
    MatchScanner(const QString& find, Qt::CaseSensitivity cs, bool regexp);

    // Called with each match [start, end) in document positions.
    using Visit = std::function<void(int start, int end)>;
    // Asked now and then; true ends the scan early.
    using Stop = std::function<bool()>;

    // Visits every match of `raw`, the document's raw text; false when `stop` ended it.
    bool scan(const QString& raw, const Visit& visit, const Stop& stop = Stop()) const;
    // The number of matches, or -1 when `stop` ended the count.
    int count(const QString& raw, const Stop& stop = Stop()) const;

    // Whether `position` of a paragraph's text lies between two characters.
    static bool isCharacterBoundary(const QString& text, int position);

private:
    class Run;
    bool scanRaw(const QString& raw, Run& run) const;
    bool scanParagraphs(const QString& raw, Run& run) const;
    bool scanParagraph(QString text, int position, Run& run) const;

    QString m_find;
    Qt::CaseSensitivity m_cs;
    bool m_regexp;
    QRegExp m_expression; // the find text itself, escaped, unless it is an expression
};
