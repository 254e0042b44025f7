#include "DocumentPrinter.h"

#include <QAbstractTextDocumentLayout>
#include <QDebug>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QtMath>

#include <algorithm>

#include "LayoutGuard.h"

namespace {

int targetHeight = LayoutGuard::coordinateLimit / 8;

// A piece taller than this is made again, smaller: far from the limit, and not
// so tall that its layout takes much memory.
int pieceLimit()
{
    return 8 * targetHeight;
}

// The resolution of the document's own measures, taken as the toolkit takes it.
qreal sourceDpi(Qt::Orientation orientation)
{
    if (QCoreApplication::testAttribute(Qt::AA_Use96Dpi))
        return 96;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 100;
    return qRound(orientation == Qt::Horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY());
}

// A piece of the document; the pictures it does not hold itself it asks of the
// document it was taken from.
class PieceDocument : public QTextDocument
{
public:
    explicit PieceDocument(const QTextDocument* source)
        : m_source(source)
    {
        setUndoRedoEnabled(false);
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        const QVariant found = m_source->resource(type, name);
        return found.isValid() ? found : QTextDocument::loadResource(type, name);
    }

private:
    const QTextDocument* const m_source;
};

} // namespace

// The pages [firstPage, lastPage] of a laid-out piece are the document's.
struct DocumentPrinter::Piece
{
    std::unique_ptr<QTextDocument> document;
    int firstPage;
    int lastPage;
};

// Where the next piece takes over: the page of this piece that it begins with,
// and the document position of that page's first line.
struct DocumentPrinter::Cut
{
    int page = 0;
    int position = -1;
    int from = -1; // where the next piece begins: position, or the paragraph before a page break
};

// The printer's page as the toolkit's printing lays documents out on it.
struct DocumentPrinter::Page
{
    explicit Page(QPrinter* printer, const QFont& font)
    {
        const qreal dpiX = sourceDpi(Qt::Horizontal);
        const qreal dpiY = sourceDpi(Qt::Vertical);
        // 2 cm margins in the document's measures, scaled to the printer by the layout.
        horizontalMargin = int((2 / 2.54) * dpiX);
        verticalMargin = int((2 / 2.54) * dpiY);
        body = QRectF(0, 0, printer->width(), printer->height());
        numberPosition = QPointF(body.width() - horizontalMargin * (printer->logicalDpiX() / dpiX),
                                 body.height() - verticalMargin * (printer->logicalDpiY() / dpiY)
                                     + QFontMetrics(font, printer).ascent() + 5 * printer->logicalDpiY() / 72.0);
    }
    int horizontalMargin;
    int verticalMargin;
    QRectF body;
    QPointF numberPosition;
};

DocumentPrinter::DocumentPrinter(const QTextDocument* document)
    : m_document(document)
{
}

DocumentPrinter::~DocumentPrinter() = default;

int DocumentPrinter::pieceHeight()
{
    return targetHeight;
}

void DocumentPrinter::setPieceHeight(int pixels)
{
    targetHeight = qBound(1, pixels, LayoutGuard::coordinateLimit / 8);
}

QString DocumentPrinter::tooTallText()
{
    return tr("文档中有表格或编号列表太长，无法分页。");
}

DocumentPrinter::Result DocumentPrinter::print(QPrinter* printer)
{
    qDebug() << Q_FUNC_INFO << ", characters =" << m_document->characterCount();
    // Without margins of its own the page gets 2 mm, as in the toolkit's printing.
    const QMarginsF margins = printer->pageLayout().margins(QPageLayout::Millimeter);
    if (margins.left() == 0. && margins.right() == 0. && margins.top() == 0. && margins.bottom() == 0.)
        printer->setPageMargins(QMarginsF(2, 2, 2, 2), QPageLayout::Millimeter);
    m_page = std::make_unique<Page>(printer, m_document->defaultFont());
    m_pieces.clear();
    m_pageCount = 0;
    Result result = paginate(printer) ? Printed : TooTall;
    if (result == Printed)
        result = paint(printer) ? Printed : NoPainter;
    qDebug() << Q_FUNC_INFO << ", pages =" << m_pageCount << ", pieces =" << m_pieces.size() << ", result =" << result;
    m_pieces.clear();
    return result;
}

