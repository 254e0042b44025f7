#include "TextPainter.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDebug>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTextFrame>
#include <QWidget>
#include <QTextDocument>
#include <QTextOption>

TextPainter::TextPainter(const QString& html)
    : m_html(html)
{
}

void TextPainter::paint(QPainter* painter, const QStyleOptionViewItem& option) const
{
    qDebug() << Q_FUNC_INFO << ", rect =" << option.rect;
    painter->save();
    QTextDocument document;
    QTextOption textOption = document.defaultTextOption();
    textOption.setWrapMode(QTextOption::NoWrap);
    document.setDefaultTextOption(textOption);
    document.setDefaultFont(option.font);
    document.setDocumentMargin(0);
    document.setHtml(m_html);
    // The line fills a row one line high; at the sides the text keeps the
    // margin the table's other cells keep.
    const int side = textMargin(option.widget);
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setLeftMargin(side);
    frame.setRightMargin(side);
    document.rootFrame()->setFrameFormat(frame);
    QAbstractTextDocumentLayout::PaintContext context;
    context.cursorPosition = -1;
    context.palette = QApplication::palette();
    context.clip = QRectF(0, 0, option.rect.width(), option.rect.height());
    painter->translate(option.rect.topLeft());
    painter->setClipRect(context.clip);
    painter->setClipping(true);
    document.documentLayout()->draw(painter, context);
    painter->restore();
}

int TextPainter::textMargin(const QWidget* view)
{
    const QStyle* style = view ? view->style() : QApplication::style();
    return style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
}

QSize TextPainter::sizeHint() const
{
    qDebug() << Q_FUNC_INFO;
    return QSize();
}
