// Marking runs over a whole document: the white-list check (33), the black-list
// check (32), synonym marking (64) and one highlight, English words (80), on a
// 1 MB multi-line Chinese document and on the same text as one paragraph, with 1 and 8 workers, from the command to the marked document
// on screen. Baseline, in the same run: jieba's precise-mode cut of the same
// text through Debian's python3-jieba (/usr/bin/python3), dictionary loaded
// beforehand; skipped when it is not installed. Medians of several samples.
//
//   build/bench/bench_marking [samples, default 3]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QUuid>
#include <algorithm>
#include <cstdio>

#include "BenchSupport.h"
#include "EmbellishRun.h"
#include "SharedCodes.h"
#include "WordDatabaseCatalogue.h"

namespace {

QStringList column(uint code, const QString& name, int limit)
{
    QStringList words;
    const QString connection = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(WordDatabaseCatalogue::fileName(code));
        if (db.open()) {
            QSqlQuery query(QStringLiteral("SELECT %1 FROM \"%2\" ORDER BY rowid LIMIT %3")
                                .arg(name, WordDatabaseCatalogue::tableName(code))
                                .arg(limit),
                            db);
            while (query.next())
                words << query.value(0).toString();
        }
    }
    QSqlDatabase::removeDatabase(connection);
    return words;
}

// Frequent words with punctuation, now and then a synonym, a misspelling or
// an English word; a line break every 40 to 160 characters.
QString documentText(int bytes)
{
    const QStringList common = column(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, "Word", 8000);
    const QStringList synonyms = column(TEMPLATE_TYPE_SQLITE_DB_SYNONYM, "Word01", 1000);
    const QStringList typos = column(TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, "TypoWord", 1000);
    const QStringList english = column(TEMPLATE_TYPE_SQLITE_DB_ENGLISH, "Word", 1000);
    const QString characters = QStringLiteral("的了在是我有他这个们中来上大为和国地到以说时要就出会可也你对生能而子那得于着下自之年过发后作里");
    BenchRandom random(1234);
    QString text;
    int lineLength = 0;
    int lineTarget = 40 + int(random.next() % 120);
    int utf8 = 0;
    while (utf8 < bytes) {
        QString piece;
        const quint32 pick = random.next() % 100;
        if (pick < 3 && !synonyms.isEmpty())
            piece = synonyms.at(int(random.next() % quint32(synonyms.size())));
        else if (pick < 4 && !typos.isEmpty())
            piece = typos.at(int(random.next() % quint32(typos.size())));
        else if (pick < 5 && !english.isEmpty())
            piece = QLatin1Char(' ') + english.at(int(random.next() % quint32(english.size()))) + QLatin1Char(' ');
        else if (pick < 25)
            piece = characters.at(int(random.next() % quint32(characters.size())));
        else
            piece = common.at(int((random.next() * random.next()) % quint32(common.size())));
        if (random.next() % 8 == 0)
            piece += random.next() % 3 == 0 ? QStringLiteral("。") : QStringLiteral("，");
        text += piece;
        utf8 += piece.toUtf8().size();
        lineLength += piece.size();
        if (lineLength >= lineTarget) {
            text += QLatin1Char('\n');
            ++utf8;
            lineLength = 0;
            lineTarget = 40 + int(random.next() % 120);
        }
    }
    return text;
}

