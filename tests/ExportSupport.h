#pragma once
// What the print and export tests share: a prompt that answers the print and
// preview dialogs, a document to print, and the pages of a PDF.

#include <QByteArray>
#include <QString>

#include <QAction>
#include <QCoreApplication>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "ModalResponder.h"
#include "TestSupport.h"

class MainWindow;
class MdiChild;

extern const QString exportMarker;      // a Latin phrase every test document holds
extern const QString exportChineseText; // and a Chinese one

// A new document of the window: a heading and a paragraph with the two texts,
// then paragraphs - 1 further paragraphs of Chinese text.
MdiChild* newExportDocument(MainWindow& window, int paragraphs = 1);

int pdfPageCount(const QByteArray& pdf);

// Answers the print dialogs: records the selection option, prints to a PDF file
// instead of a printer, and renders the preview.
class PrintPrompt : public ScriptedPrompt
{
public:
    int execDialog(QDialog& dialog) override
    {
        ScriptedPrompt::execDialog(dialog);
        if (auto* printDialog = qobject_cast<QPrintDialog*>(&dialog)) {
            selectionOffered = printDialog->testOption(QAbstractPrintDialog::PrintSelection);
            printDialog->printer()->setOutputFormat(QPrinter::PdfFormat);
            printDialog->printer()->setOutputFileName(printFile);
            if (resolution > 0)
                printDialog->printer()->setResolution(resolution);
            if (toPage > 0) {
                printDialog->printer()->setPrintRange(QPrinter::PageRange);
                printDialog->printer()->setFromTo(fromPage, toPage);
            }
            if (printSelection)
                printDialog->printer()->setPrintRange(QPrinter::Selection);
            return QDialog::Accepted;
        }
        if (auto* preview = dialog.findChild<QPrintPreviewWidget*>()) {
            preview->updatePreview();
            previewPages = preview->pageCount();
            if (!printFile.isEmpty())
                printPreviewed(static_cast<QPrintPreviewDialog&>(dialog));
        }
        return QDialog::Rejected;
    }
    // With a file to print to, prints from the preview too: through its own
    // print action and the print dialog that opens.
    void printPreviewed(QPrintPreviewDialog& dialog)
    {
        dialog.printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog.printer()->setOutputFileName(printFile);
        const QString print = QCoreApplication::translate("QPrintPreviewDialog", "Print");
        for (QAction* action : dialog.findChildren<QAction*>())
            if (action->text() == print) {
                ModalResponder responder;
                responder.enqueue([](QWidget* modal) { qobject_cast<QDialog*>(modal)->accept(); });
                action->trigger();
            }
    }
    bool selectionOffered = false;
    bool printSelection = false;
    int resolution = 0; // the printer's dots per inch, when set
    int fromPage = 0;   // the pages to print, when toPage is set
    int toPage = 0;
    QString printFile;
    int previewPages = -1;
};

