// Template tabs, against DomParser::readFile of the same file in the same run:
// - opening a template into a tab of the main window (tree, contents list and
//   first search pass, laid out and painted), goal under 2 s and within 3x the read;
// - one keystroke in the search box (list filter and tree highlight, painted),
//   goal under 50 ms;
// - replace-all, whose time must grow linearly: twice the contents, twice the time.
// Templates: 50,000 contents in one entry; 100,000 contents in 1,000 entries
// (and 50,000 in 500 entries for the linearity of replace-all).
//
// Usage: bench_templatetabs [runs, default 5]

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdio>

#include "DomParser.h"
#include "ListWidget.h"
#include "MainWindow.h"
#include "TemplateDialog.h"
#include "TreeWidget.h"

#include "BenchSupport.h"

namespace {

struct Shape
{
    const char* name;
    int entries;
    int contentsPerEntry;
};

QByteArray makeTemplate(const Shape& shape)
{
    QByteArray xml;
    QXmlStreamWriter writer(&xml);
    writer.setAutoFormatting(true);
    writer.writeStartDocument();
    writer.writeStartElement("template");
    writer.writeAttribute("title", QStringLiteral("基准模板"));
    BenchRandom random(7);
    static const QStringList words{QStringLiteral("春风"), QStringLiteral("明月"), QStringLiteral("江南"),
                                   QStringLiteral("青山"), QStringLiteral("流水"), QStringLiteral("落花"),
                                   QStringLiteral("夜雨"), QStringLiteral("孤舟")};
    for (int e = 0; e < shape.entries; ++e) {
        writer.writeStartElement("entry");
        writer.writeAttribute("title", QStringLiteral("条目%1").arg(e));
        for (int c = 0; c < shape.contentsPerEntry; ++c) {
            QString text;
            for (int w = 0; w < 4; ++w)
                text += words.at(int(random.next() % words.size()));
            writer.writeTextElement("content", text + QStringLiteral("，第%1句").arg(c));
        }
        writer.writeEndElement();
    }
    writer.writeEndDocument();
    return xml;
}

TemplateDialog* currentTab(MainWindow& window)
{
    return qobject_cast<TemplateDialog*>(window.mainTabWidget->currentWidget());
}

void settle(MainWindow& window)
{
    window.repaint();
    QApplication::processEvents();
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const QTemporaryDir& home = program.home();
    const int runs = program.count(1, 5);

    MainWindow window(nullptr, MainWindow::NoStartUpTimers);
    window.resize(1400, 1000);
    window.show();
    settle(window);

    // The first, tiny template shows the fixed cost of a tab (its widgets, a
    // settings write per explicit search); the others are measured against their read.
    const Shape shapes[] = {{"10 contents in 1 entry (fixed cost)", 1, 10}, {"50,000 contents in 1 entry", 1, 50000},
                            {"100,000 contents in 1,000 entries", 1000, 100},
                            {"50,000 contents in 500 entries", 500, 100}};
    double replaceTimes[4] = {};
    std::printf("runs: %d (medians)\n", runs);
    for (int s = 0; s < 4; ++s) {
        const Shape& shape = shapes[s];
        const QString file = home.filePath(QStringLiteral("bench%1.tqw").arg(s));
        {
            QFile out(file);
            const QByteArray bytes = makeTemplate(shape);
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size())
                return 1;
        }

        QVector<double> reads, opens, keystrokes, replaces;
        for (int run = 0; run < runs; ++run) {
            reads << milliseconds([&]() {
                DomParser parser;
                if (!parser.readFile(file))
                    std::exit(1);
            });
            opens << milliseconds([&]() {
                if (window.openTemplate(file) != 0 || !currentTab(window))
                    std::exit(1);
                settle(window);
            });
            TemplateDialog* tab = currentTab(window);
            auto* search = tab->findChild<QComboBox*>(QStringLiteral("searchComboBox"));
            auto* replacement = tab->findChild<QComboBox*>(QStringLiteral("replaceComboBox"));
            auto* replaceAll = tab->findChild<QPushButton*>(QStringLiteral("replaceAllPushButton"));
            // Typing "春", "春风", "春风明", ...: each step is one keystroke.
            const QString typed = QStringLiteral("春风明月江南");
            for (int length = 1; length <= typed.size(); ++length) {
                keystrokes << milliseconds([&]() {
                    search->setEditText(typed.left(length));
                    settle(window);
                });
            }
            for (const auto& pair : {qMakePair(QStringLiteral("流水"), QStringLiteral("清泉")),
                                     qMakePair(QStringLiteral("清泉"), QStringLiteral("流水"))}) {
                search->setEditText(pair.first);
                replacement->setEditText(pair.second);
                settle(window);
                replaces << milliseconds([&]() {
                    replaceAll->click();
                    settle(window);
                });
            }
            // Closed unchanged: the replacements were undone.
            window.setTemplateModified(false, window.mainTabWidget->currentIndex());
            window.closeTab(window.mainTabWidget->currentIndex());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            settle(window);
        }

        const double read = median(reads);
        const double open = median(opens);
        const double keystroke = median(keystrokes);
        std::sort(keystrokes.begin(), keystrokes.end());
        const double replace = median(replaces);
        replaceTimes[s] = replace;
        std::printf("%s:\n", shape.name);
        std::printf("  DomParser::readFile (baseline)      %8.1f ms\n", read);
        if (s == 0) {
            std::printf("  open into a tab                     %8.1f ms\n", open);
        } else {
            std::printf("  open into a tab                     %8.1f ms  ratio %.2f  (goals < 2000 ms: %s, < 3x: %s)\n",
                        open, open / read, open < 2000 ? "met" : "MISSED", open / read < 3 ? "met" : "MISSED");
        }
        std::printf("  search keystroke                    %8.1f ms  (slowest %.1f ms; goal < 50 ms: %s)\n",
                    keystroke, keystrokes.last(), keystroke < 50 ? "met" : "MISSED");
        std::printf("  replace-all                         %8.1f ms\n", replace);
    }
    std::printf("replace-all, 100,000 against 50,000 contents in entries of 100: ratio %.2f (linear: 2.00); "
                "without the fixed cost %.2f\n",
                replaceTimes[2] / replaceTimes[3],
                (replaceTimes[2] - replaceTimes[0]) / std::max(0.001, replaceTimes[3] - replaceTimes[0]));
    return 0;
}
