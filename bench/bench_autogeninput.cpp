// Story input dialog construction: with the shipped word lists and with
// 10,000-line lists in all 13 files, against the same form without lists (its
// 72 boxes hold a separator only), measured alternately in this process.
// Prints medians and the ratio to the form without lists (goals: under 2x with
// the shipped lists, under 300 ms with 10,000-line lists), and the first
// showing of the dialog with the large lists.
//
//   build/bench/bench_autogeninput [runs]

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>
#include <memory>

#include "AutoGenInputDialog.h"
#include "BenchSupport.h"

namespace {

const char* const storyLists[] = {"动物.txt", "目标.txt", "特长.txt", "通讯工具.txt", "弱点.txt",
                                  "习惯.txt", "行业.txt", "职业.txt", "道具.txt", "地区.txt",
                                  "场景.txt", "交通工具.txt", "兵器.txt"};

void fail(const QString& why)
{
    QTextStream(stderr) << why << "\n";
    std::exit(1);
}

// A program folder: empty, with copies of the shipped lists, or with large lists.
QString makeFolder(const QTemporaryDir& top, const QString& name, const QString& shippedLists, int lines)
{
    const QString folder = top.path() + '/' + name;
    if (!QDir().mkpath(folder + "/List"))
        fail("cannot make " + folder);
    BenchRandom random(7);
    for (const char* list : storyLists) {
        const QString file = folder + "/List/" + QString::fromUtf8(list);
        if (!shippedLists.isEmpty()) {
            if (!QFile::copy(shippedLists + '/' + QString::fromUtf8(list), file))
                fail("cannot copy the shipped list " + QString::fromUtf8(list));
        } else if (lines > 0) {
            QFile out(file);
            if (!out.open(QIODevice::WriteOnly))
                fail("cannot write " + file);
            QByteArray text;
            for (int i = 0; i < lines; ++i)
                text += QStringLiteral("第%1条词语%2\n").arg(i).arg(random.next()).toUtf8();
            out.write(text);
        }
    }
    return folder;
}

double constructIn(const QString& folder, int expectedItems)
{
    QDir::setCurrent(folder);
    QElapsedTimer timer;
    timer.start();
    auto dialog = std::make_unique<AutoGenInputDialog>();
    const double ms = timer.nsecsElapsed() / 1e6;
    if (dialog->inputs().at(1).comboBox->count() != expectedItems) // the hero's occupation box
        fail("unexpected number of items in " + folder);
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const QTemporaryDir& home = program.home();
    const int runs = program.count(1, 7);

    const QString shipped = QCoreApplication::applicationDirPath() + "/../bin/List";
    QFile occupations(shipped + "/职业.txt");
    if (!occupations.open(QIODevice::ReadOnly))
        fail("the shipped lists are missing: build the program first");
    const int shippedOccupations = occupations.readAll().count('\n');

    constexpr int kLarge = 10000;
    const QString empty = makeFolder(home, "empty", QString(), 0);
    const QString withShipped = makeFolder(home, "shipped", shipped, 0);
    const QString large = makeFolder(home, "large", QString(), kLarge);

    constructIn(empty, 1); // warm up fonts, styles and the settings store
    QVector<double> emptyTimes, shippedTimes, largeTimes;
    for (int i = 0; i < runs; ++i) {
        emptyTimes << constructIn(empty, 1);
        shippedTimes << constructIn(withShipped, 1 + shippedOccupations);
        largeTimes << constructIn(large, 1 + kLarge);
    }

    QVector<double> showTimes;
    for (int i = 0; i < std::min(runs, 3); ++i) {
        QDir::setCurrent(large);
        AutoGenInputDialog dialog;
        QElapsedTimer timer;
        timer.start();
        dialog.show();
        QCoreApplication::processEvents();
        showTimes << timer.nsecsElapsed() / 1e6;
    }

    const double base = median(emptyTimes);
    QTextStream out(stdout);
    auto line = [&](const QString& what, double ms, const QString& goal) {
        out << QString("%1 %2 ms  ratio %3  %4\n").arg(what, -58).arg(ms, 8, 'f', 1).arg(ms / base, 6, 'f', 2).arg(goal);
    };
    out << "story input dialog, 72 boxes; runs: " << runs << " (medians)\n";
    line("form without lists (baseline)", base, QString());
    const double shippedMs = median(shippedTimes);
    line(QString("shipped lists (%1 occupations)").arg(shippedOccupations), shippedMs,
         shippedMs / base < 2 ? "(goal under 2x: met)" : "(goal under 2x: MISSED)");
    const double largeMs = median(largeTimes);
    line(QString("%1-line lists, 590,000 items").arg(kLarge), largeMs,
         largeMs < 300 ? "(goal under 300 ms: met)" : "(goal under 300 ms: MISSED)");
    line("first showing with the 10,000-line lists", median(showTimes), QString());
    return 0;
}
