// Printing and print preview: the selection offered and printed, page ranges,
// pages rendered in the preview, and documents too tall for the toolkit's own
// pagination coming out whole, page for page as the toolkit would print them,
// or refused with nothing written.

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include "DocumentPrinter.h"
#include "ExportSupport.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "SettingsStore.h"
#include "TestSupport.h"

namespace {

// Some forty pages of what a document can hold: headings, indented, centred and
// justified paragraphs with more space above, bulleted and numbered lists, tables,
// page breaks, a paragraph of several pages and a run of small tables.
QString mixedHtml()
{
    QString html;
    QString text;
    for (int i = 0; i < 40; ++i)
        text += exportChineseText + (i % 3 ? QStringLiteral(" Latin words, ") : QString());
    for (int chapter = 1; chapter <= 16; ++chapter) {
        html += QStringLiteral("<h2%1>第%2章</h2>").arg(chapter % 4 == 3 ? " style=\"page-break-before:always\"" : "").arg(chapter);
        html += QStringLiteral("<p style=\"text-indent:2em\">%1</p>").arg(text.left(100 * chapter));
        html += QStringLiteral("<p align=\"center\" style=\"margin-top:30px\">%1</p>").arg(text.left(90));
        html += QStringLiteral("<p align=\"justify\">%1</p>").arg(text.left(300 + 20 * chapter));
        html += chapter % 2 ? QStringLiteral("<ul><li>%1</li><li>%2</li><li>%1</li></ul>").arg(text.left(200), text.left(40))
                            : QStringLiteral("<ol><li>%1</li><li>%2</li><li>%1</li></ol>").arg(text.left(150), text.left(50));
        if (chapter % 3 != 2) {
            html += QStringLiteral("<table border=\"1\" cellpadding=\"3\">");
            for (int row = 0; row < 2 + chapter % 7; ++row)
                html += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(row).arg(text.left(20 + 7 * row));
            html += QStringLiteral("</table>");
        }
        if (chapter == 6)
            html += QStringLiteral("<p>%1</p>").arg(text.repeated(8));
    }
    // Small tables in a row, so that some page begins just after one.
    for (int i = 0; i < 60; ++i)
        html += QStringLiteral("<p>%1</p><table border=\"1\"><tr><td>%2</td></tr></table>").arg(text.left(10 + 37 * (i % 4))).arg(i);
    return html;
}

// Short numbered lines, one paragraph each.
QString numberedLines(int count)
{
    QString text;
    for (int i = 1; i <= count; ++i)
        text += QStringLiteral("第%1行\n").arg(i);
    text.chop(1);
    return text;
}

// Pages the toolkit's own printing gives the first `lines` paragraphs of a
// document on a PDF printer.
int toolkitPages(const QString& folder, const QTextDocument* source, int lines, QPrinter::PrinterMode mode)
{
    QTextCursor selection(const_cast<QTextDocument*>(source));
    selection.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, lines - 1);
    selection.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    QTextDocument document;
    document.setDefaultFont(source->defaultFont());
    document.setDefaultTextOption(source->defaultTextOption());
    QTextCursor(&document).insertFragment(selection.selection());
    QPrinter printer(mode);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(folder + "/toolkit.pdf");
    document.print(&printer);
    return pdfPageCount(fileBytes(folder + "/toolkit.pdf"));
}

// The pages the toolkit would give a document of equal numbered lines if it
// could lay them all out: pages as full as its first page, and a last page as
// its printing of the lines left over makes it (one more, blank, when the last
// line's spacing reaches past the page).
int toolkitPagesOfAll(const QString& folder, const QTextDocument* source, QPrinter::PrinterMode mode)
{
    toolkitPages(folder, source, qMin(source->blockCount(), 200), mode);
    QProcess process;
    process.start("pdftotext", {"-f", "1", "-l", "1", folder + "/toolkit.pdf", "-"});
    process.waitForFinished(30000);
    const int perPage = QString::fromUtf8(process.readAllStandardOutput()).count(QStringLiteral("第"));
    if (perPage == 0)
        return -1;
    const int full = (source->blockCount() - 1) / perPage;
    return full + toolkitPages(folder, source, source->blockCount() - full * perPage, mode);
}

// The words of a PDF with their places, page by page, through pdftotext.
QString pdfLayout(const QString& fileName)
{
    QProcess process;
    process.start("pdftotext", {"-bbox", fileName, "-"});
    process.waitForFinished(60000);
    QString text = QString::fromUtf8(process.readAllStandardOutput());
    text.remove(QRegularExpression("<meta name=\"CreationDate\"[^>]*>"));
    return text;
}

} // namespace

class PrintingTest : public QObject
{
    Q_OBJECT

    QString work;
    const int pieceHeight = DocumentPrinter::pieceHeight();

