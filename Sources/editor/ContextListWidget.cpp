#include "ContextListWidget.h"

#include <QAbstractScrollArea>
#include <QDebug>
#include <QKeyEvent>
#include <QScreen>
#include <QStyle>
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

void ContextListWidget::showEvent(QShowEvent* event)
{
    qDebug() << Q_FUNC_INFO;
    QListWidget::showEvent(event);
    keepInside();
}
