#include "MarkFormat.h"

#include <QColor>
#include <QDebug>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVector>
#include <algorithm>

namespace {

// A run of text and the format it is to take.
struct Span
{
    int start = 0;
    int end = 0;
    QTextCharFormat format;
};

int rangeEnd(const QTextDocument* document, int to)
{
    const int last = document->characterCount();
    return to < 0 ? last : std::min(to, last);
}

// Calls visit(fragment, start, end) for every fragment between from and to,
// cut to the range, in document order, until visit returns false.
template <typename Visit>
void forEachFragment(const QTextDocument* document, int from, int to, Visit visit)
{
    to = rangeEnd(document, to);
    for (QTextBlock block = document->findBlock(std::max(from, 0)); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(from, fragment.position());
            const int end = std::min(to, fragment.position() + fragment.length());
            if (start < end && !visit(fragment, start, end))
                return;
        }
    }
}

// Gives each span its format, all in one edit step.
void apply(QTextDocument* document, const QVector<Span>& spans, bool merge)
{
    if (spans.isEmpty())
        return;
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    for (const Span& span : spans) {
        cursor.setPosition(span.start);
        cursor.setPosition(span.end, QTextCursor::KeepAnchor);
        if (merge)
            cursor.mergeCharFormat(span.format);
        else
            cursor.setCharFormat(span.format);
    }
    cursor.endEditBlock();
}

// Neighbouring fragments that link to one target, taken together: a mark may
// be cut into several (part of it made bold, say). Fragments of two
// paragraphs never meet, the paragraph break lies between them.
struct LinkRun
{
    int start = 0;
    int end = 0;
    QString text;
    QTextCharFormat format;
};

QVector<LinkRun> linkRuns(const QTextDocument* document, int from, int to)
{
    QVector<LinkRun> runs;
    forEachFragment(document, from, to, [&runs](const QTextFragment& fragment, int start, int end) {
        const QTextCharFormat format = fragment.charFormat();
        if (!format.isAnchor() || format.anchorHref().isEmpty() || MarkFormat::isMark(format))
            return true;
        const QString text = fragment.text().mid(start - fragment.position(), end - start);
        if (!runs.isEmpty() && runs.last().end == start && runs.last().format.anchorHref() == format.anchorHref()) {
            runs.last().end = end;
            runs.last().text += text;
        } else {
            runs.append({start, end, text, format});
        }
        return true;
    });
    return runs;
}

bool isMarkColor(const QTextCharFormat& format)
{
    if (format.foreground().style() == Qt::NoBrush)
        return false;
    const QColor color = format.foreground().color();
    return color == QColor(Qt::red) || color == QColor(Qt::blue);
}

} // namespace

QTextCharFormat MarkFormat::make(const QString& href, const QString& color)
{
    QTextCharFormat format;
    format.setForeground(QColor(color));
    format.setProperty(QTextFormat::FontUnderline, true);
    format.setUnderlineStyle(QTextCharFormat::SingleUnderline);
    format.setAnchor(true);
    format.setAnchorHref(href);
    format.setProperty(Property, true);
    return format;
}

bool MarkFormat::isMark(const QTextCharFormat& format)
{
    return format.boolProperty(Property);
}

QTextCharFormat MarkFormat::plain(const QTextCharFormat& format)
{
    QTextCharFormat result = format;
    for (int property : {int(Property), int(QTextFormat::IsAnchor), int(QTextFormat::AnchorHref),
                         int(QTextFormat::ForegroundBrush), int(QTextFormat::FontUnderline),
                         int(QTextFormat::TextUnderlineStyle)})
        result.clearProperty(property);
    return result;
}

void MarkFormat::removeMarks(QTextDocument* document, int from, int to)
{
    qDebug() << Q_FUNC_INFO << ", from =" << from << ", to =" << to;
    changeMarks(document, from, to, plain);
}

void MarkFormat::unlinkMarks(QTextDocument* document)
{
    qDebug() << Q_FUNC_INFO;
    changeMarks(document, 0, -1, [](const QTextCharFormat& format) {
        QTextCharFormat unlinked = format;
        unlinked.clearProperty(QTextFormat::IsAnchor);
        unlinked.clearProperty(QTextFormat::AnchorHref);
        return unlinked;
    });
}

void MarkFormat::changeMarks(QTextDocument* document, int from, int to,
                             const std::function<QTextCharFormat(const QTextCharFormat&)>& change)
{
    QVector<Span> spans;
    forEachFragment(document, from, to, [&](const QTextFragment& fragment, int start, int end) {
        const QTextCharFormat format = fragment.charFormat();
        if (isMark(format))
            spans.append({start, end, change(format)});
        return true;
    });
    apply(document, spans, false);
}

void MarkFormat::recognise(QTextDocument* document, int from, int to)
{
    QTextCharFormat tag;
    tag.setProperty(Property, true);
    QVector<Span> marks;
    for (const LinkRun& link : linkRuns(document, from, to))
        if (looksLikeMark(link.text, link.format.anchorHref(), link.format))
            marks.append({link.start, link.end, tag});
    qDebug() << Q_FUNC_INFO << ", from =" << from << ", to =" << to << ", marks =" << marks.size();
    apply(document, marks, true);
}

bool MarkFormat::looksLikeMark(const QString& text, const QString& href, const QTextCharFormat& format)
{
    if (text.isEmpty() || href.size() < text.size() + 2 || !href.startsWith(text) || href.at(text.size()) != '#')
        return false;
    for (int i = text.size() + 1; i < href.size(); ++i)
        if (href.at(i) < QLatin1Char('0') || href.at(i) > QLatin1Char('9'))
            return false;
    return isMarkColor(format);
}
