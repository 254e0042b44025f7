// Two cases, each against a baseline in the same run:
// - A PDF of a document far taller than the toolkit's layout reaches (short
//   lines in 28 points at line spacing 4, 5,000 pages at 1200 dpi), paginated
//   in pieces, against the toolkit's own printing of a document of the same
//   lines just under its limit (2,334 pages): time per page, median of the runs.
// - One DOCX export of a formatted 100-page Chinese document through the
//   program's Word export path (HTML written from the document, then the
//   LibreOffice session), against running the same `soffice --convert-to` by
//   hand on the same HTML. Both use a warm private profile; the best of the
//   runs counts.
//
// Usage: bench_export [runs]   (default: 3)

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QProcess>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <algorithm>
#include <cstdio>

#include "DocumentPrinter.h"
#include "LibreOfficeWordAutomation.h"
#include "WordAutomation.h"

#include "BenchSupport.h"

namespace {

// Deterministic formatted Chinese paragraphs, about 100 A4 pages.
QString documentHtml(int paragraphs)
{
    QString html = QStringLiteral("<html><body>");
    BenchRandom random(4711);
    const char* colours[] = {"#000000", "#aa0000", "#0055aa", "#007700"};
    for (int p = 0; p < paragraphs; ++p) {
        if (p % 40 == 0)
            html += QStringLiteral("<h2>第%1章</h2>").arg(p / 40 + 1);
        html += QStringLiteral("<p>");
        for (int run = 0; run < 6; ++run) {
            QString text;
            for (int i = 0; i < 25; ++i)
                text += QChar(0x4E00 + int(random.next()) % 0x51A5);
            const QString colour = QString::fromLatin1(colours[random.next() % 4]);
            switch (run % 3) {
            case 0: html += QStringLiteral("<b>%1</b>").arg(text); break;
            case 1: html += QStringLiteral("<span style=\"color:%1\"><i>%2</i></span>").arg(colour, text); break;
            default: html += text + QChar(0x3002); break;
            }
        }
        html += QStringLiteral("</p>");
    }
    return html + QStringLiteral("</body></html>");
}

// Short numbered lines in 28 points at line spacing 4.
void fillTallLines(QTextDocument* document, int lines)
{
    QFont font = document->defaultFont();
    font.setPointSize(28);
    document->setDefaultFont(font);
    QString text;
    for (int i = 1; i <= lines; ++i)
        text += QStringLiteral("第%1行\n").arg(i);
    text.chop(1);
    document->setPlainText(text);
    QTextCursor cursor(document);
    cursor.select(QTextCursor::Document);
    QTextBlockFormat format;
    format.setLineHeight(400, QTextBlockFormat::ProportionalHeight);
    cursor.mergeBlockFormat(format);
}

// Milliseconds per page of one print into a PDF file at 1200 dpi; the pages
// are counted in the file.
template<typename F>
double perPage(const QString& fileName, int* pages, F print)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    QElapsedTimer timer;
    timer.start();
    print(&printer);
    const double ms = seconds(timer) * 1000;
    QFile file(fileName);
    file.open(QIODevice::ReadOnly);
    const QByteArray pdf = file.readAll();
    *pages = pdf.count("/Type /Page") - pdf.count("/Type /Pages");
    return *pages > 0 ? ms / *pages : -1.0;
}

void benchTallPdf(int runs, const QTemporaryDir& dir)
{
    QTextDocument under;
    fillTallLines(&under, 14000);
    QTextDocument tall;
    fillTallLines(&tall, 30000);
    QVector<double> plain, pieces;
    int underPages = 0, tallPages = 0;
    for (int i = 0; i < runs; ++i) {
        plain << perPage(dir.filePath(QStringLiteral("under.pdf")), &underPages,
                         [&](QPrinter* printer) { under.print(printer); });
        pieces << perPage(dir.filePath(QStringLiteral("tall.pdf")), &tallPages,
                          [&](QPrinter* printer) { DocumentPrinter(&tall).print(printer); });
    }
    const double a = median(plain), b = median(pieces);
    std::printf("tall PDF: toolkit print of %d pages %.3f ms/page; %d pages in pieces %.3f ms/page; ratio %.2fx\n",
                underPages, a, tallPages, b, b / a);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qSetMessagePattern(QStringLiteral("%{if-warning}%{message}%{endif}"));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    {
        QTemporaryDir pdfDir;
        benchTallPdf(runs, pdfDir);
    }
    if (LibreOfficeWordAutomation::findProgram().isEmpty()) {
        std::printf("LibreOffice (soffice) not found; nothing to measure\n");
        return 0;
    }

    QTemporaryDir dir;
    QTextDocument document;
    document.setHtml(documentHtml(730));
    document.setPageSize(QPageSize(QPageSize::A4).size(QPageSize::Point));
    std::printf("document: %d characters, %d A4 pages\n", document.characterCount(), document.pageCount());

    // By hand: the same HTML, converted by a plain soffice command line.
    const QString handHtml = dir.filePath(QStringLiteral("hand.html"));
    QTextDocumentWriter(handHtml, "html").write(&document);
    QTemporaryDir handProfile;
    auto byHand = [&]() {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start(LibreOfficeWordAutomation::findProgram(),
                      LibreOfficeWordAutomation::conversionArguments(handProfile.path(), 16, handHtml,
                                                                     dir.filePath(QStringLiteral("hand"))));
        process.waitForFinished(120000);
        const double s = seconds(timer);
        return QFileInfo(dir.filePath(QStringLiteral("hand/hand.docx"))).size() > 0 ? s : -1.0;
    };
    // The program's path, as the export command runs it after the file dialog.
    const QString target = dir.filePath(QStringLiteral("export.docx"));
    auto program = [&]() {
        QElapsedTimer timer;
        timer.start();
        const QString html = dir.filePath(QStringLiteral("export_tqwTmp.html"));
        QTextDocumentWriter(html, "html").write(&document);
        std::unique_ptr<WordAutomation> word = WordAutomation::create();
        bool ok = word->start() && word->documents();
        word->open(html);
        ok = ok && word->activeDocument() && word->saveAs(target, 16, false, QString(), true, QString(), false);
        word->closeActive(false);
        word->quit();
        QFile::remove(html);
        const double s = seconds(timer);
        return ok ? s : -1.0;
    };

    // Warm-up: both profiles are made and filled once.
    if (byHand() < 0 || program() < 0) {
        std::printf("conversion failed\n");
        return 1;
    }
    double bestHand = 1e9, bestProgram = 1e9;
    for (int i = 0; i < runs; ++i) {
        const double h = byHand();
        const double p = program();
        if (h < 0 || p < 0) {
            std::printf("conversion failed\n");
            return 1;
        }
        bestHand = std::min(bestHand, h);
        bestProgram = std::min(bestProgram, p);
    }
    std::printf("soffice by hand: %.3f s; program export: %.3f s; ratio %.2fx (goal <= 1.2x)\n", bestHand,
                bestProgram, bestProgram / bestHand);
    std::printf("output: %lld bytes\n", static_cast<long long>(QFileInfo(target).size()));
    return 0;
}
