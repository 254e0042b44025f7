// Main window: printing, print preview and export to PDF, ODT, DOC and DOCX.

#include "MainWindow.h"

#include <QApplication>
#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTemporaryFile>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QTextDocumentWriter>
#include <QTextFrame>
#include <QUrl>
#include <memory>

#include "DocumentPrinter.h"
#include "MarkFormat.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "SafeSave.h"
#include "WordAutomation.h"

// ---- Printing and export -------------------------------------------------------

namespace {

// "导出到<name>错误!", the one box for every failed export write.
void showExportError(QWidget* parent, const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    QMessageBox box(QMessageBox::Critical, QObject::tr("错误"),
                    QObject::tr("导出到") + fileName + QObject::tr("错误!"), QMessageBox::Yes, parent);
    box.setTextFormat(Qt::PlainText);
    Prompt::current().exec(box);
}

void showWordError(QWidget* parent, const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    QMessageBox box(QMessageBox::Critical, QObject::tr("错误"), text, QMessageBox::Yes, parent);
    Prompt::current().exec(box);
}

// Asks for the export's file name; a name without suffix gets the default one.
QString askExportFileName(QWidget* parent, const QString& caption, const QString& suffix)
{
    qDebug() << Q_FUNC_INFO << ", caption =" << caption << ", suffix =" << suffix;
    QString fileName =
        Prompt::current().getSaveFileName(parent, caption, QString(), QStringLiteral("*") + suffix);
    if (!fileName.isEmpty() && QFileInfo(fileName).suffix().isEmpty())
        fileName += suffix;
    return fileName;
}

// The wait cursor while an export blocks the window; dropped before any box.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { release(); }
    void release()
    {
        if (m_active)
            QApplication::restoreOverrideCursor();
        m_active = false;
    }

private:
    bool m_active = true;
};

// The copy that is printed or exported. It has no QObject parent, so whoever
// holds it is its only owner; the pictures it does not hold itself it asks of
// the document it was copied from, while that lives.
class OutputDocument : public QTextDocument
{
public:
    explicit OutputDocument(QTextDocument* source)
        : m_source(source)
    {
        setMetaInformation(QTextDocument::DocumentTitle, source->metaInformation(QTextDocument::DocumentTitle));
        setPageSize(source->pageSize());
        setDefaultFont(source->defaultFont());
        setDefaultTextOption(source->defaultTextOption());
        setIndentWidth(source->indentWidth());
        setDefaultStyleSheet(source->defaultStyleSheet());
        // Thrown away after the output: its edits keep no Undo history.
        setUndoRedoEnabled(false);
    }

protected:
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (m_source) {
            const QVariant found = m_source->resource(type, name);
            if (found.isValid())
                return found;
        }
        return QTextDocument::loadResource(type, name);
    }

private:
    QPointer<QTextDocument> m_source;
};

// What is printed or exported: a copy of the document (or of its selection)
// whose marks keep their colours but link nowhere (their links are for the
// editor's pop-ups); the document itself keeps them. Every other link stays.
std::unique_ptr<QTextDocument> outputDocument(const MdiChild* child, bool selectionOnly = false)
{
    QTextDocument* source = child->document();
    // Its page size is the editor's and goes unused: printing lays it out afresh
    // on the printer's pages.
    auto copy = std::make_unique<OutputDocument>(source);
    QTextCursor cursor(copy.get());
    if (selectionOnly) {
        cursor.insertFragment(child->textCursor().selection());
    } else {
        cursor.insertFragment(QTextDocumentFragment(source));
        copy->rootFrame()->setFrameFormat(source->rootFrame()->frameFormat());
    }
    MarkFormat::unlinkMarks(copy.get());
    return copy;
}

// Says that the document could not be paginated and nothing was written.
void showTooTall(QWidget* parent, const QString& nothingDone)
{
    QMessageBox box(QMessageBox::Critical, QObject::tr("错误"), DocumentPrinter::tooTallText() + nothingDone,
                    QMessageBox::Yes, parent);
    Prompt::current().exec(box);
}

// Prints the document, or its selection when the printer asks for that, page by
// page whatever its length.
DocumentPrinter::Result printDocument(const MdiChild* child, QPrinter* printer)
{
    const bool selectionOnly = printer->printRange() == QPrinter::Selection;
    if (selectionOnly && !child->textCursor().hasSelection())
        return DocumentPrinter::Printed;
    const std::unique_ptr<QTextDocument> output = outputDocument(child, selectionOnly);
    return DocumentPrinter(output.get()).print(printer);
}

} // namespace

void MainWindow::print()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    QPrinter printer(QPrinter::ScreenResolution);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("打印文档"));
    dialog.setOption(QAbstractPrintDialog::PrintSelection, child->textCursor().hasSelection());
    if (Prompt::current().execDialog(dialog) != QDialog::Accepted || child != activeMdiChild())
        return;
    BusyCursor busy;
    const DocumentPrinter::Result result = printDocument(child, &printer);
    busy.release();
    if (result == DocumentPrinter::TooTall)
        showTooTall(this, tr("没有打印任何内容。"));
}

void MainWindow::printPreview()
{
    qDebug() << Q_FUNC_INFO;
    if (!activeMdiChild())
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, this);
    connect(&preview, SIGNAL(paintRequested(QPrinter*)), this, SLOT(filePrintPreview(QPrinter*)));
    Prompt::current().execDialog(preview);
}

