// Files that are one long line, against a plain QPlainTextEdit (the editor
// widget FeatherPad is built on) in a main window of the same size, in the same
// process, alternating, medians of several samples:
// - opening a 2 MB GB18030 file that is one line of 1.05 million Chinese
//   characters through the open command, until the editor's page holding the
//   text has painted; the baseline reads, decodes and shows the same file;
// - opening a find-in-files hit in a 1.5 MB one-line file, until the page with
//   the selected hit has painted; the baseline shows the file with the word
//   selected and scrolled into view;
// - the processor time spent in the second after the page has painted (cursor
//   blinking, background layout), with the editor focused;
// - a keystroke in the middle of the long line, painted.
//
// Usage: bench_longlines [samples, default 5]

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextCodec>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <ctime>

#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "SearchDialog.h"

#include "BenchSupport.h"

namespace {

const QSize windowSize(1200, 800);
const QString hitWord = QStringLiteral("读书人");

double processSeconds()
{
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// One line of `characters` common ideographs with some full-width commas, and
// the hit word at `hitAt` when that is not negative.
QByteArray oneLineFile(int characters, int hitAt)
{
    QString text;
    text.reserve(characters + hitWord.size());
    BenchRandom random(4242);
    for (int i = 0; i < characters; ++i) {
        if (i == hitAt)
            text += hitWord;
        const int r = int(random.next());
        text += r % 17 == 0 ? QChar(0xFF0C) : QChar(0x4E00 + r % 0x51A5);
    }
    return QTextCodec::codecForName("GB18030")->fromUnicode(text);
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        std::exit(1);
    }
}

// Shows a main window at the size both sides share.
void showWindow(QMainWindow& window, const char* name)
{
    window.resize(windowSize);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        std::fprintf(stderr, "the %s window was not shown\n", name);
}

// Notices the first paint of a text editor's page, in the given window, while
// the editor holds text.
class PaintWatch : public QObject
{
public:
    explicit PaintWatch(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintWatch() override { qApp->removeEventFilter(this); }

    // Runs the event loop until the page has painted; false after five minutes.
    bool wait()
    {
        QElapsedTimer timer;
        timer.start();
        while (!m_seen && timer.elapsed() < 300000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return m_seen;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == m_window && showsText(watched))
            m_seen = true;
        return false;
    }

private:
    static bool showsText(QObject* watched)
    {
        if (const auto* edit = qobject_cast<QTextEdit*>(watched->parent()))
            return edit->viewport() == watched && !edit->document()->isEmpty();
        if (const auto* plain = qobject_cast<QPlainTextEdit*>(watched->parent()))
            return plain->viewport() == watched && !plain->document()->isEmpty();
        return false;
    }

    QWidget* m_window;
    bool m_seen = false;
};

// Processor seconds the event loop spends in the next second.
double idleSecond()
{
    const double before = processSeconds();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    return processSeconds() - before;
}

struct Sample
{
    double show = 0; // seconds to the first paint
    double idle = 0; // processor seconds in the second after it
};

// The baseline: a main window whose central widget is a QPlainTextEdit.
class PlainWindow
{
public:
    PlainWindow()
    {
        window.setCentralWidget(edit);
        showWindow(window, "baseline");
        QApplication::processEvents();
    }

    // Reads, decodes and shows the file; with a word, selects its first
    // occurrence and scrolls it into view.
    Sample open(const QString& path, const QString& word = QString())
    {
        Sample sample;
        PaintWatch watch(&window);
        QElapsedTimer timer;
        timer.start();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        const QString text = QTextCodec::codecForName("GB18030")->toUnicode(file.readAll());
        edit->setPlainText(text);
        if (!word.isEmpty()) {
            const int at = text.indexOf(word);
            QTextCursor cursor(edit->document());
            cursor.setPosition(at);
            cursor.setPosition(at + word.size(), QTextCursor::KeepAnchor);
            edit->setTextCursor(cursor);
            edit->ensureCursorVisible();
        }
        edit->setFocus();
        if (!watch.wait())
            std::fprintf(stderr, "baseline never painted\n");
        sample.show = seconds(timer);
        sample.idle = idleSecond();
        return sample;
    }

