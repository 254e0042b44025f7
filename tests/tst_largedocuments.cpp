// Long lines and tall documents in a real main window: go to line, the end of a
// document taller than the layout's fixed-point range, a find-in-files hit in a
// long line, and wrapping switched back on.

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QComboBox>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextLayout>

#include "LayoutGuard.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "SearchDialog.h"
#include "TestSupport.h"

// Counts the events of one type an object receives.
class EventCounter : public QObject
{
public:
    EventCounter(QObject* target, QEvent::Type type) : m_type(type) { target->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == m_type;
        return false;
    }

private:
    const QEvent::Type m_type;
};

class LargeDocumentsTest : public QObject
{
    Q_OBJECT

    QScopedPointer<MainWindow> window;
    QString folder;
    MdiChild* child = nullptr;

    bool openFile(const QString& name, const QByteArray& bytes)
    {
        writeAll(folder + "/" + name, bytes);
        window->open(folder + "/" + name);
        QApplication::processEvents();
        return (child = window->activeMdiChild());
    }
    bool cursorShown() const { return child->viewport()->rect().contains(child->cursorRect()); }
    LayoutGuard* guard() const { return child->findChild<LayoutGuard*>(); }
    int topLine() const { return child->cursorForPosition(QPoint(0, 0)).blockNumber() + 1; }

private slots:
    void init()
    {
        Settings().clear();
        QVERIFY(makeTestWorkFolder(folder));
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        window->resize(1000, 700);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    }

    void cleanup() { window.reset(); }

