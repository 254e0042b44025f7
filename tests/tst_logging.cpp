// The message handler: line layout, level and target filtering, the log file,
// many threads logging at once, and sinks that raise Qt messages themselves.

#include <QBuffer>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <memory>
#include <type_traits>
#include <vector>

#include "Logging.h"
#include "OutputDialogEx.h"
#include "TestSupport.h"

Q_DECLARE_METATYPE(QtMsgType)

namespace {

const QDateTime kExampleTime(QDate(2019, 7, 23), QTime(9, 5, 1, 123));
const QString kExampleMessage = QStringLiteral("void MainWindow::newFile()");

const QRegularExpression kLineLayout(QStringLiteral(
    "^\\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}: "
    "\\[(DEBUG   |WARNING |CRITICAL|FATAL   |INFO    )\\] (.*)$"));

// Emits through Qt, so the installed handler is what receives the message.
void emitMessage(QtMsgType type, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    switch (type) {
    case QtDebugMsg:
        qDebug("%s", utf8.constData());
        break;
    case QtInfoMsg:
        qInfo("%s", utf8.constData());
        break;
    case QtWarningMsg:
        qWarning("%s", utf8.constData());
        break;
    case QtCriticalMsg:
        qCritical("%s", utf8.constData());
        break;
    case QtFatalMsg: {
        // qFatal() would abort the test run after the handler returns; hand
        // the message straight to whatever handler is installed instead.
        const QtMessageHandler installed = qInstallMessageHandler(nullptr);
        qInstallMessageHandler(installed);
        installed(type, QMessageLogContext(), text);
        break;
    }
    }
}

QStringList splitLines(const QByteArray& bytes)
{
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList readLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return splitLines(file.readAll());
}

// What the window shows, one entry per appended line (no-break spaces read as spaces).
QStringList windowLines(const OutputDialogEx& dialog)
{
    const QString text = dialog.textEdit()->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

int windowLineCount(const OutputDialogEx& dialog)
{
    const QTextDocument* document = dialog.textEdit()->document();
    return document->isEmpty() ? 0 : document->blockCount();
}

// A console that complains through Qt every time it is written to.
class ComplainingBuffer : public QBuffer
{
public:
    using QBuffer::QBuffer;

protected:
    qint64 writeData(const char* data, qint64 length) override
    {
        qWarning("console device complains");
        return QBuffer::writeData(data, length);
    }
};

} // namespace

class TestLogging : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Line layout
    void tagsAndPositions_data();
    void tagsAndPositions();
    void sinkFormsOfTheExample_data();
    void sinkFormsOfTheExample();
    void unknownTypeHasNoTag();
    void handlerFeedsEverySink_data();
    void handlerFeedsEverySink();
    void markupIsEscapedOnlyInTheWindow_data();
    void markupIsEscapedOnlyInTheWindow();

    // Filtering
    void levelFilter_data();
    void levelFilter();
    void noTargetsWritesNothing_data();
    void noTargetsWritesNothing();
    void eachTargetBitFeedsItsSink_data();
    void eachTargetBitFeedsItsSink();
    void missingSinksAreSkippedSilently();

    // Log file
    void logFileNameAndFolder();
    void existingLogIsNeverTruncated();
    void logFileIsUtf8WithLfEndings();
    void closedLogTakesNoMoreLines();
    void uncreatableFolderFailsQuietly();

    // Threads
    void concurrentLinesStayWholeAndOrdered();
    void switchingTheWindowSinkWhileWorkersLog();

    // Sinks raising Qt messages
    void nestedMessageDoesNotDeadlock_data();
    void nestedMessageDoesNotDeadlock();

private:
    QString logFolder() const { return m_dir->path(); }
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QBuffer> m_console;
    std::unique_ptr<OutputDialogEx> m_dialog;
    QtMessageHandler m_previousHandler = nullptr;
};