bool DocumentPrinter::paginate(QPrinter* printer)
{
    findNumberedLists();
    const int end = m_document->characterCount() - 1;
    // The piece begins at `from`; its pages are printed from the one that holds
    // `start` on (a paragraph after a page break begins with the one before it).
    int from = 0;
    int start = 0;
    // A first guess small enough for any text; later pieces follow what the
    // pieces before them measured.
    int characters = 4000;
    int blocks = 200;
    // Ends of pieces from `start` found too tall, or without a page where the
    // next piece could begin: a better end lies between.
    int tooTall = INT_MAX;
    int noCut = start;
    for (;;) {
        const int to = pieceEnd(start, characters, blocks);
        std::unique_ptr<QTextDocument> piece = makePiece(printer, from, to);
        const qreal height = piece->pageCount() * piece->pageSize().height();
        const bool tall = height > pieceLimit();
        const int first = tall ? 0 : pageOf(piece.get(), start - from);
        if (!tall && to >= end) {
            const int pages = piece->pageCount();
            addPages(std::move(piece), first, pages);
            return true;
        }
        const Cut cut = tall ? Cut() : lastCut(piece.get(), from, first);
        if (tall || cut.page == 0) {
            (tall ? tooTall : noCut) = to;
            // Halfway between, or a quarter (twice) the size when only one bound is known.
            const qint64 size = tooTall == INT_MAX ? 2 * qint64(to - start)
                : noCut == start                 ? (to - start) / 4
                                                 : (qint64(noCut) + tooTall) / 2 - start;
            characters = int(qBound<qint64>(1, size, INT_MAX / 2));
            blocks = tall && noCut == start ? qMax(1, piece->blockCount() / 4) : INT_MAX / 2;
            const int next = pieceEnd(start, characters, blocks);
            if (next <= noCut || next >= tooTall)
                return false;
            continue;
        }
        // The next piece aims at the target height at this piece's density, and
        // grows at most fourfold.
        const qreal scale = qBound(0.25, targetHeight / qMax(height, 1.0), 4.0);
        characters = int(qBound<qreal>(64, (to - from) * scale, INT_MAX / 2));
        blocks = int(qBound<qreal>(4, piece->blockCount() * scale, INT_MAX / 2));
        addPages(std::move(piece), first, cut.page - 1);
        from = cut.from;
        start = cut.position;
        tooTall = INT_MAX;
        noCut = start;
    }
}

void DocumentPrinter::addPages(std::unique_ptr<QTextDocument> piece, int first, int last)
{
    qDebug() << Q_FUNC_INFO << ", pages" << m_pageCount + 1 << "to" << m_pageCount + last - first + 1 << "of"
             << piece->characterCount() << "characters";
    m_pageCount += last - first + 1;
    m_pieces.push_back({std::move(piece), first, last});
}

// The page of a piece that shows its position `position`.
int DocumentPrinter::pageOf(const QTextDocument* piece, int position)
{
    if (position == 0)
        return 1;
    const QTextBlock block = piece->findBlock(position);
    const QTextLayout* text = block.layout();
    const QTextLine line = text->lineForTextPosition(position - block.position());
    const qreal y = text->position().y() + (line.isValid() ? line.y() : 0);
    return int(y / piece->pageSize().height()) + 1;
}

// The end of the piece that begins at from: about `characters` characters and
// at most `blocks` paragraphs, ending with a paragraph of the document's own
// flow, whole unless a long one is cut.
int DocumentPrinter::pieceEnd(int from, int characters, int blocks) const
{
    const int end = m_document->characterCount() - 1;
    int to = int(qMin<qint64>(end, qint64(from) + characters));
    const QTextBlock after = m_document->findBlockByNumber(m_document->findBlock(from).blockNumber() + blocks);
    if (after.isValid())
        to = qMin(to, after.position() - 1);
    to = qMin(end, qMax(to, from + 1));
    if (to >= end)
        return end;
    QTextCursor cursor(const_cast<QTextDocument*>(m_document));
    cursor.setPosition(to);
    QTextFrame* frame = cursor.currentFrame();
    if (frame != m_document->rootFrame()) {
        // Inside a table or frame: on past it, to the end of the paragraph after it.
        while (frame->parentFrame() != m_document->rootFrame())
            frame = frame->parentFrame();
        const QTextBlock next = m_document->findBlock(frame->lastPosition() + 1);
        return qMin(end, next.position() + next.length() - 1);
    }
    const QTextBlock block = cursor.block();
    const int blockEnd = block.position() + block.length() - 1;
    if (blockEnd - to <= qMax(1000, characters / 4))
        return blockEnd;
    if (QChar(m_document->characterAt(to)).isLowSurrogate())
        ++to;
    return to;
}

