#include "ContextListWidget.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QDebug>
#include <QInputMethodEvent>
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

// Keys that only modify the next one: pressed on their own they type nothing.
bool isModifierKey(int key)
{
    return (key >= Qt::Key_Shift && key <= Qt::Key_ScrollLock) || key == Qt::Key_AltGr
        || (key >= Qt::Key_Super_L && key <= Qt::Key_Hyper_R);
}

// The keys that turn to a waiting list: Up and Down, on their own.
bool isTurningKey(const QKeyEvent* event)
{
    return (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// The role of a row that holds the whole of a text it shows the start of.
const int FullTextRole = Qt::UserRole + 0x4654;

} // namespace

ContextListWidget::ContextListWidget(QWidget* parent)
    : QListWidget(parent)
{
    qDebug() << Q_FUNC_INFO;
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new ListWidthDelegate(this));
    setTextElideMode(Qt::ElideRight);
    // Moves over a waiting list turn to it.
    viewport()->setMouseTracking(true);
    // Keys the editor gets while the list waits hide it or turn to it.
    if (parent)
        parent->installEventFilter(this);
    // A click chooses an entry as Return does, also where the platform
    // activates entries by double click only.
    connect(this, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        catchSecondClick();
        if (isChoosable(item) && !style()->styleHint(QStyle::SH_ItemView_ActivateItemOnSingleClick, nullptr, this))
            emit itemActivated(item);
    });
}

void ContextListWidget::open(Keyboard keyboard, const QPoint& pointer)
{
    // A list that had the keyboard gives it back before it waits.
    if (keyboard == Keyboard::Wait && hasFocus() && parentWidget())
        parentWidget()->setFocus(Qt::OtherFocusReason);
    waiting = keyboard == Keyboard::Wait;
    openingPointer = pointer;
    // A waiting list shows no chosen-looking row: its current row lights up
    // once the writer turns to it.
    if (waiting)
        clearSelection();
    keepInside();
    show();
    if (!waiting) {
        setFocus(Qt::ActiveWindowFocusReason);
        setFocus(Qt::OtherFocusReason);
    }
}

void ContextListWidget::turnTo()
{
    qDebug() << Q_FUNC_INFO;
    waiting = false;
    if (currentItem())
        currentItem()->setSelected(true);
    setFocus(Qt::OtherFocusReason);
}

bool ContextListWidget::editorInput(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
    case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (isTurningKey(key)) {
            if (event->type() != QEvent::KeyPress)
                return false;
            turnTo();
            return true;
        }
        if (!isModifierKey(key->key()))
            hide();
        return false;
    }
    case QEvent::InputMethod: {
        const auto* input = static_cast<QInputMethodEvent*>(event);
        if (!input->commitString().isEmpty() || !input->preeditString().isEmpty())
            hide();
        return false;
    }
    default:
        return false;
    }
}

void ContextListWidget::chooseNothing()
{
    hide();
    // Hiding gave the keyboard back to the editor if the list had it.
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
    // Pushed over what is to stay in sight: above it instead, where there is room.
    if (!keepClear.isNull() && frame.intersects(keepClear) && keepClear.top() - frame.height() >= bounds.top())
        frame.moveBottom(keepClear.top() - 1);
    if (frame != geometry())
        setGeometry(frame);
}

void ContextListWidget::addPlaceholder(const QString& text)
{
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::NoItemFlags);
}

void ContextListWidget::addLongText(const QIcon& icon, const QString& text)
{
    auto* item = new QListWidgetItem(icon, rowText(text), this);
    if (item->text() != text)
        item->setData(FullTextRole, text);
}

QString ContextListWidget::fullText(const QListWidgetItem* item)
{
    const QVariant full = item->data(FullTextRole);
    return full.isValid() ? full.toString() : item->text();
}

QString ContextListWidget::rowText(const QString& text)
{
    int length = qMin(int(text.size()), int(rowTextLength));
    // Not half of a character outside the basic plane.
    if (length < text.size() && length > 0 && text.at(length - 1).isHighSurrogate())
        --length;
    QString row = text.left(length);
    for (QChar& c : row) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t') || c == QChar::ParagraphSeparator
            || c == QChar::LineSeparator)
            c = QLatin1Char(' ');
    }
    if (length < text.size())
        row += QChar(0x2026);
    return row;
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
    // A row that says there is nothing to choose puts nothing in the text.
    if (choosing && !isChoosable(currentItem())) {
        chooseNothing();
        event->accept();
        return;
    }
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

void ContextListWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (waiting && event->globalPos() != openingPointer)
        turnTo();
    QListWidget::mouseMoveEvent(event);
}

void ContextListWidget::mousePressEvent(QMouseEvent* event)
{
    if (waiting)
        turnTo();
    pressTime = event->timestamp();
    pressPos = event->globalPos();
    pressButton = event->button();
    QListWidget::mousePressEvent(event);
}

void ContextListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    const QListWidgetItem* item = itemAt(event->pos());
    QListWidget::mouseReleaseEvent(event);
    // A click on a row that offers nothing: nothing to put in, nothing to wait for.
    if (event->button() == Qt::LeftButton && item && !isChoosable(item)) {
        catchSecondClick();
        chooseNothing();
    }
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

// Watches the keys the editor gets while the list waits (see editorInput). And
// catches the second click of a double click on an entry, from its press (a
// widget sees a double click instead) to its release: the editor under a list
// that has gone would take it as a double click into the text, moving its
// cursor and selecting a word.
bool ContextListWidget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && isWaiting() && editorInput(event))
        return true;
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