void TestLogging::init()
{
    logTargets = LOG_TARGET_NONE;
    logLevel = 1;
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_console = std::make_unique<QBuffer>();
    m_console->open(QIODevice::WriteOnly);
    setConsoleLogDevice(m_console.get());
    m_dialog = std::make_unique<OutputDialogEx>();
    m_previousHandler = qInstallMessageHandler(messageHandler);
}

void TestLogging::cleanup()
{
    qInstallMessageHandler(m_previousHandler);
    logTargets = LOG_TARGET_NONE;
    logLevel = 1;
    closeLogFile();
    setLogOutputDialog(nullptr);
    setConsoleLogDevice(nullptr);
    // Drop queued window drains aimed at the dialog about to go.
    QCoreApplication::processEvents();
    m_dialog.reset();
    m_console.reset();
    m_dir.reset();
}

// --- Line layout -----------------------------------------------------------

void TestLogging::tagsAndPositions_data()
{
    QTest::addColumn<QtMsgType>("type");
    QTest::addColumn<QString>("tag");
    QTest::newRow("debug") << QtDebugMsg << "[DEBUG   ] ";
    QTest::newRow("warning") << QtWarningMsg << "[WARNING ] ";
    QTest::newRow("critical") << QtCriticalMsg << "[CRITICAL] ";
    QTest::newRow("fatal") << QtFatalMsg << "[FATAL   ] ";
    QTest::newRow("info") << QtInfoMsg << "[INFO    ] ";
}

void TestLogging::tagsAndPositions()
{
    QFETCH(QtMsgType, type);
    QFETCH(QString, tag);

    QCOMPARE(logTag(type), tag);
    const QString line = logLine(type, QStringLiteral("text"), kExampleTime);
    QCOMPARE(line.left(23), QStringLiteral("2019.07.23 09:05:01.123"));
    QCOMPARE(line.mid(23, 2), QStringLiteral(": "));
    QCOMPARE(line.mid(25, 11), tag);
    QCOMPARE(line.mid(36), QStringLiteral("text"));

    // The console colour covers exactly the bracketed tag.
    const QString console = consoleLogLine(type, line);
    const int close = console.indexOf(QLatin1Char(']'));
    QCOMPARE(console.indexOf(QStringLiteral("\033[0m")), close + 1);
    QCOMPARE(console.indexOf(QLatin1Char('\033')), 25);
    QCOMPARE(console.mid(close + 1 + 4), QStringLiteral(" text"));
}

void TestLogging::sinkFormsOfTheExample_data()
{
    QTest::addColumn<QtMsgType>("type");
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("console");
    QTest::addColumn<QString>("window");

    const QString time = QStringLiteral("2019.07.23 09:05:01.123: ");
    const QString timeHtml = QStringLiteral("<font color=\"darkcyan\">2019.07.23 09:05:01.123:</font> ");
    const QString nbsp3 = QStringLiteral("&nbsp;&nbsp;&nbsp;]");
    const QString text = QStringLiteral(" void MainWindow::newFile()");

    QTest::newRow("debug") << QtDebugMsg << time + "[DEBUG   ]" + text
                           << time + "\033[34m[DEBUG   ]\033[0m" + text
                           << timeHtml + "<font color=\"blue\">[DEBUG" + nbsp3 + "</font>" + text;
    QTest::newRow("warning") << QtWarningMsg << time + "[WARNING ]" + text
                             << time + "\033[33m[WARNING ]\033[0m" + text
                             << timeHtml + "<font color=\"orange\">[WARNING ]</font>" + text;
    QTest::newRow("critical") << QtCriticalMsg << time + "[CRITICAL]" + text
                              << time + "\033[31m[CRITICAL]\033[0m" + text
                              << timeHtml + "<font color=\"red\">[CRITICAL]</font>" + text;
    QTest::newRow("fatal") << QtFatalMsg << time + "[FATAL   ]" + text
                           << time + "\033[31m[FATAL   ]\033[0m" + text
                           << timeHtml + "<font color=\"red\">[FATAL" + nbsp3 + "</font>" + text;
    // One ordinary space stays before the three no-break ones.
    QTest::newRow("info") << QtInfoMsg << time + "[INFO    ]" + text
                          << time + "\033[32m[INFO    ]\033[0m" + text
                          << timeHtml + "<font color=\"green\">[INFO " + nbsp3 + "</font>" + text;
}

