// The update check against a loopback server: the date comparison, the chain up
// to the installer and the quit hook, redirects, failures, cancelling, the
// installer address rules and the schedule of automatic checks.

#include <QTcpServer>
#include <QAction>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>

#include "InstallerLauncher.h"
#include "LoopbackServer.h"
#include "MainWindow.h"
#include "MakerSite.h"
#include "NetworkProbe.h"
#include "ProgramState.h"
#include "SettingsStore.h"
#include "TestSupport.h"
#include "UpdateDialog.h"

namespace {

using Route = LoopbackServer::Route;

} // namespace

Q_DECLARE_METATYPE(LoopbackServer::Route)

namespace {

const QByteArray VersionPath = "/Tarnquill_Latest_Version/Version_Tarnquill_Veldmark.ini";
const QByteArray AddressPath = "/Tarnquill_Latest_Version/URL_Tarnquill_Veldmark.txt";
const QByteArray InstallerTarget = "/dl/Tarnquill%20Setup.exe";
const QByteArray InstallerBytes = QByteArray("MZ installer bytes ").repeated(300);
const QString Checking = QStringLiteral("正在检测最新版本，请稍后...");

enum Outcome { Newer, Current, Failed };

class RecordingLauncher : public InstallerLauncher
{
public:
    bool runsInstaller() const override { return true; }
    void launch(const QString& path, const QString& parameters, QWidget*) override { calls << path + '|' + parameters; }
    QStringList calls;
};

class OfflineProbe : public NetworkProbe
{
public:
    bool isAccessible() const override { return false; }
};

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

QString labelText(const UpdateDialog& dialog)
{
    return dialog.findChild<QLabel*>("statusLabel")->text();
}

QPushButton* upgradeButton(const UpdateDialog& dialog)
{
    return dialog.findChild<QPushButton*>("upgradeButton");
}

} // namespace

class UpdateCheckTest : public QObject
{
    Q_OBJECT

    LoopbackServer* server = nullptr;
    CurrentDir* programDir = nullptr;
    QString folder;
    RecordingLauncher launcher;