    QMainWindow window;
    QPlainTextEdit* edit = new QPlainTextEdit;
};

void closeDocuments(MainWindow& window)
{
    for (QMdiSubWindow* sub : window.mdiArea->subWindowList())
        if (auto* child = qobject_cast<MdiChild*>(sub->widget()))
            child->document()->setModified(false);
    window.mdiArea->closeAllSubWindows();
    QApplication::processEvents();
}

// The program: the file through the open command, or a hit through the results table.
Sample openInProgram(MainWindow& window, const QString& path, bool asHit)
{
    closeDocuments(window);
    Sample sample;
    PaintWatch watch(&window);
    QElapsedTimer timer;
    timer.start();
    if (asHit)
        window.openFileOfItem(0, 3);
    else
        window.open(path);
    if (!watch.wait())
        std::fprintf(stderr, "the program never painted\n");
    sample.show = seconds(timer);
    if (MdiChild* child = window.activeMdiChild())
        child->setFocus();
    sample.idle = idleSecond();
    return sample;
}

void searchFor(MainWindow& window, const QString& directory)
{
    window.search();
    SearchDialog* page = window.searchDialog;
    page->findChild<QComboBox*>("directoryComboBox")->setEditText(directory);
    page->findChild<QComboBox*>("fileComboBox")->setEditText("hit.txt");
    page->findChild<QComboBox*>("includeComboBox")->setEditText(hitWord);
    page->findChild<QComboBox*>("excludeComboBox")->setEditText(QString());
    page->find();
    if (page->filesTable()->rowCount() != 1) {
        std::fprintf(stderr, "the search found %d hits\n", page->filesTable()->rowCount());
        std::exit(1);
    }
}

void printRow(const char* name, const QVector<Sample>& ours, const QVector<Sample>& plain)
{
    QVector<double> ourShow, plainShow, ourIdle, plainIdle;
    for (const Sample& s : ours) {
        ourShow << s.show;
        ourIdle << s.idle;
    }
    for (const Sample& s : plain) {
        plainShow << s.show;
        plainIdle << s.idle;
    }
    std::printf("%-28s %9.3f %9.3f %6.2f   %9.3f %9.3f  (goal <= 3)\n", name, median(ourShow), median(plainShow),
                median(ourShow) / median(plainShow), median(ourIdle), median(plainIdle));
    std::fflush(stdout);
}

// Keystrokes in the middle of the long line, typed alternately in both editors.
void keystrokes(MainWindow& window, PlainWindow& plain, const QString& path, int count)
{
    closeDocuments(window);
    window.open(path);
    MdiChild* child = window.activeMdiChild();
    plain.open(path);
    QTextCursor middle(child->document());
    middle.setPosition(child->document()->characterCount() / 2);
    child->setTextCursor(middle);
    QTextCursor plainMiddle(plain.edit->document());
    plainMiddle.setPosition(plain.edit->document()->characterCount() / 2);
    plain.edit->setTextCursor(plainMiddle);
    QApplication::processEvents();
    QVector<double> ours, theirs;
    for (int i = 0; i < count; ++i) {
        ours << keystrokeMilliseconds(child, i);
        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x4E2D + i)));
        QApplication::sendEvent(plain.edit, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(QChar(0x4E2D + i)));
        QApplication::sendEvent(plain.edit, &release);
        plain.edit->viewport()->repaint();
        QApplication::processEvents();
        theirs << double(timer.nsecsElapsed()) / 1e6;
    }
    std::printf("keystroke in the long line: program median %.1f ms, QPlainTextEdit median %.1f ms, ratio %.2f\n",
                median(ours), median(theirs), median(ours) / median(theirs));
    child->document()->setModified(false);
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv, BenchProgram::NoLog);
    const int samples = program.count(1, 5);
    const QString folder = program.home().path();
    const QString longFile = folder + "/oneline.txt";
    const QString hitFolder = folder + "/hits";
    QDir().mkpath(hitFolder);
    const QString hitFile = hitFolder + "/hit.txt";
    writeBytes(longFile, oneLineFile(1050000, -1));
    writeBytes(hitFile, oneLineFile(740000, 500000));

    MainWindow window(nullptr, MainWindow::NoStartUpTimers);
    showWindow(window, "main");
    searchFor(window, hitFolder);
    PlainWindow plain;

    std::printf("%-28s %9s %9s %6s   %9s %9s\n", "", "program s", "plain s", "ratio", "cpu 1s", "plain cpu");
    QVector<Sample> ours, theirs;
    for (int i = 0; i < samples; ++i) {
        theirs << plain.open(longFile);
        ours << openInProgram(window, longFile, false);
    }
    printRow("2 MB one line, open", ours, theirs);
    ours.clear();
    theirs.clear();
    for (int i = 0; i < samples; ++i) {
        theirs << plain.open(hitFile, hitWord);
        ours << openInProgram(window, hitFile, true);
    }
    printRow("1.5 MB one line, open a hit", ours, theirs);
    keystrokes(window, plain, longFile, qMax(5, samples));
    closeDocuments(window);
    return 0;
}
