#include "LayoutGuard.h"

#include <QAbstractTextDocumentLayout>
#include <QDebug>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <QScopedValueRollback>
#include <QtMath>

// The toolkit's "unlimited" page height: INT_MAX / 256 pixels.
const int LayoutGuard::coordinateLimit = 8388607;
const int LayoutGuard::longBlockLength = 50000;

namespace {

// The largest piece the background layout takes in one pass, in characters,
// and a pass that leads it on: one paragraph or a couple of thousand pixels.
const int largestLayoutPass = 201000;

// The selections of the editor's painting that touch block, as format ranges of
// its layout: the extra selections first, then the user's selection.
QVector<QTextLayout::FormatRange> selectionsInBlock(const QTextEdit* editor, const QTextBlock& block)
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
            const QTextLine line = block.layout()->lineForTextPosition(from - start);
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

} // namespace

LayoutGuard::LayoutGuard(QTextEdit* editor) : QObject(editor), m_editor(editor)
{
    QTextDocument* document = editor->document();
    connect(document, &QTextDocument::contentsChange, this, &LayoutGuard::keepGlyphsOfLongBlocks);
    connect(document->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &LayoutGuard::layoutProgressed);
}

// Runs before the layout sees the change (the document reports its edits first).
void LayoutGuard::keepGlyphsOfLongBlocks(int from, int, int added)
{
    QTextDocument* document = m_editor->document();
    const QTextBlock last = document->findBlock(from + added);
    for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
        if (block.length() >= longBlockLength && !block.layout()->cacheEnabled())
            block.layout()->setCacheEnabled(true);
        if (block == last)
            break;
    }
}

QTextBlock LayoutGuard::layoutFrontier() const
{
    // The layout works from the top down: the paragraphs laid out are the first ones.
    const QTextDocument* document = m_editor->document();
    auto laidOut = [document](int number) { return document->findBlockByNumber(number).layout()->lineCount() > 0; };
    int low = 0;
    int high = document->blockCount() - 1;
    if (!laidOut(low))
        return QTextBlock();
    while (low < high) {
        const int middle = low + (high - low + 1) / 2;
        if (laidOut(middle))
            low = middle;
        else
            high = middle - 1;
    }
    return document->findBlockByNumber(low);
}

bool LayoutGuard::layOutShortPass()
{
    const QTextBlock frontier = layoutFrontier();
    if (!frontier.isValid() || !frontier.next().isValid())
        return false;
    // A change of nothing just after the frontier: the layout lays out from its
    // last check point up to there, and a little further, in passes of its
    // smallest size.
    m_editor->document()->markContentsDirty(frontier.next().position(), 0);
    return true;
}

bool LayoutGuard::nearLimit(const QTextBlock& frontier, int* safeEnd) const
{
    // How far down one pass of the layout can reach, judged by the text laid out so far.
    const qreal bottom = m_editor->document()->documentLayout()->blockBoundingRect(frontier).bottom();
    const qreal nextLimit = (qFloor(bottom / coordinateLimit) + 1) * qreal(coordinateLimit);
    const qreal perCharacter = qMax(qreal(1), bottom / qMax(1, frontier.position() + frontier.length()));
    const qreal reach = 2 * largestLayoutPass * perCharacter + 8000;
    if (safeEnd)
        *safeEnd = frontier.position() + int(qMax(qreal(0), nextLimit - bottom - reach) / perCharacter);
    return bottom + reach >= nextLimit;
}

void LayoutGuard::layOutUpTo(int position)
{
    const QScopedValueRollback<bool> leading(m_leading, true);
    for (;;) {
        const QTextBlock frontier = layoutFrontier();
        if (!frontier.isValid() || frontier.position() + frontier.length() > position)
            return;
        int safeEnd = 0;
        if (!nearLimit(frontier, &safeEnd)) {
            // Far from a limit the layout may take its usual long passes.
            const QTextBlock target = m_editor->document()->findBlock(qMin(position, safeEnd));
            if (target.isValid() && target.position() > frontier.position()) {
                m_editor->document()->documentLayout()->blockBoundingRect(target);
                continue;
            }
        }
        if (!layOutShortPass())
            return;
    }
}

void LayoutGuard::layOutDownTo(qreal y)
{
    const QAbstractTextDocumentLayout* layout = m_editor->document()->documentLayout();
    for (;;) {
        const QTextBlock frontier = layoutFrontier();
        if (!frontier.isValid() || !frontier.next().isValid())
            return;
        const qreal bottom = layout->blockBoundingRect(frontier).bottom();
        if (bottom >= y)
            return;
        const int end = frontier.position() + frontier.length();
        const qreal perCharacter = qMax(qreal(1), bottom / end);
        layOutUpTo(end + qMax(1, int((y - bottom) / perCharacter)));
    }
}

void LayoutGuard::layoutProgressed()
{
    if (m_leading)
        return;
    const QTextBlock frontier = layoutFrontier();
    if (!frontier.isValid() || !frontier.next().isValid() || !nearLimit(frontier, nullptr))
        return;
    // The background layout comes close to a limit: it goes on in short passes
    // (each change of the document makes its next pass a short one).
    const QScopedValueRollback<bool> leading(m_leading, true);
    layOutShortPass();
}

void LayoutGuard::showCursor()
{
    const QTextBlock block = m_editor->textCursor().block();
    layOutUpTo(block.position() + block.length());
    // The scroll range grows with the background layout a moment later; the
    // cursor's line must be reachable now.
    const QRectF rect = m_editor->document()->documentLayout()->blockBoundingRect(block);
    QScrollBar* bar = m_editor->verticalScrollBar();
    const int needed = qCeil(rect.bottom() + m_editor->document()->documentMargin()) - m_editor->viewport()->height();
    if (needed > bar->maximum())
        bar->setMaximum(needed);
    m_editor->ensureCursorVisible();
}

void LayoutGuard::paintBelowLimit(QPaintEvent* event)
{
    const QScrollBar* vertical = m_editor->verticalScrollBar();
    const QScrollBar* horizontal = m_editor->horizontalScrollBar();
    const QRect area = event->rect();
    if (vertical->value() + area.bottom() < coordinateLimit)
        return;
    const int dx = m_editor->isRightToLeft() ? horizontal->maximum() - horizontal->value() : horizontal->value();
    const int dy = vertical->value();
    const QAbstractTextDocumentLayout* layout = m_editor->document()->documentLayout();
    const int first = layout->hitTest(QPointF(0, qMax(dy + area.top(), coordinateLimit)), Qt::FuzzyHit);
    QPainter painter(m_editor->viewport());
    painter.setPen(m_editor->palette().color(QPalette::Text));
    for (QTextBlock block = m_editor->document()->findBlock(qMax(0, first)); block.isValid(); block = block.next()) {
        QTextLayout* blockLayout = block.layout();
        const QRectF rect = layout->blockBoundingRect(block);
        if (rect.top() > dy + area.bottom())
            break;
        // The editor has drawn the paragraphs whose top lies above the limit.
        if (!block.isVisible() || blockLayout->position().y() <= coordinateLimit)
            continue;
        blockLayout->draw(&painter, QPointF(-dx, -dy), selectionsInBlock(m_editor, block), area);
    }
}
