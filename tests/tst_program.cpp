// The built program as a user starts it: settings set by hand, log sinks,
// start from another folder, clean exit.

#include <QDir>
#include <QLocalSocket>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>

#include <utility>

#include "SettingsStore.h"
#include "TestSupport.h"

namespace {

struct Run
{
    int exitCode = -1;
    QProcess::ExitStatus status = QProcess::CrashExit;
    QString out;
};

Run runProgram(const QStringList& arguments, const QString& workingDirectory)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARNQUILL_QUIT_WHEN_SHOWN", "1");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.start(TestEnvironment::programDir() + "/Tarnquill", arguments);
    Run run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.status = process.exitStatus();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    return run;
}

QStringList logFiles()
{
    const QString folder = TestEnvironment::instance()->dataDir() + "/Quenloft/塔泉笔维德马克";
    QStringList files;
    for (const QString& name : QDir(folder).entryList({"Veldmark_*.log"}, QDir::Files, QDir::Name))
        files << folder + "/" + name;
    return files;
}

// The messages of the info lines, in order, from log text in the file layout.
QStringList infoMessages(const QString& text)
{
    QStringList messages;
    const QRegularExpression line(R"(^\d{4}\.\d\d\.\d\d \d\d:\d\d:\d\d\.\d{3}: \[INFO    \] (.*)$)");
    for (const QString& row : text.split('\n')) {
        const QRegularExpressionMatch match = line.match(row);
        if (match.hasMatch())
            messages << match.captured(1);
    }
    return messages;
}

// Lays out a program folder from a built one as "setup.sh run" does; the output.
QString layOut(const QString& from, const QString& to)
{
    QProcess cmake;
    cmake.setProcessChannelMode(QProcess::MergedChannels);
    cmake.start("cmake", {"-DFROM=" + from, "-DTO=" + to, "-DMANIFEST=" + to + ".manifest", "-P",
                          TestEnvironment::sourceDir() + "/cmake/LayOutProgramFolder.cmake"});
    cmake.waitForFinished(60000);
    return QString::fromUtf8(cmake.readAll());
}

// An X server of the test's own (Xvfb picks a free display number).
class XServer
{
public:
    ~XServer()
    {
        m_process.terminate();
        m_process.waitForFinished(10000);
    }

    bool start()
    {
        const QString xvfb = QStandardPaths::findExecutable("Xvfb");
        if (xvfb.isEmpty())
            return false;
        // Without shared memory, whose descriptors a relay over TCP cannot carry.
        m_process.start(xvfb, {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp", "-extension",
                               "MIT-SHM"});
        // The number is written once the server takes connections.
        if (!QTest::qWaitFor([&] { return m_process.canReadLine(); }, 30000))
            return false;
        bool ok = false;
        m_number = m_process.readLine().trimmed().toInt(&ok);
        return ok;
    }

    QString socketPath() const { return QString("/tmp/.X11-unix/X%1").arg(m_number); }

private:
    QProcess m_process;
    int m_number = -1;
};

// A display on TCP that passes connections on to an X server, and drops some as
// they come: like an X server that resets when its last client leaves (which
// drops the connections being set up meanwhile), starting just after the last
// client left; or the first three; or all of them.
class FlakyDisplay : public QObject
{
public:
    enum Drops { WhileResetting, FirstThree, All };

    FlakyDisplay(const QString& serverSocket, Drops drops)
        : m_serverSocket(serverSocket), m_drops(drops), m_resetting(drops == WhileResetting)
    {
        connect(&m_listener, &QTcpServer::newConnection, this, &FlakyDisplay::accept);
    }

    bool listen()
    {
        for (m_number = 100; m_number < 1000; ++m_number)
            if (m_listener.listen(QHostAddress::LocalHost, quint16(6000 + m_number)))
                return true;
        return false;
    }

    QString display() const { return QString("127.0.0.1:%1").arg(m_number); }
    int connections() const { return m_connections; }

private:
    bool drops()
    {
        switch (m_drops) {
        case WhileResetting:
            // The reset is over once it has dropped what came meanwhile.
            return std::exchange(m_resetting, false);
        case FirstThree:
            return m_connections <= 3;
        case All:
            break;
        }
        return true;
    }

