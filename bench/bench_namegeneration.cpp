// Name generation benchmark: 10,000 names of each of the seven kinds from the
// templates shipped beside the program (atoms such as [姓氏] included), each
// against reading the same template with DomParser::readFile, measured
// alternately in this process. Prints medians, the ratio to the read and
// whether the goal of 100 ms per 10,000 names is met.
//
//   build/bench/bench_namegeneration [runs]

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include "AutoGenNameDialog.h"
#include "BenchSupport.h"
#include "DomParser.h"
#include "RandomSource.h"

namespace {

constexpr int kNames = 10000;
constexpr double kGoalMs = 100.0;

void fail(const QString& message)
{
    QTextStream(stderr) << message << "\n";
    std::exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv, BenchProgram::NoLog);
    const int runs = program.count(1, 7);
    // Template paths are relative to the program folder.
    if (!QDir::setCurrent(QCoreApplication::applicationDirPath() + "/../bin"))
        fail("no program folder beside the benchmark");

    QTextStream out(stdout);
    out << kNames << " names per kind, random parts; runs: " << runs << " (medians)\n";
    bool allMet = true;
    for (int type = AutoGenNameDialog::FirstKind; type <= AutoGenNameDialog::LastKind; ++type) {
        const QString path = AutoGenNameDialog::templateOf(type);
        auto read = [&]() {
            DomParser parser;
            if (!parser.readFile(path))
                fail("cannot read " + path);
        };
        DomParser parser;
        if (!parser.readFile(path))
            fail("cannot read " + path);
        auto generate = [&]() {
            QStringList names;
            if (!parser.generateNames(QString(), 0, QString(), 0, QString(), 0, kNames, type, &names, QString(), 0,
                                      QString(), 0)
                || names.size() != kNames)
                fail("generation failed for " + path);
        };

        RandomSource::seed(1);
        read();
        generate();
        QVector<double> readTimes, generateTimes;
        for (int i = 0; i < runs; ++i) {
            readTimes << milliseconds(read);
            generateTimes << milliseconds(generate);
        }
        const double base = median(readTimes);
        const double ms = median(generateTimes);
        const bool met = ms < kGoalMs;
        allMet = allMet && met;
        out << QString("%1 %2  readFile %3 ms  10,000 names %4 ms  ratio %5  (goal %6 ms: %7)\n")
                   .arg(type)
                   .arg(path, -24)
                   .arg(base, 6, 'f', 2)
                   .arg(ms, 7, 'f', 1)
                   .arg(ms / base, 7, 'f', 1)
                   .arg(kGoalMs, 0, 'f', 0)
                   .arg(met ? "met" : "MISSED");
    }
    return allMet ? 0 : 2;
}
