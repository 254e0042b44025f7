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
// - a keystroke in the middle of the long line, painted;
// - a 30 MB GB18030 document of 160,000 lines of Chinese prose, laid out whole,
//   with the cursor far down (line 149,559) in the middle of the view: the
//   window made narrower or wider, and wrapping switched off or on: the time to
//   the first paint after the change, the time until the view is back on the
//   cursor's line as laid out (the program first shows that place from layouts
//   of its own), and the longest the event loop stood still until the layout
//   was done. The baseline holds the same text with its cursor on the same line.
//
// Usage: bench_longlines [samples, default 5] [all | lines | large]

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextLayout>
#include <QTextCodec>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <ctime>
#include <functional>

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

// ---- A large document: the window resized, wrapping switched -------------------------

const int proseLines = 160000;
const int cursorLine = 149559;

// Lines of Chinese prose: 60 to 130 common characters, a comma now and then,
// a full stop at the end.
QString proseText(int lines)
{
    static const QString common = QStringLiteral(
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下过子说产种面而方后多"
        "定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都两体制机当使点从业本去把性好应开它合还因由"
        "其些然前外天政四日那社义事平形相全表间样与关各重新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意"
        "建月公无系军很情者最立代想已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统"
        "接知较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造百规热领七海口东导"
        "器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白教速花带安场身车例真务具万每目至达走积示"
        "议声报斗完类八离华名确才科张信马节话米整空元况今集温传土许步群广石记需段研界拉林律叫且究观越织装影算低持音众书布");
    QString text;
    text.reserve(lines * 100);
    BenchRandom random(2718);
    for (int line = 0; line < lines; ++line) {
        const int length = 60 + int(random.next() % 71);
        for (int i = 1; i < length; ++i) {
            const int r = int(random.next());
            text += i % 9 == 0 && r % 2 == 0 ? QChar(0xFF0C) : common.at(r % common.size());
        }
        text += QChar(0x3002);
        text += QLatin1String("\r\n");
    }
    return text;
}

// The time from a change of an editor to the end of the first paint of its
// viewport, to the end of the first paint after which `shows` holds, and the
// longest the event loop stood still until then and until the editor's
// background work was done.
class ViewWatch : public QObject
{
public:
    ViewWatch(QWidget* viewport, std::function<bool()> shows) : m_shows(std::move(shows))
    {
        viewport->installEventFilter(this);
        m_tick.start();
        m_timer.start();
    }

    // Makes the change and waits for the view; false after five minutes.
    bool run(const std::function<void()>& change, const std::function<bool()>& settled)
    {
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [this] { tick(); });
        ticker.start(5);
        m_timer.restart();
        m_tick.restart();
        change();
        tick();
        while ((m_seen < 0 || !settled()) && m_timer.elapsed() < 300000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        tick();
        return m_seen >= 0;
    }
    double firstPaint() const { return m_first; }
    double seen() const { return m_seen; }
    double longestStall() const { return m_stall; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || m_painting || m_seen >= 0)
            return false;
        // The paint is delivered here, so that its end is known.
        m_painting = true;
        QCoreApplication::sendEvent(watched, event);
        m_painting = false;
        if (m_first < 0)
            m_first = seconds(m_timer);
        if (m_shows())
            m_seen = seconds(m_timer);
        return true;
    }

private:
    void tick()
    {
        m_stall = qMax(m_stall, seconds(m_tick));
        m_tick.restart();
    }

    std::function<bool()> m_shows;
    QElapsedTimer m_timer;
    QElapsedTimer m_tick;
    double m_first = -1;
    double m_seen = -1;
    double m_stall = 0;
    bool m_painting = false;
};

struct Change
{
    double paint = 0; // seconds to the first paint
    double show = 0;  // seconds to the paint showing the cursor's line as laid out
    double stall = 0; // the longest stand-still of the event loop
};

// The cursor's paragraph has been laid out and the cursor is in the view.
bool programShowsCursor(MdiChild* child)
{
    return child->textCursor().block().layout()->lineCount() > 0
           && child->viewport()->rect().contains(child->cursorRect());
}

// The background layout has reached the end.
bool laidOut(const QTextDocument* document)
{
    return document->lastBlock().layout()->lineCount() > 0;
}