void TestLogging::sinkFormsOfTheExample()
{
    QFETCH(QtMsgType, type);
    QFETCH(QString, plain);
    QFETCH(QString, console);
    QFETCH(QString, window);

    QCOMPARE(logLine(type, kExampleMessage, kExampleTime), plain);
    QCOMPARE(consoleLogLine(type, plain), console);
    QCOMPARE(windowLogLine(type, plain), window);
}

void TestLogging::unknownTypeHasNoTag()
{
    const auto unknown = static_cast<QtMsgType>(42);
    QVERIFY(logTag(unknown).isEmpty());
    const QString line = logLine(unknown, QStringLiteral("odd"), kExampleTime);
    QCOMPARE(line, QStringLiteral("2019.07.23 09:05:01.123: odd"));
    // Red like the errors, and the message itself is left whole.
    QCOMPARE(consoleLogLine(unknown, line),
             QStringLiteral("2019.07.23 09:05:01.123: \033[31m\033[0modd"));
    QVERIFY(windowLogLine(unknown, line).endsWith(QStringLiteral("</font>odd")));
}

void TestLogging::handlerFeedsEverySink_data()
{
    tagsAndPositions_data();
}

void TestLogging::handlerFeedsEverySink()
{
    QFETCH(QtMsgType, type);
    QFETCH(QString, tag);

    const QString path = openLogFile(logFolder(), QDateTime::currentDateTime());
    QVERIFY(!path.isEmpty());
    setLogOutputDialog(m_dialog.get());
    logTargets = LOG_TARGET_FILE | LOG_TARGET_CONSOLE | LOG_TARGET_OUTPUT_WINDOW;
    logLevel = 0;

    const QString message = QStringLiteral("章节已保存 (%1 字)").arg(1234);
    const QDateTime before = QDateTime::currentDateTime();
    emitMessage(type, message);
    const QDateTime after = QDateTime::currentDateTime();

    const QStringList fileLines = readLines(path);
    QCOMPARE(fileLines.size(), 1);
    const QString line = fileLines.first();
    QCOMPARE(line.mid(25, 11), tag);
    QCOMPARE(line.mid(36), message);

    // The time stamp is the local time of the call.
    const QDateTime stamp = QDateTime::fromString(line.left(23), QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz"));
    QVERIFY(stamp.isValid());
    QVERIFY2(before <= stamp && stamp <= after, qPrintable(line));

    QCOMPARE(QString::fromUtf8(m_console->data()), consoleLogLine(type, line) + QLatin1Char('\n'));
    // A call on the GUI thread reaches the window before the call returns.
    QCOMPARE(windowLines(*m_dialog), QStringList{line});
}

void TestLogging::markupIsEscapedOnlyInTheWindow_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("windowText");

    QTest::newRow("bold tag") << "<b>x</b>" << "&lt;b&gt;x&lt;/b&gt;";
    QTest::newRow("ampersand") << "a & b" << "a &amp; b";
    QTest::newRow("quotes") << "say \"hi\"" << "say &quot;hi&quot;";
    QTest::newRow("bracket after spaces") << "a   ]b" << "a&nbsp;&nbsp;&nbsp;]b";
    QTest::newRow("entity already") << "&nbsp;" << "&amp;nbsp;";
}

void TestLogging::markupIsEscapedOnlyInTheWindow()
{
    QFETCH(QString, message);
    QFETCH(QString, windowText);

    const QString path = openLogFile(logFolder(), QDateTime::currentDateTime());
    QVERIFY(!path.isEmpty());
    setLogOutputDialog(m_dialog.get());
    logTargets = LOG_TARGET_FILE | LOG_TARGET_CONSOLE | LOG_TARGET_OUTPUT_WINDOW;
    logLevel = 0;

    emitMessage(QtWarningMsg, message);

    const QStringList fileLines = readLines(path);
    QCOMPARE(fileLines.size(), 1);
    QCOMPARE(fileLines.first().mid(36), message);
    QVERIFY(QString::fromUtf8(m_console->data()).endsWith(QStringLiteral("\033[0m ") + message + '\n'));

    const QString html = windowLogLine(QtWarningMsg, fileLines.first());
    QVERIFY2(html.endsWith(QStringLiteral("</font> ") + windowText), qPrintable(html));
    // Rendered, the window shows the message as it was written.
    QCOMPARE(windowLines(*m_dialog), fileLines);
}

