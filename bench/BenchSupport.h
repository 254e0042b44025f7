#pragma once
// Shared scaffolding of the benchmarks: a private settings and data folder,
// timing helpers and a reproducible pseudo-random sequence for generated text.

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QTextEdit>
#include <QElapsedTimer>
#include <QSettings>
#include <QString>
#include <QTemporaryDir>
#include <QVector>

#include <algorithm>
#include <cstdio>

#include <QFile>

#include "Logging.h"
#include "SettingsStore.h"
#include "TextEncoding.h"

// Points the settings and data folders into `home` and picks the offscreen
// platform unless another is set. Must run before the application object exists.
inline void prepareBenchEnvironment(const QTemporaryDir& home)
{
    qputenv("XDG_CONFIG_HOME", (home.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// Names the program, installs the settings store in `home` and keeps Qt's
// debug messages off the console. Runs once the application object exists.
inline void installBenchSettings(const QTemporaryDir& home)
{
    QCoreApplication::setOrganizationName("Quenloft");
    QCoreApplication::setApplicationName("TarnquillBench");
    SettingsStore::install();
    QSettings::setPath(SettingsStore::format(), QSettings::UserScope, home.path() + "/config");
}

inline void printNonDebugMessages()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
}

inline double seconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e9;
}

// Milliseconds one call of f takes.
template <typename F>
double milliseconds(F f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The middle value (the upper one of the two middle values of an even count).
template <typename Values>
double median(Values values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

// One keystroke (character i of a run of ideographs) in an editor, until it is
// painted: the editor's viewport is repainted and pending events (status bar
// labels and the like) are run. Milliseconds.
inline double keystrokeMilliseconds(QTextEdit* edit, int i)
{
    QElapsedTimer timer;
    timer.start();
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x4E2D + i)));
    QApplication::sendEvent(edit, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(QChar(0x4E2D + i)));
    QApplication::sendEvent(edit, &release);
    edit->viewport()->repaint();
    QApplication::processEvents();
    return double(timer.nsecsElapsed()) / 1e6;
}

// The smallest result of `runs` calls of f.
template <typename F>
double best(int runs, F f)
{
    double result = 1e100;
    for (int i = 0; i < runs; ++i)
        result = std::min(result, f());
    return result;
}

// A linear congruential sequence of 15-bit numbers: the same text on every run.
class BenchRandom
{
public:
    explicit BenchRandom(quint32 seed) : m_state(seed) {}
    quint32 next()
    {
        m_state = m_state * 1103515245u + 12345u;
        return (m_state >> 16) & 0x7FFF;
    }

private:
    quint32 m_state;
};

// The program's own message handler with every sink off: log lines are built
// and dropped, as in a normal run at the default level.
inline void dropProgramLog()
{
    logTargets = LOG_TARGET_NONE;
    qInstallMessageHandler(messageHandler);
}

// The start every benchmark's main() shares: private settings and data folders
// (set before the application object exists), the application, the settings
// store, and the program's log either reduced to Qt's non-debug lines on the
// console or dropped whole.
class BenchProgram
{
public:
    enum Log { NonDebugLines, NoLog };

    BenchProgram(int& argc, char** argv, Log log = NonDebugLines)
        : m_argc(argc), m_argv(argv), m_app(argc, argv)
    {
        installBenchSettings(m_home.dir);
        if (log == NoLog)
            dropProgramLog();
        else
            printNonDebugMessages();
    }

    const QTemporaryDir& home() const { return m_home.dir; }

    // The positive count given as argument `index`, or `fallback`.
    int count(int index, int fallback) const
    {
        const int value = index < m_argc ? QString::fromLocal8Bit(m_argv[index]).toInt() : 0;
        return value > 0 ? value : fallback;
    }

private:
    struct Home
    {
        Home() { prepareBenchEnvironment(dir); }
        QTemporaryDir dir;
    };

    Home m_home; // before m_app: the environment must be set first
    int& m_argc; // main's count, which the application shortens by Qt's own options
    char** m_argv;
    QApplication m_app;
};

// A text file given on a benchmark's command line: UTF-8 with or without its
// mark, otherwise GB18030.
inline QString readBenchText(const QString& path, bool* ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    const QByteArray data = file.readAll();
    if (TextEncoding::hasUtf8Bom(data))
        return TextEncoding::decode(data, QStringLiteral("UTF-8"), 3);
    return TextEncoding::decode(data, TextEncoding::isValidUtf8(data) ? QStringLiteral("UTF-8")
                                                                      : QStringLiteral("GB18030"));
}