    void runCheck(UpdateDialog& dialog, bool manual)
    {
        dialog.checkUpdate(manual);
        QVERIFY(dialog.isTransferring());
        QTRY_VERIFY(!dialog.isTransferring());
    }

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
        server = new LoopbackServer(this);
        MakerSite::setSiteRoot(server->root());
        server->setRoute(VersionPath, Route::text("1.6.0\r\n2030-01-02\r\n"));
        server->setRoute(AddressPath, Route::text(" \t" + server->root().toUtf8() + "/dl/Tarnquill \t Setup.exe \r\nx\n"));
        server->setRoute(InstallerTarget, Route::text(InstallerBytes));
        folder = freshTempFolder("program");
        writeAll(folder + "/Version_Tarnquill_Veldmark.ini", "1.5.0\r\n2025-03-01\r\n");
        programDir = new CurrentDir(folder);
        launcher.calls.clear();
        InstallerLauncher::install(&launcher);
    }
    void cleanup()
    {
        delete programDir;
        delete server;
        MakerSite::setSiteRoot(QString());
        InstallerLauncher::install(nullptr);
        NetworkProbe::install(nullptr);
    }

    void versionComparison_data()
    {
        QTest::addColumn<QByteArray>("remote");
        QTest::addColumn<QByteArray>("local");
        QTest::addColumn<int>("outcome");
        const QByteArray local = "1.5.0\r\n2025-03-01\r\n";
        QTest::newRow("later") << QByteArray("1.6.0\r\n2030-01-02\r\n") << local << int(Newer);
        QTest::newRow("short") << QByteArray("1.6.0\n2030-1-2\n") << local << int(Failed);
        QTest::newRow("equal") << QByteArray("1.5.0\n2025-03-01 build 7\n") << local << int(Current);
        QTest::newRow("earlier") << QByteArray("1.4.0\n2024-12-31\n") << local << int(Current);
        QTest::newRow("slashes") << QByteArray("1.6.0\n2030/01/02\n") << local << int(Failed);
        QTest::newRow("portal page") << QByteArray("<html><a href='http://x/'>login</a>\n</html>") << local
                                     << int(Failed);
        QTest::newRow("local date invalid") << QByteArray("1.6.0\n2030-01-02\n") << QByteArray("1.5\nsoon\n")
                                            << int(Newer);
        QTest::newRow("markup") << QByteArray("<b>1.6</b><a href='file:///x'>x</a>\n2030-01-02\n") << local
                                << int(Newer);
    }
    void versionComparison()
    {
        QFETCH(QByteArray, remote);
        QFETCH(QByteArray, local);
        QFETCH(int, outcome);
        server->setRoute(VersionPath, Route::text(remote));
        writeAll("Version_Tarnquill_Veldmark.ini", local);
        ScriptedPrompt prompt;
        QWidget window;
        UpdateDialog dialog(&window);
        for (bool manual : {false, true}) {
            runCheck(dialog, manual);
            // An automatic check shows the dialog only for a newer release.
            QCOMPARE(dialog.isVisible(), manual || outcome == Newer);
            const QString text = labelText(dialog);
            QCOMPARE(text.contains("或者直接点击 \"软件升级\" 按钮"), outcome == Newer);
            QCOMPARE(text.contains("<p>软件已经是最新版本!</p>"), outcome == Current);
            QCOMPARE(text.contains("检测失败!"), outcome == Failed);
            QCOMPARE(upgradeButton(dialog)->text(), QString(outcome == Current ? "修复/覆盖安装" : "软件升级"));
            QVERIFY(!text.contains("<a href='") && !text.contains("<b>") && !text.contains("<html>"));
            QVERIFY(text.contains("当前版本: 1.5"));
            QVERIFY(filesIn(dialog.downloadFolder()).isEmpty()); // the copy went once read
            dialog.hide();
        }
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(server->targets(), (QStringList{VersionPath, VersionPath}));
    }

    void fullChainArmsTheQuitHook_data()
    {
        QTest::addColumn<bool>("nameTaken");
        QTest::newRow("installer saved") << false;
        QTest::newRow("installer name taken") << true;
    }
    void fullChainArmsTheQuitHook()
    {
        QFETCH(bool, nameTaken);
        ScriptedPrompt prompt;
        QString installer;
        QString downloads;
        {
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            QCOMPARE(window.checkUpdateAct->statusTip(), QString("检测是否有更新版本"));
            QCOMPARE(window.showPluginsManagerDialogAct->statusTip(), QString("显示插件管理对话框"));
            window.checkUpdateAct->trigger();
            window.checkUpdateAct->trigger(); // while the first transfer runs: ignored
            UpdateDialog* dialog = window.updateDialog;
            QTRY_VERIFY(!dialog->isTransferring());
            QVERIFY(dialog->isVisible());
            downloads = dialog->downloadFolder();
            installer = downloads + "/Tarnquill Setup.exe";
            if (nameTaken)
                writeAll(installer, "planted");

            prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
            QTest::mouseClick(upgradeButton(*dialog), Qt::LeftButton);
            QTRY_COMPARE(server->targets().size(), 3);
            QTRY_VERIFY(!dialog->isTransferring());
            QCOMPARE(server->targets(), (QStringList{VersionPath, AddressPath, InstallerTarget}));
            const QString progress = window.findChild<QProgressDialog*>("updateProgressDialog")->labelText();
            QVERIFY(progress.startsWith("下载文件: " + server->root() + "/dl/Tarnquill Setup.exe\n保存为:" + downloads));
            QCOMPARE(int(QFile::permissions(downloads) & 0x0077), 0); // nothing for group and others
            QCOMPARE(filesIn(downloads), QStringList{"Tarnquill Setup.exe"});
            QCOMPARE(dialog->installerPath(), nameTaken ? QString() : installer);
            QCOMPARE(upgradeButton(*dialog)->isHidden(), !nameTaken);
            QCOMPARE(prompt.titles, (nameTaken ? QStringList{"软件升级", "软件升级"} : QStringList{"软件升级"}));
            if (nameTaken)
                QVERIFY(prompt.texts.last().startsWith("下载失败: 无法保存安装包 " + installer));
            else
                QVERIFY(labelText(*dialog).startsWith("最新软件安装包下载完成: " + installer));

            QCOMPARE(readAll(installer), nameTaken ? QByteArray("planted") : InstallerBytes);
            QVERIFY(launcher.calls.isEmpty());
            QMetaObject::invokeMethod(qApp, "aboutToQuit");
            QMetaObject::invokeMethod(qApp, "aboutToQuit");
        }
        QCOMPARE(launcher.calls, nameTaken ? QStringList() : QStringList{installer + "|/S"});
        if (!nameTaken)
            QVERIFY(prompt.texts.last().startsWith("<p>塔泉笔退出后，自动升级将完成剩余流程"));
        // An armed installer outlives the dialog; otherwise the download folder goes with it.
        QCOMPARE(QFileInfo::exists(downloads), !nameTaken);
        QDir(downloads).removeRecursively();
    }

    void redirects_data()
    {
        QTest::addColumn<QString>("location");
        QTest::addColumn<QString>("failure"); // start of the box text, empty for none
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("label");
        QTest::newRow("same name") << "ROOT/mirror/Version_Tarnquill_Veldmark.ini" << QString() << 2 << "或者直接点击";
        // Sent on to a file that no step of the check expects: dropped, and the box says why.
        QTest::newRow("other name") << "ROOT/mirror/notes.txt" << "下载失败: 服务器返回的不是升级文件: " << 2
                                    << "下载失败: 服务器返回的不是升级文件: ";
        QTest::newRow("loop") << "ROOT/loop/a" << "下载失败: 重定向次数过多。" << 6 << Checking;
        QTest::newRow("other host") << "http://localhost:PORT/Tarnquill_Latest_Version/Version_Tarnquill_Veldmark.ini"
                                    << "下载失败: 不允许重定向到 http://localhost:" << 1 << Checking;
        QTest::newRow("file") << "file:///FOLDER/Version_Tarnquill_Veldmark.ini" << "下载失败: 不允许重定向到 file:"
                              << 1 << Checking;
    }
    void redirects()
    {
        QFETCH(QString, location);
        QFETCH(QString, failure);
        QFETCH(int, requests);
        QFETCH(QString, label);
        location.replace("ROOT", server->root()).replace("PORT", QString::number(server->port()));
        location.replace("/FOLDER", folder);
        server->setRoute(VersionPath, Route::redirect(302, location));
        server->setRoute("/mirror/Version_Tarnquill_Veldmark.ini", Route::text("1.6.0\n2030-01-02\n"));
        server->setRoute("/mirror/notes.txt", Route::text("1.6.0\n2030-01-02\n"));
        server->setRoute("/loop/a", Route::redirect(301, server->root() + "/loop/b"));
        server->setRoute("/loop/b", Route::redirect(307, "/loop/a"));
        ScriptedPrompt prompt;
        UpdateDialog dialog;
        runCheck(dialog, true);
        QCOMPARE(prompt.texts.size(), failure.isEmpty() ? 0 : 1);
        if (!failure.isEmpty())
            QVERIFY2(prompt.texts.first().startsWith(failure), qPrintable(prompt.texts.first()));
        QCOMPARE(server->requests().size(), requests);
        QVERIFY(labelText(dialog).contains(label));
        QVERIFY(filesIn(dialog.downloadFolder()).isEmpty());
        QVERIFY(upgradeButton(dialog)->isEnabled());
    }

    // Failures of the version file in manual and automatic checks, installer
    // addresses that are refused before anything is downloaded, and a web page
    // (an error or login page) where the installer should be.
    void failures_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<Route>("route");
        QTest::addColumn<QString>("reason");
        const QString error = "Error transferring ROOT" + QString(VersionPath) + " - server replied: ";
        QTest::newRow("404") << VersionPath << Route::html("<html>missing</html>", 404) << error + "Not Found";
        QTest::newRow("500") << VersionPath << Route::html("<html>broken</html>", 500) << error + "Internal Server Error";
        QTest::newRow("too large") << VersionPath << Route::text(QByteArray(1100 * 1024, 'x')) << "文件过大";
        const QString suffix = "安装包地址不以 \".exe\" 或 \".dmg\" 结尾: ";
        QTest::newRow("upper-case EXE") << AddressPath << Route::text("ROOT/dl/Setup.EXE") << suffix + "ROOT/dl/Setup.EXE";
        // The path decides, as it names the saved file: a query naming an installer is no installer.
        QTest::newRow("query") << AddressPath << Route::text("ROOT/download?file=Setup.exe")
                               << suffix + "ROOT/download?file=Setup.exe";
        QTest::newRow("file") << AddressPath << Route::text("file:///tmp/Setup.exe")
                              << "安装包地址不是 http 或 https 网址: file:///tmp/Setup.exe";
        const QString webPage = "服务器返回的不是升级文件: ROOT/dl/Tarnquill Setup.exe";
        QTest::newRow("said html") << InstallerTarget << Route::html("MZ not really") << webPage;
        QTest::newRow("doctype") << InstallerTarget << Route::text("\xEF\xBB\xBF \r\n\t<!DocType html><html>login</html>")
                                 << webPage;
        QTest::newRow("html") << InstallerTarget << Route::text("<HTML><body>error</body></HTML>") << webPage;
    }
    void failures()
    {
        QFETCH(QByteArray, path);
        QFETCH(Route, route);
        QFETCH(QString, reason);
        route.body.replace("ROOT", server->root().toUtf8());
        reason.replace("ROOT", server->root());
        server->setRoute(path, route);
        ScriptedPrompt prompt;
        UpdateDialog dialog;
        for (bool manual : {false, true}) {
            prompt.texts.clear();
            if (path != VersionPath) { // the upgrade button always reports
                prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
                dialog.autoUpgrade();
                QTRY_VERIFY(!dialog.isTransferring());
                prompt.texts.removeFirst();
            } else {
                runCheck(dialog, manual);
                QCOMPARE(dialog.isVisible(), manual);
                QCOMPARE(labelText(dialog), Checking);
            }
            QCOMPARE(prompt.texts, manual || path != VersionPath ? QStringList{"下载失败: " + reason + "。"} : QStringList());
            QVERIFY(filesIn(dialog.downloadFolder()).isEmpty());
            QVERIFY(upgradeButton(dialog)->isEnabled());
        }
        QCOMPARE(server->targets(), (path == InstallerTarget ? QStringList{AddressPath, path, AddressPath, path}
                                                             : QStringList{path, path}));
    }

    // The installer is named by the path of the address it came from, never
    // its query or fragment; one announced beyond 1 GiB is refused unread.
    void installerNameAndSize()
    {
        server->setRoute(InstallerTarget, Route::redirect(302, server->root() + "/dl/real/Setup.exe?sig=a/b#c"));
        server->setRoute("/dl/real/Setup.exe", Route::text(InstallerBytes));
        ScriptedPrompt prompt;
        UpdateDialog dialog;
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
        dialog.autoUpgrade();
        QTRY_VERIFY(!dialog.isTransferring());
        const QString installer = dialog.downloadFolder() + "/Setup.exe";
        QCOMPARE(dialog.installerPath(), installer);
        QCOMPARE(readAll(installer), InstallerBytes);

        Route huge = Route::text("MZ").header("Content-Length", "1073741825");
        huge.contentLength = false;
        server->setRoute("/dl/real/Setup.exe", huge);
        UpdateDialog second;
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
        second.autoUpgrade();
        QTRY_VERIFY(!second.isTransferring());
        QCOMPARE(prompt.texts.last(), QString("下载失败: 文件过大 (超过 1 GiB), 不是有效的安装包。"));
        QCOMPARE(second.installerPath(), QString());
        QVERIFY(filesIn(second.downloadFolder()).isEmpty());
        QDir(dialog.downloadFolder()).removeRecursively();

        // An address whose path names an installer is taken with its query.
        server->setRoute(AddressPath, Route::text(server->root().toUtf8() + "/dl/real/Setup.exe?sig=1"));
        server->setRoute("/dl/real/Setup.exe", Route::text(InstallerBytes));
        UpdateDialog third;
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
        third.autoUpgrade();
        QTRY_VERIFY(!third.isTransferring());
        QCOMPARE(third.installerPath(), third.downloadFolder() + "/Setup.exe");
        QCOMPARE(readAll(third.installerPath()), InstallerBytes);
        QDir(third.downloadFolder()).removeRecursively();

        // Sent on to something that is no installer: nothing kept, and the box says why.
        server->setRoute("/dl/real/Setup.exe", Route::redirect(302, server->root() + "/download?file=Setup.exe"));
        server->setRoute("/download", Route::text(InstallerBytes));
        UpdateDialog fourth;
        prompt.texts.clear();
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
        fourth.autoUpgrade();
        QTRY_VERIFY(!fourth.isTransferring());
        const QString why = "下载失败: 服务器返回的不是升级文件: " + server->root() + "/download?file=Setup.exe。";
        QCOMPARE(prompt.texts, (QStringList{prompt.texts.first(), why}));
        QCOMPARE(labelText(fourth), why);
        QCOMPARE(fourth.installerPath(), QString());
        QVERIFY(filesIn(fourth.downloadFolder()).isEmpty());
        QVERIFY(upgradeButton(fourth)->isEnabled());
    }

    // A site that refuses the connection: the menu command says the network
    // failed, before any dialog; so does a check whose request is refused.
    void closedPortMeansNoNetwork()
    {
        QTcpServer closed;
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        MakerSite::setSiteRoot(QString("http://127.0.0.1:%1").arg(port));
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.checkUpdateAct->trigger();
        QCOMPARE(prompt.texts, QStringList{"网络错误, 无法检测升级包!"});
        QVERIFY(!window.updateDialog);

        UpdateDialog dialog;
        runCheck(dialog, true);
        QCOMPARE(prompt.texts.last(), QString("网络错误, 无法检测升级包!"));
        QVERIFY(filesIn(dialog.downloadFolder()).isEmpty());
    }

    void cancelDuringATrickledBody()
    {
        server->setRoute(VersionPath, Route::text(QByteArray(4000, 'x')).trickled(20, 100));
        ScriptedPrompt prompt;
        QWidget window;
        UpdateDialog dialog(&window);
        dialog.checkUpdate(true);
        auto* progress = window.findChild<QProgressDialog*>();
        QVERIFY(progress->isVisible());
        QTRY_VERIFY(!filesIn(dialog.downloadFolder()).isEmpty() && progress->value() > 0);
        QTest::mouseClick(progress->findChild<QPushButton*>(), Qt::LeftButton);
        QVERIFY(!dialog.isTransferring());
        QCOMPARE(labelText(dialog), QString("下载已取消"));
        QVERIFY(dialog.isVisible() && !progress->isVisible());
        QVERIFY(upgradeButton(dialog)->isEnabled());
        QVERIFY(filesIn(dialog.downloadFolder()).isEmpty());
        QVERIFY(prompt.texts.isEmpty());
    }

    void automaticSchedule_data()
    {
        QTest::addColumn<QVariant>("interval");
        QTest::addColumn<QVariant>("lastCheck");
        QTest::addColumn<int>("checks"); // over two calls
        const QDate today = QDate::currentDate();
        QTest::newRow("both absent") << QVariant() << QVariant() << 0;
        QTest::newRow("interval 0") << QVariant(0) << QVariant(today.toString(Qt::TextDate)) << 2;
        QTest::newRow("unparsable date") << QVariant(90) << QVariant("last spring") << 1;
        QTest::newRow("10 days ago") << QVariant(90) << QVariant(today.addDays(-10).toString(Qt::TextDate)) << 0;
        QTest::newRow("100 days ago") << QVariant(90) << QVariant(today.addDays(-100).toString(Qt::TextDate)) << 1;
    }
    void automaticSchedule()
    {
        QFETCH(QVariant, interval);
        QFETCH(QVariant, lastCheck);
        QFETCH(int, checks);
        if (interval.isValid())
            Settings().setValue("AutoUpdateInterval", interval);
        if (lastCheck.isValid())
            Settings().setValue("LatestUpdateCheck", lastCheck);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        for (int call = 0; call < 2; ++call) {
            window.checkUpdateIfDue();
            if (window.updateDialog)
                QTRY_VERIFY(!window.updateDialog->isTransferring());
        }
        QCOMPARE(server->requests().size(), checks);
        QCOMPARE(window.updateDialog && window.updateDialog->isVisible(), checks > 0); // the server's is newer
        QCOMPARE(Settings().value("AutoUpdateInterval").toInt(), interval.isValid() ? interval.toInt() : 90);
        const QString today = QDate::currentDate().toString(Qt::TextDate);
        QCOMPARE(Settings().value("LatestUpdateCheck").toString(), checks || !lastCheck.isValid() ? today
                                                                                                 : lastCheck.toString());
        QVERIFY(prompt.texts.isEmpty());
    }

    void unreachableNetworkAndTheDefaultLauncher()
    {
        ScriptedPrompt prompt;
        OfflineProbe offline;
        NetworkProbe::install(&offline);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.checkUpdateAct->trigger();
        QCOMPARE(prompt.titles, QStringList{"错误"});
        QCOMPARE(prompt.texts, QStringList{"网络错误, 无法检测升级包!"});
        QVERIFY(!window.updateDialog);

        // This platform's launcher only says where the installer is and opens its folder.
        const QString installer = folder + "/Setup.exe";
        writeAll(installer, "#!/bin/sh\ntouch " + QFile::encodeName(folder) + "/ran\n");
        QFile::setPermissions(installer, QFile::permissions(installer) | QFile::ExeOwner);
        InstallerLauncher::install(nullptr);
        QVERIFY(!InstallerLauncher::current().runsInstaller());
        InstallerLauncher::current().launch(installer, "/S", nullptr);
        QVERIFY(prompt.texts.last().contains(installer));
        QCOMPARE(prompt.openedUrls, QList<QUrl>{QUrl::fromLocalFile(folder)});
        QVERIFY(!QFile::exists(folder + "/ran"));
    }
};

TQ_TEST_MAIN(UpdateCheckTest)
#include "tst_updatecheck.moc"
