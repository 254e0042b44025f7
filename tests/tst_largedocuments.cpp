// Long lines and tall documents in a real main window: go to line shows the
// line, the end of a document taller than the layout's fixed-point range is
// drawn, a find-in-files hit in a long line opens without laying the document
// out again, a long paragraph keeps its shaped glyphs, and switching wrapping
// back on never lays a long line out at no width.

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTextBlock>
#include <QTextLayout>

#include "LayoutGuard.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "SearchDialog.h"
#include "TestSupport.h"

namespace {

// Lines of ASCII text (so that every platform font draws them), `count` of them.
QByteArray numberedLines(int count, const QByteArray& text)
{
    QByteArray bytes;
    bytes.reserve(count * (text.size() + 10));
    for (int i = 1; i <= count; ++i)
        bytes += text + QByteArray::number(i) + "\r\n";
    return bytes;
}

// The block's rectangle in the editor's viewport.
QRectF rectInViewport(MdiChild* child, const QTextBlock& block)
{
    const QRectF rect = child->document()->documentLayout()->blockBoundingRect(block);
    return rect.translated(-child->horizontalScrollBar()->value(), -child->verticalScrollBar()->value());
}

// Pixels of the viewport's picture that differ clearly from its background.
int inkedPixels(QWidget* viewport)
{
    const QImage image = viewport->grab().toImage();
    const QColor background = viewport->palette().color(QPalette::Base);
    int inked = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (qAbs(pixel.lightness() - background.lightness()) > 80)
                ++inked;
        }
    return inked;
}

} // namespace

class LargeDocumentsTest : public QObject
{
    Q_OBJECT

    QScopedPointer<MainWindow> window;

    MdiChild* openFile(const QString& name, const QByteArray& bytes)
    {
        QString folder;
        if (!makeTestWorkFolder(folder))
            return nullptr;
        const QString path = folder + "/" + name;
        writeAll(path, bytes);
        window->open(path);
        QApplication::processEvents();
        return window->activeMdiChild();
    }

private slots:
    void init()
    {
        Settings().clear();
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        window->resize(1000, 700);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
    }

    void cleanup() { window.reset(); }

