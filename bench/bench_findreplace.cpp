// - Replace-all in a 5 MB document with 100,000 matches, plain and as a regular
//   expression, through the main window's find-and-replace command with the
//   window shown and the document visible (where a user sees the time go),
//   against `sed` (LC_ALL=C.UTF-8) doing the same replacement on the same text
//   (UTF-8 file) in the same run. Medians of several samples on both sides.
// - The dialog's match count in a document of 2.6 million characters, for 中,
//   \d+ and x*: the longest time the GUI thread is held (the longest gap between
//   the ticks of a 1 ms timer) from the find text changing until the label shows
//   the count, against taking the document's plain text once in the same run.
// - One more character typed while the count of ".*c" runs over a paragraph of
//   40,000 × 文 (a slow expression for a backtracking engine): the time until
//   the label shows the count of the new find text, and the longest GUI-thread
//   pause meanwhile, against counting the same text with QRegularExpression in a
//   plain loop in the same run.
//
// Usage: bench_findreplace [matches, default 100000] [samples, default 5]

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLabel>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QVector>

#include <cstdio>

#include "FindReplaceDialogEx.h"
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

// About 2.6 million characters of ideographs in lines of 20 to 100, with 中 and
// runs of digits here and there; the counts each find text has in it.
struct CountDocument
{
    QString text;
    int han = 0;    // 中
    int digits = 0; // \d+
    int empty = 0;  // x*: every position of every line (no surrogates or accents here)
};

CountDocument countDocument(int characters)
{
    CountDocument document;
    document.text.reserve(characters + 100);
    BenchRandom random(2024);
    while (document.text.size() < characters) {
        const int length = 20 + int(random.next() % 81);
        bool inDigits = false;
        for (int j = 0; j < length; ++j) {
            const quint32 pick = random.next() % 100;
            if (pick < 3) {
                document.text += QChar(0x4E2D);
                ++document.han;
                inDigits = false;
            } else if (pick < 8) {
                document.text += QChar('0' + int(random.next() % 10));
                document.digits += inDigits ? 0 : 1;
                inDigits = true;
            } else {
                document.text += QChar(0x4E00 + 0x100 + int(random.next() % 0x5000));
                inDigits = false;
            }
        }
        document.text += QLatin1Char('\n');
        document.empty += length + 1;
    }
    document.text.chop(1); // no empty last line
    return document;
}

// Runs the event loop with a 1 ms timer until `done` holds (at most 120 s) after
// `action` ran inside it; the longest gap between two ticks in milliseconds.
template <typename Action, typename Done>
double longestPause(Action action, Done done, double* total)
{
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QElapsedTimer clock;
    QElapsedTimer since;
    double longest = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = std::max(longest, since.nsecsElapsed() / 1e6);
        since.restart();
        if (done() || clock.elapsed() > 120000)
            loop.quit();
    });
    QTimer::singleShot(0, [&] {
        clock.start();
        since.start();
        action();
        tick.start();
    });
    loop.exec();
    *total = clock.nsecsElapsed() / 1e6;
    return longest;
}

