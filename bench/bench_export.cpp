// One DOCX export of a formatted 100-page Chinese document through the program's
// Word export path (HTML written from the document, then the LibreOffice
// session), against running the same `soffice --convert-to` by hand on the same
// HTML in the same run. Both use a warm private profile; the best of the runs counts.
//
// Usage: bench_export [runs]   (default: 3)

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPageSize>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTextDocumentWriter>

#include <algorithm>
#include <cstdio>

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

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    qSetMessagePattern(QStringLiteral("%{if-warning}%{message}%{endif}"));
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
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
