#include "LayoutPreview.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QtMath>

#include <memory>

namespace {

// The layout counts in 64ths of a pixel.
qreal fixed(qreal value)
{
    return qRound(value * 64) / 64.0;
}

// Where the root frame's paragraphs start and end, across.
struct Edges
{
    qreal left = 0;
    qreal right = 0;
};

Edges frameEdges(const QTextDocument* document)
{
    const QTextFrameFormat format = document->rootFrame()->frameFormat();
    const qreal inner = qRound(format.border()) + qRound(format.padding());
    const qreal left = qRound(format.leftMargin()) + inner;
    const qreal width = qMax(qreal(0), document->pageSize().width()) - 2 * inner - qRound(format.leftMargin())
                        - qRound(format.rightMargin());
    return {left, left + width};
}

QTextOption blockOption(const QTextDocument* document, const QTextBlock& block)
{
    const QTextBlockFormat format = block.blockFormat();
    QTextOption option = document->defaultTextOption();
    const Qt::LayoutDirection direction = block.textDirection();
    option.setTextDirection(direction);
    option.setTabs(format.tabPositions());
    Qt::Alignment alignment = option.alignment();
    if (format.hasProperty(QTextFormat::BlockAlignment))
        alignment = format.alignment();
    option.setAlignment(QStyle::visualAlignment(direction, alignment));
    if (format.nonBreakableLines() || document->pageSize().width() < 0)
        option.setWrapMode(QTextOption::ManualWrap);
    return option;
}

// Lays the paragraph out at the document's width with its lines placed from
// the paragraph's top, as the document's layout does; returns the height down
// to where the next paragraph's margin starts.
qreal layOutBlock(QTextLayout& layout, const QTextDocument* document, const QTextBlock& block, const Edges& edges)
{
    const QTextBlockFormat format = block.blockFormat();
    const Qt::LayoutDirection direction = block.textDirection();
    layout.setTextOption(blockOption(document, block));
    layout.setFormats(block.textFormats());
    qreal indent = format.indent();
    if (const QTextList* list = block.textList())
        indent += list->format().indent();
    indent *= document->indentWidth();
    qreal symbols = 0;
    if (document->defaultTextOption().flags() & QTextOption::AddSpaceForLineAndParagraphSeparators)
        symbols = QFontMetricsF(block.charFormat().font()).horizontalAdvance(QChar(0x21B5));
    const bool leftToRight = direction != Qt::RightToLeft;
    const qreal left = edges.left + format.leftMargin() + (leftToRight ? indent : symbols);
    const qreal right = edges.right - format.rightMargin() - (leftToRight ? symbols : indent);
    const int type = format.lineHeightType();
    qreal y = 0;
    qreal bottom = 0;
    layout.beginLayout();
    for (bool first = true;; first = false) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLeadingIncluded(true);
        const qreal textIndent = first ? format.textIndent() : 0;
        const qreal lineLeft = left + (leftToRight ? textIndent : 0);
        line.setLineWidth(right - (leftToRight ? 0 : textIndent) - lineLeft);
        const qreal height = fixed(format.lineHeight(qCeil(line.ascent() + line.descent() + line.leading()), 1));
        qreal adjustment = 0;
        if (type == QTextBlockFormat::FixedHeight)
            adjustment = fixed(line.ascent() + qMax(line.leading(), qreal(0))) - fixed(height * 4 / 5);
        else if (type == QTextBlockFormat::MinimumHeight)
            adjustment = fixed(line.height()) - height;
        line.setPosition(QPointF(lineLeft - edges.left, y - adjustment));
        bottom = y + fixed(format.lineHeight(line.height(), 1));
        y += height;
    }
    layout.endLayout();
    return qMax(y, bottom);
}

// Lays out and paints paragraphs one after the other, upwards or downwards.
class Painter
{
public:
    Painter(QTextEdit* editor, const QRect& area)
        : m_document(editor->document())
        , m_edges(frameEdges(m_document))
        , m_painter(editor->viewport())
        , m_area(area)
        , m_selections(LayoutPreview::paintedSelections(editor))
    {
        m_painter.setPen(editor->palette().color(QPalette::Text));
        // The caret shows steadily; it blinks again once the layout has got here.
        if (editor->hasFocus() && !editor->isReadOnly())
            m_caret = editor->textCursor().position();
        const QScrollBar* bar = editor->horizontalScrollBar();
        m_dx = editor->isRightToLeft() ? bar->maximum() - bar->value() : bar->value();
    }

