// Start-up benchmark: time from process start to what the user waits for,
// Tarnquill against a bare Qt program (a main window with a menu bar and one
// QTextEdit) started the same way, alternating, both with the program's data
// folder as working directory. Each program reports the monotonic clock at its
// first paint and ends:
//   - no file: the first paint of the window;
//   - a file named on the command line (1 MB and 20 MB of Chinese text, UTF-8
//     and GB18030): the first paint of the editor's page holding the text; the
//     bare program reads, decodes and sets the text itself.
// Prints the medians, their ratio (goal below 1.5) and where Tarnquill's extra
// time goes: the window without a document, and loading the file.
//
//   xvfb-run -a build/bench/bench_startup [runs]

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTextCodec>
#include <QTextStream>

#include "BenchSupport.h"
#include "FirstPaintReport.h"

namespace {

// Milliseconds from starting the process to its first paint.
double runOnce(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
               const QString& workingDirectory)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(workingDirectory);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const long long started = FirstPaintReport::monotonicNanoseconds();
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitCode() != 0) {
        QTextStream(stderr) << program << " failed\n";
        std::exit(1);
    }
    for (const QByteArray& line : process.readAllStandardOutput().split('\n'))
        if (line.startsWith("first-paint-ns "))
            return double(line.mid(15).toLongLong() - started) / 1e6;
    QTextStream(stderr) << program << " reported no first paint\n";
    std::exit(1);
}

// Chinese prose-like text of about `bytes` bytes in UTF-8: sentences of common
// characters, a paragraph every few sentences.
QString chineseText(int bytes)
{
    static const QString pool = QStringLiteral(
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而"
        "方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应"
        "开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命"
        "此变条只没结解问意建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求"
        "老头基资边流路级少图山统接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光");
    BenchRandom random(20261209);
    QString text;
    text.reserve(bytes / 3 + 1024);
    int sentence = 0;
    while (text.size() * 3 < bytes) {
        const int length = 8 + int(random.next() % 24);
        for (int i = 0; i < length; ++i)
            text += pool.at(int(random.next()) % pool.size());
        text += random.next() % 3 ? QStringLiteral("，") : QStringLiteral("。");
        if (++sentence % 9 == 0)
            text += QLatin1Char('\n');
    }
    return text;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        std::exit(1);
    }
}

struct Pair
{
    double bare;
    double tarnquill;
};

} // namespace

int main(int argc, char** argv)
{
    BenchProgram bench(argc, argv);
    const int runs = bench.count(1, 7);
    const QString benchDir = QCoreApplication::applicationDirPath();
    const QString tarnquill = QDir(benchDir).absoluteFilePath("../bin/Tarnquill");
    const QString bare = QDir(benchDir).absoluteFilePath("bench_barewindow");
    const QString dataFolder = QFileInfo(tarnquill).absolutePath();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_CONFIG_HOME", bench.home().path() + "/config");
    environment.insert("XDG_DATA_HOME", bench.home().path() + "/data");
    environment.insert("TARNQUILL_QUIT_WHEN_SHOWN", "1");
    const bool offscreen = environment.value("QT_QPA_PLATFORM") == "offscreen" || !environment.contains("DISPLAY");
    if (!environment.contains("DISPLAY"))
        environment.insert("QT_QPA_PLATFORM", "offscreen");

    struct Case
    {
        QString name;
        QString file; // empty: no file
    };
    QVector<Case> cases{{"window, no file", QString()}};
    for (const int megabytes : {1, 20}) {
        const QString text = chineseText(megabytes * 1024 * 1024);
        const QString utf8 = bench.home().path() + QString("/文本%1MB-utf8.txt").arg(megabytes);
        const QString gb = bench.home().path() + QString("/文本%1MB-gb18030.txt").arg(megabytes);
        writeFile(utf8, text.toUtf8());
        writeFile(gb, QTextCodec::codecForName("GB18030")->fromUnicode(text));
        cases << Case{QString("%1 MB UTF-8").arg(megabytes), utf8}
              << Case{QString("%1 MB GB18030").arg(megabytes), gb};
    }

    QTextStream out(stdout);
    out << "platform: " << (offscreen ? "offscreen (run under xvfb-run for a real window system)" : "X11") << "\n"
        << "runs per program and case: " << runs << " (medians; the two programs alternate)\n"
        << "milliseconds from process start to the first paint of the window, or of the page holding the file\n";
    QVector<Pair> medians;
    for (const Case& c : cases) {
        const QStringList arguments = c.file.isEmpty() ? QStringList() : QStringList{c.file};
        // One warm-up run of each, so both start from a warm file cache.
        runOnce(bare, arguments, environment, dataFolder);
        runOnce(tarnquill, arguments, environment, dataFolder);
        QVector<double> bareTimes, tarnquillTimes;
        for (int i = 0; i < runs; ++i) {
            bareTimes << runOnce(bare, arguments, environment, dataFolder);
            tarnquillTimes << runOnce(tarnquill, arguments, environment, dataFolder);
        }
        const Pair pair{median(bareTimes), median(tarnquillTimes)};
        medians << pair;
        out << QString("%1  bare %2  Tarnquill %3  ratio %4 (goal below 1.5)\n")
                   .arg(c.name, -16)
                   .arg(pair.bare, 7, 'f', 1)
                   .arg(pair.tarnquill, 7, 'f', 1)
                   .arg(pair.tarnquill / pair.bare, 0, 'f', 2);
        out.flush();
    }
    // Where the extra time goes: the window without a document, then the file.
    const Pair window = medians.first();
    out << QString("Tarnquill's window without a document costs %1 ms more than the bare window\n")
               .arg(window.tarnquill - window.bare, 0, 'f', 1);
    for (int i = 1; i < cases.size(); ++i)
        out << QString("%1: loading and showing the file takes %2 ms in Tarnquill, %3 ms in the bare program\n")
                   .arg(cases.at(i).name)
                   .arg(medians.at(i).tarnquill - window.tarnquill, 0, 'f', 1)
                   .arg(medians.at(i).bare - window.bare, 0, 'f', 1);
    return 0;
}
