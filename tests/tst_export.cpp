// Export: the Word session's call sequence and failure boxes, the temporary HTML
// beside the target, PDF and ODT files read back, marks left out of every output
// (printing included) while the user's links stay, and real LibreOffice
// conversions (skipped where it is not installed).

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include "ExportSupport.h"
#include "LibreOfficeWordAutomation.h"
#include "MainWindow.h"
#include "MarkingRenderer.h"
#include "MdiChild.h"
#include "ModalResponder.h"
#include "SafeSave.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "TestSupport.h"
#include "WordAutomation.h"

namespace {

const QString exportError = QStringLiteral("导出到%1错误!");
const QString noWordText = QStringLiteral("Word错误，请确认微软Word已经正确安装！");
const QString documentsText = QStringLiteral("微软Word内部错误！");
const QString activeDocumentText = QStringLiteral("Word版本错误，请确认您当前的Word版本是Word 2007 SP2或更高!");
const QString& marker = exportMarker;
const QString& chineseText = exportChineseText;

// What the recording session saw.
struct Recording
{
    QStringList calls;
    QString htmlPath;
    bool htmlExistedAtOpen = false;
    QString htmlContent;
    QString failAt; // "start", "documents", "activeDocument" or "saveAs"
};

class RecordingWord : public WordAutomation
{
public:
    explicit RecordingWord(Recording* recording)
        : m_recording(recording)
    {
    }
    bool start() override { return record("start"); }
    bool documents() override { return record("documents"); }
    void open(const QString& fileName) override
    {
        record("open");
        m_recording->htmlPath = fileName;
        m_recording->htmlExistedAtOpen = QFileInfo(fileName).isFile();
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly))
            m_recording->htmlContent = QString::fromUtf8(file.readAll());
    }
    bool activeDocument() override { return record("activeDocument"); }
    bool saveAs(const QString& fileName, int format, bool lockComments, const QString& password,
                bool addToRecentFiles, const QString& writePassword, bool readOnlyRecommended) override
    {
        m_recording->calls << QStringLiteral("saveAs(%1,%2,%3,\"%4\",%5,\"%6\",%7)")
                                  .arg(QFileInfo(fileName).fileName())
                                  .arg(format)
                                  .arg(lockComments)
                                  .arg(password)
                                  .arg(addToRecentFiles)
                                  .arg(writePassword)
                                  .arg(readOnlyRecommended);
        if (m_recording->failAt == QLatin1String("saveAs"))
            return false;
        QFile file(fileName);
        return file.open(QIODevice::WriteOnly) && file.write("word file") > 0;
    }
    void closeActive(bool saveChanges) override
    {
        m_recording->calls << QStringLiteral("closeActive(%1)").arg(saveChanges);
    }
    void quit() override { m_recording->calls << QStringLiteral("quit"); }

private:
    bool record(const char* call)
    {
        m_recording->calls << QString::fromLatin1(call);
        return m_recording->failAt != QLatin1String(call);
    }
    Recording* m_recording;
};