// --- Filtering -------------------------------------------------------------

void TestLogging::levelFilter_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QtMsgType>("type");
    QTest::addColumn<bool>("passes");

    const QList<QPair<QtMsgType, const char*>> types = {
        {QtDebugMsg, "debug"}, {QtWarningMsg, "warning"}, {QtCriticalMsg, "critical"},
        {QtFatalMsg, "fatal"}, {QtInfoMsg, "info"}};
    for (int level = -1; level <= 5; ++level) {
        for (const auto& type : types) {
            QTest::addRow("level %d, %s", level, type.second)
                << level << type.first << (static_cast<int>(type.first) >= level);
        }
    }
}

void TestLogging::levelFilter()
{
    QFETCH(int, level);
    QFETCH(QtMsgType, type);
    QFETCH(bool, passes);

    logTargets = LOG_TARGET_CONSOLE;
    logLevel = level;
    emitMessage(type, QStringLiteral("filtered?"));
    QCOMPARE(splitLines(m_console->data()).size(), passes ? 1 : 0);
}

void TestLogging::noTargetsWritesNothing_data()
{
    QTest::addColumn<int>("level");
    for (int level = -1; level <= 5; ++level)
        QTest::addRow("level %d", level) << level;
}

void TestLogging::noTargetsWritesNothing()
{
    QFETCH(int, level);

    const QString path = openLogFile(logFolder(), QDateTime::currentDateTime());
    QVERIFY(!path.isEmpty());
    setLogOutputDialog(m_dialog.get());
    logTargets = LOG_TARGET_NONE;
    logLevel = level;
    for (QtMsgType type : {QtDebugMsg, QtWarningMsg, QtCriticalMsg, QtFatalMsg, QtInfoMsg})
        emitMessage(type, QStringLiteral("nobody hears this"));
    QCoreApplication::processEvents();

    QCOMPARE(QFileInfo(path).size(), qint64(0));
    QVERIFY(m_console->data().isEmpty());
    QVERIFY(windowLines(*m_dialog).isEmpty());
}

void TestLogging::eachTargetBitFeedsItsSink_data()
{
    QTest::addColumn<int>("targets");
    for (int targets = 1; targets <= 7; ++targets)
        QTest::addRow("targets %d", targets) << targets;
}

void TestLogging::eachTargetBitFeedsItsSink()
{
    QFETCH(int, targets);

    const QString path = openLogFile(logFolder(), QDateTime::currentDateTime());
    QVERIFY(!path.isEmpty());
    setLogOutputDialog(m_dialog.get());
    logTargets = targets;
    emitMessage(QtWarningMsg, QStringLiteral("routed"));
    QCoreApplication::processEvents();

    QCOMPARE(readLines(path).size(), (targets & LOG_TARGET_FILE) ? 1 : 0);
    QCOMPARE(splitLines(m_console->data()).size(), (targets & LOG_TARGET_CONSOLE) ? 1 : 0);
    QCOMPARE(windowLines(*m_dialog).size(), (targets & LOG_TARGET_OUTPUT_WINDOW) ? 1 : 0);
}

void TestLogging::missingSinksAreSkippedSilently()
{
    // File and window requested but neither exists: the console still works.
    QVERIFY(logStream == nullptr);
    QVERIFY(logOutputDialog == nullptr);
    logTargets = LOG_TARGET_FILE | LOG_TARGET_CONSOLE | LOG_TARGET_OUTPUT_WINDOW;
    emitMessage(QtWarningMsg, QStringLiteral("first"));
    emitMessage(QtCriticalMsg, QStringLiteral("second"));
    QCoreApplication::processEvents();

    const QStringList console = splitLines(m_console->data());
    QCOMPARE(console.size(), 2);
    QVERIFY(console.at(1).endsWith(QStringLiteral(" second")));
    QVERIFY(windowLines(*m_dialog).isEmpty());
}

