#include "Logging.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QMetaObject>
#include <QMutex>
#include <QMutexLocker>
#include <QStringList>
#include <QThread>

#include <cstdio>

#include "OutputDialogEx.h"

std::atomic<int> logTargets{LOG_TARGET_NONE};
std::atomic<int> logLevel{1};
QTextStream* logStream = nullptr;
OutputDialogEx* logOutputDialog = nullptr;

namespace {

// Layout of a plain line: the time stamp ends with ": " at 23-24, the tag
// starts at 25, the message follows the tag.
constexpr int kTagStart = 25;

// One lock for every sink, so the file, console and window see the lines in
// the same order and a line is never interleaved with another.
QMutex handlerMutex;

// Set while this thread is inside the handler (or feeding the window), so a
// Qt message raised by a sink does not try to take handlerMutex again. Qt has
// a guard of its own, but only for calls it made itself: a handler that
// forwards to this one, or the queued window drain, is not covered by it.
thread_local bool insideHandler = false;

QFile* logFile = nullptr;               // owned; logStream writes into it
QIODevice* consoleDevice = nullptr;     // null: standard output

// Window lines waiting for the GUI thread, in file order.
QStringList pendingWindowLines;
bool windowDrainPosted = false;

class InsideHandlerScope
{
public:
    InsideHandlerScope() : m_previous(insideHandler) { insideHandler = true; }
    ~InsideHandlerScope() { insideHandler = m_previous; }

private:
    bool m_previous;
};

bool onGuiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

// Runs on the GUI thread only, so the lines reach the widget one batch after
// the other and in the order they were queued.
void drainWindowLines()
{
    QStringList lines;
    OutputDialogEx* dialog = nullptr;
    {
        QMutexLocker locker(&handlerMutex);
        lines.swap(pendingWindowLines);
        windowDrainPosted = false;
        dialog = logOutputDialog;
    }
    if (!dialog)
        return;
    // A message raised while appending would otherwise start a second drain
    // in the middle of this one.
    InsideHandlerScope scope;
    for (const QString& line : qAsConst(lines))
        dialog->appendLog(line);
}

void writeToStandardError(const QString& message)
{
    // For what the sinks cannot take (or do not): stderr still shows what went wrong.
    const QByteArray bytes = message.toLocal8Bit();
    std::fprintf(stderr, "%s\n", bytes.constData());
    std::fflush(stderr);
}

// Where the tag's "]" ends (before its trailing space); for an unknown type
// there is no tag and the coloured span is empty.
int tagEnd(QtMsgType type)
{
    const int tagLength = logTag(type).size();
    return kTagStart + (tagLength > 0 ? tagLength - 1 : 0);
}

// Detaches the open log under the lock; the caller closes it after releasing
// the lock, since flushing or closing may itself raise a Qt message.
void takeLogFileLocked(QTextStream** stream, QFile** file)
{
    *stream = logStream;
    *file = logFile;
    logStream = nullptr;
    logFile = nullptr;
}

void closeDetachedLog(QTextStream* stream, QFile* file)
{
    if (stream)
        stream->flush();
    delete stream;
    if (file)
        file->close();
    delete file;
}

} // namespace

QString logTag(QtMsgType type)
{
    switch (type) {
    case QtDebugMsg:
        return QStringLiteral("[DEBUG   ] ");
    case QtWarningMsg:
        return QStringLiteral("[WARNING ] ");
    case QtCriticalMsg:
        return QStringLiteral("[CRITICAL] ");
    case QtFatalMsg:
        return QStringLiteral("[FATAL   ] ");
    case QtInfoMsg:
        return QStringLiteral("[INFO    ] ");
    }
    return QString();
}

QString logLine(QtMsgType type, const QString& message, const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz")) + QStringLiteral(": ")
        + logTag(type) + message;
}

QString consoleLogLine(QtMsgType type, const QString& plainLine)
{
    QString colour;
    switch (type) {
    case QtDebugMsg:
        colour = QStringLiteral("\033[34m");
        break;
    case QtWarningMsg:
        colour = QStringLiteral("\033[33m");
        break;
    case QtInfoMsg:
        colour = QStringLiteral("\033[32m");
        break;
    default:
        colour = QStringLiteral("\033[31m");
        break;
    }
    QString line = plainLine;
    // Clamped so a line shorter than the layout is not padded with spaces.
    const int start = qMin(kTagStart, line.size());
    line.insert(start, colour);
    const int end = qMin(tagEnd(type) + colour.size(), line.size());
    line.insert(end, QStringLiteral("\033[0m"));
    return line;
}

