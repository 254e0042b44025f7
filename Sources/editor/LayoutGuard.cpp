#include "LayoutGuard.h"

#include <QAbstractTextDocumentLayout>
#include <QDebug>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>

// The toolkit's "unlimited" page height: INT_MAX / 256 pixels.
const int LayoutGuard::coordinateLimit = 8388607;

namespace {

// Paragraphs of at least this many characters keep their shaped glyphs.
const int longBlockLength = 50000;
// The page height of a tall document, just short of the limit: its page break
// moves on to the next page.
const int pageHeight = LayoutGuard::coordinateLimit - 1024;

// The selections of the editor's painting: the extra selections first, then
// the user's selection.
QList<QTextEdit::ExtraSelection> paintedSelections(const QTextEdit* editor)
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

// The selections that touch block, as format ranges of its layout.
QVector<QTextLayout::FormatRange> selectionsInBlock(const QList<QTextEdit::ExtraSelection>& selections,
                                                    const QTextBlock& block)
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
    connect(document, &QTextDocument::contentsChange, this, &LayoutGuard::contentsChanged);
    connect(document->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &LayoutGuard::layoutProgressed);
}

// Runs before the layout sees the change (the document reports its edits first).
void LayoutGuard::contentsChanged(int from, int, int added)
{
    keepGlyphsOfLongBlocks(from, added);
    // A large text that will be tall gets its finite page before the layout
    // goes far down.
    if (added >= 100000)
        keepPagesFinite(estimatedHeight());
}

qreal LayoutGuard::estimatedHeight() const
{
    const QTextDocument* document = m_editor->document();
    const QTextBlockFormat format = document->firstBlock().blockFormat();
    qreal line = QFontMetricsF(document->defaultFont()).lineSpacing();
    if (format.lineHeightType() == QTextBlockFormat::ProportionalHeight)
        line *= format.lineHeight() / 100;
    else if (format.lineHeightType() == QTextBlockFormat::FixedHeight)
        line = format.lineHeight();
    return document->blockCount() * line;
}

void LayoutGuard::keepGlyphsOfLongBlocks(int from, int added)
{
    QTextDocument* document = m_editor->document();
    const QTextBlock last = document->findBlock(from + added);
    for (QTextBlock block = document->findBlock(from); block.isValid(); block = block.next()) {
        if (block.length() >= longBlockLength && !block.layout()->cacheEnabled()) {
            block.layout()->setCacheEnabled(true);
            m_longBlocks = true;
        }
        if (block == last)
            break;
    }
}

void LayoutGuard::layoutProgressed(const QSizeF& size)
{
    keepPagesFinite(size.height());
}

void LayoutGuard::keepPagesFinite(qreal height)
{
    QTextDocument* document = m_editor->document();
    const QSizeF page = document->pageSize();
    // Half way to the limit, before any pass of the layout can reach it.
    if (page.height() >= 0 || height < coordinateLimit / 2)
        return;
    qDebug() << Q_FUNC_INFO << ", height =" << height;
    document->setPageSize(QSizeF(page.width(), pageHeight));
}

void LayoutGuard::reachOffset(int offset)
{
    // The scroll range grows with the background layout a moment later; the
    // offset must be reachable now.
    QScrollBar* bar = m_editor->verticalScrollBar();
    if (offset > bar->maximum())
        bar->setMaximum(offset);
    bar->setValue(offset);
}

void LayoutGuard::scrollToCursor()
{
    // Laid out as far as the cursor's paragraph, which then has its place.
    const QTextBlock block = m_editor->textCursor().block();
    const QRectF rect = m_editor->document()->documentLayout()->blockBoundingRect(block);
    keepPagesFinite(rect.bottom());
    const QRect cursor = m_editor->cursorRect();
    if (!m_editor->viewport()->rect().contains(cursor)) {
        // A line out of view comes to the middle of the page.
        const int offset = m_editor->verticalScrollBar()->value() + cursor.center().y() - m_editor->viewport()->height() / 2;
        reachOffset(qMax(0, offset));
    }
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
    const QList<QTextEdit::ExtraSelection> selections = paintedSelections(m_editor);
    for (QTextBlock block = m_editor->document()->findBlock(qMax(0, first)); block.isValid(); block = block.next()) {
        QTextLayout* blockLayout = block.layout();
        const QRectF rect = layout->blockBoundingRect(block);
        if (rect.top() > dy + area.bottom())
            break;
        // The editor has drawn the paragraphs whose top lies above the limit.
        if (!block.isVisible() || blockLayout->position().y() <= coordinateLimit)
            continue;
        blockLayout->draw(&painter, QPointF(-dx, -dy), selectionsInBlock(selections, block), area);
    }
}

void LayoutGuard::aboutToPaint()
{
    m_painted = true;
    settleLayout();
}

void LayoutGuard::resized(QResizeEvent* event, const std::function<void()>& relayOut,
                          const std::function<void()>& resizeOnly)
{
    if (event->oldSize().width() == event->size().width()) {
        relayOut();
        return;
    }
    // Shown for the first time, the editor takes several widths in a row (its
    // sub-window's, then the maximised one): a long paragraph is laid out once,
    // at the width it is first painted at. The viewport has its size already.
    if (!m_painted && m_longBlocks) {
        m_firstLayoutPending = true;
        resizeOnly();
        return;
    }
    relayOutFromTop(relayOut);
}

void LayoutGuard::settleLayout()
{
    if (!m_firstLayoutPending)
        return;
    m_firstLayoutPending = false;
    // Lays the document out again at the viewport's width.
    m_editor->setLineWrapColumnOrWidth(m_editor->lineWrapColumnOrWidth());
    keepPagesFinite(estimatedHeight());
}

void LayoutGuard::relayOutFromTop(const std::function<void()>& relayOut)
{
    // The new layout with an unlimited page is made at once as far as the view
    // shows: from the top, so that no pass reaches the layout's limit before
    // the page is finite again.
    QScrollBar* bar = m_editor->verticalScrollBar();
    const int offset = bar->value();
    const int height = bar->maximum() + m_editor->viewport()->height();
    bar->setValue(0);
    relayOut();
    keepPagesFinite(qMax(qreal(height), estimatedHeight()));
    if (offset > 0)
        reachOffset(offset);
}

void LayoutGuard::setWrapping(bool wrap)
{
    qDebug() << Q_FUNC_INFO << ", wrap =" << wrap;
    const QTextEdit::LineWrapMode mode = wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap;
    if (m_editor->lineWrapMode() == mode)
        return;
    relayOutFromTop([&] {
        if (wrap)
            m_editor->document()->setPageSize(QSizeF(m_editor->viewport()->width(), -1));
        m_editor->setLineWrapMode(mode);
    });
}

void LayoutGuard::showCursor()
{
    qDebug() << Q_FUNC_INFO;
    settleLayout();
    scrollToCursor();
}
