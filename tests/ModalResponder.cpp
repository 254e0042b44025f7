#include "ModalResponder.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QApplication>
#include <QDialog>
#include <QTimer>

ModalResponder::ModalResponder(QObject* parent)
    : QObject(parent)
    , m_timer(new QTimer(this))
{
    m_timer->setInterval(10);
    connect(m_timer, &QTimer::timeout, this, &ModalResponder::poll);
    m_timer->start();
}

ModalResponder::~ModalResponder() = default;

void ModalResponder::enqueue(const Action& action)
{
    m_actions << action;
}

ModalResponder::Action ModalResponder::press(QMessageBox::StandardButton button)
{
    return [button](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        QAbstractButton* pressed = box ? box->button(button) : nullptr;
        if (pressed)
            pressed->click();
        else
            answer(modal);
    };
}

void ModalResponder::answer(QWidget* modal)
{
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
        QAbstractButton* button = box->defaultButton();
        if (!button)
            button = box->escapeButton();
        if (!button && !box->buttons().isEmpty())
            button = box->buttons().constFirst();
        if (button) {
            button->click();
            return;
        }
    }
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

QStringList ModalResponder::titles() const
{
    QStringList result;
    for (const Seen& seen : m_seen)
        result << seen.title;
    return result;
}

QStringList ModalResponder::texts() const
{
    QStringList result;
    for (const Seen& seen : m_seen)
        result << seen.text;
    return result;
}

QStringList ModalResponder::classNames() const
{
    QStringList result;
    for (const Seen& seen : m_seen)
        result << seen.className;
    return result;
}

void ModalResponder::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    // A dialog that was closed counts as new when it is shown again.
    for (int i = m_handled.size() - 1; i >= 0; --i)
        if (!m_handled.at(i) || !m_handled.at(i)->isVisible())
            m_handled.removeAt(i);
    if (m_handled.contains(modal))
        return;
    m_handled << modal;
    auto* box = qobject_cast<QMessageBox*>(modal);
    m_seen << Seen{QString::fromLatin1(modal->metaObject()->className()), modal->objectName(), modal->windowTitle(),
                   box ? box->text() : QString()};
    // Run from the event loop, not inside the timer: an action that waits must
    // not stop the polling for the boxes it leads to.
    QPointer<QWidget> guarded(modal);
    QMetaObject::invokeMethod(this, [this, guarded]() { handle(guarded); }, Qt::QueuedConnection);
}

void ModalResponder::handle(QPointer<QWidget> modal)
{
    if (!modal)
        return;
    if (m_actions.isEmpty())
        answer(modal);
    else
        m_actions.takeFirst()(modal);
}
