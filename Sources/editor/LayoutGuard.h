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
// It also owns the editor's re-layouts (a new width, wrapping switched), which
// must not run into the second weak spot, and which keep the view on the line
// it showed: the cursor's line when it was in view, else the line at the top.
// Far down a large document the layout takes seconds to get back there; the
// view then shows that place at once through LayoutPreview, and the layout
// gets there in steps between which the window answers.

#include <QObject>
#include <QTimer>

#include <functional>

class QPaintEvent;
class QResizeEvent;
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
    // Paints the paragraphs of the event's rectangle that lie below the
    // coordinate limit; the editor's own painting has done the rest.
    void paintBelowLimit(QPaintEvent* event);

    // The editor is about to paint: a layout the first show put off is done now.
    void aboutToPaint();
    // The editor was resized: relayOut is the editor's own handling, which lays
    // the document out again at a new width; resizeOnly resizes the view alone.
    void resized(QResizeEvent* event, const std::function<void()>& relayOut, const std::function<void()>& resizeOnly);
    // Switches wrapping at the widget's width on or off. Coming back from no
    // wrapping, the page takes the widget's width first: laid out with wrapping
    // at no width, every character would get a line of its own.
    void setWrapping(bool wrap);
    // Scrolls the text cursor's line into view, also far down a document that
    // is still being laid out.
    void showCursor();
    // Paints the view while the layout has not yet got back to the line the
    // view showed before a re-layout; false when the editor paints itself.
    bool paintAhead(QPaintEvent* event);
    bool catchingUp() const { return m_anchor.position >= 0; }

protected:
    // Input to the view while it catches up: the layout gets there at once.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // A line of the view: the one holding a text position, at a height of the
    // viewport; the cursor's line has its height, to be kept in view whole.
    struct Anchor
    {
        int position = -1;
        qreal top = 0;
        qreal height = 0;
    };
    Anchor viewAnchor() const;
    // The view shows the anchor's line at its height again: at once near the
    // top of the document, else after steps of the layout.
    void keepAnchor(const Anchor& anchor);
    void stepTowardsAnchor();
    // Lays the document out down to the anchor and scrolls it into place.
    void settleAnchor();
    void dropAnchor();

    // relayOut lays the document out again with an unlimited page (a new width,
    // wrapping switched): it runs with the view at the top, then a tall document
    // gets a finite page and the view goes back where it was.
    void relayOutFromTop(const std::function<void()>& relayOut);
    // The layout a first show put off, done now.
    void settleLayout();
    void scrollToCursor();

    void contentsChanged(int from, int removed, int added);
    void keepGlyphsOfLongBlocks(int from, int added);
    void layoutProgressed(const QSizeF& size);

    QTextEdit* const m_editor; // the parent
    bool m_longBlocks = false;
    bool m_painted = false;            // the editor has been painted once
    bool m_firstLayoutPending = false; // widths came before the first paint
    Anchor m_anchor;                   // the line the view waits for
    qreal m_heightBefore = 0;          // the document's height before the wait
    int m_steppedTo = 0;               // laid out as far as this position
    QTimer m_stepper;
    QObject* m_control = nullptr; // the editor's text control, whose timers blink the caret
    bool m_scrolling = false; // the view is scrolled here, not by the user
};
