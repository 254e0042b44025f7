#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests of the network code: no outside
// process, no real network. It listens on a free port as soon as it is made and
// sets the application proxy to none, so that proxy variables of a CI machine
// cannot capture the loopback traffic.
//
//     LoopbackServer server;
//     MakerSite::setSiteRoot(server.root());                 // "http://127.0.0.1:<port>"
//     server.setRoute("/api/", LoopbackServer::Route::json(R"({"controllers":["core"]})"));
//     server.setRoute("/slow", LoopbackServer::Route::text("...").delayed(2000));
//     server.setRoute("/old", LoopbackServer::Route::redirect(301, server.root() + "/new"));
//     ... run the code under test, wait with QTRY_COMPARE(server.requests().size(), n) ...
//     QCOMPARE(server.targets(), QStringList({"/api/", "/api/info/"}));
//
// A route is found by the request's whole target (path and query) first, then
// by its path alone; anything else gets the fallback (404 with an HTML page).
// Every request is logged with its method, target, headers and body. Each reply
// closes its connection ("Connection: close"), so every request comes on a
// connection of its own. The server serves the thread that made it, through
// that thread's event loop: wait with QTRY_* or an event loop, never sleep.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QUrl>

class QTcpServer;
class QTcpSocket;

class LoopbackServer : public QObject
{
    Q_OBJECT
public:
    using Header = QPair<QByteArray, QByteArray>;

    struct Route
    {
        int status = 200;
        QList<Header> headers;     // sent as given, after the status line
        QByteArray body;
        int headerDelay = 0;       // milliseconds before anything is sent
        int chunkSize = 0;         // > 0: the body goes out in pieces of this size ...
        int chunkDelay = 0;        // ... this many milliseconds apart
        qint64 closeAfter = -1;    // >= 0: the connection is dropped after this many body bytes
        bool contentLength = true; // false: no Content-Length, the end of the body is the close

        static Route json(const QByteArray& body, int status = 200);
        static Route text(const QByteArray& body, int status = 200);
        static Route html(const QByteArray& body, int status = 200);
        static Route redirect(int status, const QString& location);

        Route& header(const QByteArray& name, const QByteArray& value);
        Route& delayed(int milliseconds);
        Route& trickled(int size, int milliseconds);
        Route& closedAfter(qint64 bodyBytes);
    };

    struct Request
    {
        QByteArray method;
        QByteArray target; // path and query as sent, e.g. "/api/get_nonce/?controller=core"
        QList<Header> headers;
        QByteArray body;

        QByteArray path() const;
        // The first header of that name (any letter case); empty when absent.
        QByteArray header(const QByteArray& name) const;
    };

    explicit LoopbackServer(QObject* parent = nullptr);
    ~LoopbackServer() override;

    quint16 port() const;
    // "http://127.0.0.1:<port>", without a trailing slash.
    QString root() const;
    QUrl url(const QString& target) const;

    // `target` with a query matches that exact target; without one it matches the path.
    void setRoute(const QByteArray& target, const Route& route);
    void removeRoute(const QByteArray& target);
    void setFallback(const Route& route);

    QList<Request> requests() const { return m_requests; }
    // The target of each request, in arrival order.
    QStringList targets() const;
    void clearLog() { m_requests.clear(); }

    // A loopback port that nothing listens on: connections to it are refused.
    static quint16 closedPort();

signals:
    void requestReceived(const LoopbackServer::Request& request);

private:
    void acceptConnections();
    void readRequest(QTcpSocket* socket);
    void respond(QTcpSocket* socket, const Route& route);
    void sendBody(QTcpSocket* socket, const Route& route, qint64 offset);
    Route routeFor(const Request& request) const;

    QTcpServer* m_server;
    QList<QPair<QByteArray, Route>> m_routes;
    Route m_fallback;
    QList<Request> m_requests;
};
