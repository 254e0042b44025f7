// The companion analysis programs on 1 MB of Chinese text, each run as a
// process the way the program runs them, against baselines run the same way:
//
//   charfreq   CharFreqCounter (Chinese characters only) against python3
//              counting the same characters with collections.Counter and
//              printing the same listing; goal within 0.5x.
//   jieba      JieBa's "freq" mode against a bare jieba.lcut of the same text
//              (both with jieba's dictionary cache warm); goal within 1.3x.
//   wordcloud  WordCloud on a 1200 x 1200 mask with up to 1,000 words and a
//              largest font of 100 pixels; goal under 3 s.
//
// Medians of several samples. Usage: bench_analysistools [samples, default 5]

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "BenchSupport.h"

namespace {

const char* const pythonCount = R"(
import collections, re, sys
text = open(sys.argv[1], encoding="utf-8").read()
chinese = re.compile("[\u3007\u3400-\u4dbf\u4e00-\u9fff\uf900-\ufaff\U00020000-\U000323af\U0002f800-\U0002fa1f]")
counts = collections.Counter(chinese.findall(text))
total = sum(counts.values())
out = ["title", "total", "heading"]
out.extend("%s ->%.2f%%" % (c, 100.0 * n / total) for c, n in sorted(counts.items(), key=lambda i: (-i[1], i[0])))
print("\n".join(out))
)";

const char* const pythonCut = R"(
import jieba, logging, sys
jieba.setLogLevel(logging.WARNING)
jieba.dt.tmp_dir = sys.argv[2]
jieba.lcut(open(sys.argv[1], encoding="utf-8").read())
)";

// About 1 MB of text: words of the white list, frequent ones more often,
// in sentences and paragraphs.
QByteArray chineseText(int bytes)
{
    QFile source(QStringLiteral(TQ_BENCH_SOURCE_DIR "/../data/dictionary/白名单.tsv"));
    QStringList words;
    if (source.open(QIODevice::ReadOnly))
        for (const QByteArray& line : source.readAll().split('\n'))
            if (!line.startsWith('#') && !line.isEmpty() && line != "Word")
                words << QString::fromUtf8(line.split('\t').first());
    if (words.size() > 20000)
        words = words.mid(0, 20000);
    BenchRandom random(20240611);
    QString text;
    int sentence = 0;
    while (text.toUtf8().size() < bytes) {
        QString paragraph;
        for (int s = 0; s < 6; ++s, ++sentence) {
            const int length = 6 + int(random.next() % 12);
            for (int w = 0; w < length; ++w) {
                // Squared uniform: low ranks (frequent words) come up far more often.
                const double u = random.next() / 32768.0;
                paragraph += words.at(int(u * u * words.size()));
                if (w == length / 2)
                    paragraph += QStringLiteral("，");
            }
            paragraph += sentence % 5 == 4 ? QStringLiteral("？") : QStringLiteral("。");
        }
        text += paragraph + QLatin1Char('\n');
    }
    return text.toUtf8();
}

double runOnce(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment,
               QByteArray* output = nullptr)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(600000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAll().constData());
        return -1;
    }
    const double elapsed = seconds(timer);
    if (output)
        *output = process.readAll();
    return elapsed;
}

double median(int samples, const std::function<double()>& run)
{
    std::vector<double> times;
    for (int i = 0; i < samples; ++i)
        times.push_back(run());
    std::sort(times.begin(), times.end());
    return times.at(times.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    QTemporaryDir home;
    QCoreApplication application(argc, argv);
    const int samples = argc > 1 ? qMax(1, atoi(argv[1])) : 5;
    const QString tools = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/Utilities");
    const QString python = QStringLiteral("/usr/bin/python3");

    QDir(home.path()).mkpath(QStringLiteral("cache"));
    QDir(home.path()).mkpath(QStringLiteral("tmp"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CACHE_HOME"), home.path() + QStringLiteral("/cache"));
    environment.insert(QStringLiteral("TMPDIR"), home.path() + QStringLiteral("/tmp"));

    const QByteArray text = chineseText(1 << 20);
    const QString input = home.path() + QStringLiteral("/text.txt");
    const QString inputWithMark = home.path() + QStringLiteral("/text-bom.txt");
    {
        QFile file(input);
        file.open(QIODevice::WriteOnly);
        file.write(text);
        QFile marked(inputWithMark);
        marked.open(QIODevice::WriteOnly);
        marked.write(QByteArray("\xEF\xBB\xBF") + text);
    }
    std::printf("text: %.2f MB, %d characters\n", text.size() / 1048576.0, QString::fromUtf8(text).size());

    // Character frequencies.
    const QString counter = tools + QStringLiteral("/CharFreqCounter/CharFreqCounter");
    const double ours = median(samples, [&] { return runOnce(counter, {"false", input}, environment); });
    const double baseline = median(samples, [&] {
        return runOnce(python, {"-c", QString::fromUtf8(pythonCount), input}, environment);
    });
    std::printf("charfreq   CharFreqCounter %.3f s, python3 Counter %.3f s, ratio %.2f (goal <= 0.5)\n", ours, baseline,
                ours / baseline);

    // Word frequencies: one run first to build jieba's cache for both.
    const QString jieba = tools + QStringLiteral("/JieBa/JieBa");
    runOnce(jieba, {"seg", inputWithMark}, environment);
    const QString cache = home.path() + QStringLiteral("/cache/Tarnquill/jieba");
    const double freq = median(samples, [&] { return runOnce(jieba, {"freq", "false", "false", "false", input}, environment); });
    const double cut = median(samples, [&] {
        return runOnce(python, {"-c", QString::fromUtf8(pythonCut), input, cache}, environment);
    });
    std::printf("jieba      JieBa freq %.3f s, bare jieba.lcut %.3f s, ratio %.2f (goal <= 1.3)\n", freq, cut, freq / cut);

    // Word cloud on a 1200-pixel mask.
    const QString mask = home.path() + QStringLiteral("/mask.png");
    QImage(QStringLiteral(TQ_BENCH_SOURCE_DIR "/../WordCloudImages/Heart.png"))
        .scaled(1200, 1200, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .save(mask);
    const QString cloud = tools + QStringLiteral("/WordCloud/WordCloud");
    QByteArray said;
    const double drawn = median(samples, [&] {
        return runOnce(cloud, {mask, "#FFFFFF", "100", "1000", inputWithMark}, environment, &said);
    });
    std::printf("wordcloud  %.3f s (goal < 3 s): %s", drawn, said.constData());
    return 0;
}
