// Generation benchmark, each figure against DomParser::readFile of the same
// template measured alternately in this process (medians of several samples):
//  - document-mode runs of a 30-entry template whose atoms nest three levels;
//  - a batch of 1,000 files from that template in one session, as a batch
//    command makes them (goal: under 5 s);
//  - splicing one piece of 1,000 atom markers against one of 100 (goal:
//    linear, the 1,000-marker piece under 10 times the 100-marker one).
//
//   build/bench/bench_generation [samples]

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTextStream>

#include <algorithm>
#include <functional>

#include "BenchSupport.h"
#include "DomParser.h"
#include "GenerationBatch.h"
#include "GenerationEngine.h"
#include "GenerationSession.h"
#include "RandomSource.h"

namespace {

void writeTemplate(const QString& path, const QList<QStringList>& entries)
{
    QString xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"基准\">\n";
    for (int e = 0; e < entries.size(); ++e) {
        xml += QString("    <entry title=\"条目%1\">\n").arg(e);
        for (const QString& content : entries.at(e))
            xml += "        <content>" + content + "</content>\n";
        xml += "    </entry>\n";
    }
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write((xml + "</template>\n").toUtf8()) < 0)
        std::exit(1);
}

// Templates/文章.tqw: 30 entries of 5 contents, each naming a first-level atom
// whose contents name a second-level atom, whose contents name a third.
void writeArticle()
{
    for (int level = 3; level >= 1; --level) {
        for (int atom = 0; atom < 4; ++atom) {
            QStringList contents;
            for (int c = 0; c < 4; ++c) {
                QString text = QString("第%1层的句子%2，说的是春天的事").arg(level).arg(c);
                if (level < 3)
                    text += QString("[层%1号%2]").arg(level + 1).arg((atom + c) % 4);
                contents << text + "。";
            }
            writeTemplate(GenerationEngine::atomPath(QString("层%1号%2").arg(level).arg(atom)), {contents});
        }
    }
    QList<QStringList> entries;
    for (int e = 0; e < 30; ++e) {
        QStringList contents;
        for (int c = 0; c < 5; ++c)
            contents << QString("第%1段的开头%2，[层1号%3]接着写下去。").arg(e).arg(c).arg((e + c) % 4);
        entries << contents;
    }
    writeTemplate("Templates/文章.tqw", entries);
}

// How long one call of work takes, in seconds.
double timeOnce(const std::function<void()>& work)
{
    return milliseconds(work) / 1000;
}

void readTemplate(const QString& path)
{
    DomParser parser;
    if (!parser.readFile(path))
        std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv, BenchProgram::NoLog);
    const QTemporaryDir& home = program.home();
    const int samples = program.count(1, 5);
    QDir::setCurrent(home.path());
    writeArticle();
    RandomSource::seed(1);

    const QString article = "Templates/文章.tqw";
    QTextEdit editor;
    GenerationEngine::Request request;
    request.templatePath = article;
    request.editor = &editor;

    // Document mode: 20 runs into an emptied document per sample, each run with
    // its own session (it reads the template and its atoms itself).
    constexpr int documentRuns = 20;
    auto documentSample = [&]() {
        editor.clear();
        QString result;
        for (int run = 0; run < documentRuns; ++run) {
            if (GenerationEngine(request).run(result) != GenerationEngine::Generated)
                std::exit(1);
        }
    };
    auto readSample = [&]() {
        for (int run = 0; run < documentRuns; ++run)
            readTemplate(article);
    };

    // A batch of 1,000 files in one session, as the batch command runs it.
    int batchNumber = 0;
    auto batchSample = [&]() {
        const QString folder = QString("batch%1").arg(batchNumber++);
        GenerationSession session(nullptr);
        GenerationBatch batch(folder, "tmp", 1000, nullptr);
        if (!batch.prepare())
            std::exit(1);
        GenerationEngine::Request file = request;
        file.batchMode = true;
        const int written = batch.run([&](const QString& name) {
            file.outputFileName = name;
            QString result;
            return GenerationEngine(file).run(result);
        });
        if (written != 1000)
            std::exit(1);
        QDir(folder).removeRecursively();
    };

    // Splicing: one content of N markers of a one-content atom.
    writeTemplate(GenerationEngine::atomPath("词"), {{"花"}});
    for (int markers : {100, 1000}) {
        QString content;
        for (int i = 0; i < markers; ++i)
            content += QStringLiteral("春[词]");
        writeTemplate(QString("Templates/标记%1.tqw").arg(markers), {{content}});
    }
    auto spliceSample = [&](int markers, int repeats) {
        GenerationEngine::Request r;
        r.templatePath = QString("Templates/标记%1.tqw").arg(markers);
        GenerationSession session(nullptr);
        for (int i = 0; i < repeats; ++i) {
            GenerationEngine engine(r);
            QVector<GeneratedPiece> pieces;
            if (!engine.draw(pieces) || !engine.splice(pieces) || pieces.size() != 2 * markers)
                std::exit(1);
        }
    };

    documentSample();
    batchSample();
    QVector<double> documentTimes, readTimes, batchTimes, batchReadTimes, splice100, splice1000;
    for (int i = 0; i < samples; ++i) {
        readTimes << timeOnce(readSample);
        documentTimes << timeOnce(documentSample);
        batchReadTimes << timeOnce([&]() {
            for (int k = 0; k < 1000; ++k)
                readTemplate(article);
        });
        batchTimes << timeOnce(batchSample);
        splice100 << timeOnce([&]() { spliceSample(100, 100); });
        splice1000 << timeOnce([&]() { spliceSample(1000, 10); });
    }

    QTextStream out(stdout);
    const double read = median(readTimes) / documentRuns;
    const double document = median(documentTimes) / documentRuns;
    out << "samples: " << samples << " (medians)\n";
    out << QString("DomParser::readFile of the 30-entry template (baseline)  %1 ms  (%2 per second)\n")
               .arg(read * 1000, 7, 'f', 3)
               .arg(1 / read, 0, 'f', 0);
    out << QString("document-mode run, atoms three levels deep            %1 ms  (%2 runs per second)  ratio %3\n")
               .arg(document * 1000, 7, 'f', 3)
               .arg(1 / document, 0, 'f', 0)
               .arg(document / read, 0, 'f', 2);
    const double batch = median(batchTimes);
    out << QString("batch of 1,000 files in one session                    %1 s   ratio %2 to 1,000 readFile  "
                   "(goal 5 s: %3)\n")
               .arg(batch, 7, 'f', 3)
               .arg(batch / median(batchReadTimes), 0, 'f', 2)
               .arg(batch < 5 ? "met" : "MISSED");
    const double s100 = median(splice100) / 100;
    const double s1000 = median(splice1000) / 10;
    out << QString("splicing one piece of 100 markers                      %1 ms\n").arg(s100 * 1000, 7, 'f', 3);
    out << QString("splicing one piece of 1,000 markers                    %1 ms  ratio %2  (goal under 10: %3)\n")
               .arg(s1000 * 1000, 7, 'f', 3)
               .arg(s1000 / s100, 0, 'f', 2)
               .arg(s1000 / s100 < 10 ? "met" : "MISSED");
    return 0;
}
