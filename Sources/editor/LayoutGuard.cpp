#include "LayoutGuard.h"

#include "LayoutPreview.h"

#include <QAbstractTextDocumentLayout>
#include <QDebug>
#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>
#include <QtMath>
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
// The layout lays this many characters out in a few tens of milliseconds: a
// view above gets its line back at once, one further down in steps this long.
const int layoutStep = 150000;

// The top of the line holding position, in the document, when its paragraph
// has been laid out.
bool laidOutLineTop(const QTextDocument* document, int position, qreal* top, qreal* height = nullptr)
{
    const QTextBlock block = document->findBlock(position);
    if (!block.isValid() || !block.layout() || block.layout()->lineCount() == 0)
        return false;
    const QTextLine line = block.layout()->lineForTextPosition(position - block.position());
    *top = document->documentLayout()->blockBoundingRect(block).top() + (line.isValid() ? line.y() : 0);
    if (height)
        *height = line.isValid() ? line.height() : 0;
    return true;
}

} // namespace

LayoutGuard::LayoutGuard(QTextEdit* editor) : QObject(editor), m_editor(editor)
{
    QTextDocument* document = editor->document();
    connect(document, &QTextDocument::contentsChange, this, &LayoutGuard::contentsChanged);
    connect(document->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &LayoutGuard::layoutProgressed);
    m_stepper.setInterval(0);
    connect(&m_stepper, &QTimer::timeout, this, &LayoutGuard::stepTowardsAnchor);
    // A scroll the user makes ends the wait for the old line.
    connect(editor->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] {
        if (!m_scrolling)
            dropAnchor();
    });
    editor->installEventFilter(this);
    editor->viewport()->installEventFilter(this);
    // Each blink of the caret asks where the cursor's line is, which lays the
    // document out down to it.
    for (QObject* child : editor->children())
        if (child->inherits("QWidgetTextControl")) {
            m_control = child;
            child->installEventFilter(this);
        }
}

// Runs before the layout sees the change (the document reports its edits first).
void LayoutGuard::contentsChanged(int from, int removed, int added)
{
    if (catchingUp() && from < m_anchor.position)
        m_anchor.position = qMax(from, m_anchor.position + added - removed);
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
    const QList<QTextEdit::ExtraSelection> selections = LayoutPreview::paintedSelections(m_editor);
    for (QTextBlock block = m_editor->document()->findBlock(qMax(0, first)); block.isValid(); block = block.next()) {
        QTextLayout* blockLayout = block.layout();
        const QRectF rect = layout->blockBoundingRect(block);
        if (rect.top() > dy + area.bottom())
            break;
        // The editor has drawn the paragraphs whose top lies above the limit.
        if (!block.isVisible() || blockLayout->position().y() <= coordinateLimit)
            continue;
        blockLayout->draw(&painter, QPointF(-dx, -dy), LayoutPreview::selectionsInBlock(selections, block, blockLayout),
                          area);
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
    const Anchor anchor = viewAnchor();
    QScrollBar* bar = m_editor->verticalScrollBar();
    const qreal height = catchingUp() ? m_heightBefore : bar->maximum() + m_editor->viewport()->height();
    m_scrolling = true;
    bar->setValue(0);
    relayOut();
    keepPagesFinite(qMax(height, estimatedHeight()));
    m_scrolling = false;
    m_heightBefore = height;
    keepAnchor(anchor);
}

LayoutGuard::Anchor LayoutGuard::viewAnchor() const
{
    // Resized again while waiting: the line is still the first one.
    if (catchingUp())
        return m_anchor;
    const QTextDocument* document = m_editor->document();
    const int offset = m_editor->verticalScrollBar()->value();
    const int position = m_editor->textCursor().position();
    qreal top = 0;
    qreal height = 0;
    if (laidOutLineTop(document, position, &top, &height) && top >= offset
        && top < offset + m_editor->viewport()->height())
        return {position, top - offset, height};
    const int first = document->documentLayout()->hitTest(QPointF(0, offset), Qt::FuzzyHit);
    if (first >= 0 && laidOutLineTop(document, first, &top))
        return {first, top - offset};
    return {};
}

void LayoutGuard::keepAnchor(const Anchor& anchor)
{
    if (anchor.position < 0)
        return;
    m_anchor = anchor;
    // A view grown shorter, or about to get a horizontal scroll bar, still
    // shows the cursor's line whole.
    qreal bottom = m_editor->viewport()->height() - qCeil(anchor.height) - 1;
    if (m_editor->lineWrapMode() == QTextEdit::NoWrap && !m_editor->horizontalScrollBar()->isVisible())
        bottom -= m_editor->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_editor);
    if (anchor.height > 0 && m_anchor.top > bottom)
        m_anchor.top = qMax(qreal(0), bottom);
    if (anchor.position < layoutStep || !LayoutPreview::canPaint(m_editor->document())) {
        settleAnchor();
        return;
    }
    qDebug() << Q_FUNC_INFO << ", position =" << anchor.position;
    m_steppedTo = 0;
    m_stepper.start();
    m_editor->viewport()->update();
}

void LayoutGuard::stepTowardsAnchor()
{
    const QTextDocument* document = m_editor->document();
    // A finite page, given as the document grew tall, starts the layout again
    // from the top: so do the steps, which would lay it all out at once.
    if (m_steppedTo > 0 && document->findBlock(m_steppedTo).layout()->lineCount() == 0)
        m_steppedTo = 0;
    const int end = qMin(m_anchor.position, document->characterCount() - 1);
    m_steppedTo = qMin(m_steppedTo + layoutStep, end);
    document->documentLayout()->blockBoundingRect(document->findBlock(m_steppedTo));
    if (m_steppedTo >= end)
        settleAnchor();
}

void LayoutGuard::settleAnchor()
{
    const Anchor anchor = m_anchor;
    dropAnchor();
    const QTextDocument* document = m_editor->document();
    const int position = qMin(anchor.position, document->characterCount() - 1);
    // Laid out down to the anchor's paragraph.
    document->documentLayout()->blockBoundingRect(document->findBlock(position));
    qreal top = 0;
    if (laidOutLineTop(document, position, &top)) {
        m_scrolling = true;
        reachOffset(qMax(0, qRound(top - anchor.top)));
        m_scrolling = false;
    }
    m_editor->viewport()->update();
}

void LayoutGuard::dropAnchor()
{
    m_anchor = Anchor();
    m_stepper.stop();
}

bool LayoutGuard::paintAhead(QPaintEvent* event)
{
    if (!catchingUp())
        return false;
    LayoutPreview::paint(m_editor, m_anchor.position, m_anchor.top, event->rect());
    return true;
}

bool LayoutGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (!catchingUp())
        return false;
    if (watched == m_control)
        return event->type() == QEvent::Timer;
    switch (event->type()) {
    case QEvent::MouseMove:
        // What the view shows is not yet where the layout has it: no pop-up
        // for the word under the pointer.
        return watched == m_editor->viewport();
    case QEvent::KeyPress:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        settleAnchor();
        break;
    default:
        break;
    }
    return false;
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
    // The cursor's line is the one to show now.
    dropAnchor();
    settleLayout();
    scrollToCursor();
}