    // Far down a document still being laid out, the view follows the cursor
    // (it used to stay where the layout had got to until something was typed).
    void goToLineShowsTheLine_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("wrapping") << true;
        QTest::newRow("no wrapping") << false;
    }

    void goToLineShowsTheLine()
    {
        QFETCH(bool, wrap);
        MdiChild* child = openFile("lines.txt", numberedLines(21899, QByteArray(90, 'a') + " line "));
        QVERIFY(child);
        child->setWrapping(wrap);
        ScriptedPrompt prompt;
        prompt.intAnswers << 20000;
        window->gotoLine();
        const QTextBlock target = child->document()->findBlockByNumber(19999);
        QCOMPARE(child->textCursor().position(), target.position());
        const QRectF shown = rectInViewport(child, target);
        QVERIFY2(child->viewport()->rect().contains(child->cursorRect())
                     && child->viewport()->rect().contains(shown.topLeft().toPoint()),
                 qPrintable(QString("block at %1 (cursor %4, viewport %5), scrolled to %2 of %3")
                                .arg(shown.top())
                                .arg(child->verticalScrollBar()->value())
                                .arg(child->verticalScrollBar()->maximum())
                                .arg(child->cursorRect().top())
                                .arg(child->viewport()->height())));
        QCOMPARE(child->lineWrapMode(), wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    }

    // A line separator starts a line of its own, as the cursor counted unwrapped lines.
    void goToLineCountsLineSeparators()
    {
        window->newFile();
        MdiChild* child = window->activeMdiChild();
        child->setPlainText(QStringLiteral("one\ntwo") + QChar::LineSeparator + QStringLiteral("three\nfour"));
        ScriptedPrompt prompt;
        prompt.intAnswers << 3 << 4 << 9;
        window->gotoLine();
        QCOMPARE(child->textCursor().position(), 8);
        window->gotoLine();
        QCOMPARE(child->textCursor().position(), 14);
        window->gotoLine(); // past the end: the start of the last line
        QCOMPARE(child->textCursor().position(), 14);
    }

    // Paragraphs whose top lies below 8,388,607 pixels used to be left blank.
    void endOfATallDocumentIsDrawn()
    {
        Settings().setValue("LineSpacing", 4.0);
        MdiChild* child = openFile("tall.txt", numberedLines(110000, "the end is near "));
        QVERIFY(child);
        child->setFocus();
        QTest::keyClick(child, Qt::Key_End, Qt::ControlModifier);
        QApplication::processEvents();
        const QTextBlock last = child->document()->lastBlock();
        const QRectF lastRect = child->document()->documentLayout()->blockBoundingRect(last);
        QVERIFY2(lastRect.top() > LayoutGuard::coordinateLimit, "the document is not tall enough for this test");
        QVERIFY(last.layout()->lineCount() > 0);
        QVERIFY(child->viewport()->rect().intersects(rectInViewport(child, last).toRect()));
        // Text, not only the caret.
        QVERIFY(inkedPixels(child->viewport()) > 200);
    }

    // A hit in a long line is placed in the document as laid out: no unwrapped
    // layout in between, which for such a line took minutes.
    void hitInALongLineOpensWithoutLayingOutAgain()
    {
        const int before = 300000;
        QString folder;
        QVERIFY(makeTestWorkFolder(folder));
        const QString path = folder + "/long.txt";
        writeAll(path, gb18030(QString(before, QChar(0x6587)) + QStringLiteral("读书人") + QString(1000, QChar(0x6587))));
        window->open(path);
        MdiChild* child = window->activeMdiChild();
        QVERIFY(child);
        window->search();
        SearchDialog* page = window->searchDialog;
        page->findChild<QComboBox*>("directoryComboBox")->setEditText(folder);
        page->findChild<QComboBox*>("fileComboBox")->setEditText("*.txt");
        page->findChild<QComboBox*>("includeComboBox")->setEditText(QStringLiteral("读书人"));
        page->findChild<QComboBox*>("excludeComboBox")->setEditText(QString());
        QTest::mouseClick(page->findChild<QPushButton*>("findButton"), Qt::LeftButton);
        QCOMPARE(page->filesTable()->rowCount(), 1);

        QSignalSpy relayouts(child->document()->documentLayout(), &QAbstractTextDocumentLayout::update);
        window->openFileOfItem(0, 3);
        QCOMPARE(window->activeMdiChild(), child);
        QCOMPARE(relayouts.count(), 0);
        QCOMPARE(child->textCursor().selectionStart(), before);
        QCOMPARE(child->textCursor().selectedText(), QStringLiteral("读书人"));
        QCOMPARE(child->lineWrapMode(), QTextEdit::WidgetWidth);
        QVERIFY(child->viewport()->rect().contains(child->cursorRect()));
        // Caret blinks and repaints do not shape the whole line again.
        QVERIFY(child->document()->firstBlock().layout()->cacheEnabled());
    }

    // Wrapping back on lays the line out at the page's width straight away: at
    // no width it would give each character a line of its own (with a few
    // hundred thousand characters the layout then never ended).
    void wrappingAgainNeverLaysOutAtNoWidth()
    {
        MdiChild* child = openFile("line.txt", gb18030(QString(20000, QChar(0x6587))));
        QVERIFY(child);
        QAction* lineWrapAct = window->lineWrapAct;
        QVERIFY(lineWrapAct);
        lineWrapAct->setChecked(false);
        window->lineWrap();
        QCOMPARE(child->lineWrapMode(), QTextEdit::NoWrap);
        QList<qreal> heights;
        connect(child->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                [&](const QSizeF& size) { heights << size.height(); });
        lineWrapAct->setChecked(true);
        window->lineWrap();
        QCOMPARE(child->lineWrapMode(), QTextEdit::WidgetWidth);
        const qreal wrapped = child->document()->documentLayout()->blockBoundingRect(child->document()->firstBlock()).height();
        QVERIFY(!heights.isEmpty());
        for (const qreal height : heights)
            QVERIFY2(height < 2 * wrapped + 100, qPrintable(QString("%1 against %2").arg(height).arg(wrapped)));
    }
};

TQ_TEST_MAIN(LargeDocumentsTest)
#include "tst_largedocuments.moc"