    void accept()
    {
        while (QTcpSocket* client = m_listener.nextPendingConnection()) {
            ++m_connections;
            connect(client, &QTcpSocket::disconnected, client, &QObject::deleteLater);
            if (drops()) {
                client->close();
                continue;
            }
            auto* server = new QLocalSocket(client);
            server->connectToServer(m_serverSocket);
            if (!server->waitForConnected(10000)) {
                client->close();
                continue;
            }
            ++m_open;
            connect(client, &QTcpSocket::readyRead, server, [=] { server->write(client->readAll()); });
            connect(server, &QLocalSocket::readyRead, client, [=] { client->write(server->readAll()); });
            connect(client, &QTcpSocket::disconnected, server, &QLocalSocket::disconnectFromServer);
            connect(server, &QLocalSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
            connect(client, &QTcpSocket::disconnected, this, [this] { m_resetting = --m_open == 0; });
            server->write(client->readAll());
        }
    }

    QTcpServer m_listener;
    QString m_serverSocket;
    Drops m_drops;
    bool m_resetting;
    int m_number = 0;
    int m_connections = 0;
    int m_open = 0;
};

struct X11Run
{
    QProcess::ExitStatus status = QProcess::CrashExit;
    int exitCode = -1;
    QString err;
};

// Runs the program on an X display until it has shown its window (the event
// loop of the test keeps turning meanwhile, for a display served from here).
X11Run runOnDisplay(const QString& display, const QString& platform = QString())
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TARNQUILL_QUIT_WHEN_SHOWN", "1");
    environment.insert("DISPLAY", display);
    environment.insert("XAUTHORITY", TestEnvironment::instance()->tempDir() + "/no-xauthority");
    for (const char* name : {"QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY"})
        environment.remove(name);
    if (!platform.isEmpty())
        environment.insert("QT_QPA_PLATFORM", platform);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(TestEnvironment::instance()->workDir());
    process.start(TestEnvironment::programDir() + "/Tarnquill", QStringList());
    X11Run run;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.status = process.exitStatus();
    run.exitCode = process.exitCode();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

class ProgramTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        for (const QString& file : logFiles())
            QFile::remove(file);
    }

    void silentByDefault()
    {
        const Run run = runProgram({}, TestEnvironment::instance()->workDir());
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(!run.out.contains("[INFO    ]"), qPrintable(run.out));
        QVERIFY(logFiles().isEmpty());
    }

    void logsToConsoleAndFile()
    {
        {
            // Written the way a person would set them by hand.
            QFile file(SettingsStore::fileName());
            QDir().mkpath(QFileInfo(file).path());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Text));
            file.write("[General]\nLogOutputTo=3\nLogLevel=0\n");
        }
        const Run run = runProgram({"some.txt"}, TestEnvironment::instance()->workDir());
        QCOMPARE(run.status, QProcess::NormalExit);
        QCOMPARE(run.exitCode, 0);

        // Console lines are coloured around the tag.
        QVERIFY2(run.out.contains(": \033[32m[INFO    ]\033[0m BinType = TARN_QUILL_VELD_MARK"), qPrintable(run.out));
        QVERIFY(run.out.contains("\033[34m[DEBUG   ]\033[0m "));

        const QStringList files = logFiles();
        QCOMPARE(files.size(), 1);
        QVERIFY(QFileInfo(files.first()).fileName().contains(
            QRegularExpression(R"(^Veldmark_\d{4}_\d\d_\d\d_\d\d_\d\d_\d\d\.log$)")));
        QFile log(files.first());
        QVERIFY(log.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(log.readAll());
        const QStringList info = infoMessages(text);

        const QStringList expectedPrefixes{
            "BinType = TARN_QUILL_VELD_MARK", "BinVersion = v1.5.0", "Version = v1.5.0", "Date = ",
            "argc = 2", "argv[ 0 ] = ", "argv[ 1 ] = \"some.txt\"", "LogOutputType = 3", "LogLevel = 0",
            "pid = ", "BuildAbi = ", "BuildCpuArchitecture = ", "CurrentCpuArchitecture = ", "KernelType = ",
            "KernelVersion = ", "MachineHostName = ", "PrettyProductName = ", "ProductType = ",
            "ProductVersion = ", "Locale = ", "EnableAutoUpgrade = true", "AutoGenBatch = false"};
        QVERIFY2(info.size() >= expectedPrefixes.size(), qPrintable(info.join('\n')));
        for (int i = 0; i < expectedPrefixes.size(); ++i)
            QVERIFY2(info.at(i).startsWith(expectedPrefixes.at(i)),
                     qPrintable(QString("line %1: %2").arg(i).arg(info.at(i))));
        QCOMPARE(info.last(), QString("Exit successfully!"));
        QVERIFY(!text.contains("Load Tarnquill_Veldmark_"));
        QVERIFY(!text.contains("Open Version_Tarnquill_Veldmark.ini failed."));
    }

    void superUserLineAndOnlyInfoAtLevelFour()
    {
        Settings settings;
        settings.setValue("LogOutputTo", 2);
        settings.setValue("LogLevel", 4);
        settings.setValue("SuperUser", true);
        settings.sync();
        const Run run = runProgram({}, QDir::tempPath());
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.contains("SuperUser = true"));
        QVERIFY(!run.out.contains("[DEBUG   ]"));
        QVERIFY(logFiles().isEmpty());
    }

    // An X server drops the connections being set up when its last client
    // leaves, as when one copy of the program ends just as the next starts;
    // start-up tries again instead of ending in abort(), keeps the server from
    // resetting while the toolkit connects, and says so when the display never
    // answers.
    void displayThatDropsConnections_data()
    {
        QTest::addColumn<int>("drops");
        QTest::addColumn<QString>("platforms");
        QTest::addColumn<int>("exitCode");
        QTest::addRow("the last client has just left") << int(FlakyDisplay::WhileResetting) << QString() << 0;
        QTest::addRow("the first three dropped") << int(FlakyDisplay::FirstThree) << QString("xcb") << 0;
        QTest::addRow("every connection dropped") << int(FlakyDisplay::All) << QString() << 1;
        // The toolkit goes on to the next platform of the list.
        QTest::addRow("every connection dropped, offscreen next") << int(FlakyDisplay::All) << QString("xcb;offscreen") << 0;
    }

    void displayThatDropsConnections()
    {
        QFETCH(int, drops);
        QFETCH(QString, platforms);
        QFETCH(int, exitCode);
        XServer server;
        if (!server.start())
            QSKIP("Xvfb is not installed");
        FlakyDisplay display(server.socketPath(), FlakyDisplay::Drops(drops));
        QVERIFY(display.listen());

        const X11Run run = runOnDisplay(display.display(), platforms);
        QVERIFY2(run.status == QProcess::NormalExit, qPrintable(run.err));
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode != 0)
            QVERIFY2(run.err.contains("无法连接到显示 " + display.display()), qPrintable(run.err));
        QVERIFY(display.connections() > 1);
    }

    // With the log off, the toolkit's last word before it ends the process
    // still reaches the terminal.
    void fatalMessageReachesStandardError()
    {
        const X11Run run = runOnDisplay(QString(), "no-such-platform");
        QCOMPARE(run.status, QProcess::CrashExit);
        QVERIFY2(run.err.contains("no Qt platform plugin could be initialized"), qPrintable(run.err));
    }

    // The user's program folder is laid out from the build (the tests read the
    // build's own folder): words the user adds there survive a rebuild.
    void userAdditionsSurviveARebuild()
    {
        QString work;
        QVERIFY(makeTestWorkFolder(work));
        const QString built = work + "/bin", program = work + "/program";
        const QString words = "/Dictionary/白名单.db", shipped = "/Templates/a.tqd", mine = "/Templates/mine.tqd";
        writeBytes(built + words, "first");
        writeBytes(built + shipped, "first");
        QVERIFY(layOut(built, program).contains("2 file(s) brought up to date, 0 changed by you kept"));

        // The user adds a word and a template; a rebuild changes the word list and the template.
        writeBytes(program + words, "first, 犇");
        writeBytes(program + mine, "the user's own");
        writeBytes(built + words, "second");
        writeBytes(built + shipped, "second");
        const QString output = layOut(built, program);
        QVERIFY2(output.contains("Kept your changed " + program + words), qPrintable(output));
        QVERIFY2(output.contains("1 file(s) brought up to date, 1 changed by you kept"), qPrintable(output));
        QCOMPARE(readAll(program + words), QByteArray("first, 犇"));
        QCOMPARE(readAll(program + shipped), QByteArray("second"));
        QCOMPARE(readAll(program + mine), QByteArray("the user's own"));
        // Still the user's on the next layout, though nothing was rebuilt.
        QVERIFY(layOut(built, program).contains("0 file(s) brought up to date, 1 changed by you kept"));
    }
};

TQ_TEST_MAIN(ProgramTest)
#include "tst_program.moc"