// The text of a PDF through pdftotext, or a null string when it is not installed.
QString pdfText(const QString& fileName)
{
    if (QStandardPaths::findExecutable("pdftotext").isEmpty())
        return QString();
    QProcess process;
    process.start("pdftotext", {"-enc", "UTF-8", fileName, "-"});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// One entry of a ZIP file through unzip, or a null array when unzip is missing.
QByteArray zipEntry(const QString& fileName, const QString& entry)
{
    if (QStandardPaths::findExecutable("unzip").isEmpty())
        return QByteArray();
    QProcess process;
    process.start("unzip", {"-p", fileName, entry});
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

QStringList temporaryHtmlIn(const QString& folder)
{
    return QDir(folder).entryList({"*_tqwTmp.html"}, QDir::Files | QDir::Hidden);
}

// Links of the user's whose targets have no scheme and end in "#" and digits,
// as marks' targets do, and one with a scheme.
const QStringList userLinks{"https://example.org/", "notes.html#2", "#12", "www.example.org/faq#2"};

} // namespace

class ExportTest : public QObject
{
    Q_OBJECT

    QString work;

private slots:
    void init()
    {
        QVERIFY(makeTestWorkFolder(work));
    }

    void cleanup()
    {
        WordAutomation::setFactory({});
        SafeSave::setFaultHook({});
    }

    // ---- Word session: sequence, arguments, failure boxes ----------------------

    void wordSequence_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::addColumn<QString>("failAt");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<QString>("boxText");

        const QString doc = "saveAs(report.doc,0,0,\"\",1,\"\",0)";
        const QString docx = "saveAs(report.docx,16,0,\"\",1,\"\",0)";
        QTest::newRow("doc") << ".doc" << "" << QStringList{"start", "documents", "open", "activeDocument", doc,
                                                            "closeActive(0)", "quit"}
                             << "";
        QTest::newRow("docx") << ".docx" << "" << QStringList{"start", "documents", "open", "activeDocument", docx,
                                                              "closeActive(0)", "quit"}
                              << "";
        QTest::newRow("no application") << ".docx" << "start" << QStringList{"start"} << noWordText;
        QTest::newRow("no documents") << ".docx" << "documents" << QStringList{"start", "documents", "quit"}
                                      << documentsText;
        QTest::newRow("no active document")
            << ".doc" << "activeDocument" << QStringList{"start", "documents", "open", "activeDocument", "quit"}
            << activeDocumentText;
        QTest::newRow("save fails") << ".docx" << "saveAs"
                                    << QStringList{"start", "documents", "open", "activeDocument", docx,
                                                   "closeActive(0)", "quit"}
                                    << exportError.arg(QStringLiteral("%1/report.docx"));
    }

    void wordSequence()
    {
        QFETCH(QString, suffix);
        QFETCH(QString, failAt);
        QFETCH(QStringList, calls);
        QFETCH(QString, boxText);

        Recording recording;
        recording.failAt = failAt;
        WordAutomation::setFactory([&recording] { return std::make_unique<RecordingWord>(&recording); });
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window);
        ScriptedPrompt prompt;
        prompt.saveFileNames << work + "/report" + suffix;
        actionByText(&window, suffix == ".doc" ? "导出到DOC文件" : "导出到DOCX文件")->trigger();

        QCOMPARE(recording.calls, calls);
        QCOMPARE(prompt.saveFileQuestions, QStringList{"导出为.doc文档||*" + suffix});
        if (boxText.isEmpty()) {
            QVERIFY(prompt.texts.isEmpty());
            QCOMPARE(fileBytes(work + "/report" + suffix), QByteArray("word file"));
        } else {
            QCOMPARE(prompt.titles, QStringList{"错误"});
            QCOMPARE(prompt.texts, QStringList{boxText.contains("%1") ? boxText.arg(work) : boxText});
        }
        if (calls.contains("open")) {
            QVERIFY(recording.htmlExistedAtOpen);
            QVERIFY(recording.htmlContent.contains(chineseText));
            QVERIFY(recording.htmlContent.contains(marker));
        }
        // The temporary HTML is gone on every path.
        QCOMPARE(temporaryHtmlIn(work), QStringList());
    }

    void wordCancelAndNoDocument()
    {
        Recording recording;
        WordAutomation::setFactory([&recording] { return std::make_unique<RecordingWord>(&recording); });
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        window.filePrintDocx(); // no document: not even a dialog
        QVERIFY(prompt.saveFileQuestions.isEmpty());
        newExportDocument(window);
        window.filePrintDoc(); // cancelled
        QCOMPARE(prompt.saveFileQuestions.size(), 1);
        QVERIFY(recording.calls.isEmpty());
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(QDir(work).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    }

    // ---- The temporary HTML never meets the target or a file of the user's ----

    void temporaryName_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("userFile");

        QTest::newRow("no suffix") << "report" << "report.docx" << "";
        QTest::newRow("other suffix") << "report.txt" << "report.txt" << "";
        QTest::newRow("folder named like the suffix") << "x.docx/report.docx" << "x.docx/report.docx" << "";
        QTest::newRow("suffix inside the name") << "a.docx.b.docx" << "a.docx.b.docx" << "";
        QTest::newRow("user file of the old temporary name") << "report.docx" << "report.docx" << "report_tqwTmp.html";
    }

    void temporaryName()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, target);
        QFETCH(QString, userFile);

        QDir(work).mkpath(QFileInfo(work + "/" + chosen).path());
        if (!userFile.isEmpty())
            writeFile(work + "/" + userFile, "the user's own page");
        Recording recording;
        WordAutomation::setFactory([&recording] { return std::make_unique<RecordingWord>(&recording); });
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window);
        ScriptedPrompt prompt;
        prompt.saveFileNames << work + "/" + chosen;
        window.filePrintDocx();

        const QString targetPath = work + "/" + target;
        QVERIFY(prompt.texts.isEmpty());
        QVERIFY(recording.htmlExistedAtOpen);
        QVERIFY(QFileInfo(recording.htmlPath).fileName().endsWith("_tqwTmp.html"));
        QCOMPARE(QFileInfo(recording.htmlPath).absolutePath(), QFileInfo(targetPath).absolutePath());
        QVERIFY(QFileInfo(recording.htmlPath).absoluteFilePath() != QFileInfo(targetPath).absoluteFilePath());
        QVERIFY(recording.htmlPath != work + "/" + userFile);
        QCOMPARE(fileBytes(targetPath), QByteArray("word file"));
        QVERIFY(!QFileInfo::exists(recording.htmlPath));
        if (!userFile.isEmpty())
            QCOMPARE(fileBytes(work + "/" + userFile), QByteArray("the user's own page"));
        QCOMPARE(temporaryHtmlIn(QFileInfo(targetPath).absolutePath()),
                 userFile.isEmpty() ? QStringList() : QStringList{userFile});
    }

    void temporaryNameInMissingFolder()
    {
        Recording recording;
        WordAutomation::setFactory([&recording] { return std::make_unique<RecordingWord>(&recording); });
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window);
        ScriptedPrompt prompt;
        const QString target = work + "/missing/report.docx";
        prompt.saveFileNames << target;
        window.filePrintDocx();
        QCOMPARE(prompt.texts, QStringList{exportError.arg(target)});
        QVERIFY(recording.calls.isEmpty());
    }

    // ---- PDF --------------------------------------------------------------------

    void pdf_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::newRow("with suffix") << "out.pdf" << "out.pdf";
        QTest::newRow("no suffix") << "out" << "out.pdf";
        QTest::newRow("other suffix keeps the name") << "out.txt" << "out.txt";
        QTest::newRow("chinese name") << "导出 #1.pdf" << "导出 #1.pdf";
    }

    void pdf()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window, 200);
        ScriptedPrompt prompt;
        prompt.saveFileNames << work + "/" + chosen;
        actionByText(&window, "导出到PDF文件")->trigger();

        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(prompt.saveFileQuestions, QStringList{"导出为.pdf文档||*.pdf"});
        const QByteArray data = fileBytes(work + "/" + written);
        QVERIFY(data.startsWith("%PDF"));
        QVERIFY2(pdfPageCount(data) > 1, QByteArray::number(pdfPageCount(data)).constData());
        const QString text = pdfText(work + "/" + written);
        if (!text.isNull()) {
            QVERIFY(text.contains(marker));
            QVERIFY(text.contains(chineseText));
        }
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList{written});
    }

    void pdfFailure_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("missing folder") << false;
        QTest::newRow("replace fails, old file kept") << true;
    }

    void pdfFailure()
    {
        QFETCH(bool, existing);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window);
        ScriptedPrompt prompt;
        const QString target = existing ? QString(work + "/old.pdf") : QString(work + "/missing/out.pdf");
        if (existing) {
            writeFile(target, "previous export");
            SafeSave::setFaultHook([](SafeSave::Stage stage, const QString&) { return stage == SafeSave::Replace; });
        }
        prompt.saveFileNames << target;
        window.filePrintPdf();
        QCOMPARE(prompt.titles, QStringList{"错误"});
        QCOMPARE(prompt.texts, QStringList{exportError.arg(target)});
        if (existing)
            QCOMPARE(fileBytes(target), QByteArray("previous export"));
        else
            QVERIFY(!QFileInfo::exists(target));
    }

    // ---- ODT and the formats that follow the suffix ------------------------------

    void odt_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("kind");
        QTest::newRow("odt") << "out.odt" << "out.odt" << "odt";
        QTest::newRow("no suffix") << "out" << "out.odt" << "odt";
        QTest::newRow("html follows the suffix") << "out.html" << "out.html" << "html";
        QTest::newRow("txt follows the suffix") << "out.txt" << "out.txt" << "text";
    }

    void odt()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, written);
        QFETCH(QString, kind);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window);
        ScriptedPrompt prompt;
        prompt.saveFileNames << work + "/" + chosen;
        actionByText(&window, "导出到ODT文件")->trigger();

        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(prompt.saveFileQuestions, QStringList{"导出为.odt文档||*.odt"});
        const QString path = work + "/" + written;
        const QByteArray data = fileBytes(path);
        if (kind == "odt") {
            QVERIFY(data.startsWith("PK\x03\x04"));
            QVERIFY(data.contains("mimetypeapplication/vnd.oasis.opendocument.text"));
            const QByteArray content = zipEntry(path, "content.xml");
            if (!content.isNull()) {
                QVERIFY(QString::fromUtf8(content).contains(chineseText));
                QVERIFY(QString::fromUtf8(content).contains(marker));
            }
        } else if (kind == "html") {
            QVERIFY(data.contains("<html"));
            QVERIFY(QString::fromUtf8(data).contains(chineseText));
        } else {
            QVERIFY(!data.contains("<"));
            QVERIFY(QString::fromUtf8(data).contains(chineseText));
        }
    }

    void odtFailure_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("failReplace");
        QTest::newRow("unknown suffix") << "out.xyz" << false;
        QTest::newRow("missing folder") << "missing/out.odt" << false;
        QTest::newRow("replace fails, old file kept") << "old.odt" << true;
    }

    void odtFailure()
    {
        QFETCH(QString, chosen);
        QFETCH(bool, failReplace);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window);
        ScriptedPrompt prompt;
        const QString target = work + "/" + chosen;
        if (failReplace) {
            writeFile(target, "previous export");
            SafeSave::setFaultHook([](SafeSave::Stage stage, const QString&) { return stage == SafeSave::Replace; });
        }
        prompt.saveFileNames << target;
        window.filePrintOdt();
        QCOMPARE(prompt.titles, QStringList{"错误"});
        QCOMPARE(prompt.texts, QStringList{exportError.arg(target)});
        if (failReplace)
            QCOMPARE(fileBytes(target), QByteArray("previous export"));
        else
            QVERIFY(!QFileInfo::exists(target));
    }

    void exportsWithoutDocumentOrName()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ScriptedPrompt prompt;
        window.filePrintPdf();
        window.filePrintOdt();
        window.print();
        window.printPreview();
        QVERIFY(prompt.saveFileQuestions.isEmpty());
        QVERIFY(prompt.dialogs.isEmpty());
        newExportDocument(window);
        window.filePrintPdf();
        window.filePrintOdt();
        QCOMPARE(prompt.saveFileQuestions.size(), 2);
        QVERIFY(prompt.texts.isEmpty());
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList());
    }

    // ---- A checked document's marks are no links outside the editor --------------

    void marksAreNoLinksOutside_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("way");
        for (const char* kind : {"pdf", "print", "preview", "odt", "docx"})
            QTest::newRow(kind) << kind << "";
        for (const char* way : {"tqd", "reload", "paste"})
            QTest::newRow(way) << "odt" << way;
    }

    // The marks go out in their colours but as no links; every link of the
    // user's stays, whatever its target looks like, and the document on screen
    // is untouched. HTML does not keep what only marking sets: a document
    // saved as ".tqd" and opened or read again, or a marked passage pasted,
    // knows its marks by their shape (their own text, "#" and a number, in a
    // mark colour; a mark partly bold too).
    void marksAreNoLinksOutside()
    {
        QFETCH(QString, kind);
        QFETCH(QString, way);
        if (kind == "docx" && LibreOfficeWordAutomation::findProgram().isEmpty())
            QSKIP("LibreOffice is not installed");
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        MdiChild* child = newExportDocument(window);
        QTextCursor cursor(child->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText("犇", MarkingRenderer::markFormat("犇#0", "#FF0000"));
        cursor.insertText("我们", QTextCharFormat());
        cursor.insertText("迫不", MarkingRenderer::markFormat("迫不急待#1", "#0000FF"));
        QTextCharFormat bold = MarkingRenderer::markFormat("迫不急待#1", "#0000FF");
        bold.setFontWeight(QFont::Bold);
        cursor.insertText("急待", bold);
        for (const QString& href : userLinks)
            cursor.insertHtml(QString("&nbsp;<a href=\"%1\">链接</a>").arg(href));
        child->document()->setModified(false);
        const QString text = child->toPlainText();
        if (way == "tqd" || way == "reload") {
            QCOMPARE(child->saveFile(work + "/marked.tqd", false), int(ERROR_CODE_SUCCESS));
            if (way == "reload") { // as when the file changed on disk: read again in one undoable step
                child->reloadFilePath(child->currentFile());
            } else {
                window.newFile();
                QVERIFY(window.activeMdiChild()->loadFile(work + "/marked.tqd"));
            }
        } else if (way == "paste") {
            child->selectAll();
            child->copy();
            window.newFile();
            window.activeMdiChild()->paste();
        }
        MdiChild* shown = window.activeMdiChild();
        QVERIFY((shown == child) == (way.isEmpty() || way == "reload"));
        QCOMPARE(shown->toPlainText(), text);
        const QString html = shown->toHtml();
        const bool modified = shown->document()->isModified();

        const QString target = work + "/out." + kind;
        PrintPrompt prompt;
        prompt.printFile = target;
        prompt.saveFileNames << target;
        kind == "pdf" ? window.filePrintPdf() : kind == "print" ? window.print()
            : kind == "preview" ? actionByText(&window, "打印预览")->trigger()
            : kind == "odt" ? window.filePrintOdt() : window.filePrintMSDoc(".docx");
        // Where the output keeps its links: the PDF, ODT's content, DOCX's document with its relations.
        const QByteArray links = kind == "odt" ? zipEntry(target, "content.xml")
            : kind == "docx" ? zipEntry(target, "word/document.xml") + zipEntry(target, "word/_rels/document.xml.rels")
                             : fileBytes(target);
        QVERIFY(!links.isEmpty());
        for (const QString& mark : QStringList{"犇", "迫不急待"})
            QVERIFY(!QString::fromUtf8(links).contains(mark + "#") && !links.contains(QUrl::toPercentEncoding(mark)));
        QVERIFY(kind != "odt" || links.contains("fo:color=\"#ff0000\"")); // the marks keep their colour
        if (kind == "docx") {
            // A place in another file is a field, one in the document itself a bookmark link.
            const QByteArray field = " HYPERLINK &quot;%1&quot; \\l &quot;2&quot;";
            for (const QByteArray& link : {QByteArray("Target=\"https://example.org/\""), QByteArray("w:anchor=\"12\""),
                                           QByteArray(field).replace("%1", "notes.html"),
                                           QByteArray(field).replace("%1", "www.example.org/faq")})
                QVERIFY2(links.contains(link), link.constData());
            QCOMPARE(links.count("HYPERLINK"), 2);
        } else {
            const QByteArray open = kind == "odt" ? "xlink:href=\"" : "/URI (", close = kind == "odt" ? "\"" : ")";
            QCOMPARE(links.count(open), userLinks.size());
            for (const QString& href : userLinks)
                QVERIFY2(links.contains(open + href.toUtf8() + close), qPrintable(href));
        }
        QCOMPARE(shown->toHtml(), html);
        QCOMPARE(shown->document()->isModified(), modified);
    }

    // Read back from HTML, a link is a mark only in a mark's colour: a link of the user's
    // shaped like a mark (its own text, "#" and a number) in any other colour stays a link.
    void markColourReadBack_data()
    {
        QTest::addColumn<QString>("colour");
        QTest::addColumn<bool>("mark");
        QTest::newRow("red") << "#ff0000" << true;
        QTest::newRow("blue") << "#0000ff" << true;
        QTest::newRow("green") << "#008000" << false;
        QTest::newRow("black") << "#000000" << false;
        QTest::newRow("magenta, red at full") << "#ff00ff" << false;
        QTest::newRow("cyan, blue at full") << "#00ffff" << false;
        QTest::newRow("next to red") << "#fe0000" << false;
        QTest::newRow("navy") << "#000080" << false;
    }
    void markColourReadBack()
    {
        QFETCH(QString, colour);
        QFETCH(bool, mark);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        child->setHtml(QString("<p>前面 <a href=\"ab#3\" style=\"color:%1\">ab</a> 后面</p>").arg(colour));
        QTextCursor link(child->document());
        link.setPosition(4);
        QCOMPARE(link.charFormat().anchorHref(), QString("ab#3"));
        QCOMPARE(link.charFormat().foreground().color(), QColor(colour));
        QCOMPARE(child->saveFile(work + "/colour.tqd", false), int(ERROR_CODE_SUCCESS));
        window.newFile();
        QVERIFY(window.activeMdiChild()->loadFile(work + "/colour.tqd"));

        ScriptedPrompt prompt;
        prompt.saveFileNames << work + "/out.odt";
        window.filePrintOdt();
        const QByteArray content = zipEntry(work + "/out.odt", "content.xml");
        QVERIFY(content.contains(">ab<"));
        QCOMPARE(content.contains("xlink:href=\"ab#3\""), !mark);
    }

    // ---- The LibreOffice backend -------------------------------------------------

    void libreOfficeArguments_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<QString>("convertTo");
        QTest::newRow("doc") << 0 << "doc:MS Word 97";
        QTest::newRow("docx") << 16 << "docx:MS Word 2007 XML";
    }

    void libreOfficeArguments()
    {
        QFETCH(int, format);
        QFETCH(QString, convertTo);
        const QStringList arguments =
            LibreOfficeWordAutomation::conversionArguments("/tmp/a profile", format, "/x/in.html", "/x/out");
        QVERIFY(arguments.contains("--headless"));
        QVERIFY(arguments.contains("-env:UserInstallation=file:///tmp/a%20profile"));
        QVERIFY(arguments.contains("--infilter=HTML (StarWriter)"));
        QCOMPARE(arguments.at(arguments.indexOf("--convert-to") + 1), convertTo);
        QCOMPARE(arguments.at(arguments.indexOf("--outdir") + 1), QString("/x/out"));
        QCOMPARE(arguments.last(), QString("/x/in.html"));
    }

    // Stand-ins for soffice on PATH: the backend must check what it gets.
    void libreOfficeFailures_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("boxText");
        QTest::newRow("not installed") << "" << noWordText;
        QTest::newRow("writes nothing") << "#!/bin/sh\nexit 0\n" << exportError;
        QTest::newRow("fails") << "#!/bin/sh\necho broken >&2\nexit 81\n" << exportError;
        QTest::newRow("writes something else")
            << "#!/bin/sh\nprev=\nfor a; do [ \"$prev\" = --outdir ] && out=$a; prev=$a; last=$a; done\n"
               "b=$(basename \"$last\" .html)\n"
               "echo '<html>not word</html>' > \"$out/$b.docx\"\n"
            << exportError;
        QTest::newRow("hangs") << "#!/bin/sh\nexec sleep 30\n" << exportError;
    }

    void libreOfficeFailures()
    {
        QFETCH(QString, script);
        QFETCH(QString, boxText);
        const QString bin = work + "/bin";
        QDir().mkpath(bin);
        if (!script.isEmpty()) {
            writeFile(bin + "/soffice", script.toUtf8());
            QFile::setPermissions(bin + "/soffice", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.toLocal8Bit());
        const int timeout = LibreOfficeWordAutomation::timeout();
        LibreOfficeWordAutomation::setTimeout(1000);

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window);
        ScriptedPrompt prompt;
        const QString target = work + "/report.docx";
        writeFile(target, "previous export");
        prompt.saveFileNames << target;
        QElapsedTimer timer;
        timer.start();
        window.filePrintDocx();
        const qint64 elapsed = timer.elapsed();

        qputenv("PATH", path);
        LibreOfficeWordAutomation::setTimeout(timeout);
        QCOMPARE(prompt.texts, QStringList{boxText.contains("%1") ? boxText.arg(target) : boxText});
        QCOMPARE(fileBytes(target), QByteArray("previous export"));
        QCOMPARE(temporaryHtmlIn(work), QStringList());
        QVERIFY2(elapsed < 10000, QByteArray::number(elapsed).constData());
    }

    void libreOfficeConversion_data()
    {
        QTest::addColumn<QString>("suffix");
        QTest::newRow("docx") << ".docx";
        QTest::newRow("doc") << ".doc";
    }

    void libreOfficeConversion()
    {
        QFETCH(QString, suffix);
        if (LibreOfficeWordAutomation::findProgram().isEmpty())
            QSKIP("LibreOffice is not installed");
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        newExportDocument(window, 20);
        ScriptedPrompt prompt;
        const QString target = work + "/文章 #1" + suffix;
        writeFile(target, "previous export");
        prompt.saveFileNames << target;
        window.filePrintMSDoc(suffix);

        QVERIFY2(prompt.texts.isEmpty(), qPrintable(prompt.texts.join('\n')));
        const QByteArray data = fileBytes(target);
        if (suffix == ".docx") {
            QVERIFY(data.startsWith("PK\x03\x04"));
            const QByteArray body = zipEntry(target, "word/document.xml");
            if (!body.isNull()) {
                QVERIFY(QString::fromUtf8(body).contains(chineseText));
                QVERIFY(QString::fromUtf8(body).contains(marker));
            }
        } else {
            QVERIFY(data.startsWith(QByteArray("\xD0\xCF\x11\xE0", 4)));
            // Word 97 keeps Chinese text as UTF-16.
            const QByteArray utf16(reinterpret_cast<const char*>(chineseText.utf16()), chineseText.size() * 2);
            QVERIFY(data.contains(utf16));
        }
        QCOMPARE(temporaryHtmlIn(work), QStringList());
        QCOMPARE(QDir(work).entryList(QDir::Files), QStringList{QFileInfo(target).fileName()});
    }
};

TQ_TEST_MAIN(ExportTest)
#include "tst_export.moc"
