#pragma once
// Keeps an editor usable on very long paragraphs and very tall documents, where
// the toolkit's text layout has three weak spots:
// - after every layout and every paint a paragraph throws its shaped glyphs
//   away, so each caret blink or repaint of a paragraph of a million
//   characters shapes the whole paragraph again: long paragraphs keep theirs;
// - its coordinates are fixed-point numbers whose "unlimited" page height is
//   8,388,607 pixels: a paragraph whose top lies below that is never painted,
//   and a layout pass that starts less than about 8.32 million pixels down and
//   lays out lines further down than 8,388,607 never ends (its page break
//   cannot move on, as the page is unlimited). Paragraphs down there are painted here, and a document
//   growing that tall gets a finite page height, whose page breaks do move on;
// - the scroll range follows the background layout only a moment later, so a
//   jump far down would stop short: showCursor widens the range first.

#include <QObject>

class QPaintEvent;
class QSizeF;
class QTextEdit;

class LayoutGuard : public QObject
{
    Q_OBJECT
public:
    explicit LayoutGuard(QTextEdit* editor);

    // The fixed-point limit of the layout's coordinates, in pixels.
    static const int coordinateLimit;

    // Gives a document that grows tall a page height just short of the limit,
    // so that the layout's page breaks move on, when the editor has laid the
    // document out again with its unlimited page.
    void keepPagesFinite(qreal height);
    // The document has had a paragraph long enough to keep its glyphs.
    bool hadLongBlocks() const { return m_longBlocks; }
    // At least a line per paragraph, at the line height of the first one.
    qreal estimatedHeight() const;
    // Scrolls to a vertical offset, widening the scroll range when the
    // background layout has not reported that far yet.
    void reachOffset(int offset);
    // Scrolls so that the text cursor's line is shown, also while the rest of
    // the document is still being laid out.
    void showCursor();
    // Paints the paragraphs of the event's rectangle that lie below the
    // coordinate limit; the editor's own painting has done the rest.
    void paintBelowLimit(QPaintEvent* event);

private:
    void contentsChanged(int from, int removed, int added);
    void keepGlyphsOfLongBlocks(int from, int added);
    void layoutProgressed(const QSizeF& size);

    QTextEdit* const m_editor; // the parent
    bool m_longBlocks = false;
};
