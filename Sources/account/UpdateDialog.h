#pragma once
// Looks on the maker's server for a newer release. A check downloads the
// server's copy of the version file and compares its release date with ours;
// on the user's request the dialog then downloads the file that names the
// installer's address, then the installer itself, and hands the installer to
// the InstallerLauncher when the program quits.
//
// One transfer at a time: a check asked for while a transfer runs is ignored.
// Every transfer lands in a temporary file inside a folder of the dialog's own
// that only the user can enter; the copies of the version and address files are
// removed once read. Redirects are followed at most five times, only to the
// site's own host and only to the same scheme or from http to https. A manual
// check reports every failure in a box; an automatic one shows the dialog only
// when a newer release is found.

#include <QDialog>
#include <QNetworkReply>
#include <QList>
#include <QPointer>
#include <QUrl>

#include "SettingsStore.h"

class QAuthenticator;
class QDialogButtonBox;
class QLabel;
class QNetworkAccessManager;
class QNetworkReply;
class QProgressDialog;
class QPushButton;
class QSslError;
class QTemporaryDir;
class QTemporaryFile;

constexpr const char INSTALLER_URL_FILE_NAME[] = "URL_Tarnquill_Veldmark.txt";

class UpdateDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int MaxRedirects = 5;
    static constexpr int TransferTimeout = 60000; // milliseconds without progress
    // The version and address files are a few lines; a larger reply is not one of them.
    static constexpr qint64 MaxSmallFileSize = 1024 * 1024;
    // No installer is larger; a bigger download is refused.
    static constexpr qint64 MaxInstallerSize = qint64(1) << 30;

    // The progress dialog is made as a child of the parent (the main window).
    explicit UpdateDialog(QWidget* parent = nullptr);
    ~UpdateDialog() override;

    void checkUpdate(bool manual);
    void startRequest(const QUrl& url);

    // The automatic check's schedule, kept in "AutoUpdateInterval" (days, 90 when
    // absent) and "LatestUpdateCheck" (the date of the last check). True when a
    // check is due, in which case today becomes the last check; a date that does
    // not read counts as due.
    static bool isAutomaticCheckDue(Settings& settings, const QDate& today);

    bool isTransferring() const { return reply != nullptr; }
    // The downloaded installer, once one is ready for the quit.
    QString installerPath() const { return m_installerPath; }
    // The dialog's download folder; empty before the first transfer.
    QString downloadFolder() const;

public slots:
    void upgradeAboutToQuit();
    void autoUpgrade();
    void downloadFile(const QUrl& url);
    void cancelDownload();
    void httpFinished();
    void httpReadyRead();
    void updateDataReadProgress(qint64 bytesRead, qint64 totalBytes);
    void slotAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator);
    void sslErrors(QNetworkReply* reply, const QList<QSslError>& errors);

private:
    // Makes the next temporary file; on failure shows why (manual checks only).
    bool openTemporaryFile();
    void discardTemporaryFile();
    // Why the transfer may not follow a redirect to `target`; empty when it may.
    QString redirectRefusal(const QUrl& target) const;
    void failTransfer(const QString& reason);
    // The site could not be reached (no name, refused, unreachable, timed out).
    static bool isNetworkFailure(QNetworkReply::NetworkError error);
    // Whether a download is a web page: by its Content-Type, or by a file that
    // starts (after white space or a UTF-8 mark) with "<!DOCTYPE" or "<html".
    static bool isWebPage(const QByteArray& contentType, const QString& fileName);
    static QString installerTooLarge();
    void compareVersions();
    void readInstallerAddress();
    void installerDownloaded();
    void showInformation(const QString& text);

    bool manual = false;
    const QString versionFileName;
    const QString installerUrlFileName;
    QString m_installerPath;
    QLabel* statusLabel;
    QPointer<QProgressDialog> progressDialog;
    QPushButton* upgradeButton;
    QPushButton* quitButton;
    QDialogButtonBox* buttonBox;
    QUrl url;
    QNetworkAccessManager* qnam;
    QNetworkReply* reply = nullptr;
    QTemporaryFile* file = nullptr;
    bool httpRequestAborted = false;

    QTemporaryDir* downloadDir = nullptr;
    int redirectCount = 0;
    QString stopReason; // set when the dialog itself stops a transfer
};