    std::unique_ptr<QTextLayout> layOut(const QTextBlock& block, qreal* height) const
    {
        auto layout = std::make_unique<QTextLayout>(block.text(), m_document->defaultFont());
        *height = layOutBlock(*layout, m_document, block, m_edges);
        return layout;
    }
    void draw(QTextLayout& layout, const QTextBlock& block, qreal top)
    {
        layout.setPosition(QPointF(m_edges.left - m_dx, top));
        layout.draw(&m_painter, QPointF(), LayoutPreview::selectionsInBlock(m_selections, block, &layout), m_area);
        if (block.contains(m_caret))
            layout.drawCursor(&m_painter, QPointF(), m_caret - block.position());
    }
    // The space between two paragraphs.
    static qreal gap(const QTextBlock& upper, const QTextBlock& lower)
    {
        return fixed(qMax(lower.blockFormat().topMargin(), upper.blockFormat().bottomMargin()));
    }
    const QRect& area() const { return m_area; }

private:
    const QTextDocument* m_document;
    const Edges m_edges;
    QPainter m_painter;
    const QRect m_area;
    const QList<QTextEdit::ExtraSelection> m_selections;
    qreal m_dx = 0;
    int m_caret = -1;
};

} // namespace

bool LayoutPreview::canPaint(const QTextDocument* document)
{
    return document->rootFrame()->childFrames().isEmpty();
}

void LayoutPreview::paint(QTextEdit* editor, int position, qreal top, const QRect& area)
{
    Painter painter(editor, area);
    const QTextBlock anchor = editor->document()->findBlock(position);
    if (!anchor.isValid())
        return;
    qreal height = 0;
    const std::unique_ptr<QTextLayout> layout = painter.layOut(anchor, &height);
    const QTextLine line = layout->lineForTextPosition(position - anchor.position());
    const qreal anchorTop = top - (line.isValid() ? line.y() : 0);
    painter.draw(*layout, anchor, anchorTop);
    // Downwards from the anchor's paragraph, then upwards. A line of a fixed
    // height may reach beyond its paragraph.
    const qreal reach = 2 * QFontMetricsF(editor->document()->defaultFont()).height();
    qreal y = anchorTop + height;
    for (QTextBlock block = anchor.next(), upper = anchor; block.isValid() && y < area.bottom() + 1 + reach;
         block = block.next()) {
        if (!block.isVisible())
            continue;
        y += Painter::gap(upper, block);
        const std::unique_ptr<QTextLayout> next = painter.layOut(block, &height);
        painter.draw(*next, block, y);
        y += height;
        upper = block;
    }
    y = anchorTop;
    for (QTextBlock block = anchor.previous(), lower = anchor; block.isValid() && y > area.top() - reach;
         block = block.previous()) {
        if (!block.isVisible())
            continue;
        const std::unique_ptr<QTextLayout> previous = painter.layOut(block, &height);
        y -= Painter::gap(block, lower) + height;
        painter.draw(*previous, block, y);
        lower = block;
    }
}

QList<QTextEdit::ExtraSelection> LayoutPreview::paintedSelections(const QTextEdit* editor)
{
    QList<QTextEdit::ExtraSelection> selections = editor->extraSelections();
    const QTextCursor cursor = editor->textCursor();
    if (cursor.hasSelection()) {
        QTextEdit::ExtraSelection own;
        own.cursor = cursor;
        own.format.setBackground(editor->palette().brush(QPalette::Highlight));
        own.format.setForeground(editor->palette().brush(QPalette::HighlightedText));
        selections << own;
    }
    return selections;
}

QVector<QTextLayout::FormatRange> LayoutPreview::selectionsInBlock(const QList<QTextEdit::ExtraSelection>& selections,
                                                                   const QTextBlock& block, const QTextLayout* layout)
{
    const int start = block.position();
    const int length = block.length();
    QVector<QTextLayout::FormatRange> ranges;
    for (const QTextEdit::ExtraSelection& selection : selections) {
        QTextLayout::FormatRange range;
        range.format = selection.format;
        const int from = selection.cursor.selectionStart();
        const int to = selection.cursor.selectionEnd();
        if (from == to) {
            // A full-width highlight needs only a position: it marks that line.
            if (!selection.format.hasProperty(QTextFormat::FullWidthSelection) || from < start
                || from >= start + length)
                continue;
            const QTextLine line = layout->lineForTextPosition(from - start);
            if (!line.isValid())
                continue;
            range.start = line.textStart();
            range.length = line.textLength();
        } else {
            if (to <= start || from >= start + length)
                continue;
            range.start = qMax(from, start) - start;
            range.length = qMin(to, start + length) - start - range.start;
        }
        if (range.start + range.length == length - 1)
            ++range.length; // the paragraph end
        ranges << range;
    }
    return ranges;
}