// The document's text from `from` to `to`, laid out on the printer's pages. A
// piece after the first begins at the top of a page: its first paragraph has no
// space or page break above it, and the rest of a paragraph has no first-line
// indent and no list mark.
std::unique_ptr<QTextDocument> DocumentPrinter::makePiece(QPrinter* printer, int from, int to) const
{
    auto piece = std::make_unique<PieceDocument>(m_document);
    QTextCursor cursor(piece.get());
    if (from == 0 && to == m_document->characterCount() - 1) {
        cursor.insertFragment(QTextDocumentFragment(m_document));
    } else {
        QTextCursor source(const_cast<QTextDocument*>(m_document));
        source.setPosition(from);
        source.setPosition(to, QTextCursor::KeepAnchor);
        cursor.insertFragment(source.selection());
    }
    // A list item at the start comes with an empty paragraph before it.
    if (from > 0 && piece->characterCount() == to - from + 2 && piece->firstBlock().length() == 1)
        QTextCursor(piece.get()).deleteChar();
    if (piece->characterCount() != to - from + 1)
        qWarning() << Q_FUNC_INFO << "piece of" << piece->characterCount() - 1 << "characters for" << from << to;
    if (from > 0)
        beginPage(piece.get(), m_document->findBlock(from), from);

    piece->setMetaInformation(QTextDocument::DocumentTitle, m_document->metaInformation(QTextDocument::DocumentTitle));
    piece->setIndentWidth(m_document->indentWidth());
    piece->setDefaultTextOption(m_document->defaultTextOption());
    piece->setDefaultFont(m_document->defaultFont());
    piece->documentLayout()->setPaintDevice(printer);
    QTextFrameFormat frame = m_document->rootFrame()->frameFormat();
    frame.setLeftMargin(m_page->horizontalMargin);
    frame.setRightMargin(m_page->horizontalMargin);
    frame.setTopMargin(m_page->verticalMargin);
    frame.setBottomMargin(m_page->verticalMargin);
    piece->rootFrame()->setFrameFormat(frame);
    piece->setPageSize(m_page->body.size());
    return piece;
}

void DocumentPrinter::beginPage(QTextDocument* piece, const QTextBlock& source, int from) const
{
    QTextCursor first(piece);
    // Its format whole (the copy keeps a list item's list, not the format of a
    // paragraph), less the space and page break above it.
    QTextBlockFormat format = source.blockFormat();
    format.clearProperty(QTextFormat::ObjectIndex);
    format.setTopMargin(0);
    format.setPageBreakPolicy(format.pageBreakPolicy() & ~QTextFormat::PageBreak_AlwaysBefore);
    if (from > source.position()) {
        // The rest of a paragraph: no first-line indent and no list mark, but the
        // list's indent.
        format.setTextIndent(0);
        if (const QTextList* list = source.textList())
            format.setIndent(format.indent() + list->format().indent());
    } else if (const QTextList* list = first.currentList()) {
        format.setObjectIndex(list->objectIndex());
    }
    first.setBlockFormat(format);
    first.setBlockCharFormat(source.charFormat());
}