    // A plain text file of numbered lines opened in the editor, in the given
    // font size and line spacing.
    MdiChild* openLines(MainWindow& window, int lines, qreal spacing, int points, const QString& tail = QString())
    {
        Settings settings;
        settings.setValue("EditorFontType", 1);
        settings.setValue("EditorFontSize", points);
        settings.setValue("LineSpacing", spacing);
        QString text = numberedLines(lines);
        if (!tail.isEmpty())
            text.replace("行", "行" + tail);
        writeFile(work + "/lines.txt", text.toUtf8());
        window.open(work + "/lines.txt");
        MdiChild* child = window.activeMdiChild();
        return child && child->document()->blockCount() == lines ? child : nullptr;
    }

private slots:
    void init()
    {
        QVERIFY(makeTestWorkFolder(work));
    }

    void cleanup()
    {
        DocumentPrinter::setPieceHeight(pieceHeight);
        Settings settings;
        for (const char* key : {"EditorFontType", "EditorFontSize", "LineSpacing"})
            settings.remove(key);
    }

    void printOffersSelectionOnlyWithOne_data()
    {
        QTest::addColumn<bool>("select");
        QTest::newRow("no selection") << false;
        QTest::newRow("selection") << true;
    }

    void printOffersSelectionOnlyWithOne()
    {
        QFETCH(bool, select);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        MdiChild* child = newExportDocument(window, 100);
        if (select) {
            QTextCursor cursor = child->textCursor();
            cursor.setPosition(0);
            cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
            child->setTextCursor(cursor);
        }
        PrintPrompt prompt;
        prompt.printFile = work + "/printed.pdf";
        prompt.printSelection = select;
        actionByText(&window, "打印")->trigger();
        QCOMPARE(prompt.selectionOffered, select);
        const QByteArray data = fileBytes(prompt.printFile);
        QVERIFY(data.startsWith("%PDF"));
        // The selection is one heading: one page; the whole document takes several.
        if (select)
            QCOMPARE(pdfPageCount(data), 1);
        else
            QVERIFY(pdfPageCount(data) > 1);
    }