void MainWindow::filePrintPreview(QPrinter* printer)
{
    qDebug() << Q_FUNC_INFO << ", printer =" << printer;
    MdiChild* child = activeMdiChild();
    if (child && printer && printDocument(child, printer) == DocumentPrinter::TooTall)
        showTooTall(this, tr("无法预览。"));
}

void MainWindow::filePrintPdf()
{
    qDebug() << Q_FUNC_INFO;
    const QPointer<MdiChild> child = activeMdiChild();
    if (!child)
        return;
    const QString fileName = askExportFileName(this, tr("导出为.pdf文档"), QStringLiteral(".pdf"));
    if (fileName.isEmpty() || !child)
        return;

    // The printer truncates its output file as it starts, so it writes a private
    // file; the target is replaced only by a complete PDF.
    QTemporaryFile pdf(QDir::tempPath() + QStringLiteral("/tarnquill-export-XXXXXX.pdf"));
    QByteArray data;
    if (pdf.open()) {
        pdf.close();
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf.fileName());
        BusyCursor busy;
        const DocumentPrinter::Result result = DocumentPrinter(outputDocument(child).get()).print(&printer);
        busy.release();
        if (result == DocumentPrinter::TooTall) {
            showTooTall(this, tr("没有导出任何内容。"));
            return;
        }
        if (result == DocumentPrinter::Printed && pdf.open())
            data = pdf.readAll();
    }
    QString error;
    if (!data.startsWith("%PDF") || !SafeSave::write(fileName, data, false, &error)) {
        qWarning() << Q_FUNC_INFO << "PDF export failed:" << fileName << error;
        showExportError(this, fileName);
    }
}

void MainWindow::filePrintOdt()
{
    qDebug() << Q_FUNC_INFO;
    const QPointer<MdiChild> child = activeMdiChild();
    if (!child)
        return;
    const QString fileName = askExportFileName(this, tr("导出为.odt文档"), QStringLiteral(".odt"));
    if (fileName.isEmpty() || !child)
        return;

    // The format follows the suffix (".odt" OpenDocument, ".html" HTML, ".txt" plain
    // text); an unknown suffix fails the write.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QTextDocumentWriter writer(&buffer, QFileInfo(fileName).suffix().toLower().toLatin1());
    QString error;
    if (!writer.write(outputDocument(child).get()) || !SafeSave::write(fileName, buffer.data(), false, &error)) {
        qWarning() << Q_FUNC_INFO << "export failed:" << fileName << error;
        showExportError(this, fileName);
    }
}

void MainWindow::filePrintDoc()
{
    qDebug() << Q_FUNC_INFO;
    filePrintMSDoc(QStringLiteral(".doc"));
}

void MainWindow::filePrintDocx()
{
    qDebug() << Q_FUNC_INFO;
    filePrintMSDoc(QStringLiteral(".docx"));
}

void MainWindow::filePrintMSDoc(const QString& suffix)
{
    qDebug() << Q_FUNC_INFO << ", suffix =" << suffix;
    const QPointer<MdiChild> child = activeMdiChild();
    if (!child)
        return;
    const QString fileName = askExportFileName(this, tr("导出为.doc文档"), suffix);
    if (fileName.isEmpty() || !child)
        return;

    // The HTML handed to the word processor: a new file of a unique name beside the
    // target, so it can never be the target or a file of the user's, removed on
    // every path when this function returns.
    const QFileInfo target(fileName);
    QTemporaryFile html(target.absolutePath() + QLatin1Char('/') + target.completeBaseName()
                        + QStringLiteral("_XXXXXX_tqwTmp.html"));
    bool written = html.open();
    if (written) {
        QTextDocumentWriter writer(&html, "html");
        written = writer.write(outputDocument(child).get()) && html.flush();
        html.close();
    }
    if (!written) {
        qWarning() << Q_FUNC_INFO << "cannot write the temporary HTML:" << html.fileName() << html.errorString();
        showExportError(this, fileName);
        return;
    }

    BusyCursor busy;
    std::unique_ptr<WordAutomation> word = WordAutomation::create();
    if (!word->start()) {
        qWarning() << Q_FUNC_INFO << word->errorString();
        busy.release();
        showWordError(this, tr("Word错误，请确认微软Word已经正确安装！"));
        return;
    }
    if (!word->documents()) {
        qWarning() << Q_FUNC_INFO << word->errorString();
        word->quit();
        busy.release();
        showWordError(this, tr("微软Word内部错误！"));
        return;
    }
    word->open(html.fileName());
    if (!word->activeDocument()) {
        qWarning() << Q_FUNC_INFO << word->errorString();
        word->quit();
        busy.release();
        showWordError(this, tr("Word版本错误，请确认您当前的Word版本是Word 2007 SP2或更高!"));
        return;
    }
    const int format = suffix == QLatin1String(".doc") ? WordAutomation::FormatDocument
                                                       : WordAutomation::FormatXmlDocument;
    const bool saved = word->saveAs(fileName, format, false, QString(), true, QString(), false);
    if (!saved)
        qWarning() << Q_FUNC_INFO << "Word export failed:" << word->errorString();
    word->closeActive(false);
    word->quit();
    busy.release();
    if (!saved)
        showExportError(this, fileName);
}