// The last page after `first` whose top line can begin the next piece.
DocumentPrinter::Cut DocumentPrinter::lastCut(const QTextDocument* piece, int from, int first) const
{
    Cut cut;
    const QAbstractTextDocumentLayout* layout = piece->documentLayout();
    const qreal pageHeight = piece->pageSize().height();
    int lastPage = 0;
    QTextBlock previous; // the paragraph before, unless a table or frame came between
    QTextFrame* root = piece->rootFrame();
    for (QTextFrame::iterator it = root->begin(); !it.atEnd(); ++it) {
        if (QTextFrame* frame = it.currentFrame()) {
            // Pages that begin inside a table or frame begin no piece.
            lastPage = qMax(lastPage, qCeil(layout->frameBoundingRect(frame).bottom() / pageHeight));
            previous = QTextBlock();
            continue;
        }
        const QTextBlock block = it.currentBlock();
        const QTextLayout* text = block.layout();
        if (!block.isVisible() || !text)
            continue;
        // The empty paragraph that a table always has after it, and one before a
        // table, are laid out over the table's edge, not as a line of their own.
        QTextFrame::iterator next = it;
        if (block.length() == 1 && ((!previous.isValid() && it != root->begin()) || (++next).currentFrame())) {
            previous = QTextBlock();
            continue;
        }
        const qreal top = text->position().y();
        for (int i = 0; i < text->lineCount(); ++i) {
            const QTextLine line = text->lineAt(i);
            const int page = int((top + line.y()) / pageHeight) + 1;
            if (page <= lastPage)
                continue;
            lastPage = page;
            const int position = from + block.position() + line.textStart();
            if (page <= first || !canStartAt(position))
                continue;
            // After a page break the space above a paragraph stays: the piece
            // begins with the paragraph before it, and its page break.
            const bool broken = i == 0
                && ((block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                    || (previous.isValid()
                        && (previous.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter)));
            if (!broken)
                cut = {page, position, position};
            else if (previous.isValid() && canStartAt(from + previous.position()))
                cut = {page, position, from + previous.position()};
        }
        previous = block;
    }
    return cut;
}

bool DocumentPrinter::canStartAt(int position) const
{
    // The list spans are sorted and apart: the one that could hold position is
    // the last that begins before it.
    auto after = std::upper_bound(m_numberedLists.begin(), m_numberedLists.end(), position,
                                  [](int value, const std::pair<int, int>& span) { return value <= span.first; });
    return after == m_numberedLists.begin() || std::prev(after)->second <= position;
}

void DocumentPrinter::findNumberedLists()
{
    m_numberedLists.clear();
    QSet<const QTextList*> seen;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        const QTextList* list = block.textList();
        if (!list || seen.contains(list))
            continue;
        seen.insert(list);
        const int style = list->format().style();
        if (style > QTextListFormat::ListDecimal || list->count() == 0)
            continue;
        const QTextBlock last = list->item(list->count() - 1);
        m_numberedLists.push_back({list->item(0).position(), last.position() + last.length()});
    }
    std::sort(m_numberedLists.begin(), m_numberedLists.end());
    // Overlapping spans made one.
    std::vector<std::pair<int, int>> merged;
    for (const auto& span : m_numberedLists) {
        if (!merged.empty() && span.first < merged.back().second)
            merged.back().second = qMax(merged.back().second, span.second);
        else
            merged.push_back(span);
    }
    m_numberedLists.swap(merged);
}

bool DocumentPrinter::paint(QPrinter* printer)
{
    QPainter painter(printer);
    if (!painter.isActive())
        return false;
    int first = printer->fromPage();
    int last = printer->toPage();
    if (first == 0 && last == 0) {
        first = 1;
        last = m_pageCount;
    }
    first = qMax(1, first);
    last = qMin(m_pageCount, last);
    int number = 0;
    for (const Piece& piece : m_pieces) {
        for (int page = piece.firstPage; page <= piece.lastPage; ++page) {
            ++number;
            if (number < first)
                continue;
            if (number > last)
                return true;
            if (number > first && !printer->newPage())
                return true;
            paintPage(&painter, piece.document.get(), page, number);
        }
    }
    return true;
}

// Page `page` of a piece, numbered `number` at its foot.
void DocumentPrinter::paintPage(QPainter* painter, const QTextDocument* piece, int page, int number) const
{
    const QRectF& body = m_page->body;
    painter->save();
    painter->translate(body.left(), body.top() - (page - 1) * body.height());
    const QRectF view(0, (page - 1) * body.height(), body.width(), body.height());
    QAbstractTextDocumentLayout::PaintContext context;
    painter->setClipRect(view);
    context.clip = view;
    // Black text whatever the palette.
    context.palette.setColor(QPalette::Text, Qt::black);
    piece->documentLayout()->draw(painter, context);

    painter->setClipping(false);
    painter->setFont(QFont(piece->defaultFont()));
    const QString text = QString::number(number);
    painter->drawText(qRound(m_page->numberPosition.x() - painter->fontMetrics().horizontalAdvance(text)),
                      qRound(m_page->numberPosition.y() + view.top()), text);
    painter->restore();
}
