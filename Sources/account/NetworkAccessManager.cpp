#include "NetworkAccessManager.h"

#include <QDebug>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "MakerSite.h"
#include "Prompt.h"

namespace {

QString overriddenCookieFileName;

// Replies larger than this are cut off: no answer of the interface comes near it.
constexpr qint64 MaxReplySize = 4 * 1024 * 1024;

// Marks the replies of the request sequence (not the form post).
constexpr auto SequenceProperty = "tqSequenceReply";

// Names and scopes only: cookie values never reach the log.
QString maskedCookies(const QList<QNetworkCookie>& cookies)
{
    QStringList parts;
    for (const QNetworkCookie& cookie : cookies)
        parts << QStringLiteral("%1=*** (domain \"%2\", path \"%3\")")
                     .arg(QString::fromUtf8(cookie.name()), cookie.domain(), cookie.path());
    return QLatin1Char('[') + parts.join(QLatin1String(", ")) + QLatin1Char(']');
}

// The file's bytes when it is a regular file of at most `limit` bytes; a FIFO, a
// device or a larger file is refused without reading it (and without blocking).
bool readSmallRegularFile(const QString& fileName, qint64 limit, QByteArray& bytes)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > limit) {
        ::close(fd);
        return false;
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
#else
    const QFileInfo info(fileName);
    if (!info.isFile() || info.size() > limit)
        return false;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
#endif
    bytes = file.read(limit + 1);
    return bytes.size() <= limit;
}

} // namespace

NetworkAccessManager::NetworkAccessManager(QObject* parent)
    : QNetworkAccessManager(parent)
{
    qDebug() << Q_FUNC_INFO;
    connect(this, SIGNAL(finished(QNetworkReply*)), this, SLOT(replyFinished(QNetworkReply*)));
    auto* jar = new QNetworkCookieJar(this);
    loadCookies(jar);
    setCookieJar(jar);
}

QString NetworkAccessManager::cookieFileName()
{
    if (!overriddenCookieFileName.isEmpty())
        return overriddenCookieFileName;
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QLatin1String("/cookie.txt");
}

void NetworkAccessManager::setCookieFileName(const QString& fileName)
{
    overriddenCookieFileName = fileName;
}

bool NetworkAccessManager::isSiteCookie(const QNetworkCookie& cookie) const
{
    QString domain = cookie.domain().toLower();
    if (domain.startsWith(QLatin1Char('.')))
        domain.remove(0, 1);
    if (domain.isEmpty())
        return true;
    const QString host = QUrl(MakerSite::siteRoot(), QUrl::TolerantMode).host().toLower();
    if (host == domain)
        return true;
    // A parent domain of a host name (never of an address).
    return QHostAddress(host).isNull() && host.endsWith(QLatin1Char('.') + domain);
}

void NetworkAccessManager::loadCookies(QNetworkCookieJar* jar)
{
    const QString fileName = cookieFileName();
    QByteArray bytes;
    const bool readable = readSmallRegularFile(fileName, MaxCookieFileSize, bytes);
    if (!readable && QFileInfo::exists(fileName))
        qWarning() << "Cookie file skipped (not a regular file of at most" << MaxCookieFileSize
                   << "bytes):" << fileName;

    qDebug() << "Stored cookie(s): ";
    QDataStream stream(bytes);
    const QUrl siteUrl(MakerSite::siteRoot(), QUrl::TolerantMode);
    for (int record = 0; !stream.atEnd(); ++record) {
        QByteArray text;
        stream >> text;
        if (stream.status() != QDataStream::Ok)
            break;
        const QList<QNetworkCookie> cookieList = QNetworkCookie::parseCookies(text);
        qDebug().noquote() << "cookieList =" << maskedCookies(cookieList);
        QList<QNetworkCookie> accepted;
        for (int j = 0; j < cookieList.size(); ++j) {
            QNetworkCookie cookie = cookieList.at(j);
            if (!isSiteCookie(cookie)) {
                qWarning().noquote() << QStringLiteral("%1: cookie(%2) refused, domain =").arg(record).arg(j)
                                     << cookie.domain();
                continue;
            }
            // Scoped to the site as the jar would scope it, so that the same
            // cookie handed over again below replaces this one.
            cookie.normalize(siteUrl);
            const bool inserted = jar->insertCookie(cookie);
            qDebug().noquote() << QStringLiteral("%1: insertCookie(%2), ret =").arg(record).arg(j)
                               << (inserted ? "true" : "false");
            accepted << cookie;
        }
        const bool set = jar->setCookiesFromUrl(accepted, siteUrl);
        qDebug().noquote() << "setCookiesFromUrl(), ret =" << (set ? "true" : "false");
    }
}

