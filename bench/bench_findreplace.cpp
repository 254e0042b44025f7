// Replace-all in a 5 MB document with 100,000 matches, plain and as a regular
// expression, through the main window's find-and-replace command with the
// window shown and the document visible (where a user sees the time go),
// against `sed` (LC_ALL=C.UTF-8) doing the same replacement on the same text
// (UTF-8 file) in the same run. Medians of several samples on both sides.
//
// Usage: bench_findreplace [matches, default 100000] [samples, default 5]

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QVector>

#include <cstdio>

#include "MainWindow.h"
#include "MdiChild.h"
#include "SettingsStore.h"

#include "BenchSupport.h"

namespace {

// Deterministic Chinese lines of about 50 bytes in UTF-8, each holding the marker once.
QString documentText(int matches, const QString& marker)
{
    QString text;
    text.reserve(matches * 20);
    BenchRandom random(4711);
    for (int i = 0; i < matches; ++i) {
        const int length = 10 + int(random.next() % 12);
        const int at = int(random.next() % length);
        for (int j = 0; j < length; ++j) {
            if (j == at)
                text += marker;
            // Ideographs from 一 on, never the marker's own characters.
            text += QChar(0x4E00 + 0x100 + int(random.next() % 0x5000));
        }
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const QTemporaryDir& home = program.home();
    const int matches = program.count(1, 100000);
    const int samples = program.count(2, 5);
    if (QStandardPaths::findExecutable("sed").isEmpty()) {
        std::fprintf(stderr, "sed not found\n");
        return 1;
    }

    const QString marker = QStringLiteral("甲乙");
    const QString replacement = QStringLiteral("丙丁戊");
    const QString text = documentText(matches, marker);
    const QByteArray utf8 = text.toUtf8();
    const QString input = home.filePath("input.txt");
    {
        QFile file(input);
        file.open(QIODevice::WriteOnly);
        file.write(utf8);
    }
    std::printf("document: %.1f MB UTF-8, %d lines, %d matches\n", utf8.size() / 1048576.0, matches, matches);

    MainWindow window(nullptr, MainWindow::NoStartUpTimers);
    window.resize(1280, 900);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "window not exposed\n");
    window.newFile();
    MdiChild* child = window.activeMdiChild();
    QApplication::processEvents();

    struct Case
    {
        const char* name;
        QString find;
        bool regexp;
        QString sedExpression;
    };
    const Case cases[] = {
        {"plain", marker, false, QStringLiteral("s/甲乙/丙丁戊/g")},
        {"regexp", QStringLiteral("甲[乙]"), true, QStringLiteral("s/甲[乙]/丙丁戊/g")},
    };
    const QString expected = QString(text).replace(marker, replacement);
    int failures = 0;
    QProcessEnvironment sedEnvironment = QProcessEnvironment::systemEnvironment();
    sedEnvironment.insert("LC_ALL", "C.UTF-8");
    for (const Case& c : cases) {
        QVector<double> ours, theirs;
        bool right = true;
        for (int sample = 0; sample < samples; ++sample) {
            child->setPlainText(text);
            QApplication::processEvents();
            QElapsedTimer timer;
            timer.start();
            window.findReplace(c.find, replacement, QTextDocument::FindFlag(0), QTextDocument::FindCaseSensitively,
                               false, true, true, c.regexp);
            // Until the user sees it: the window repaints the changed document.
            child->viewport()->repaint();
            QApplication::processEvents();
            ours << seconds(timer);
            right = right && child->toPlainText() == expected;
            child->document()->setModified(false);

            QProcess sed;
            sed.setProcessEnvironment(sedEnvironment);
            sed.setStandardOutputFile(home.filePath("sed.txt"));
            timer.restart();
            sed.start(QStringLiteral("sed"), {c.sedExpression, input});
            sed.waitForFinished(-1);
            theirs << seconds(timer);
        }
        if (!right)
            ++failures;
        const double oursMedian = median(ours);
        const double theirsMedian = median(theirs);
        std::printf("replace-all %-6s: median %.3f s, sed %.3f s, ratio %.2f (goal <= 5)%s\n", c.name, oursMedian,
                    theirsMedian, oursMedian / theirsMedian, right ? "" : "  WRONG RESULT");
        std::fflush(stdout);
    }
    return failures;
}
