#include "ContextListWidget.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDebug>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QStyle>
#include <QStyleHints>
#include <QStyledItemDelegate>

namespace {

// Rows as wide as the list whatever their text: a list view otherwise widens
// every row to its longest entry and, with its scroll bars off, shows the
// short entries blank and the long ones without their start.
class ListWidthDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        return QSize(0, QStyledItemDelegate::sizeHint(option, index).height());
    }

    // The width a row needs for its icon and whole text.
    int fullWidth(const QStyleOptionViewItem& option, const QModelIndex& index) const
    {
        return QStyledItemDelegate::sizeHint(option, index).width();
    }
};

} // namespace

ContextListWidget::ContextListWidget(QWidget* parent)
    : QListWidget(parent)
{
    qDebug() << Q_FUNC_INFO;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new ListWidthDelegate(this));
    setTextElideMode(Qt::ElideRight);
    // A click chooses an entry as Return does, also where the platform
    // activates entries by double click only.
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        catchSecondClick();
        if (isChoosable(item) && !style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, this))
            emit itemActivated(item);
    });
}

void ContextListWidget::keepInside()
{
    QWidget* editor = parentWidget();
    if (!editor)
        return;
    // Not over the editor's frame and scroll bars: the text area alone.
    const auto* area = qobject_cast<QAbstractScrollArea*>(editor);
    QRect bounds = area ? area->viewport()->geometry() : editor->rect();
    if (QScreen* screen = editor->screen()) {
        const QRect available = screen->availableGeometry();
        const QRect onScreen = bounds & QRect(editor->mapFromGlobal(available.topLeft()), available.size());
        if (!onScreen.isEmpty())
            bounds = onScreen;
    }
    QRect frame = geometry();
    frame.setSize(frame.size().boundedTo(bounds.size()));
    frame.moveLeft(qBound(bounds.left(), frame.left(), bounds.left() + bounds.width() - frame.width()));
    frame.moveTop(qBound(bounds.top(), frame.top(), bounds.top() + bounds.height() - frame.height()));
    if (frame != geometry())
        setGeometry(frame);
}

void ContextListWidget::addPlaceholder(const QString& text)
{
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::NoItemFlags);
}

bool ContextListWidget::isChoosable(const QListWidgetItem* item)
{
    return item && (item->flags() & Qt::ItemIsEnabled);
}

int ContextListWidget::widthToShow(int row) const
{
    const auto* delegate = static_cast<const ListWidthDelegate*>(itemDelegate());
    return delegate->fullWidth(viewOptions(), model()->index(row, 0)) + 2 * frameWidth();
}

void ContextListWidget::focusOutEvent(QFocusEvent* event)
{
    qDebug() << Q_FUNC_INFO;
    QListWidget::focusOutEvent(event);
    hide();
}

void ContextListWidget::hideEvent(QHideEvent* event)
{
    QListWidget::hideEvent(event);
    // A hidden list that kept the keyboard would take the keys typed next, or
    // pass it on to the next widget of the window: the editor takes it back,
    // also when its window is not the active one just now.
    QWidget* editor = parentWidget();
    if (editor && editor->isVisible() && (hasFocus() || window()->focusWidget() == this))
        editor->setFocus(Qt::OtherFocusReason);
}

void ContextListWidget::keyPressEvent(QKeyEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", key =" << event->key();
    const bool choosing = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    // A row that says there is nothing to choose is not chosen by Return either.
    if (!choosing || isChoosable(currentItem()))
        QListWidget::keyPressEvent(event);
    // The list lives on its editor: a choosing Return or a closing Escape that the
    // view passes on would otherwise reach the text.
    if (choosing) {
        event->accept();
    } else if (event->key() == Qt::Key_Escape) {
        hide();
        event->accept();
    }
}

void ContextListWidget::mousePressEvent(QMouseEvent* event)
{
    pressTime = event->timestamp();
    pressPos = event->globalPos();
    pressButton = event->button();
    QListWidget::mousePressEvent(event);
}

void ContextListWidget::catchSecondClick()
{
    if (secondClick == SecondClick::None)
        qApp->installEventFilter(this);
    secondClick = SecondClick::Awaited;
}

void ContextListWidget::stopCatching()
{
    secondClick = SecondClick::None;
    qApp->removeEventFilter(this);
}

// As the window system pairs clicks: the same button again, soon after the
// first press and close to it.
bool ContextListWidget::isSecondClick(const QMouseEvent* event) const
{
    const qint64 since = qint64(event->timestamp()) - qint64(pressTime);
    const QPoint moved = event->globalPos() - pressPos;
    const int distance = QGuiApplication::styleHints()->mouseDoubleClickDistance();
    return event->button() == pressButton && since >= 0
        && since < QGuiApplication::styleHints()->mouseDoubleClickInterval() && qAbs(moved.x()) <= distance
        && qAbs(moved.y()) <= distance;
}

// Catches the second click of a double click on an entry, from its press (a
// widget sees a double click instead) to its release: the editor under a list
// that has gone would take it as a double click into the text, moving its
// cursor and selecting a word.
bool ContextListWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (secondClick == SecondClick::None || !watched->isWidgetType())
        return QListWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (secondClick == SecondClick::Caught)
            return true;
        if (isSecondClick(static_cast<QMouseEvent*>(event))) {
            secondClick = SecondClick::Caught;
            return true;
        }
        stopCatching();
        break;
    case QEvent::MouseButtonRelease:
        if (secondClick == SecondClick::Caught) {
            stopCatching();
            return true;
        }
        break;
    default:
        break;
    }
    return QListWidget::eventFilter(watched, event);
}

void ContextListWidget::showEvent(QShowEvent* event)
{
    qDebug() << Q_FUNC_INFO;
    QListWidget::showEvent(event);
    keepInside();
}