void NetworkAccessManager::_get(const QUrl& url)
{
    qDebug() << Q_FUNC_INFO << ", url =" << url.toString();
    QNetworkRequest request(url);
    request.setTransferTimeout(m_transferTimeout);
    QNetworkReply* reply = get(request);
    reply->setProperty(SequenceProperty, true);
    ++m_pendingReplies;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64 total) {
        if (received > MaxReplySize || total > MaxReplySize)
            reply->abort();
    });
    if (reply->error() != QNetworkReply::NoError)
        qWarning() << reply->errorString();
}

void NetworkAccessManager::getApiControllerList()
{
    qDebug() << Q_FUNC_INFO;
    _get(QUrl(MakerSite::address(MakerSite::API_PATH), QUrl::TolerantMode));
}

void NetworkAccessManager::getApiInfo()
{
    qDebug() << Q_FUNC_INFO;
    _get(QUrl(MakerSite::address(MakerSite::API_INFO_PATH), QUrl::TolerantMode));
}

void NetworkAccessManager::getNonce()
{
    qDebug() << Q_FUNC_INFO;
    _get(QUrl(MakerSite::address(MakerSite::API_NONCE_PATH), QUrl::TolerantMode));
}

void NetworkAccessManager::startPost(const QUrlQuery& urlQuery, const QUrl& url)
{
    qDebug() << Q_FUNC_INFO;
    const QString body = urlQuery.query(QUrl::FullyEncoded);
    qDebug() << ", urlQuery =" << body;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("application/x-www-form-urlencoded"));
    request.setTransferTimeout(m_transferTimeout);
    m_postReply = post(request, body.toUtf8());
    if (m_postReply->error() != QNetworkReply::NoError) {
        qWarning() << m_postReply->errorString();
    } else {
        const QList<QByteArray> names = m_postReply->rawHeaderList();
        for (int i = 0; i < names.size(); ++i)
            qDebug().noquote() << QStringLiteral("rawHeaderList.at(%1) =").arg(i) << names.at(i);
    }
    connect(m_postReply, SIGNAL(readyRead()), this, SLOT(httpReadyRead()));
}

void NetworkAccessManager::httpReadyRead()
{
    qDebug() << Q_FUNC_INFO;
}

void NetworkAccessManager::replyFinished(QNetworkReply* reply)
{
    qDebug() << Q_FUNC_INFO;
    const QString path = reply->url().path(QUrl::FullyDecoded);
    qDebug().noquote() << "path =" << path;
    const QList<QNetworkReply::RawHeaderPair> headers = reply->rawHeaderPairs();
    for (int i = 0; i < headers.size(); ++i) {
        const QByteArray& name = headers.at(i).first;
        const QString value = name.compare("Set-Cookie", Qt::CaseInsensitive) == 0
                                  ? maskedCookies(QNetworkCookie::parseCookies(headers.at(i).second))
                                  : QString::fromLatin1(headers.at(i).second);
        qDebug().noquote() << QStringLiteral("rawHeaderPairList[%1] = %2 : %3")
                                  .arg(i)
                                  .arg(QString::fromLatin1(name), value);
    }
    if (reply->error() != QNetworkReply::NoError)
        qWarning() << reply->errorString();

    const QJsonObject object = QJsonDocument::fromJson(reply->readAll()).object();
    qDebug().noquote() << QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));

    const bool inSequence = reply->property(SequenceProperty).toBool();
    const QString controllerListPath = QUrl(MakerSite::address(MakerSite::API_PATH), QUrl::TolerantMode).path();
    if (inSequence && path == controllerListPath) {
        const QJsonArray controllers = object.value(QLatin1String("controllers")).toArray();
        if (controllers.contains(QJsonValue(QStringLiteral("core")))) {
            getApiInfo();
            getNonce();
        } else {
            QMessageBox box(QMessageBox::Critical, tr("错误"),
                            tr("服务器错误, 错误代码: 0x%1").arg(0xFFFF0001u, 0, 16), QMessageBox::Ok);
            Prompt::current().exec(box);
        }
    }
    if (inSequence)
        --m_pendingReplies;
    if (reply == m_postReply)
        m_postReply = nullptr;
    reply->deleteLater();
}
