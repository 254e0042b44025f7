// Find in files over a tree of about 20,000 drafts and 200 MB (GB18030, UTF-8,
// UTF-8 with a mark, a few binaries) built by make_search_tree.py, against
// `grep -rF -e` with the patterns the program finds (the UTF-8 and the GB18030
// form of the search text; LC_ALL=C, so grep compares bytes) on the same tree in
// the same run, warm cache, best of three on both sides. Also `rg -F` where
// installed. Prints ratios, the time to the first progress window and the peak
// memory growth. Then the same for files that are one long line each (20 of
// about 2 MB in GB18030, ten planted words apiece), which the search decodes
// whole and in slices, against grep on the same files.
//
// usage: bench_findinfiles [TREE] [FILES] [MEGABYTES]

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProgressDialog>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextCodec>

#include <cstdio>

#include "FileSearch.h"
#include "SearchDialog.h"
#include "SettingsStore.h"

namespace {

const char* const Word = "塔泉笔";

long peakRssKb()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double timeProcess(const QString& program, const QStringList& arguments, int runs)
{
    double best = 1e18;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("LC_ALL", "C");
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        QElapsedTimer timer;
        timer.start();
        process.start(program, arguments);
        process.waitForFinished(-1);
        best = qMin(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// Records when the first progress window shows.
class FirstProgress : public QObject
{
public:
    QElapsedTimer clock;
    qint64 shownAt = -1;
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (shownAt < 0 && event->type() == QEvent::Show && qobject_cast<QProgressDialog*>(watched))
            shownAt = clock.nsecsElapsed();
        return false;
    }
};

// Files of one GB18030 line each, about 2 MB, with `planted` copies of Word at random places.
void makeOneLineFiles(const QString& dir, int files, int planted)
{
    QTextCodec* gb = QTextCodec::codecForName("GB18030");
    QRandomGenerator random(20261209);
    for (int n = 0; n < files; ++n) {
        QString line(1000000, QChar(0x5929)); // 天
        for (int i = 0; i < planted; ++i)
            line.replace(random.bounded(line.size() - 3), 3, QString::fromUtf8(Word));
        QFile file(QStringLiteral("%1/line%2.txt").arg(dir).arg(n));
        if (file.open(QIODevice::WriteOnly))
            file.write(gb->fromUnicode(line + QLatin1Char('\n')));
    }
}

// Best of `runs` searches of every file below dir by the engine; *hits gets the count.
double timeEngine(const QString& dir, int runs, int* hits)
{
    double best = 1e18;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        QList<SearchResult> results;
        FileSearch search({QString::fromUtf8(Word)}, {}, "GB18030");
        for (const QString& file : FileSearch::listFiles(dir, {"*"}))
            search.searchFile(file, file, &results);
        best = qMin(best, timer.nsecsElapsed() / 1e6);
        *hits = results.size();
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    qputenv("XDG_CONFIG_HOME", settingsDir.path().toLocal8Bit());
    QApplication app(argc, argv);
    SettingsStore::install();
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg)
            fprintf(stderr, "%s\n", qPrintable(message));
    });

    const QStringList args = app.arguments();
    const QString tree = args.value(1, QDir::tempPath() + "/tarnquill-search-tree");
    const QString files = args.value(2, "20000");
    const QString megabytes = args.value(3, "200");
    if (!QDir(tree).exists()) {
        printf("building %s (%s files, %s MB)...\n", qPrintable(tree), qPrintable(files), qPrintable(megabytes));
        fflush(stdout);
        const QString script = QStringLiteral(TQ_BENCH_SOURCE_DIR) + "/make_search_tree.py";
        if (QProcess::execute("python3", {script, tree, files, megabytes}) != 0) {
            fprintf(stderr, "could not build the tree\n");
            return 1;
        }
    }
    const QByteArray utf8 = QByteArray(Word);
    const QByteArray gb = QTextCodec::codecForName("GB18030")->fromUnicode(QString::fromUtf8(Word));

    // Warm the cache.
    timeProcess("grep", {"-rF", "-c", "-e", QString::fromUtf8(utf8), tree}, 1);
    const double grepOne = timeProcess("grep", {"-rF", "-e", QString::fromUtf8(utf8), tree}, 3);
    const double grepBoth = timeProcess(
        "grep", {"-rF", "-e", QString::fromUtf8(utf8), "-e", QString::fromLatin1(gb), tree}, 3);
    const bool haveRg = !QStandardPaths::findExecutable("rg").isEmpty();
    const double rg = haveRg ? timeProcess("rg", {"-F", "-uuu", QString::fromUtf8(utf8), tree}, 3) : -1;

    // The engine alone: walk and search every file.
    const long rssBefore = peakRssKb();
    int engineHits = 0;
    const double engine = timeEngine(tree, 3, &engineHits);

    // The page, as the user runs it, with the time to the first progress window.
    SearchDialog page;
    page.findChild<QComboBox*>("directoryComboBox")->setEditText(tree);
    page.findChild<QComboBox*>("fileComboBox")->setEditText("*");
    page.findChild<QComboBox*>("includeComboBox")->setEditText(QString::fromUtf8(Word));
    page.findChild<QComboBox*>("excludeComboBox")->setEditText(QString());
    double pageMs = 1e18;
    double firstProgressMs = 1e18;
    for (int run = 0; run < 3; ++run) {
        FirstProgress first;
        app.installEventFilter(&first);
        first.clock.start();
        page.find();
        pageMs = qMin(pageMs, first.clock.nsecsElapsed() / 1e6);
        firstProgressMs = qMin(firstProgressMs, first.shownAt / 1e6);
        app.removeEventFilter(&first);
    }
    const long rssAfter = peakRssKb();
    printf("tree: %s\n", qPrintable(tree));
    printf("grep -rF (UTF-8 and GB18030):     %8.1f ms  (baseline)\n", grepBoth);
    printf("grep -rF (UTF-8 form only):       %8.1f ms  ratio %.2f\n", grepOne, grepOne / grepBoth);
    if (haveRg)
        printf("rg -F (UTF-8 form only):          %8.1f ms  ratio %.2f\n", rg, rg / grepBoth);
    else
        printf("rg: not installed\n");
    printf("engine (walk + search):           %8.1f ms  ratio %.2f  hits %d (goal <= 3)\n", engine,
           engine / grepBoth, engineHits);
    printf("page find() (progress, table):    %8.1f ms  ratio %.2f  hits %d\n", pageMs, pageMs / grepBoth,
           page.results().size());
    printf("time to first progress window:    %8.1f ms\n", firstProgressMs);
    printf("peak RSS growth during searches:  %8ld kB\n", rssAfter - rssBefore);

    QTemporaryDir oneLineDir;
    makeOneLineFiles(oneLineDir.path(), 20, 10);
    const QStringList grepArguments = {"-rF", "-e", QString::fromUtf8(utf8), "-e", QString::fromLatin1(gb),
                                       oneLineDir.path()};
    timeProcess("grep", grepArguments, 1);
    const double grepLines = timeProcess("grep", grepArguments, 3);
    int lineHits = 0;
    const double engineLines = timeEngine(oneLineDir.path(), 3, &lineHits);
    printf("one-line files, grep -rF:         %8.1f ms  (baseline)\n", grepLines);
    printf("one-line files, engine:           %8.1f ms  ratio %.2f  hits %d (200 words planted)\n", engineLines,
           engineLines / grepLines, lineHits);
    return 0;
}
