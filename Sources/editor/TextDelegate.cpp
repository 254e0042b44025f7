#include "TextDelegate.h"

#include <QDebug>
#include <QPainter>

#include "TextPainter.h"

TextDelegate::TextDelegate(QObject* parent)
    : QItemDelegate(parent)
{
    qDebug() << Q_FUNC_INFO << ", parent =" << parent;
}

void TextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    qDebug() << Q_FUNC_INFO << ", row =" << index.row() << ", column =" << index.column();
    const QVariant data = index.data(Qt::DisplayRole);
    if (data.userType() == qMetaTypeId<TextPainter>() || data.canConvert<TextPainter>()) {
        if (option.state & QStyle::State_Selected)
            painter->fillRect(option.rect, option.palette.highlight());
        data.value<TextPainter>().paint(painter, option);
        return;
    }
    QItemDelegate::paint(painter, option, index);
}

QSize TextDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    qDebug() << Q_FUNC_INFO << ", row =" << index.row() << ", column =" << index.column();
    const QVariant data = index.data(Qt::DisplayRole);
    if (data.userType() == qMetaTypeId<TextPainter>() || data.canConvert<TextPainter>())
        return data.value<TextPainter>().sizeHint();
    return QItemDelegate::sizeHint(option, index);
}
