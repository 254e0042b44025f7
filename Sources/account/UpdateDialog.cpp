#include "UpdateDialog.h"

#include <QApplication>
#include <QAuthenticator>
#include <QDate>
#include <QDebug>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProgressDialog>
#include <QPushButton>
#include <QSslError>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QVBoxLayout>

#include "InstallerLauncher.h"
#include "MakerSite.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "VersionFile.h"

namespace {

constexpr int MaxAddressLength = 4096;

// The first ten characters as "yyyy-MM-dd"; invalid when shorter or of another form.
QDate releaseDate(const QString& text)
{
    if (text.size() < 10)
        return QDate();
    return QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
}

QString downloadPageLink()
{
    const QString address = MakerSite::address(MakerSite::DOWNLOAD_PAGE_PATH);
    return QStringLiteral("<a href=\"") + QUrl(address).toString(QUrl::FullyEncoded).toHtmlEscaped()
           + QStringLiteral("\">") + address.toHtmlEscaped() + QStringLiteral("</a>");
}

bool isWebScheme(const QString& scheme)
{
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

} // namespace

UpdateDialog::UpdateDialog(QWidget* parent)
    : QDialog(parent)
    , versionFileName(QString::fromLatin1(VERSION_FILE_NAME))
    , installerUrlFileName(QString::fromLatin1(INSTALLER_URL_FILE_NAME))
{
    setWindowTitle(tr("软件升级"));
    statusLabel = new QLabel(tr("正在检测最新版本，请稍后..."), this);
    statusLabel->setObjectName(QStringLiteral("statusLabel"));
    statusLabel->setTextFormat(Qt::RichText);
    statusLabel->setOpenExternalLinks(true);

    progressDialog = new QProgressDialog(parent);
    progressDialog->setObjectName(QStringLiteral("updateProgressDialog"));
    // A progress dialog shows itself after a while unless it is reset.
    progressDialog->reset();
    // Let the progress dialog grow with long label texts.
    auto* progressLayout = new QVBoxLayout;
    for (QWidget* child : progressDialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        progressLayout->addWidget(child);
    progressDialog->setLayout(progressLayout);

    upgradeButton = new QPushButton(tr("软件升级"), this);
    upgradeButton->setObjectName(QStringLiteral("upgradeButton"));
    upgradeButton->setDefault(true);
    quitButton = new QPushButton(tr("退出"), this);
    quitButton->setObjectName(QStringLiteral("quitButton"));
    quitButton->setAutoDefault(false);
    buttonBox = new QDialogButtonBox(this);
    buttonBox->addButton(upgradeButton, QDialogButtonBox::ActionRole);
    buttonBox->addButton(quitButton, QDialogButtonBox::RejectRole);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(statusLabel);
    layout->addWidget(buttonBox);

    qnam = new QNetworkAccessManager(this);
    connect(qnam, &QNetworkAccessManager::authenticationRequired, this, &UpdateDialog::slotAuthenticationRequired);
    connect(qnam, &QNetworkAccessManager::sslErrors, this, &UpdateDialog::sslErrors);
    connect(progressDialog, &QProgressDialog::canceled, this, &UpdateDialog::cancelDownload);
    connect(upgradeButton, &QPushButton::clicked, this, &UpdateDialog::autoUpgrade);
    connect(quitButton, &QPushButton::clicked, this, &UpdateDialog::close);
}

UpdateDialog::~UpdateDialog()
{
    if (reply) {
        reply->disconnect(this);
        reply->abort();
    }
    discardTemporaryFile();
    if (progressDialog && !progressDialog->parent())
        delete progressDialog;
    // Removes the folder, unless it holds the installer for the quit.
    delete downloadDir;
}

QString UpdateDialog::downloadFolder() const
{
    return downloadDir && downloadDir->isValid() ? downloadDir->path() : QString();
}

// ---- The schedule of automatic checks ------------------------------------------

bool UpdateDialog::isAutomaticCheckDue(Settings& settings, const QDate& today)
{
    const QString intervalKey = QStringLiteral("AutoUpdateInterval");
    const QString lastCheckKey = QStringLiteral("LatestUpdateCheck");
    if (!settings.contains(intervalKey))
        settings.setValue(intervalKey, 90);
    QDate lastCheck;
    bool unreadable = false;
    if (settings.contains(lastCheckKey)) {
        lastCheck = QDate::fromString(settings.value(lastCheckKey).toString(), Qt::TextDate);
        unreadable = !lastCheck.isValid();
    } else {
        settings.setValue(lastCheckKey, today.toString(Qt::TextDate));
    }
    const qint64 days = lastCheck.isValid() ? qAbs(lastCheck.daysTo(today)) : 0;
    // A date that does not read would otherwise stop the automatic checks for good.
    if (!unreadable && days < settings.value(intervalKey).toInt())
        return false;
    settings.setValue(lastCheckKey, today.toString(Qt::TextDate));
    return true;
}

// ---- The chain of transfers -------------------------------------------------------

void UpdateDialog::checkUpdate(bool manual)
{
    qDebug() << Q_FUNC_INFO << ", _manual =" << manual;
    if (reply) {
        // One transfer at a time: the running one carries on.
        qDebug() << "An update transfer is still running; the check is ignored.";
        return;
    }
    this->manual = manual;
    url = QUrl(MakerSite::address(MakerSite::LATEST_VERSION_FILE_PATH));
    downloadFile(url);
}

void UpdateDialog::autoUpgrade()
{
    qDebug() << Q_FUNC_INFO;
    QMessageBox box(QMessageBox::Question, tr("软件升级"),
                    tr("继续升级前请先备份您修改过的模板和其他文档，升级过程会覆盖您修改过的内容。"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    if (Prompt::current().exec(box) != QMessageBox::Yes)
        return;
    if (reply)
        return;
    // The user asked for it: the rest of the chain reports its progress and failures.
    manual = true;
    url = QUrl(MakerSite::address(MakerSite::INSTALLER_URL_FILE_PATH));
    downloadFile(url);
}

void UpdateDialog::downloadFile(const QUrl& address)
{
    qDebug() << Q_FUNC_INFO << ", _url =" << address;
    if (reply)
        return;
    url = address;
    redirectCount = 0;
    if (!openTemporaryFile())
        return;
    if (manual) {
        progressDialog->setWindowTitle(tr("软件升级"));
        progressDialog->setLabelText(tr("下载文件: %1\n保存为:%2").arg(url.toString(), file->fileName()));
        progressDialog->setRange(0, 0);
        progressDialog->show();
    }
    upgradeButton->setEnabled(false);
    hide();
    httpRequestAborted = false;
    startRequest(url);
}

void UpdateDialog::startRequest(const QUrl& address)
{
    qDebug() << Q_FUNC_INFO << ", url =" << address;
    stopReason.clear();
    QNetworkRequest request(address);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setTransferTimeout(TransferTimeout);
    reply = qnam->get(request);
    connect(reply, &QNetworkReply::finished, this, &UpdateDialog::httpFinished);
    connect(reply, &QIODevice::readyRead, this, &UpdateDialog::httpReadyRead);
    connect(reply, &QNetworkReply::downloadProgress, this, &UpdateDialog::updateDataReadProgress);
}

bool UpdateDialog::openTemporaryFile()
{
    if (!downloadDir) {
        // Made by mkdtemp: only the user can enter it, so nobody can plant a file in it.
        downloadDir = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/Tarnquill-update-XXXXXX"));
    }
    QString path;
    QString error;
    if (downloadDir->isValid()) {
        file = new QTemporaryFile(downloadDir->filePath(QStringLiteral("download-XXXXXX")), this);
        file->setAutoRemove(false);
        if (file->open())
            return true;
        path = file->fileName().isEmpty() ? file->fileTemplate() : file->fileName();
        error = file->errorString();
        delete file;
        file = nullptr;
    } else {
        path = downloadDir->path();
        error = downloadDir->errorString();
        delete downloadDir;
        downloadDir = nullptr;
    }
    qWarning().noquote() << "Cannot open a temporary file for the update: " + path + ": " + error;
    if (manual)
        showInformation(tr("保存临时文件错误:%1:%2").arg(path, error));
    return false;
}

void UpdateDialog::discardTemporaryFile()
{
    if (!file)
        return;
    file->close();
    file->remove();
    delete file;
    file = nullptr;
}

void UpdateDialog::httpReadyRead()
{
    if (!file || !reply || !stopReason.isEmpty())
        return;
    const QByteArray data = reply->readAll();
    const QString address = url.path();
    const bool smallFile = address.endsWith(versionFileName) || address.endsWith(installerUrlFileName);
    if (smallFile && file->size() + data.size() > MaxSmallFileSize)
        stopReason = tr("文件过大");
    else if (file->size() + data.size() > MaxInstallerSize)
        stopReason = installerTooLarge();
    else if (file->write(data) != data.size())
        stopReason = tr("写入临时文件失败: %1").arg(file->errorString());
    if (!stopReason.isEmpty())
        reply->abort();
}

void UpdateDialog::updateDataReadProgress(qint64 bytesRead, qint64 totalBytes)
{
    // A size announced beyond any installer stops the transfer at once.
    if (totalBytes > MaxInstallerSize && reply && stopReason.isEmpty()) {
        stopReason = installerTooLarge();
        reply->abort();
        return;
    }
    // An automatic check shows no progress.
    if (httpRequestAborted || !manual || !progressDialog)
        return;
    // The bar counts in ints: count in KiB for very large files.
    const int shift = totalBytes > INT_MAX ? 10 : 0;
    progressDialog->setMaximum(totalBytes > 0 ? int(totalBytes >> shift) : 0);
    progressDialog->setValue(int(bytesRead >> shift));
}

void UpdateDialog::cancelDownload()
{
    qDebug() << Q_FUNC_INFO;
    statusLabel->setText(tr("下载已取消"));
    httpRequestAborted = true;
    if (reply)
        reply->abort();
    upgradeButton->setEnabled(true);
}

void UpdateDialog::httpFinished()
{
    qDebug() << Q_FUNC_INFO;
    QNetworkReply* finished = reply;
    if (!finished || sender() != finished)
        return;
    reply = nullptr;
    finished->deleteLater();

    if (httpRequestAborted) {
        discardTemporaryFile();
        progressDialog->hide();
        show();
        return;
    }

    progressDialog->hide();
    if (manual)
        show();
    if (file) {
        file->flush();
        file->close();
    }

    if (finished->error() != QNetworkReply::NoError || !stopReason.isEmpty()) {
        if (stopReason.isEmpty() && isNetworkFailure(finished->error()) && url.path().endsWith(versionFileName)) {
            // The check itself could not reach the site: say so as the menu command does.
            qWarning().noquote() << "Update check of " + url.toString() + " failed: " + finished->errorString();
            discardTemporaryFile();
            upgradeButton->setEnabled(true);
            if (manual) {
                hide();
                QMessageBox box(QMessageBox::Information, tr("错误"), tr("网络错误, 无法检测升级包!"),
                                QMessageBox::Ok, parentWidget());
                Prompt::current().exec(box);
            }
            return;
        }
        failTransfer(stopReason.isEmpty() ? finished->errorString() : stopReason);
        return;
    }

    const QVariant redirection = finished->attribute(QNetworkRequest::RedirectionTargetAttribute);
    if (!redirection.isNull()) {
        const QUrl target = url.resolved(redirection.toUrl());
        const QString refusal = redirectRefusal(target);
        if (!refusal.isEmpty()) {
            failTransfer(refusal);
            return;
        }
        ++redirectCount;
        url = target;
        discardTemporaryFile();
        if (!openTemporaryFile()) {
            upgradeButton->setEnabled(true);
            return;
        }
        startRequest(url);
        return;
    }

    upgradeButton->setEnabled(true);
    const QString address = url.path();
    if (address.endsWith(versionFileName)) {
        compareVersions();
    } else if (address.endsWith(installerUrlFileName)) {
        readInstallerAddress();
    } else if ((address.endsWith(QLatin1String(".exe")) || address.endsWith(QLatin1String(".dmg")))
               && !isWebPage(finished->rawHeader("Content-Type"), file ? file->fileName() : QString())) {
        installerDownloaded();
    } else {
        // Redirected to something that none of the steps expects, or a web page
        // (an error or login page) where the installer should be: not kept, and said.
        const QString reason = tr("服务器返回的不是升级文件: %1").arg(url.toString());
        statusLabel->setText(tr("下载失败: %1。").arg(reason.toHtmlEscaped()));
        failTransfer(reason);
    }
}

bool UpdateDialog::isWebPage(const QByteArray& contentType, const QString& fileName)
{
    const QByteArray type = contentType.split(';').first().trimmed().toLower();
    if (type == "text/html" || type == "application/xhtml+xml")
        return true;
    QFile downloaded(fileName);
    if (fileName.isEmpty() || !downloaded.open(QIODevice::ReadOnly))
        return false;
    QByteArray head = downloaded.read(1024);
    if (hasUtf8Bom(head))
        head.remove(0, 3);
    head = head.trimmed().left(9).toLower();
    return head.startsWith("<!doctype") || head.startsWith("<html");
}

QString UpdateDialog::redirectRefusal(const QUrl& target) const
{
    if (redirectCount >= MaxRedirects)
        return tr("重定向次数过多");
    const QString from = url.scheme().toLower();
    const QString to = target.scheme().toLower();
    const bool schemeAllowed = isWebScheme(to) && (to == from || to == QLatin1String("https"));
    const QString siteHost = QUrl(MakerSite::siteRoot()).host();
    if (!schemeAllowed || target.host().compare(siteHost, Qt::CaseInsensitive) != 0)
        return tr("不允许重定向到 %1").arg(target.toString());
    return QString();
}

bool UpdateDialog::isNetworkFailure(QNetworkReply::NetworkError error)
{
    switch (error) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
    case QNetworkReply::TimeoutError:
        return true;
    default:
        return false;
    }
}

QString UpdateDialog::installerTooLarge()
{
    return tr("文件过大 (超过 1 GiB), 不是有效的安装包");
}

void UpdateDialog::failTransfer(const QString& reason)
{
    qWarning().noquote() << "Update transfer of " + url.toString() + " failed: " + reason;
    discardTemporaryFile();
    upgradeButton->setEnabled(true);
    if (manual)
        showInformation(tr("下载失败: %1。").arg(reason));
}

void UpdateDialog::showInformation(const QString& text)
{
    QMessageBox box(QMessageBox::Information, tr("软件升级"), text, QMessageBox::Ok, this);
    Prompt::current().exec(box);
}

// ---- The steps of the chain ------------------------------------------------------

void UpdateDialog::compareVersions()
{
    const VersionInfo local = readVersionFile(versionFileName);
    const QString localVersion = local.version.trimmed();
    const QString localDate = local.date.trimmed();
    if (!file)
        return;
    const QString path = file->fileName();
    delete file;
    file = nullptr;
    const VersionInfo remote = readVersionFile(path);
    QFile::remove(path);

    const QString visitSite = tr("请到塔泉笔官方网站下载最新版本！");
    const QString failed = tr("检测失败!") + QStringLiteral("<div>") + visitSite + QStringLiteral("</div>")
                           + downloadPageLink();
    QString remoteVersion = tr("未知");
    QString remoteDate = tr("未知");
    QString hint;
    if (!remote.found) {
        hint = failed;
    } else {
        remoteVersion = remote.version.trimmed();
        remoteDate = remote.date.trimmed();
        const QDate ours = releaseDate(localDate);
        const QDate theirs = releaseDate(remoteDate);
        if (!theirs.isValid()) {
            // An error page or a broken file says nothing about newer releases.
            hint = failed;
        } else if (!ours.isValid() || theirs > ours) {
            hint = visitSite + QString(26, QLatin1Char(' ')) + QStringLiteral("<div>") + downloadPageLink()
                   + QStringLiteral("</div>") + tr("<div>或者直接点击 \"软件升级\" 按钮</div>");
            show();
        } else {
            upgradeButton->setText(tr("修复/覆盖安装"));
            hint = tr("<p>软件已经是最新版本!</p>");
        }
    }
    const QStringList pieces{tr("<p>当前版本: %1").arg(localVersion.toHtmlEscaped()),
                             tr("发布日期: %2").arg(localDate.toHtmlEscaped()),
                             QStringLiteral("</p>"),
                             QStringLiteral("<p>"),
                             tr("最新版本: %3").arg(remoteVersion.toHtmlEscaped()),
                             tr("发布日期: %4").arg(remoteDate.toHtmlEscaped()),
                             QStringLiteral("</p>") + hint};
    statusLabel->setText(pieces.join(QString(32, QLatin1Char(' '))));
}

void UpdateDialog::readInstallerAddress()
{
    if (!file)
        return;
    const QString path = file->fileName();
    delete file;
    file = nullptr;
    QFile copy(path);
    if (!copy.open(QIODevice::ReadOnly)) {
        QFile::remove(path);
        statusLabel->setText(tr("获取升级包地址失败!") + QStringLiteral("<div>") + tr("请到塔泉笔官方网站下载最新版本！")
                             + QStringLiteral("</div>") + downloadPageLink());
        return;
    }
    QByteArray line = copy.readLine(MaxAddressLength).simplified();
    copy.close();
    QFile::remove(path);
    const int nul = line.indexOf('\0');
    if (nul >= 0)
        line.truncate(nul);
    const QString address = QString::fromUtf8(line);
    const QUrl installer(address);
    // The file is named by the address's path (see installerDownloaded), so the
    // path decides: "Setup.exe?sig=1" is an installer, "download?file=Setup.exe" not.
    const QString installerPath = installer.path();

    QString problem;
    if (!installer.isValid() || !isWebScheme(installer.scheme().toLower()))
        problem = tr("安装包地址不是 http 或 https 网址: %1").arg(address);
    else if (!installerPath.endsWith(QLatin1String(".exe")) && !installerPath.endsWith(QLatin1String(".dmg")))
        problem = tr("安装包地址不以 \".exe\" 或 \".dmg\" 结尾: %1").arg(address);
    if (!problem.isEmpty()) {
        qWarning().noquote() << "Installer address refused: " + address;
        if (manual)
            showInformation(tr("下载失败: %1。").arg(problem));
        return;
    }
    url = installer;
    downloadFile(url);
}

void UpdateDialog::installerDownloaded()
{
    upgradeButton->hide();
    if (!file)
        return;
    // The path's last part: a query or fragment is no part of a file name.
    QString name = url.fileName();
    if (name.isEmpty())
        name = QStringLiteral("installer");
    const QString target = QFileInfo(file->fileName()).absolutePath() + QLatin1Char('/') + name;
    if (!file->rename(target)) {
        // Never arm the quit with a file that this download did not write.
        const QString reason = file->errorString();
        qWarning().noquote() << "Cannot rename the downloaded installer to " + target + ": " + reason;
        discardTemporaryFile();
        upgradeButton->show();
        statusLabel->setText(tr("保存安装包失败: %1").arg(target.toHtmlEscaped()));
        if (manual)
            showInformation(tr("下载失败: 无法保存安装包 %1: %2。").arg(target, reason));
        return;
    }
    m_installerPath = target;
    QString text = tr("最新软件安装包下载完成: %1").arg(m_installerPath.toHtmlEscaped());
    if (!InstallerLauncher::current().runsInstaller())
        text += tr(", 请在软件退出后按提示手动完成升级。");
    else if (url.path().endsWith(QLatin1String(".exe")))
        text += tr(", 重新打开软件, 即可完成升级。");
    else
        text += tr(", 重新打开软件后, 请按系统提示完成软件升级.");
    statusLabel->setText(text);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &UpdateDialog::upgradeAboutToQuit, Qt::UniqueConnection);
    // The installer outlives the dialog: the folder stays for the user.
    downloadDir->setAutoRemove(false);
    delete file;
    file = nullptr;
}

void UpdateDialog::upgradeAboutToQuit()
{
    qDebug() << Q_FUNC_INFO;
    disconnect(qApp, &QCoreApplication::aboutToQuit, this, &UpdateDialog::upgradeAboutToQuit);
    if (m_installerPath.isEmpty())
        return;
    InstallerLauncher& launcher = InstallerLauncher::current();
    if (launcher.runsInstaller())
        showInformation(tr("<p>塔泉笔退出后，自动升级将完成剩余流程，下次启动塔泉笔，您将使用更新后的版本。</p>")
                        + tr("<p>点击\"确定\"后，Windows需要您的确认才能完成新版软件的安装，请在接下来的\"用户帐户控制\"对话框中选择\"是\"以完成升级!</p>"));
    launcher.launch(m_installerPath, QStringLiteral("/S"), this);
}

// ---- Credentials and certificates ---------------------------------------------------

void UpdateDialog::slotAuthenticationRequired(QNetworkReply*, QAuthenticator*)
{
    // No credentials are given: the transfer fails.
}

void UpdateDialog::sslErrors(QNetworkReply* sslReply, const QList<QSslError>& errors)
{
    QStringList texts;
    for (const QSslError& error : errors)
        texts << error.errorString();
    QMessageBox box(QMessageBox::Warning, tr("软件升级"), tr("SSL错误: %1").arg(texts.join(QLatin1String(", "))),
                    QMessageBox::Ignore | QMessageBox::Abort, this);
    box.setDefaultButton(QMessageBox::Abort);
    if (Prompt::current().exec(box) == QMessageBox::Ignore)
        sslReply->ignoreSslErrors();
}