// jieba's precise mode on the file, dictionary loaded first; -1 without jieba.
double jiebaSeconds(const QString& file, const QString& cacheFolder, int samples)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/python3")))
        return -1;
    const QString script = QStringLiteral(
        "import sys, time, logging, statistics\n"
        "try:\n"
        "    import jieba\n"
        "except ImportError:\n"
        "    print(-1); sys.exit(0)\n"
        "jieba.setLogLevel(logging.WARNING)\n"
        "jieba.dt.tmp_dir = sys.argv[2]\n"
        "jieba.initialize()\n"
        "text = open(sys.argv[1], encoding='utf-8').read()\n"
        "times = []\n"
        "for i in range(int(sys.argv[3])):\n"
        "    start = time.perf_counter(); words = jieba.lcut(text); times.append(time.perf_counter() - start)\n"
        "print(statistics.median(times))\n");
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"), script, file, cacheFolder, QString::number(samples)});
    if (!python.waitForFinished(600000))
        return -1;
    return QString::fromLatin1(python.readAllStandardOutput()).trimmed().toDouble();
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const QTemporaryDir& home = program.home();
    const int samples = program.count(1, 3);
    // The word databases lie beside the program.
    QDir::setCurrent(QCoreApplication::applicationDirPath() + QStringLiteral("/../bin"));
    if (!QFile::exists(WordDatabaseCatalogue::fileName(TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST))) {
        std::fprintf(stderr, "word databases not found in %s\n", qPrintable(QDir::currentPath()));
        return 1;
    }

    const QString lines = documentText(1 << 20);
    QString paragraph = lines;
    paragraph.replace(QLatin1Char('\n'), QStringLiteral("。"));
    const QString lineFile = home.filePath(QStringLiteral("lines.txt"));
    const QString paragraphFile = home.filePath(QStringLiteral("paragraph.txt"));
    for (const auto& [path, text] : {std::make_pair(lineFile, lines), std::make_pair(paragraphFile, paragraph)}) {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(text.toUtf8());
    }
    std::printf("multi-line document: %.2f MB UTF-8, %d characters, %d lines; single paragraph: %.2f MB\n",
                lines.toUtf8().size() / 1048576.0, int(lines.size()), int(lines.count(QLatin1Char('\n')) + 1),
                paragraph.toUtf8().size() / 1048576.0);

    const double jiebaLines = jiebaSeconds(lineFile, home.path(), samples);
    const double jiebaParagraph = jiebaSeconds(paragraphFile, home.path(), samples);
    if (jiebaLines > 0)
        std::printf("baseline, jieba precise mode: multi-line %.3f s, single paragraph %.3f s\n", jiebaLines,
                    jiebaParagraph);
    else
        std::printf("baseline, jieba precise mode: not installed, skipped\n");

    QTextEdit editor;
    editor.resize(1000, 700);
    editor.show();
    EmbellishRun marking;
    marking.options.progressDelay = 1000000;

    struct Code
    {
        uint code;
        const char* name;
    };
    const Code codes[] = {{33, "white list (33)"}, {32, "black list (32)"}, {64, "synonyms (64)"},
                          {80, "English (80)"}};
    std::printf("\n%-18s %-10s %7s %10s %14s %14s\n", "run", "document", "workers", "median s", "x jieba lines",
                "paragraph/lines");
    for (const Code& code : codes) {
        double lineTimes[2] = {0, 0};
        for (int document = 0; document < 2; ++document) {
            for (int w = 0; w < 2; ++w) {
                const int workers = w == 0 ? 1 : 8;
                marking.options.workerCount = workers;
                QVector<double> times;
                QString message;
                for (int sample = 0; sample <= samples; ++sample) {
                    editor.setPlainText(document == 0 ? lines : paragraph);
                    QCoreApplication::processEvents();
                    QElapsedTimer timer;
                    timer.start();
                    marking.run(&editor, code.code, true, nullptr);
                    QCoreApplication::processEvents(); // the marked document laid out and painted
                    if (sample > 0) // the first one warms the word table cache
                        times << seconds(timer);
                    message = marking.message();
                }
                const double time = median(times);
                if (document == 0)
                    lineTimes[w] = time;
                std::printf("%-18s %-10s %7d %10.3f %14s %14s   %s\n", code.name,
                            document == 0 ? "lines" : "paragraph", workers, time,
                            jiebaLines > 0 ? qPrintable(QString::number(time / jiebaLines, 'f', 2) + "x") : "-",
                            document == 1 ? qPrintable(QString::number(time / lineTimes[w], 'f', 2) + "x") : "",
                            qPrintable(message));
                std::fflush(stdout);
            }
        }
    }
    return 0;
}
