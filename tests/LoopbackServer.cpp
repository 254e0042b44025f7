#include "LoopbackServer.h"

#include <QHostAddress>
#include <QNetworkProxy>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

// Requests larger than this are not from the code under test.
constexpr int MaxHeaderSize = 64 * 1024;

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 204: return "No Content";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 303: return "See Other";
    case 307: return "Temporary Redirect";
    case 308: return "Permanent Redirect";
    case 400: return "Bad Request";
    case 401: return "Unauthorized";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
    }
}

LoopbackServer::Route withType(const QByteArray& type, const QByteArray& body, int status)
{
    LoopbackServer::Route route;
    route.status = status;
    route.body = body;
    route.headers << qMakePair(QByteArray("Content-Type"), type);
    return route;
}

} // namespace

// ---- Route and Request ------------------------------------------------------------

LoopbackServer::Route LoopbackServer::Route::json(const QByteArray& body, int status)
{
    return withType("application/json; charset=UTF-8", body, status);
}

LoopbackServer::Route LoopbackServer::Route::text(const QByteArray& body, int status)
{
    return withType("text/plain; charset=UTF-8", body, status);
}

LoopbackServer::Route LoopbackServer::Route::html(const QByteArray& body, int status)
{
    return withType("text/html; charset=UTF-8", body, status);
}

LoopbackServer::Route LoopbackServer::Route::redirect(int status, const QString& location)
{
    Route route = html("<html><body>Moved</body></html>", status);
    return route.header("Location", location.toUtf8());
}

LoopbackServer::Route& LoopbackServer::Route::header(const QByteArray& name, const QByteArray& value)
{
    headers << qMakePair(name, value);
    return *this;
}

LoopbackServer::Route& LoopbackServer::Route::delayed(int milliseconds)
{
    headerDelay = milliseconds;
    return *this;
}

LoopbackServer::Route& LoopbackServer::Route::trickled(int size, int milliseconds)
{
    chunkSize = size;
    chunkDelay = milliseconds;
    return *this;
}

LoopbackServer::Route& LoopbackServer::Route::closedAfter(qint64 bodyBytes)
{
    closeAfter = bodyBytes;
    return *this;
}

QByteArray LoopbackServer::Request::path() const
{
    const int query = target.indexOf('?');
    return query < 0 ? target : target.left(query);
}

QByteArray LoopbackServer::Request::header(const QByteArray& name) const
{
    for (const Header& header : headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    return QByteArray();
}

// ---- Server -----------------------------------------------------------------------

LoopbackServer::LoopbackServer(QObject* parent)
    : QObject(parent)
    , m_server(new QTcpServer(this))
    , m_fallback(Route::html("<html><body>Not Found</body></html>", 404))
{
    QNetworkProxy::setApplicationProxy(QNetworkProxy::NoProxy);
    if (!m_server->listen(QHostAddress::LocalHost, 0))
        qFatal("LoopbackServer: cannot listen on 127.0.0.1: %s", qPrintable(m_server->errorString()));
    connect(m_server, &QTcpServer::newConnection, this, &LoopbackServer::acceptConnections);
}

LoopbackServer::~LoopbackServer() = default;

quint16 LoopbackServer::port() const
{
    return m_server->serverPort();
}

QString LoopbackServer::root() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(port());
}

QUrl LoopbackServer::url(const QString& target) const
{
    return QUrl(root() + target);
}

void LoopbackServer::setRoute(const QByteArray& target, const Route& route)
{
    removeRoute(target);
    m_routes << qMakePair(target, route);
}

void LoopbackServer::removeRoute(const QByteArray& target)
{
    for (int i = m_routes.size() - 1; i >= 0; --i)
        if (m_routes.at(i).first == target)
            m_routes.removeAt(i);
}

void LoopbackServer::setFallback(const Route& route)
{
    m_fallback = route;
}

