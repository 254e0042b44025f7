#pragma once
// Answers the modal boxes and dialogs that code under test runs for real
// (QDialog::exec or QMessageBox::exec through the interactive Prompt), for
// instance a box shown from a network slot while a dialog is open.
//
//     ModalResponder responder;                      // polls while it lives
//     responder.enqueue([&](QWidget* dialog) { ... drive it, then close it ... });
//     window.loginAct->trigger();                    // returns once the dialog is closed
//     QCOMPARE(responder.texts(), QStringList{...});
//
// A timer looks for the active modal widget every few milliseconds. Each new
// one is recorded (class, object name, title, and a message box's text) and then
// given to the next queued action, from the event loop, so an action may wait
// (QTRY_*, qWait) while the responder answers the boxes it leads to. With no
// action queued a message box gets its default button (else its escape button,
// else its first button) and any other dialog is rejected.

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>

class QTimer;

class ModalResponder : public QObject
{
    Q_OBJECT
public:
    using Action = std::function<void(QWidget*)>;

    struct Seen
    {
        QString className;
        QString objectName;
        QString title;
        QString text; // a message box's text; empty for other dialogs
    };

    explicit ModalResponder(QObject* parent = nullptr);
    ~ModalResponder() override;

    void enqueue(const Action& action);
    // An action that presses this button of a message box.
    static Action press(QMessageBox::StandardButton button);
    // Closes whatever is open the way the responder does with nothing queued.
    static void answer(QWidget* modal);

    QList<Seen> seen() const { return m_seen; }
    QStringList titles() const;
    QStringList texts() const;
    QStringList classNames() const;
    int count() const { return m_seen.size(); }
    void clear() { m_seen.clear(); }

private:
    void poll();
    void handle(QPointer<QWidget> modal);

    QTimer* m_timer;
    QList<Action> m_actions;
    QList<QPointer<QWidget>> m_handled;
    QList<Seen> m_seen;
};