// --- Log file --------------------------------------------------------------

void TestLogging::logFileNameAndFolder()
{
    const QString dataLocation = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY(QDir().mkpath(dataLocation));
    QTemporaryDir dataDir(dataLocation + QStringLiteral("/logs-XXXXXX"));
    QVERIFY(dataDir.isValid());
    // The folder does not exist yet; opening creates it.
    const QString folder = dataDir.path() + QStringLiteral("/Log/nested");

    const QString path = openLogFile(folder, kExampleTime);
    QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("Veldmark_2019_07_23_09_05_01.log"));
    QCOMPARE(QFileInfo(path).absolutePath(), QFileInfo(folder).absoluteFilePath());
    QVERIFY(QFileInfo::exists(path));
    QVERIFY(logStream != nullptr);
    closeLogFile();
    QVERIFY(logStream == nullptr);
}

void TestLogging::existingLogIsNeverTruncated()
{
    logTargets = LOG_TARGET_FILE;
    const QString first = openLogFile(logFolder(), kExampleTime);
    emitMessage(QtWarningMsg, QStringLiteral("into the first"));
    const QStringList firstContent = readLines(first);
    QCOMPARE(firstContent.size(), 1);

    const QString second = openLogFile(logFolder(), kExampleTime);
    QCOMPARE(QFileInfo(second).fileName(), QStringLiteral("Veldmark_2019_07_23_09_05_01_2.log"));
    emitMessage(QtWarningMsg, QStringLiteral("into the second"));
    closeLogFile();

    const QString third = openLogFile(logFolder(), kExampleTime);
    QCOMPARE(QFileInfo(third).fileName(), QStringLiteral("Veldmark_2019_07_23_09_05_01_3.log"));
    closeLogFile();

    QCOMPARE(readLines(first), firstContent);
    const QStringList secondContent = readLines(second);
    QCOMPARE(secondContent.size(), 1);
    QVERIFY(secondContent.first().endsWith(QStringLiteral(" into the second")));
    QCOMPARE(QFileInfo(third).size(), qint64(0));
}

void TestLogging::logFileIsUtf8WithLfEndings()
{
    logTargets = LOG_TARGET_FILE;
    const QString path = openLogFile(logFolder(), kExampleTime);
    const QString chinese = QStringLiteral("打开文档《春江花月夜》失败：权限不足");
    emitMessage(QtCriticalMsg, chinese);
    emitMessage(QtWarningMsg, QStringLiteral("第二行"));
    closeLogFile();

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(!bytes.contains('\r'));
    QCOMPARE(bytes.count('\n'), 2);
    QVERIFY(bytes.endsWith('\n'));
    const QStringList lines = splitLines(bytes);
    QCOMPARE(lines.at(0).mid(36), chinese);
    QCOMPARE(lines.at(1).mid(36), QStringLiteral("第二行"));
    QVERIFY(bytes.contains(chinese.toUtf8()));
}

void TestLogging::closedLogTakesNoMoreLines()
{
    logTargets = LOG_TARGET_FILE | LOG_TARGET_CONSOLE;
    const QString path = openLogFile(logFolder(), kExampleTime);
    emitMessage(QtWarningMsg, QStringLiteral("before closing"));
    closeLogFile();
    emitMessage(QtWarningMsg, QStringLiteral("after closing"));

    QCOMPARE(readLines(path).size(), 1);
    QCOMPARE(splitLines(m_console->data()).size(), 2);
}