QStringList LoopbackServer::targets() const
{
    QStringList result;
    for (const Request& request : m_requests)
        result << QString::fromUtf8(request.target);
    return result;
}

quint16 LoopbackServer::closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

LoopbackServer::Route LoopbackServer::routeFor(const Request& request) const
{
    for (const auto& route : m_routes)
        if (route.first == request.target)
            return route.second;
    const QByteArray path = request.path();
    for (const auto& route : m_routes)
        if (!route.first.contains('?') && route.first == path)
            return route.second;
    return m_fallback;
}

void LoopbackServer::acceptConnections()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket]() { readRequest(socket); });
    }
}

void LoopbackServer::readRequest(QTcpSocket* socket)
{
    if (socket->property("tqAnswered").toBool()) {
        socket->readAll();
        return;
    }
    QByteArray buffer = socket->property("tqBuffer").toByteArray() + socket->readAll();
    socket->setProperty("tqBuffer", buffer);
    const int headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        if (buffer.size() > MaxHeaderSize)
            socket->abort();
        return;
    }

    Request request;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    request.method = requestLine.value(0);
    request.target = requestLine.value(1);
    qint64 contentLength = 0;
    for (int i = 1; i < lines.size(); ++i) {
        const int colon = lines.at(i).indexOf(':');
        if (colon <= 0)
            continue;
        const Header header(lines.at(i).left(colon).trimmed(), lines.at(i).mid(colon + 1).trimmed());
        if (header.first.compare("Content-Length", Qt::CaseInsensitive) == 0)
            contentLength = header.second.toLongLong();
        request.headers << header;
    }
    const int bodyStart = headerEnd + 4;
    if (buffer.size() - bodyStart < contentLength)
        return; // the rest of the body is still coming
    request.body = buffer.mid(bodyStart, int(contentLength));

    socket->setProperty("tqAnswered", true);
    socket->setProperty("tqBuffer", QByteArray());
    m_requests << request;
    const Route route = routeFor(request);
    emit requestReceived(request);

    QPointer<QTcpSocket> guarded(socket);
    if (route.headerDelay > 0)
        QTimer::singleShot(route.headerDelay, socket, [this, guarded, route]() {
            if (guarded)
                respond(guarded, route);
        });
    else
        respond(socket, route);
}

void LoopbackServer::respond(QTcpSocket* socket, const Route& route)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    QByteArray head = "HTTP/1.1 " + QByteArray::number(route.status) + ' ' + reasonPhrase(route.status) + "\r\n";
    for (const Header& header : route.headers)
        head += header.first + ": " + header.second + "\r\n";
    if (route.contentLength)
        head += "Content-Length: " + QByteArray::number(route.body.size()) + "\r\n";
    head += "Connection: close\r\n\r\n";
    socket->write(head);
    sendBody(socket, route, 0);
}

void LoopbackServer::sendBody(QTcpSocket* socket, const Route& route, qint64 offset)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    qint64 end = route.body.size();
    if (route.chunkSize > 0)
        end = qMin(end, offset + route.chunkSize);
    if (route.closeAfter >= 0)
        end = qMin(end, route.closeAfter);
    if (end > offset)
        socket->write(route.body.constData() + offset, end - offset);

    if (route.closeAfter >= 0 && end >= route.closeAfter) {
        // Drop the connection mid-body once those bytes are out.
        if (socket->bytesToWrite() == 0) {
            socket->abort();
            return;
        }
        connect(socket, &QTcpSocket::bytesWritten, socket, [socket]() {
            if (socket->bytesToWrite() == 0)
                socket->abort();
        });
        return;
    }
    if (end >= route.body.size()) {
        socket->disconnectFromHost();
        return;
    }
    QPointer<QTcpSocket> guarded(socket);
    QTimer::singleShot(route.chunkDelay, socket, [this, guarded, route, end]() {
        if (guarded)
            sendBody(guarded, route, end);
    });
}