void waitLaidOut(const QTextDocument* document)
{
    QElapsedTimer timer;
    timer.start();
    while (!laidOut(document) && timer.elapsed() < 300000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

Change programChange(MdiChild* child, const std::function<void()>& change)
{
    ViewWatch watch(child->viewport(), [child] { return programShowsCursor(child); });
    if (!watch.run(change, [child] { return laidOut(child->document()); }))
        std::fprintf(stderr, "the program never showed the cursor's line\n");
    return {watch.firstPaint(), watch.seen(), watch.longestStall()};
}

Change plainChange(QPlainTextEdit* edit, const std::function<void()>& change)
{
    ViewWatch watch(edit->viewport(), [edit] { return edit->viewport()->rect().contains(edit->cursorRect()); });
    if (!watch.run(change, [] { return true; }))
        std::fprintf(stderr, "the baseline never showed the cursor's line\n");
    return {watch.firstPaint(), watch.seen(), watch.longestStall()};
}

void printChanges(const char* name, const QVector<Change>& ours, const QVector<Change>& plain)
{
    QVector<double> ourPaint, plainPaint, ourShow, plainShow, ourStall, plainStall;
    for (const Change& c : ours) {
        ourPaint << c.paint;
        ourShow << c.show;
        ourStall << c.stall;
    }
    for (const Change& c : plain) {
        plainPaint << c.paint;
        plainShow << c.show;
        plainStall << c.stall;
    }
    std::printf("%-28s %9.3f %9.3f %6.2f   %9.3f %9.3f   %9.3f %9.3f\n", name, median(ourPaint), median(plainPaint),
                median(ourPaint) / median(plainPaint), median(ourShow), median(plainShow), median(ourStall),
                median(plainStall));
    std::fflush(stdout);
}

// Resizes and wrap switches, each made alternately in the baseline and in the program.
void largeDocument(MainWindow& window, PlainWindow& plain, const QString& path, int samples)
{
    const QString text = proseText(proseLines);
    writeBytes(path, QTextCodec::codecForName("GB18030")->fromUnicode(text));
    std::printf("large document: %d lines, %.1f MB, cursor on line %d\n", proseLines,
                double(QFileInfo(path).size()) / 1e6, cursorLine);

    closeDocuments(window);
    window.resize(windowSize);
    window.open(path);
    MdiChild* child = window.activeMdiChild();
    child->setTextCursor(QTextCursor(child->document()->findBlockByNumber(cursorLine - 1)));
    child->showCursor();
    child->setFocus();
    waitLaidOut(child->document());

    plain.window.resize(windowSize);
    plain.edit->setPlainText(text);
    plain.edit->setTextCursor(QTextCursor(plain.edit->document()->findBlockByNumber(cursorLine - 1)));
    plain.edit->centerCursor();
    plain.edit->setFocus();
    QApplication::processEvents();

    const QSize narrower(windowSize.width() - 300, windowSize.height());
    QVector<Change> ours[4], theirs[4];
    for (int i = 0; i < samples; ++i) {
        for (int step = 0; step < 4; ++step) {
            const bool second = step % 2 == 1;
            if (step < 2) {
                const QSize size = second ? windowSize : narrower;
                theirs[step] << plainChange(plain.edit, [&] { plain.window.resize(size); });
                ours[step] << programChange(child, [&] { window.resize(size); });
            } else {
                const QPlainTextEdit::LineWrapMode mode = second ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap;
                theirs[step] << plainChange(plain.edit, [&] { plain.edit->setLineWrapMode(mode); });
                ours[step] << programChange(child, [&] { window.lineWrapAct->trigger(); });
                if ((child->lineWrapMode() == QTextEdit::NoWrap) != !second)
                    std::fprintf(stderr, "the wrap command left the wrapping as it was\n");
            }
        }
    }
    printChanges("30 MB, window narrower", ours[0], theirs[0]);
    printChanges("30 MB, window wider", ours[1], theirs[1]);
    printChanges("30 MB, wrapping off", ours[2], theirs[2]);
    printChanges("30 MB, wrapping on", ours[3], theirs[3]);
    closeDocuments(window);
    plain.edit->clear();
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
    const QString part = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("all");
    const bool lines = part != QLatin1String("large");
    const bool large = part != QLatin1String("lines");

    MainWindow window(nullptr, MainWindow::NoStartUpTimers);
    showWindow(window, "main");
    PlainWindow plain;
    if (large) {
        std::printf("%-28s %9s %9s %6s   %9s %9s   %9s %9s\n", "", "1st paint", "plain", "ratio", "on line", "plain",
                    "stall s", "plain");
        largeDocument(window, plain, folder + "/prose.txt", samples);
    }
    if (!lines)
        return 0;
    writeBytes(longFile, oneLineFile(1050000, -1));
    writeBytes(hitFile, oneLineFile(740000, 500000));
    searchFor(window, hitFolder);

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