void TestLogging::uncreatableFolderFailsQuietly()
{
    const QString blocker = logFolder() + QStringLiteral("/blocker");
    {
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("a regular file, not a folder");
    }
    QVERIFY(openLogFile(blocker + QStringLiteral("/logs"), kExampleTime).isEmpty());
    QVERIFY(logStream == nullptr);

    logTargets = LOG_TARGET_FILE | LOG_TARGET_CONSOLE;
    emitMessage(QtWarningMsg, QStringLiteral("still fine"));
    QCOMPARE(splitLines(m_console->data()).size(), 1);
    QCOMPARE(QFileInfo(blocker).size(), qint64(28));
}

// --- Threads ---------------------------------------------------------------

// The sinks and the level are read by every thread that logs while the GUI
// thread switches the window sink: they are atomic.
void TestLogging::switchingTheWindowSinkWhileWorkersLog()
{
    static_assert(std::is_same<std::remove_cv_t<decltype(logTargets)>, std::atomic<int>>::value,
                  "logTargets is read on worker threads");
    static_assert(std::is_same<std::remove_cv_t<decltype(logLevel)>, std::atomic<int>>::value,
                  "logLevel is read on worker threads");
    logTargets = LOG_TARGET_CONSOLE;
    logLevel = 0;
    std::unique_ptr<QThread> worker(QThread::create([] {
        for (int i = 0; i < 2000; ++i)
            qInfo("switch worker line %05d", i);
    }));
    worker->start();
    while (!worker->isFinished())
        logTargets ^= LOG_TARGET_OUTPUT_WINDOW;
    QVERIFY(worker->wait(30000));
    QCOMPARE(QString::fromUtf8(m_console->data()).count(QStringLiteral("switch worker")), 2000);
}

void TestLogging::concurrentLinesStayWholeAndOrdered()
{
    constexpr int threadCount = 8;
    constexpr int linesPerThread = 5000;
    constexpr int payloadLength = 60;

    const QString path = openLogFile(logFolder(), QDateTime::currentDateTime());
    QVERIFY(!path.isEmpty());
    setLogOutputDialog(m_dialog.get());
    logTargets = LOG_TARGET_FILE | LOG_TARGET_OUTPUT_WINDOW;
    logLevel = 0;

    std::atomic<int> ready{0};
    std::vector<std::unique_ptr<QThread>> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back(QThread::create([t, &ready] {
            // A line that a torn write would visibly break: the payload
            // repeats one letter per thread.
            const QString payload(payloadLength, QChar('a' + t));
            ++ready;
            while (ready.load() < threadCount)
                QThread::yieldCurrentThread();
            for (int i = 0; i < linesPerThread; ++i)
                qInfo("worker %d line %05d %s", t, i, qPrintable(payload));
        }));
        threads.back()->start();
    }

    // The GUI thread logs too, so direct and queued window deliveries mix.
    int guiLines = 0;
    const int expectedLines = threadCount * linesPerThread;
    QElapsedTimer timer;
    timer.start();
    auto allFinished = [&threads] {
        for (const auto& thread : threads)
            if (!thread->isFinished())
                return false;
        return true;
    };
    while (timer.elapsed() < 60000) {
        if (!allFinished() && guiLines < 500)
            qDebug("gui line %05d", guiLines++);
        QCoreApplication::processEvents();
        if (allFinished() && windowLineCount(*m_dialog) == expectedLines + guiLines)
            break;
        QThread::msleep(1);
    }
    for (const auto& thread : threads)
        QVERIFY(thread->wait(10000));

    const QStringList fileLines = readLines(path);
    QCOMPARE(fileLines.size(), expectedLines + guiLines);

    const QRegularExpression workerLine(QStringLiteral(
        "^\\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}: \\[INFO    \\] "
        "worker (\\d) line (\\d{5}) ([a-h])\\3{%1}$").arg(payloadLength - 1));
    const QRegularExpression guiLine(QStringLiteral(
        "^\\d{4}\\.\\d{2}\\.\\d{2} \\d{2}:\\d{2}:\\d{2}\\.\\d{3}: \\[DEBUG   \\] gui line (\\d{5})$"));
    QVector<int> nextPerThread(threadCount, 0);
    int nextGui = 0;
    for (const QString& line : fileLines) {
        const QRegularExpressionMatch worker = workerLine.match(line);
        if (worker.hasMatch()) {
            const int t = worker.captured(1).toInt();
            QVERIFY2(t < threadCount, qPrintable(line));
            QCOMPARE(worker.captured(3).at(0), QChar('a' + t));
            QCOMPARE(worker.captured(2).toInt(), nextPerThread[t]++);
            continue;
        }
        const QRegularExpressionMatch gui = guiLine.match(line);
        QVERIFY2(gui.hasMatch(), qPrintable(QStringLiteral("malformed line: ") + line));
        QCOMPARE(gui.captured(1).toInt(), nextGui++);
    }
    for (int t = 0; t < threadCount; ++t)
        QCOMPARE(nextPerThread[t], linesPerThread);
    QCOMPARE(nextGui, guiLines);

    // Same lines, same order as the file.
    const QStringList shown = windowLines(*m_dialog);
    QCOMPARE(shown.size(), fileLines.size());
    for (int i = 0; i < fileLines.size(); ++i) {
        if (shown.at(i) != fileLines.at(i))
            QFAIL(qPrintable(QStringLiteral("window line %1 differs:\n  %2\n  %3")
                                 .arg(i).arg(shown.at(i), fileLines.at(i))));
    }
}

