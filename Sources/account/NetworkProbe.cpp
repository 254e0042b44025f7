#include "NetworkProbe.h"

#include <QDebug>
#include <QCursor>
#include <QGuiApplication>
#include <QTcpSocket>
#include <QUrl>

#include "MakerSite.h"

namespace {
NetworkProbe defaultProbe;
NetworkProbe* installedProbe = nullptr;

// Name lookup and connection together; a reachable site answers well within it.
const int ProbeMilliseconds = 4000;
}

NetworkProbe::~NetworkProbe() = default;

bool NetworkProbe::isAccessible() const
{
    // Host not found, connection refused, network unreachable: all a "no".
    const QUrl site(MakerSite::siteRoot());
    if (!site.isValid() || site.host().isEmpty())
        return false;
    const int port = site.port(site.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0 ? 443 : 80);
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    QTcpSocket socket;
    socket.connectToHost(site.host(), quint16(port));
    const bool connected = socket.waitForConnected(ProbeMilliseconds);
    if (!connected)
        qWarning().noquote() << "Update site not reachable: " + site.host() + ": " + socket.errorString();
    socket.abort();
    QGuiApplication::restoreOverrideCursor();
    return connected;
}

NetworkProbe& NetworkProbe::current()
{
    return installedProbe ? *installedProbe : defaultProbe;
}

void NetworkProbe::install(NetworkProbe* probe)
{
    installedProbe = probe;
}
