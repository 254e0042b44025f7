#include "ContextListWidget.h"

#include <QDebug>
#include <QKeyEvent>
#include <QRegion>

ContextListWidget::ContextListWidget(QWidget* parent)
    : QListWidget(parent)
{
    qDebug() << Q_FUNC_INFO;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void ContextListWidget::focusOutEvent(QFocusEvent* event)
{
    qDebug() << Q_FUNC_INFO;
    QListWidget::focusOutEvent(event);
    hide();
}

void ContextListWidget::keyPressEvent(QKeyEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", key =" << event->key();
    QListWidget::keyPressEvent(event);
    // The list lives on its editor: a choosing Return or a closing Escape that the
    // view passes on would otherwise reach the text.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        break;
    case Qt::Key_Escape:
        hide();
        event->accept();
        break;
    default:
        break;
    }
}

void ContextListWidget::showEvent(QShowEvent* event)
{
    qDebug() << Q_FUNC_INFO;
    QListWidget::showEvent(event);
    const QRect visible = visibleRegion().boundingRect();
    const int dx = width() - visible.width();
    const int dy = height() - visible.height();
    if (dx != 0 || dy != 0)
        move(x() - dx - 5, y() - dy - 5);
}
