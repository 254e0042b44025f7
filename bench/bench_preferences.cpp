// Opening the preferences dialog from the main window, the first time (the dialog
// and its eight pages are built) and the second time (the kept dialog is shown
// again), against showing a bare tab widget with eight empty pages in the same run.
// Each opening shows the dialog, lets it paint and hides it again. Also "应用" with a
// 5 MB document open against the same apply with one empty document.
//
// Usage: bench_preferences [samples, default 7]

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QVector>

#include <cstdio>

#include "MainWindow.h"
#include "MdiChild.h"
#include "PreferencesDialog.h"
#include "Prompt.h"

#include "BenchSupport.h"

namespace {

// Shows each dialog until it has painted, then closes it, as a user opening it would see it.
class ShowingPrompt : public Prompt
{
public:
    int exec(QMessageBox&) override { return QMessageBox::Ok; }
    int execDialog(QDialog& dialog) override
    {
        dialog.show();
        QApplication::processEvents();
        dialog.hide();
        return QDialog::Rejected;
    }
};

double milliseconds(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Lines of 20 to 100 ideographs, about `characters` in all.
QString chineseText(int characters)
{
    QString text;
    BenchRandom random(4321);
    while (text.size() < characters) {
        const int length = 20 + int(random.next() % 81);
        for (int i = 0; i < length; ++i)
            text += QChar(0x4E00 + int(random.next()) % 0x51A5);
        text += QLatin1Char('\n');
    }
    return text;
}

// Median time of "应用" in the window's preferences dialog.
double applyTime(MainWindow& window, int samples)
{
    QVector<double> times;
    for (int i = 0; i < samples; ++i) {
        QElapsedTimer timer;
        timer.start();
        window.preferencesDialog->apply();
        times << milliseconds(timer);
    }
    return median(times);
}

double bareTabWidget(ShowingPrompt& prompt)
{
    QElapsedTimer timer;
    timer.start();
    QDialog dialog;
    auto* tabs = new QTabWidget(&dialog);
    for (int i = 0; i < 8; ++i)
        tabs->addTab(new QWidget, QString::number(i));
    (new QVBoxLayout(&dialog))->addWidget(tabs);
    prompt.execDialog(dialog);
    return milliseconds(timer);
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const int samples = program.count(1, 7);

    ShowingPrompt prompt;
    Prompt::install(&prompt);
    QVector<double> first, second, baseline;
    for (int i = 0; i < samples; ++i) {
        baseline << bareTabWidget(prompt);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.resize(1200, 900);
        window.show();
        window.newFile();
        QApplication::processEvents();
        QElapsedTimer timer;
        timer.start();
        window.preferences();
        first << milliseconds(timer);
        timer.restart();
        window.preferences();
        second << milliseconds(timer);
    }

    // "应用" with a large document open.
    double emptyApply = 0;
    double largeApply = 0;
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.show();
        window.newFile();
        window.preferences();
        emptyApply = applyTime(window, samples);
        window.activeMdiChild()->setPlainText(chineseText(5 << 20 >> 1)); // 5 MB as UTF-16
        window.activeMdiChild()->document()->setModified(false);
        largeApply = applyTime(window, samples);
    }
    Prompt::install(nullptr);

    const double bare = median(baseline);
    std::printf("preferences dialog, median of %d: bare tab widget with eight pages %.2f ms; first opening %.2f ms "
                "(ratio %.1f, goal < 150 ms); second opening %.2f ms (ratio %.1f, goal < 20 ms)\n",
                samples, bare, median(first), median(first) / bare, median(second), median(second) / bare);
    std::printf("  first opening in the first window of the process: %.2f ms\n", first.first());
    std::printf("apply, nothing changed, median of %d: one empty document %.2f ms; a 5 MB document %.2f ms "
                "(ratio %.1f)\n",
                samples, emptyApply, largeApply, largeApply / emptyApply);
    return 0;
}
