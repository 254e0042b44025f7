#include "ContextListWidget.h"

#include <QDebug>
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
