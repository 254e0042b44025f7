// Start-up benchmark: time from process start to the main window's first paint
// (each program reports the monotonic clock at that moment and ends), Tarnquill
// against a bare Qt main window with a menu bar and one QTextEdit, alternating
// runs in the same process, both with the program's data folder as working
// directory. Prints medians and their ratio.
//
//   xvfb-run -a build/bench/bench_startup [runs]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>

#include "FirstPaintReport.h"

namespace {

// Milliseconds from starting the process to its first paint.
double runOnce(const QString& program, const QProcessEnvironment& environment, const QString& workingDirectory)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const long long started = FirstPaintReport::monotonicNanoseconds();
    process.start(program, QStringList());
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        QTextStream(stderr) << program << " failed\n";
        std::exit(1);
    }
    const QList<QByteArray> lines = process.readAllStandardOutput().split('\n');
    for (const QByteArray& line : lines)
        if (line.startsWith("first-paint-ns "))
            return (line.mid(15).toLongLong() - started) / 1e6;
    QTextStream(stderr) << program << " reported no first paint\n";
    std::exit(1);
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 15;
    const QString benchDir = QCoreApplication::applicationDirPath();
    const QString tarnquill = QDir(benchDir).absoluteFilePath("../bin/Tarnquill");
    const QString bare = QDir(benchDir).absoluteFilePath("bench_barewindow");

    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", home.path() + "/config");
    environment.insert("XDG_DATA_HOME", home.path() + "/data");
    environment.insert("TARNQUILL_QUIT_WHEN_SHOWN", "1");
    if (!environment.contains("DISPLAY"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");

    // One warm-up run of each so that both start from a warm file cache.
    const QString dataFolder = QFileInfo(tarnquill).absolutePath();
    runOnce(bare, environment, dataFolder);
    runOnce(tarnquill, environment, dataFolder);
    QVector<double> bareTimes, tarnquillTimes;
    for (int i = 0; i < runs; ++i) {
        bareTimes << runOnce(bare, environment, dataFolder);
        tarnquillTimes << runOnce(tarnquill, environment, dataFolder);
    }
    const double bareMedian = median(bareTimes);
    const double tarnquillMedian = median(tarnquillTimes);
    QTextStream out(stdout);
    out << "platform: " << (environment.contains("QT_QPA_PLATFORM") ? environment.value("QT_QPA_PLATFORM") : "xcb")
        << " (run under xvfb-run for a real window system; offscreen makes the bare window nearly free)\n"
        << "runs: " << runs << "\n"
        << "time from process start to the first paint of the main window\n"
        << "bare Qt window median:  " << QString::number(bareMedian, 'f', 1) << " ms\n"
        << "Tarnquill median:       " << QString::number(tarnquillMedian, 'f', 1) << " ms\n"
        << "ratio (goal below 1.5): " << QString::number(tarnquillMedian / bareMedian, 'f', 2) << "\n";
    return 0;
}