    // Far down a document still being laid out, the view follows the cursor (it
    // used to stay where the layout had got to until something was typed). A line
    // separator starts a line; a line past the end is the last.
    void goToLineShowsTheLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("wrap");
        QTest::addColumn<int>("line");
        QTest::addColumn<int>("position");
        const QByteArray lines = QByteArray(90, 'a').append("\r\n").repeated(21899);
        QTest::newRow("far down, wrapping") << lines << true << 20000 << 19999 * 91;
        QTest::newRow("far down, no wrapping") << lines << false << 20000 << 19999 * 91;
        const QByteArray separated = gb18030(QStringLiteral("one\ntwo\u2028three\nfour"));
        QTest::newRow("after a line separator") << separated << true << 3 << 8;
        QTest::newRow("the paragraph after it") << separated << true << 4 << 14;
        QTest::newRow("past the end") << separated << true << 9 << 14;
    }
    void goToLineShowsTheLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, wrap);
        QFETCH(int, line);
        QVERIFY(openFile("lines.txt", bytes));
        child->setWrapping(wrap);
        ScriptedPrompt prompt;
        prompt.intAnswers << line;
        window->gotoLine();
        QTEST(child->textCursor().position(), "position");
        QVERIFY(cursorShown());
        QCOMPARE(child->lineWrapMode(), wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    }

    // After a new width or a wrapping switch the view keeps the cursor's line,
    // or the line at its top when the cursor is out of view (it used to put back
    // the old pixel offset, which after the change showed some other line, and
    // far down a large document laid it all out at once). Far down, the view
    // shows that place at once, as it looks once the layout has got there.
    void viewKeepsItsLine_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("cursorInView");
        for (const char* change : {"narrower", "wider", "wrapping off", "wrapping on"}) {
            QTest::newRow(qPrintable(QString(change) + ", the cursor's line")) << change << true;
            QTest::newRow(qPrintable(QString(change) + ", the top line")) << change << false;
        }
    }
    void viewKeepsItsLine()
    {
        QFETCH(QString, change);
        QFETCH(bool, cursorInView);
        QByteArray lines;
        for (int line = 1; line <= 6000; ++line)
            lines += QByteArray::number(line) + QByteArray(" lorem ipsum dolor sit amet,").repeated(4) + "\r\n";
        QVERIFY(openFile("lines.txt", lines));
        window->mdiArea->activeSubWindow()->showMaximized();
        QApplication::processEvents();
        const bool wrapped = change != "wrapping on";
        child->setWrapping(wrapped);
        window->lineWrapAct->setChecked(wrapped);
        ScriptedPrompt prompt;
        prompt.intAnswers << 5000;
        window->gotoLine();
        QVERIFY(cursorShown());
        QScrollBar* bar = child->verticalScrollBar();
        if (!cursorInView)
            bar->setValue(bar->value() - 2 * child->viewport()->height());
        const int top = topLine();
        // The caret blinks: compared without it.
        child->clearFocus();

        if (change == "narrower" || change == "wider")
            window->resize(change == "narrower" ? 800 : 1200, 700);
        else
            window->lineWrapAct->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QVERIFY(guard()->catchingUp());
        const QImage preview = child->viewport()->grab().toImage();
        QTRY_VERIFY(!guard()->catchingUp());
        QCOMPARE(child->viewport()->grab().toImage(), preview);
        if (cursorInView)
            QVERIFY(cursorShown());
        else
            QCOMPARE(topLine(), top);
        QCOMPARE(child->textCursor().blockNumber(), 4999);
    }

    // Paragraphs whose top lies below 8,388,607 pixels used to be left blank.
    void endOfATallDocumentIsDrawn()
    {
        Settings().setValue("LineSpacing", 4.0);
        QVERIFY(openFile("tall.txt", QByteArray("the end is near\r\n").repeated(110000)));
        QTest::keyClick(child, Qt::Key_End, Qt::ControlModifier);
        const QTextBlock last = child->document()->lastBlock();
        QVERIFY(child->document()->documentLayout()->blockBoundingRect(last).top() > LayoutGuard::coordinateLimit);
        QVERIFY(cursorShown());
        // Text, not only the caret.
        const QImage image = child->viewport()->grab().toImage();
        const int background = child->viewport()->palette().color(QPalette::Base).lightness();
        int inked = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                inked += qAbs(image.pixelColor(x, y).lightness() - background) > 80;
        QVERIFY2(inked > 200, qPrintable(QString::number(inked)));
    }

    // Once a document taller than the layout's fixed-point range is laid out
    // whole, a new line spacing is one layout pass over the whole text: with
    // the toolkit's unlimited page that pass never ended once it crossed
    // 8,388,607 pixels.
    void newSpacingOfATallDocument()
    {
        Settings().setValue("LineSpacing", 4.0);
        QVERIFY(openFile("tall.txt", QByteArray("the end is near\r\n").repeated(110000)));
        // Without a finite page the pass below would never return.
        QVERIFY(child->document()->pageSize().height() > 0);
        QTest::keyClick(child, Qt::Key_End, Qt::ControlModifier);
        Settings().setValue("LineSpacing", 4.5);
        window->reloadPreferences(0);
        QCOMPARE(child->document()->lastBlock().blockFormat().lineHeight(), 450.0);
        QTest::keyClick(child, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(child->document()->documentLayout()->blockBoundingRect(child->document()->lastBlock()).top()
                > LayoutGuard::coordinateLimit);
        QVERIFY(cursorShown());
    }

    // A hit in a long line is placed in the document as laid out: no unwrapped
    // layout in between, which for such a line took minutes.
    void hitInALongLineOpensWithoutLayingOutAgain()
    {
        QVERIFY(openFile("long.txt", gb18030(QString(300000, QChar(0x6587)) + "读书人" + QString(1000, QChar(0x6587)))));
        window->search();
        SearchDialog* page = window->searchDialog;
        page->findChild<QComboBox*>("directoryComboBox")->setEditText(folder);
        page->findChild<QComboBox*>("fileComboBox")->setEditText("*.txt");
        page->includeComboBox()->setEditText("读书人");
        QTest::mouseClick(page->findChild<QWidget*>("findButton"), Qt::LeftButton);
        QCOMPARE(page->filesTable()->rowCount(), 1);

        QSignalSpy relayouts(child->document()->documentLayout(), &QAbstractTextDocumentLayout::update);
        window->openFileOfItem(0, 3);
        QCOMPARE(window->activeMdiChild(), child);
        QCOMPARE(relayouts.count(), 0);
        QCOMPARE(child->textCursor().selectionStart(), 300000);
        QCOMPARE(child->textCursor().selectedText(), QString("读书人"));
        QVERIFY(cursorShown());
        // Caret blinks and repaints do not shape the whole line again.
        QVERIFY(child->document()->firstBlock().layout()->cacheEnabled());

        // Idle once shown: over several blinks of the caret no layout pass
        // runs, in steps or at once, and the line keeps its place.
        child->setFocus();
        QAbstractTextDocumentLayout* layout = child->document()->documentLayout();
        QSignalSpy passes(layout, &QAbstractTextDocumentLayout::update);
        QSignalSpy sizes(layout, &QAbstractTextDocumentLayout::documentSizeChanged);
        EventCounter steps(layout, QEvent::Timer);
        const int offset = child->verticalScrollBar()->value();
        QTest::qWait(3 * QApplication::cursorFlashTime());
        QCOMPARE(passes.count(), 0);
        QCOMPARE(sizes.count(), 0);
        QCOMPARE(steps.count, 0);
        QCOMPARE(child->verticalScrollBar()->value(), offset);
        QVERIFY(cursorShown());
    }

    // Wrapping back on lays the line out at the page's width straight away: at
    // no width each character would get a line of its own (with a few hundred
    // thousand characters the layout then never ended).
    void wrappingAgainNeverLaysOutAtNoWidth()
    {
        QVERIFY(openFile("line.txt", gb18030(QString(20000, QChar(0x6587)))));
        window->lineWrapAct->trigger();
        QList<qreal> heights;
        connect(child->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                [&](const QSizeF& size) { heights << size.height(); });
        window->lineWrapAct->trigger();
        QVERIFY(!heights.isEmpty());
        for (const qreal height : heights)
            QVERIFY2(height < 2 * child->document()->size().height() + 100, qPrintable(QString::number(height)));
    }
};

TQ_TEST_MAIN(LargeDocumentsTest)
#include "tst_largedocuments.moc"
