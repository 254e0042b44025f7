#pragma once
// The program's one Qt message handler: filters by level and writes each
// message as one line of a fixed layout to the log file, the console and the
// log output window.

#include <QFile>
#include <QString>
#include <QTextStream>
#include <QtGlobal>

#include <atomic>

class OutputDialogEx;

enum LogTargetMask {
    LOG_TARGET_NONE = 0,
    LOG_TARGET_FILE = 1,
    LOG_TARGET_CONSOLE = 2,
    LOG_TARGET_OUTPUT_WINDOW = 4,
};

// Read by the message handler on every thread that logs, written by the GUI thread.
extern std::atomic<int> logTargets;    // LogTargetMask bits in force
extern std::atomic<int> logLevel;      // lowest QtMsgType number written (1 until start-up reads "LogLevel")
extern QTextStream* logStream;         // stream on the log file, or null
extern OutputDialogEx* logOutputDialog; // receives window lines, or null

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& message);

// Pure line builders (also used by the log viewer and the tests).
QString logTag(QtMsgType type);                 // 11 characters, empty for unknown types
QString logLine(QtMsgType type, const QString& message, const QDateTime& time);
QString consoleLogLine(QtMsgType type, const QString& plainLine);
QString windowLogLine(QtMsgType type, const QString& plainLine);

// Sets or clears the window sink under the handler's lock.
void setLogOutputDialog(OutputDialogEx* dialog);

// Opens a new log file "Veldmark_yyyy_MM_dd_hh_mm_ss.log" in the folder (never
// truncating an existing file: "_2", "_3"... are added before ".log") and points
// logStream at it, written in UTF-8. Returns the file name, or empty on failure.
QString openLogFile(const QString& folder, const QDateTime& startTime);
void closeLogFile();

// Where the console sink writes (standard output by default); tests redirect it.
void setConsoleLogDevice(QIODevice* device);
