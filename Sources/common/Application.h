#pragma once
// The application object. Qt does not let an exception travel through its
// event loop, so notify() catches whatever escapes an event handler, ends the
// loop and keeps the exception for main() to rethrow after exec() returns.

#include <QApplication>
#include <exception>

class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // The exception that ended the event loop, if any; cleared by taking it.
    std::exception_ptr takePendingException();
    bool hasPendingException() const { return static_cast<bool>(m_pending); }

private:
    std::exception_ptr m_pending;
};
