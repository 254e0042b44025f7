#pragma once
// Keeps an editor usable on very long paragraphs and very tall documents, where
// the toolkit's text layout has three weak spots:
// - after every layout and every paint a paragraph throws its shaped glyphs
//   away, so each caret blink or repaint of a paragraph of a million
//   characters shapes the whole paragraph again: long paragraphs keep theirs;
// - its coordinates are fixed-point numbers whose "unlimited" page height is
//   8,388,607 pixels: a paragraph whose top lies below that is never painted,
//   and a layout pass that starts above about 8.32 million pixels and lays out
//   lines below 8,388,607 never ends (its page break cannot move on). Paragraphs
//   down there are painted here, and the layout is led across each such line
//   in short passes, which always start close enough to it;
// - the scroll range follows the background layout only a moment later, so a
//   jump far down would stop short: showCursor widens the range first.

#include <QObject>
#include <QPointer>

class QPaintEvent;
class QTextBlock;
class QTextEdit;

class LayoutGuard : public QObject
{
    Q_OBJECT
public:
    explicit LayoutGuard(QTextEdit* editor);

    // The fixed-point limit of the layout's coordinates, in pixels.
    static const int coordinateLimit;
    // Paragraphs of at least this many characters keep their shaped glyphs.
    static const int longBlockLength;

    // Lays the document out as far as position (character index), leading the
    // layout across every coordinate limit on the way in short passes.
    void layOutUpTo(int position);
    // The same, as far as the document coordinate y.
    void layOutDownTo(qreal y);
    // Scrolls so that the text cursor's line is shown, also while the rest of
    // the document is still being laid out.
    void showCursor();
    // Paints the paragraphs of the event's rectangle that lie below the
    // coordinate limit; the editor's own painting has done the rest.
    void paintBelowLimit(QPaintEvent* event);

private:
    void keepGlyphsOfLongBlocks(int from, int removed, int added);
    void layoutProgressed();
    // The last paragraph the background layout has reached, or an invalid one.
    QTextBlock layoutFrontier() const;
    // One short layout pass from the frontier; false when the layout is complete.
    bool layOutShortPass();
    // The frontier is close enough to a limit that one pass of the layout
    // could cross it; otherwise safeEnd is where a long pass may go.
    bool nearLimit(const QTextBlock& frontier, int* safeEnd) const;

    QPointer<QTextEdit> m_editor;
    bool m_leading = false; // a pass of ours is running
};
