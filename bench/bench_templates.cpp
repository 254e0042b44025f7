// Template loading benchmark: a template of 100,000 contents (10,000 entries of
// 10) loaded by DomParser from a plain and from a Base64 file, and 10,000
// random draws (one per entry), each against QDomDocument::setContent alone on
// the same XML bytes, measured alternately in this process. Prints medians
// and ratios (goal: within 1.5).
//
//   build/bench/bench_templates [runs]

#include <QApplication>
#include <QDomDocument>
#include <QFile>
#include <QTextStream>
#include <QTreeWidget>
#include <QXmlStreamWriter>

#include <algorithm>

#include "DomParser.h"
#include "Logging.h"
#include "RandomSource.h"

#include "BenchSupport.h"

namespace {

constexpr int kEntries = 10000;
constexpr int kContentsPerEntry = 10;

QByteArray makeTemplate()
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement("template");
    writer.writeAttribute("title", QStringLiteral("基准模板"));
    for (int e = 0; e < kEntries; ++e) {
        writer.writeStartElement("entry");
        writer.writeAttribute("title", QStringLiteral("条目%1").arg(e));
        for (int c = 0; c < kContentsPerEntry; ++c)
            writer.writeTextElement("content", QStringLiteral("春风又绿江南岸，[季节]的明月何时照我还 %1-%2").arg(e).arg(c));
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return xml;
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        QTextStream(stderr) << "cannot write " << path << "\n";
        std::exit(1);
    }
}

} // namespace

int main(int argc, char** argv)
{
    // Log lines are built and dropped, as in a normal run at the default level.
    BenchProgram program(argc, argv, BenchProgram::NoLog);
    const int runs = program.count(1, 7);

    const QByteArray plain = makeTemplate();
    const QString plainFile = program.home().filePath("plain.tqw");
    const QString base64File = program.home().filePath("base64.tqw");
    writeFile(plainFile, plain);
    writeFile(base64File, plain.toBase64());

    auto baseline = [&]() {
        QDomDocument document;
        if (!document.setContent(plain, false))
            std::exit(1);
    };
    auto load = [](const QString& file) {
        DomParser parser;
        if (!parser.readFile(file))
            std::exit(1);
    };
    auto loadAndDraw = [&]() {
        DomParser parser;
        if (!parser.readFile(plainFile))
            std::exit(1);
        QStringList texts;
        QList<QList<int>> positions;
        int entries = 0;
        parser.pickRandomContents(texts, entries, positions);
        if (texts.size() != kEntries)
            std::exit(1);
    };
    auto loadAndWalk = [&]() {
        DomParser parser;
        if (!parser.readFile(plainFile) || !parser.buildTree())
            std::exit(1);
    };
    QTreeWidget tree;
    auto loadIntoTree = [&]() {
        DomParser parser(&tree);
        if (!parser.readFile(plainFile) || !parser.buildTree())
            std::exit(1);
    };

    RandomSource::seed(1);
    baseline();
    load(plainFile);
    load(base64File);
    QVector<double> baseTimes, plainTimes, base64Times, drawTimes, walkTimes, treeTimes;
    for (int i = 0; i < runs; ++i) {
        baseTimes << milliseconds(baseline);
        plainTimes << milliseconds([&]() { load(plainFile); });
        base64Times << milliseconds([&]() { load(base64File); });
        drawTimes << milliseconds(loadAndDraw);
        walkTimes << milliseconds(loadAndWalk);
    }
    for (int i = 0; i < std::min(runs, 3); ++i)
        treeTimes << milliseconds(loadIntoTree);

    const double base = median(baseTimes);
    QTextStream out(stdout);
    auto line = [&](const char* what, double ms, bool goal) {
        out << QString("%1 %2 ms  ratio %3%4\n")
                   .arg(QString::fromLatin1(what), -52)
                   .arg(ms, 8, 'f', 1)
                   .arg(ms / base, 5, 'f', 2)
                   .arg(goal ? (ms / base <= 1.5 ? "  (goal 1.5: met)" : "  (goal 1.5: MISSED)") : "");
    };
    out << "template: " << kEntries * kContentsPerEntry << " contents in " << kEntries << " entries, "
        << plain.size() / 1024 << " KiB plain; runs: " << runs << " (medians)\n";
    line("QDomDocument::setContent alone (baseline)", base, false);
    line("DomParser::readFile, plain file", median(plainTimes), true);
    line("DomParser::readFile, Base64 file", median(base64Times), true);
    line("readFile (plain) + 10,000 draws (pickRandomContents)", median(drawTimes), true);
    line("readFile + buildTree without a tree (generation)", median(walkTimes), false);
    line("readFile + buildTree into a tree widget", median(treeTimes), false);
    return 0;
}