// --- Sinks raising Qt messages ---------------------------------------------

void TestLogging::nestedMessageDoesNotDeadlock_data()
{
    QTest::addColumn<bool>("complainingConsole");
    QTest::addColumn<bool>("forwarded");

    // Qt keeps a message raised inside its handler from coming back, but only
    // when Qt made the outer call; a handler that forwards to messageHandler
    // (a crash reporter, a test capture) gets no such help.
    QTest::newRow("console device warns, through Qt") << true << false;
    QTest::newRow("console device warns, forwarded") << true << true;
    QTest::newRow("log file closed underneath, through Qt") << false << false;
    QTest::newRow("log file closed underneath, forwarded") << false << true;
}

void TestLogging::nestedMessageDoesNotDeadlock()
{
    QFETCH(bool, complainingConsole);
    QFETCH(bool, forwarded);

    ComplainingBuffer complaining;
    complaining.open(QIODevice::WriteOnly);
    QFile closedFile(logFolder() + QStringLiteral("/closed.log"));
    QTextStream closedStream(&closedFile);
    // The handler must not keep pointing at these locals once the test ends.
    const auto restore = qScopeGuard([this] {
        setConsoleLogDevice(m_console.get());
        logStream = nullptr;
    });

    logTargets = LOG_TARGET_CONSOLE;
    if (complainingConsole) {
        setConsoleLogDevice(&complaining);
    } else {
        // Writing to a device that is not open makes QIODevice warn.
        QVERIFY(closedFile.open(QIODevice::WriteOnly));
        closedFile.close();
        logStream = &closedStream;
        logTargets |= LOG_TARGET_FILE;
    }
    QBuffer& console = complainingConsole ? complaining : *m_console;

    std::unique_ptr<QThread> worker(QThread::create([forwarded] {
        if (forwarded)
            messageHandler(QtWarningMsg, QMessageLogContext(), QStringLiteral("outer line"));
        else
            qWarning("outer line");
    }));
    worker->start();
    if (!worker->wait(10000)) {
        // The handler lock is held for good; nothing after this could run.
        qInstallMessageHandler(m_previousHandler);
        qFatal("messageHandler deadlocked on a message raised inside a sink");
    }

    // The handler is usable again on another thread.
    emitMessage(QtWarningMsg, QStringLiteral("next line"));

    const QStringList lines = splitLines(console.data());
    QCOMPARE(lines.size(), 2);
    QVERIFY(lines.at(0).endsWith(QStringLiteral(" outer line")));
    QVERIFY(lines.at(1).endsWith(QStringLiteral(" next line")));
    QVERIFY(!console.data().contains("complains"));
    QVERIFY(!console.data().contains("not open"));
}

TQ_TEST_MAIN(TestLogging)
#include "tst_logging.moc"
