#pragma once
// The web account's client: asks the maker's site for its JSON interface's
// controllers and, when "core" is among them, for the site information and a
// nonce. Replies are only logged (cookie values masked); an "/api/" reply
// without "core" (or any failure of it) shows one error box. No request
// carries the user's name or password.
//
// Stored cookies come from "cookie.txt" in the per-user data folder: a file of
// QDataStream byte arrays, each holding Set-Cookie text. Only a regular file of
// at most 256 KiB is read, and only cookies for the site's own host are taken.

#include <QNetworkAccessManager>
#include <QUrlQuery>

class QNetworkCookie;
class QNetworkCookieJar;
class QNetworkReply;

class NetworkAccessManager : public QNetworkAccessManager
{
    Q_OBJECT
public:
    static constexpr qint64 MaxCookieFileSize = 256 * 1024;
    // Every request gives up after this long without progress.
    static constexpr int DefaultTransferTimeout = 30000;

    explicit NetworkAccessManager(QObject* parent = nullptr);

    // The cookie file read at construction; setCookieFileName points later
    // managers at another file (an empty name puts the default back).
    static QString cookieFileName();
    static void setCookieFileName(const QString& fileName);

    void getApiControllerList();
    void getApiInfo();
    void getNonce();

    // True from a controller-list request until its reply and the requests it
    // led to have finished.
    bool isBusy() const { return m_pendingReplies > 0; }

    void setTransferTimeout(int milliseconds) { m_transferTimeout = milliseconds; }

public slots:
    void startPost(const QUrlQuery& urlQuery, const QUrl& url);
    void httpReadyRead();
    void replyFinished(QNetworkReply* reply);

private:
    void _get(const QUrl& url);
    void loadCookies(QNetworkCookieJar* jar);
    bool isSiteCookie(const QNetworkCookie& cookie) const;

    QNetworkReply* m_postReply = nullptr;
    int m_pendingReplies = 0;
    int m_transferTimeout = DefaultTransferTimeout;
};
