#pragma once
// Item delegate of the find-in-files results: cells holding a TextPainter are
// painted as rich text, all others the standard way.

#include <QItemDelegate>

class TextDelegate : public QItemDelegate
{
    Q_OBJECT
public:
    explicit TextDelegate(QObject* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
