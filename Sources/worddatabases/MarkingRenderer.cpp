#include "MarkingRenderer.h"

#include <QDebug>
#include <QTextCursor>

#include "MarkFormat.h"
#include "SettingsStore.h"
#include "SharedCodes.h"

namespace {

const QString kRed = QStringLiteral("#FF0000");
const QString kBlue = QStringLiteral("#0000FF");
const QString kBlackList = QStringLiteral("黑名单");
const QString kWhiteList = QStringLiteral("白名单");

// Paragraph margins Qt gives a plain "<p>".
constexpr double kParagraphMargin = 12;

// Walks the segments in order and tells the sink what to write; returns the counts.
template <typename Sink>
MarkingRenderer::Counts walk(const SegmentList& segments, uint code, Sink& sink)
{
    MarkingRenderer::Counts counts;
    const QString* color = &kRed;
    for (const Segment& segment : segments) {
        const bool lineEnd = MarkingRenderer::isLineEnd(segment);
        bool marked = false;
        if (code == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST) {
            marked = !segment.matched;
        } else if (code == TEMPLATE_TYPE_SPELLING_BLACK_WHITE_LIST) {
            if (segment.matched && segment.category == kBlackList) {
                marked = true;
                color = &kBlue;
                ++counts.blackList;
            } else if (!segment.matched && segment.category == kWhiteList) {
                marked = true;
                color = &kRed;
                ++counts.whiteList;
            }
        } else {
            marked = segment.matched;
        }
        if (marked)
            sink.beginMark(segment.text + QLatin1Char('#') + QString::number(counts.marks), *color);
        if (lineEnd)
            sink.lineEnd();
        else
            sink.text(segment.text);
        if (marked) {
            sink.endMark();
            if (!lineEnd)
                ++counts.marks;
        }
    }
    return counts;
}

QString escapedText(const QString& text)
{
    QString escaped = text.toHtmlEscaped();
    escaped.replace(QLatin1Char(' '), QLatin1String("&nbsp;"));
    escaped.replace(QLatin1Char('\t'), QLatin1String("&#9;"));
    return escaped;
}

struct HtmlSink
{
    QString& html;

    void beginMark(const QString& href, const QString& color)
    {
        html += QLatin1String("<a href=\"") + href.toHtmlEscaped()
            + QLatin1String("\" style=\"text-decoration:underline;\"><font color=\"") + color + QLatin1String("\">");
    }
    void endMark() { html += QLatin1String("</font></a>"); }
    void lineEnd() { html += QLatin1String("</p><p>"); }
    void text(const QString& text) { html += escapedText(text); }
};

struct NullSink
{
    void beginMark(const QString&, const QString&) {}
    void endMark() {}
    void lineEnd() {}
    void text(const QString&) {}
};

// Plain text between marks goes in as one piece: every insertion into a
// block costs in proportion to the block, which for a one-paragraph document
// is the whole text.
struct CursorSink
{
    QTextCursor& cursor;
    QTextBlockFormat blockFormat;
    QTextCharFormat plain;
    QTextCharFormat mark;
    bool inMark = false;
    QString pending;

    void flush()
    {
        if (!pending.isEmpty())
            cursor.insertText(pending, plain);
        pending.clear();
    }
    void beginMark(const QString& href, const QString& color)
    {
        flush();
        mark = MarkingRenderer::markFormat(href, color);
        inMark = true;
    }
    void endMark() { inMark = false; }
    void lineEnd()
    {
        flush();
        cursor.insertBlock(blockFormat, plain);
    }
    void text(const QString& text)
    {
        if (!inMark)
            pending += text;
        else if (!text.isEmpty())
            cursor.insertText(text, mark);
    }
};

} // namespace

MarkingRenderer::LineSpacing MarkingRenderer::LineSpacing::fromValues(double lineSpacing, int fixedValue)
{
    LineSpacing spacing;
    if (lineSpacing >= 1.0) {
        spacing.proportional = true;
        spacing.percent = lineSpacing * 100;
    } else {
        spacing.fixed = fixedValue >= 10 && fixedValue <= 30 ? fixedValue : 15;
    }
    return spacing;
}

MarkingRenderer::LineSpacing MarkingRenderer::LineSpacing::fromSettings()
{
    qDebug() << Q_FUNC_INFO;
    Settings settings;
    const double lineSpacing = settings.value(QStringLiteral("LineSpacing")).toDouble();
    const int fixedValue = lineSpacing < 1.0 ? settings.value(QStringLiteral("LineSpacingFixedValue")).toInt() : 0;
    return fromValues(lineSpacing, fixedValue);
}

QString MarkingRenderer::LineSpacing::styleLine() const
{
    if (proportional)
        return QStringLiteral("<style> p { line-height: ") + QStringLiteral("%1%; } </style>").arg(percent, 0, 'g', 6);
    return QStringLiteral("<style> p { line-height: ") + QStringLiteral("%1; -qt-line-height-type: fixed; } </style>").arg(fixed);
}

QTextBlockFormat MarkingRenderer::LineSpacing::blockFormat() const
{
    QTextBlockFormat format;
    format.setLayoutDirection(Qt::LeftToRight);
    format.setTopMargin(kParagraphMargin);
    format.setBottomMargin(kParagraphMargin);
    if (proportional)
        format.setLineHeight(percent, QTextBlockFormat::ProportionalHeight);
    else
        format.setLineHeight(fixed, QTextBlockFormat::FixedHeight);
    return format;
}

QTextCharFormat MarkingRenderer::markFormat(const QString& href, const QString& color)
{
    return MarkFormat::make(href, color);
}

MarkingRenderer::Counts MarkingRenderer::renderHtml(const SegmentList& segments, uint code, const LineSpacing& spacing,
                                                    QString& html)
{
    qDebug() << Q_FUNC_INFO << ", segments =" << segments.size() << ", code =" << code;
    html += QLatin1String("<html> ") + spacing.styleLine() + QLatin1String("<p>");
    HtmlSink sink{html};
    const Counts counts = walk(segments, code, sink);
    html += QLatin1String("</p></html>");
    return counts;
}

MarkingRenderer::Counts MarkingRenderer::insert(QTextCursor& cursor, const SegmentList& segments, uint code,
                                                const LineSpacing& spacing)
{
    qDebug() << Q_FUNC_INFO << ", segments =" << segments.size() << ", code =" << code;
    CursorSink sink{cursor, spacing.blockFormat(), QTextCharFormat(), QTextCharFormat(), false, QString()};
    // Like "<p></p>" alone, nothing at all leaves the paragraph plain.
    if (!segments.isEmpty())
        cursor.setBlockFormat(sink.blockFormat);
    cursor.setBlockCharFormat(sink.plain);
    const Counts counts = walk(segments, code, sink);
    sink.flush();
    return counts;
}

MarkingRenderer::Counts MarkingRenderer::count(const SegmentList& segments, uint code)
{
    NullSink sink;
    return walk(segments, code, sink);
}
