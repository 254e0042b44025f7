#include "Application.h"

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv)
{
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // Keep the first exception only; the loop ends as soon as control returns to it.
        if (!m_pending)
            m_pending = std::current_exception();
        exit(1);
    }
    return false;
}

std::exception_ptr Application::takePendingException()
{
    std::exception_ptr pending = m_pending;
    m_pending = nullptr;
    return pending;
}
