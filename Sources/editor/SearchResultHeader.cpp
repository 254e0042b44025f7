#include "SearchResultHeader.h"

#include <QDebug>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

SearchResultHeader::SearchResultHeader(Qt::Orientation orientation, QWidget* parent)
    : QHeaderView(orientation, parent)
{
    qDebug() << Q_FUNC_INFO << ", orientation =" << orientation;
    connect(this, SIGNAL(sectionMoved(int, int, int)), this, SLOT(updateSectionIndex(int, int, int)));
}

void SearchResultHeader::setCheckState(bool checked)
{
    qDebug() << Q_FUNC_INFO << ", checked =" << checked;
    m_checked = checked;
}

void SearchResultHeader::clearSelectAll()
{
    qDebug() << Q_FUNC_INFO;
    m_checked = false;
}

void SearchResultHeader::updateSectionIndex(int logicalIndex, int oldVisualIndex, int newVisualIndex)
{
    qDebug() << Q_FUNC_INFO << ", logicalIndex =" << logicalIndex << ", oldVisualIndex =" << oldVisualIndex
             << ", newVisualIndex =" << newVisualIndex;
}

void SearchResultHeader::mousePressEvent(QMouseEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", pos =" << event->pos();
    const int at = orientation() == Qt::Horizontal ? event->pos().x() : event->pos().y();
    if (logicalIndexAt(at) != 0)
        return; // swallowed: no click, move or resize starts here
    m_checked = !m_checked;
    emit stateChanged(m_checked ? Qt::Checked : Qt::Unchecked);
    updateSection(0);
    QHeaderView::mousePressEvent(event);
}

void SearchResultHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    qDebug() << Q_FUNC_INFO << ", rect =" << rect << ", logicalIndex =" << logicalIndex;
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (logicalIndex != 0)
        return;
    QStyleOptionButton option;
    option.rect = QRect(sectionViewportPosition(0) + 6, 4, 44, 14);
    option.text = tr("全选");
    option.state = m_checked ? QStyle::State_On : QStyle::State_Off;
    style()->drawControl(QStyle::CE_CheckBox, &option, painter, this);
}