    // A range of pages prints those pages of the whole, with their numbers.
    void printPageRange()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window, 150);
        PrintPrompt prompt;
        prompt.printFile = work + "/all.pdf";
        window.print();
        const QString all = pdfLayout(prompt.printFile);
        QVERIFY(all.count("<page ") > 4);
        prompt.printFile = work + "/range.pdf";
        prompt.fromPage = 2;
        prompt.toPage = 3;
        window.print();
        const QString range = pdfLayout(prompt.printFile);
        QCOMPARE(range.count("<page "), 2);
        const int second = all.indexOf("<page ", all.indexOf("<page ") + 1);
        const int fourth = all.indexOf("<page ", all.indexOf("<page ", second + 1) + 1);
        QVERIFY(range.contains(all.mid(second, fourth - second).trimmed()));
    }

    void previewRendersPages()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window, 150);
        PrintPrompt prompt;
        actionByText(&window, "打印预览")->trigger();
        QCOMPARE(prompt.dialogs.size(), 1);
        QVERIFY2(prompt.previewPages > 1, QByteArray::number(prompt.previewPages).constData());
    }

    // ---- A tall document comes out whole --------------------------------------------

    void tallDocumentWhole_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<double>("spacing");
        QTest::addColumn<int>("points");
        QTest::addColumn<int>("lines");
        // Past the height where the toolkit's layout overflows at 1200 dpi
        // (about 2,450 pages), in large print to keep the files small.
        QTest::newRow("pdf") << "pdf" << 1.0 << 72 << 21000;
        QTest::newRow("pdf, line spacing 4") << "pdf" << 4.0 << 28 << 15000;
        QTest::newRow("print at 1200 dpi, line spacing 4") << "print" << 4.0 << 28 << 15000;
        QTest::newRow("preview, line spacing 4") << "preview" << 4.0 << 28 << 15000;
    }

    void tallDocumentWhole()
    {
        QFETCH(QString, kind);
        QFETCH(double, spacing);
        QFETCH(int, points);
        QFETCH(int, lines);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        MdiChild* child = openLines(window, lines, spacing, points);
        QVERIFY(child);
        QCOMPARE(child->document()->defaultFont().pointSize(), points);
        const int pages = toolkitPagesOfAll(work, child->document(), QPrinter::HighResolution);
        QVERIFY2(pages > 2500, QByteArray::number(pages).constData());
        if (kind == "pdf") // the toolkit alone comes out short
            QCOMPARE(toolkitPages(work, child->document(), lines, QPrinter::HighResolution), 1);

        const QString target = work + "/tall.pdf";
        PrintPrompt prompt;
        prompt.printFile = target;
        prompt.resolution = 1200;
        prompt.saveFileNames << target;
        kind == "pdf" ? window.filePrintPdf() : kind == "print" ? window.print() : window.printPreview();
        QVERIFY2(prompt.texts.isEmpty(), qPrintable(prompt.texts.join('\n')));
        if (kind == "preview") {
            QCOMPARE(prompt.previewPages, pages);
            return;
        }
        QCOMPARE(pdfPageCount(fileBytes(target)), pages);
        // The last line is there, on one of the last two pages.
        QProcess process;
        process.start("pdftotext", {"-f", QString::number(pages - 1), target, "-"});
        process.waitForFinished(30000);
        const QString end = QString::fromUtf8(process.readAllStandardOutput());
        QVERIFY(end.contains(QStringLiteral("第%1行").arg(lines)));
    }

    // The editor gives a document this tall a finite page height of its own; on
    // paper it is paginated afresh all the same, every page.
    void tallEditorDocumentPrints()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const int lines = 26000;
        window.resize(1000, 700);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        MdiChild* child = openLines(window, lines, 4.0, 28, QStringLiteral("，春风又绿江南岸"));
        QVERIFY(child);
        QTest::keyClick(child, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(child->document()->pageSize().height() > 0);
        PrintPrompt prompt;
        prompt.printFile = work + "/printed.pdf";
        actionByText(&window, "打印")->trigger();
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(pdfPageCount(fileBytes(prompt.printFile)),
                 toolkitPagesOfAll(work, child->document(), QPrinter::ScreenResolution));
    }

    // Cut into pieces of a few pages, a document of headings, indented, centred
    // and justified paragraphs, lists, tables and page breaks comes out as the
    // toolkit prints it whole: the same pages with every word in its place.
    void piecesMakeTheToolkitsPages_data()
    {
        QTest::addColumn<int>("pieceHeight");
        QTest::newRow("whole") << 0;
        QTest::newRow("pieces of about a page") << 14000;
        QTest::newRow("pieces of about 2 pages") << 30000;
        QTest::newRow("pieces of about 5 pages") << 70000;
    }

    void piecesMakeTheToolkitsPages()
    {
        QFETCH(int, pieceHeight);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        child->setHtml(mixedHtml());
        QTextDocument* copy = child->document()->clone();
        copy->setPageSize(QSizeF());
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(work + "/toolkit.pdf");
        copy->print(&printer);
        delete copy;

        if (pieceHeight > 0)
            DocumentPrinter::setPieceHeight(pieceHeight);
        ScriptedPrompt prompt;
        prompt.saveFileNames << work + "/pieces.pdf";
        window.filePrintPdf();
        QVERIFY2(prompt.texts.isEmpty(), qPrintable(prompt.texts.join('\n')));
        const QString toolkit = pdfLayout(work + "/toolkit.pdf");
        const QString pieces = pdfLayout(work + "/pieces.pdf");
        QVERIFY2(toolkit.count("<page ") > 20, qPrintable(QString::number(toolkit.count("<page "))));
        QCOMPARE(pieces.count("<page "), toolkit.count("<page "));
        QCOMPARE(pieces, toolkit);
    }

    // A table or numbered list taller than a piece cannot be paginated: the user
    // is told so, and nothing is written.
    void tooTallToPaginate_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("html");
        QString rows, items;
        for (int i = 0; i < 300; ++i) {
            rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(i).arg(exportChineseText);
            items += QStringLiteral("<li>%1</li>").arg(exportChineseText);
        }
        const QString table = "<p>前言</p><table border=\"1\">" + rows + "</table><p>后记</p>";
        const QString list = "<p>前言</p><ol>" + items + "</ol><p>后记</p>";
        QTest::newRow("pdf, table") << "pdf" << table;
        QTest::newRow("pdf, numbered list") << "pdf" << list;
        QTest::newRow("print, table") << "print" << table;
    }

    void tooTallToPaginate()
    {
        QFETCH(QString, kind);
        QFETCH(QString, html);
        DocumentPrinter::setPieceHeight(8000); // pieces of at most about 5 pages at 1200 dpi
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        window.activeMdiChild()->setHtml(html);
        const QString target = work + "/out.pdf";
        PrintPrompt prompt;
        prompt.printFile = target;
        prompt.resolution = 1200;
        prompt.saveFileNames << target;
        kind == "pdf" ? window.filePrintPdf() : window.print();
        const QString nothing = kind == "pdf" ? "没有导出任何内容。" : "没有打印任何内容。";
        QCOMPARE(prompt.titles, QStringList{"错误"});
        QCOMPARE(prompt.texts, QStringList{"文档中有表格或编号列表太长，无法分页。" + nothing});
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList());
    }
};

TQ_TEST_MAIN(PrintingTest)
#include "tst_printing.moc"
