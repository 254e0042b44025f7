#pragma once
// A rich-text cell value: an HTML fragment painted without wrapping from the
// cell's top-left corner, its line as high as the row needs, with the other
// cells' margin at the sides.

#include <QMetaType>
#include <QSize>
#include <QString>

class QPainter;
class QStyleOptionViewItem;
class QWidget;

class TextPainter
{
public:
    TextPainter() = default;
    explicit TextPainter(const QString& html);

    void paint(QPainter* painter, const QStyleOptionViewItem& option) const;
    QSize sizeHint() const;
    QString html() const { return m_html; }
    // The margin an item view's plain cells keep at each side of their text.
    static int textMargin(const QWidget* view);

private:
    QString m_html;
};

Q_DECLARE_METATYPE(TextPainter)
