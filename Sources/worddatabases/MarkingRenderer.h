#pragma once
// Turns the segments of a marking run into what the editor shows: every marked
// piece an underlined, coloured link whose target is the piece's own text, "#"
// and the number of marks before it; line ends become paragraph breaks. One
// walk decides what is marked and how marks are counted; it writes either HTML
// text or formatted text straight into a document.
//
// What is marked depends on the run's code: 33 (white list) marks what was not
// found, line ends included (they are not counted); 34 (black then white list)
// marks black-list hits in blue and white-list misses in red and counts each
// kind; every other code marks what was found, in red.

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>

#include "Segment.h"

class QTextCursor;

// The run code of the black-list-then-white-list check; it has no table.
constexpr uint TEMPLATE_TYPE_SPELLING_BLACK_WHITE_LIST = 34;
// The run code of the general check; it has no table and marks nothing.
constexpr uint TEMPLATE_TYPE_SPELLING_MISC = 37;

class MarkingRenderer
{
public:
    // The line spacing of the settings "LineSpacing" and "LineSpacingFixedValue":
    // from 1.0 up a proportional height in per cent, below it a fixed height
    // from 10 to 30 (15 otherwise).
    struct LineSpacing
    {
        bool proportional = false;
        double percent = 0;
        int fixed = 15;

        static LineSpacing fromValues(double lineSpacing, int fixedValue);
        static LineSpacing fromSettings();
        // "<style> p { line-height: ... } </style>"
        QString styleLine() const;
        // The paragraph format the style line gives a "<p>".
        QTextBlockFormat blockFormat() const;
    };

    struct Counts
    {
        int marks = 0;
        int blackList = 0;
        int whiteList = 0;
    };

    // Appends "<html> ", the style line, the paragraphs and "</p></html>" to
    // html. Texts are escaped, spaces become "&nbsp;" and tabs "&#9;".
    static Counts renderHtml(const SegmentList& segments, uint code, const LineSpacing& spacing, QString& html);
    // Inserts the same paragraphs at the cursor as formatted text (spaces and
    // tabs stay what they are). The cursor's block takes the paragraph format.
    static Counts insert(QTextCursor& cursor, const SegmentList& segments, uint code, const LineSpacing& spacing);
    // The counts either of the above would give, with nothing written.
    static Counts count(const SegmentList& segments, uint code);
    // The character format of a mark (MarkFormat::make).
    static QTextCharFormat markFormat(const QString& href, const QString& color);
    static bool isLineEnd(const Segment& segment) { return segment.text == QLatin1String("\n"); }
    static Segment lineEnd() { return Segment{QStringLiteral("\n"), QString(), false}; }
};