// The count of the find dialog while the user waits, on a shown window.
void countPauses(MainWindow& window, int samples)
{
    const CountDocument document = countDocument(2600000);
    window.newFile();
    MdiChild* child = window.activeMdiChild();
    child->setPlainText(document.text);
    window.find();
    auto* dialog = window.findChild<FindReplaceDialogEx*>();
    auto* findBox = dialog->findChild<QComboBox*>(QStringLiteral("findComboBox"));
    auto* regexpBox = dialog->findChild<QCheckBox*>(QStringLiteral("regExpCheckBox"));
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("resultLabel"));
    // Let the window settle (layout, status bar) before measuring.
    QTest::qWait(2000);
    QVector<double> plain;
    for (int sample = 0; sample < samples; ++sample)
        plain << milliseconds([&] { (void)child->document()->toPlainText(); });
    // For scale: the longest gap while nothing happens, over half a second.
    QVector<double> idle;
    for (int sample = 0; sample < samples; ++sample) {
        double idleTotal = 0;
        QElapsedTimer since;
        since.start();
        idle << longestPause([] {}, [&since] { return since.elapsed() > 500; }, &idleTotal);
    }
    std::printf("count in %d characters: baseline, the document's plain text taken once: median %.1f ms; idle "
                "event loop: longest gap in 0.5 s median %.1f ms\n",
                int(document.text.size()), median(plain), median(idle));
    struct Case
    {
        const char* name;
        QString find;
        bool regexp;
        int expected;
    };
    const Case cases[] = {
        {"中", QString(QChar(0x4E2D)), false, document.han},
        {"\\d+", QStringLiteral("\\d+"), true, document.digits},
        {"x*", QStringLiteral("x*"), true, document.empty},
    };
    for (const Case& c : cases) {
        const QString wanted = QStringLiteral("匹配结果: %1 个").arg(c.expected);
        QVector<double> pauses, totals;
        bool right = true;
        for (int sample = 0; sample < samples; ++sample) {
            findBox->setEditText(QString());
            regexpBox->setChecked(c.regexp);
            QApplication::processEvents();
            double total = 0;
            pauses << longestPause([&] { findBox->setEditText(c.find); },
                                   [&] { return label->text() == wanted; }, &total);
            totals << total;
            right = right && label->text() == wanted;
        }
        std::printf("count %-4s (%d): longest GUI-thread pause median %.1f ms (goal < 50), ratio %.2f to the "
                    "baseline; the count shown after %.1f ms%s\n",
                    c.name, c.expected, median(pauses), median(pauses) / median(plain), median(totals),
                    right ? "" : "  WRONG COUNT");
        std::fflush(stdout);
    }
    dialog->hide();
    child->document()->setModified(false);
}

// The find text ".*c" counted over one paragraph of 40,000 × 文 and a second one
// holding "c", then "x" typed behind it: until the label shows the count of ".*cx".
void typingPastASlowCount(MainWindow& window, int samples)
{
    const QString text = QString(40000, QChar(0x6587)) + QStringLiteral("\nc");
    // This document alone, as a user would have it.
    window.closeAllAct->trigger();
    QApplication::processEvents();
    window.newFile();
    MdiChild* child = window.activeMdiChild();
    child->setPlainText(text);
    window.replace();
    auto* dialog = window.findChild<FindReplaceDialogEx*>();
    auto* findBox = dialog->findChild<QComboBox*>(QStringLiteral("findComboBox"));
    auto* regexpBox = dialog->findChild<QCheckBox*>(QStringLiteral("regExpCheckBox"));
    auto* label = dialog->findChild<QLabel*>(QStringLiteral("resultLabel"));
    regexpBox->setChecked(true);
    QTest::qWait(1000);
    // The same count in a plain loop: each paragraph matched from its start on.
    QVector<double> plain;
    int plainCount = 0;
    for (int sample = 0; sample < samples; ++sample) {
        plain << milliseconds([&] {
            const QRegularExpression expression(QStringLiteral(".*cx"));
            plainCount = 0;
            for (const QString& paragraph : text.split(QLatin1Char('\n')))
                for (auto matches = expression.globalMatch(paragraph); matches.hasNext(); matches.next())
                    ++plainCount;
        });
    }
    const QString before = QStringLiteral("匹配结果: 1 个");
    const QString wanted = QStringLiteral("匹配结果: %1 个").arg(plainCount);
    QVector<double> pauses, totals;
    bool right = true;
    for (int sample = 0; sample < samples; ++sample) {
        findBox->setEditText(QStringLiteral("c"));
        if (!QTest::qWaitFor([&] { return label->text() == before; }, 120000))
            right = false;
        findBox->setEditText(QStringLiteral(".*c"));
        QApplication::processEvents();
        double total = 0;
        pauses << longestPause([&] { QTest::keyClick(findBox->lineEdit(), Qt::Key_X); },
                               [&] { return label->text() == wanted; }, &total);
        totals << total;
        right = right && label->text() == wanted && findBox->currentText() == QLatin1String(".*cx");
    }
    std::printf("one more character typed while \".*c\" is counted over 40,000 x 文: the new count shown after "
                "median %.1f ms, longest GUI-thread pause median %.1f ms; baseline, QRegularExpression counting "
                "the same text in a plain loop: median %.2f ms; ratio %.1f%s\n",
                median(totals), median(pauses), median(plain), median(totals) / std::max(median(plain), 0.001),
                right ? "" : "  WRONG COUNT");
    std::fflush(stdout);
    dialog->hide();
    child->document()->setModified(false);
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
    child->document()->setModified(false);
    countPauses(window, samples);
    typingPastASlowCount(window, samples);
    return failures;
}
