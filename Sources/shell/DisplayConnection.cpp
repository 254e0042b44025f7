#include "DisplayConnection.h"

#include <QDeadlineTimer>
#include <QThread>

#include <cstring>

#include <xcb/xcb.h>

namespace {

// "--platform" is read as "-platform", as the toolkit reads it.
const char* option(const char* argument)
{
    return std::strncmp(argument, "--", 2) == 0 ? argument + 1 : argument;
}

} // namespace

DisplayConnection::Target DisplayConnection::target(int argc, char** argv)
{
    QByteArray platforms = qgetenv("QT_QPA_PLATFORM");
    const bool platformChosen = !platforms.isEmpty();
    bool platformArgument = false;
    Target target;
    for (int i = 1; i + 1 < argc; ++i) {
        const char* name = option(argv[i]);
        if (std::strcmp(name, "-platform") == 0) {
            platforms = argv[++i];
            platformArgument = true;
        } else if (std::strcmp(name, "-display") == 0) {
            target.display = argv[++i];
        }
    }
    // In a Wayland session the toolkit may choose Wayland when nothing names a platform.
    if (!platformChosen && !platformArgument) {
        if (qgetenv("XDG_SESSION_TYPE") == "wayland")
            return Target();
        platforms = "xcb";
    }
    const QList<QByteArray> list = platforms.split(';');
    // "xcb:option=value" passes options to the platform.
    target.x11 = list.constFirst().split(':').constFirst().trimmed() == "xcb";
    target.hasFallback = list.size() > 1;
    return target;
}

DisplayConnection::~DisplayConnection()
{
    close();
}

bool DisplayConnection::open(const QByteArray& display, int patienceMs)
{
    close();
    const QDeadlineTimer deadline(patienceMs);
    for (;;) {
        xcb_connection_t* connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
        const int error = xcb_connection_has_error(connection);
        if (!error) {
            m_connection = connection;
            return true;
        }
        xcb_disconnect(connection);
        // No display named, or one that cannot be: trying again changes nothing.
        if (error == XCB_CONN_CLOSED_PARSE_ERR || error == XCB_CONN_CLOSED_INVALID_SCREEN || deadline.hasExpired())
            return false;
        // A server that resets is back within milliseconds; a loaded machine may take longer.
        QThread::msleep(50);
    }
}

void DisplayConnection::close()
{
    if (m_connection) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
    }
}