QString windowLogLine(QtMsgType type, const QString& plainLine)
{
    QString colour;
    switch (type) {
    case QtDebugMsg:
        colour = QStringLiteral("<font color=\"blue\">");
        break;
    case QtWarningMsg:
        colour = QStringLiteral("<font color=\"orange\">");
        break;
    case QtInfoMsg:
        colour = QStringLiteral("<font color=\"green\">");
        break;
    default:
        colour = QStringLiteral("<font color=\"red\">");
        break;
    }
    const QString fontEnd = QStringLiteral("</font>");
    const int messageStart = qMin(kTagStart + logTag(type).size(), plainLine.size());
    // Only the message can carry markup; the time stamp and tag are ours.
    QString line = plainLine.left(messageStart) + plainLine.mid(messageStart).toHtmlEscaped();
    line.insert(qMin(tagEnd(type), line.size()), fontEnd);
    line.insert(qMin(kTagStart, line.size()), colour);
    line.insert(qMin(kTagStart - 1, line.size()), fontEnd);
    line.insert(0, QStringLiteral("<font color=\"darkcyan\">"));
    // Rich text collapses runs of spaces; keep the tags aligned.
    line.replace(QStringLiteral("   ]"), QStringLiteral("&nbsp;&nbsp;&nbsp;]"));
    return line;
}

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    Q_UNUSED(context)
    // Hot path: most messages are filtered out, so nothing is locked or
    // formatted before these checks.
    const int targets = logTargets;
    if (targets == 0 || static_cast<int>(type) < logLevel) {
        // The toolkit ends the process after a fatal message: its reason is
        // never lost, whatever the log settings.
        if (type == QtFatalMsg)
            writeToStandardError(message);
        return;
    }

    if (insideHandler) {
        writeToStandardError(message);
        return;
    }
    InsideHandlerScope scope;

    bool drainHere = false;
    bool kept = false; // by the file or the console, which outlive the process
    {
        QMutexLocker locker(&handlerMutex);
        const QString line = logLine(type, message, QDateTime::currentDateTime());

        if ((targets & LOG_TARGET_FILE) && logStream) {
            *logStream << line << '\n';
            logStream->flush();
            kept = true;
        }

        if (targets & LOG_TARGET_CONSOLE) {
            kept = true;
            QByteArray bytes = consoleLogLine(type, line).toUtf8();
            bytes.append('\n');
            if (consoleDevice) {
                consoleDevice->write(bytes);
                // Not every device buffers, but those that do must not hold a line back.
                if (QFileDevice* file = qobject_cast<QFileDevice*>(consoleDevice))
                    file->flush();
            } else {
                std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
                std::fflush(stdout);
            }
        }

        if ((targets & LOG_TARGET_OUTPUT_WINDOW) && logOutputDialog
            && QCoreApplication::instance()) {
            pendingWindowLines.append(windowLogLine(type, line));
            if (onGuiThread()) {
                drainHere = true;
            } else if (!windowDrainPosted) {
                windowDrainPosted = true;
                QMetaObject::invokeMethod(QCoreApplication::instance(), &drainWindowLines,
                                          Qt::QueuedConnection);
            }
        }
    }
    // Outside the lock so worker threads are not held up by the widget.
    if (drainHere)
        drainWindowLines();
    if (type == QtFatalMsg && !kept)
        writeToStandardError(message);
}

void setLogOutputDialog(OutputDialogEx* dialog)
{
    QMutexLocker locker(&handlerMutex);
    logOutputDialog = dialog;
    if (!dialog)
        pendingWindowLines.clear();
}

QString openLogFile(const QString& folder, const QDateTime& startTime)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return QString();

    const QString base = QStringLiteral("Veldmark_")
        + startTime.toString(QStringLiteral("yyyy_MM_dd_hh_mm_ss"));
    auto* file = new QFile;
    bool opened = false;
    // NewOnly never truncates a log from an earlier run started in the same second.
    for (int n = 1; n < 10000 && !opened; ++n) {
        const QString suffix = n == 1 ? QString() : QLatin1Char('_') + QString::number(n);
        const QString name = base + suffix + QStringLiteral(".log");
        file->setFileName(dir.filePath(name));
        if (file->open(QIODevice::WriteOnly | QIODevice::NewOnly))
            opened = true;
        else if (!file->exists())
            break; // not a name clash: the folder is not writable
    }
    if (!opened) {
        delete file;
        return QString();
    }

    auto* stream = new QTextStream(file);
    stream->setCodec("UTF-8");

    const QString path = file->fileName();
    QTextStream* oldStream = nullptr;
    QFile* oldFile = nullptr;
    {
        QMutexLocker locker(&handlerMutex);
        takeLogFileLocked(&oldStream, &oldFile);
        logFile = file;
        logStream = stream;
    }
    closeDetachedLog(oldStream, oldFile);
    return path;
}

void closeLogFile()
{
    QTextStream* stream = nullptr;
    QFile* file = nullptr;
    {
        QMutexLocker locker(&handlerMutex);
        takeLogFileLocked(&stream, &file);
    }
    closeDetachedLog(stream, file);
}

void setConsoleLogDevice(QIODevice* device)
{
    QMutexLocker locker(&handlerMutex);
    consoleDevice = device;
}
