#pragma once
// A connection to the X server, made before the application object connects and
// held until it has.
//
// An X server resets when its last client leaves, and drops the connections that
// are being set up at that moment: a copy of the program started just as another
// one (the server's only client) ends loses its connection, and the toolkit then
// ends the process with abort(). Connecting first, trying again for a moment, and
// keeping that connection open while the toolkit makes its own keeps the server
// from resetting in between.

#include <QByteArray>

struct xcb_connection_t;

class DisplayConnection
{
public:
    // The X display the toolkit is going to open for these arguments and this
    // environment (the platform named by "-platform", else by QT_QPA_PLATFORM,
    // else the default xcb; the display named by "-display", else by DISPLAY).
    struct Target
    {
        bool x11 = false;         // the first platform to try is xcb
        bool hasFallback = false; // further platforms follow it (a list split by ';')
        QByteArray display;       // empty: the DISPLAY variable, which may be unset
    };
    static Target target(int argc, char** argv);

    DisplayConnection() = default;
    ~DisplayConnection();
    DisplayConnection(const DisplayConnection&) = delete;
    DisplayConnection& operator=(const DisplayConnection&) = delete;

    // Connects to the display, trying again until patienceMs have passed; true
    // once connected.
    bool open(const QByteArray& display, int patienceMs);
    bool isOpen() const { return m_connection != nullptr; }
    void close();

private:
    xcb_connection_t* m_connection = nullptr;
};
