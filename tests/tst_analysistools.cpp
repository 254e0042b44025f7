// The companion analysis tools. The runner, with the fake tool of
// tests/analysis-tools: the argument lists of the eight commands, the
// short-text rule, the frequency listing reader, the part-of-speech highlight,
// the word-cloud input and picture, and the wait that stops a tool. The real
// companion programs, for their contracts: CharFreqCounter, JieBa's four modes
// (quiet standard error, private cache) and WordCloud, and all of them on files
// they cannot read whole.

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QRadioButton>
#include <QTextBlock>
#include <QTextCodec>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>
#include <QTextImageFormat>

#include <functional>

#include "CharEvaluateDialog.h"
#include "FrequencyListing.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "OutputDialogEx.h"
#include "PartOfSpeechFlags.h"
#include "TestSupport.h"
#include "TextAnalysisRunner.h"
#include "TextFileReader.h"
#include "WordCloudDialog.h"
#include "WordEvaluateDialog.h"
#include "ui_CharEvaluateDialog.h"
#include "ui_WordCloudDialog.h"
#include "ui_WordEvaluateDialog.h"

namespace {

const QByteArray utf8Mark("\xEF\xBB\xBF");

QString fakeTool()
{
    return TestEnvironment::sourceDir() + "/tests/analysis-tools/fake-tool.sh";
}

QString companion(const QString& name)
{
    return TestEnvironment::programDir() + "/Utilities/" + name + "/" + name;
}

// Answers the option dialogs: `prepare` fills them in, then they are accepted
// or cancelled as `dialogResult` says.
class ToolPrompt : public ScriptedPrompt
{
public:
    std::function<void(QDialog&)> prepare;

    int execDialog(QDialog& dialog) override
    {
        ScriptedPrompt::execDialog(dialog);
        if (prepare)
            prepare(dialog);
        return dialogResult;
    }
};

struct Picture
{
    QString name;
    QImage image; // from the document's resources
};

QList<Picture> picturesOf(QTextDocument* document)
{
    QList<Picture> pictures;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                const QString name = it.fragment().charFormat().toImageFormat().name();
                pictures << Picture{name, document->resource(QTextDocument::ImageResource, QUrl(name)).value<QImage>()};
            }
    return pictures;
}

QImage filled(int width, int height, const QColor& colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Runs a companion program with its two output streams apart.
struct Separate
{
    QString out;
    QString err;
    int exitCode = -1;
};

Separate runSeparately(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Separate result;
    if (!process.waitForFinished(120000))
        return result;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

FrequencyListing listingOf(const QString& output, int topCount = 100)
{
    return FrequencyListing::parse(FrequencyListing::separatorLine() + "\n" + output, topCount);
}

} // namespace

class AnalysisToolsTest : public QObject
{
    Q_OBJECT

    QScopedPointer<MainWindow> window;
    QString record; // where the fake tool writes what it was given

    MdiChild* newDocument(const QString& text)
    {
        window->newFile();
        MdiChild* child = window->activeMdiChild();
        child->setPlainText(text);
        return child;
    }

    void useFakeTool()
    {
        for (auto it = analysisToolPrograms.begin(); it != analysisToolPrograms.end(); ++it)
            it.value() = fakeTool();
    }

    void cannedOutput(const QByteArray& bytes)
    {
        writeAll(record + "/canned", bytes);
        qputenv("FAKE_TOOL_OUTPUT", QString(record + "/canned").toLocal8Bit());
    }

    QStringList recordedArguments() const
    {
        return QString::fromUtf8(fileBytes(record + "/arguments")).split('\n', Qt::SkipEmptyParts);
    }

    void forgetRecord()
    {
        for (const char* name : {"arguments", "input", "pid"})
            QFile::remove(record + "/" + name);
    }

    QString paneText() const { return window->outputDialog->textEdit()->toPlainText(); }

private slots:
    void init()
    {
        Settings().clear();
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        record = freshTempFolder("record");
        qputenv("FAKE_TOOL_RECORD", record.toLocal8Bit());
        for (const char* name : {"FAKE_TOOL_OUTPUT", "FAKE_TOOL_PICTURE", "FAKE_TOOL_SLEEP", "FAKE_TOOL_EXIT"})
            qunsetenv(name);
        TextAnalysisRunner::setWaitMilliseconds(30000);
        partOfSpeechFlags = QStringList{"n", "v"};
        partOfSpeechItems = QStringList{"n 名词", "v 动词"};
    }

    void cleanup()
    {
        for (MdiChild* child : window->findChildren<MdiChild*>())
            child->document()->setModified(false);
        window.reset();
    }

    // ---- The runner, with the fake tool ----------------------------------------

    void argumentListsOfTheEightCommands()
    {
        useFakeTool();
        const QString text = "今天天气很好，我们去长江边看日出。\n第二行 <b>&amp;</b>";
        MdiChild* child = newDocument(text);
        const QString folder = freshTempFolder("texts");
        const QString mask = TestEnvironment::programDir() + "/WordCloudImages/Heart.png";
        ToolPrompt prompt;
        prompt.dialogResult = QDialog::Accepted;

        const auto charOptions = [&](bool directory, bool nonChinese) {
            return [=](QDialog& dialog) {
                auto* options = qobject_cast<CharEvaluateDialog*>(&dialog);
                QVERIFY(options);
                (directory ? options->ui->directoryRadioButton : options->ui->currentFileRadioButton)->setChecked(true);
                options->ui->directoryNameLineEdit->setText(directory ? folder : QString());
                options->ui->includeNonChineseCheckBox->setChecked(nonChinese);
            };
        };
        const auto wordOptions = [&](bool oneCharacter) {
            return [=](QDialog& dialog) {
                auto* options = qobject_cast<WordEvaluateDialog*>(&dialog);
                QVERIFY(options);
                options->ui->includeOneCharacterChineseCheckBox->setChecked(oneCharacter);
            };
        };
        struct Case
        {
            QAction* action;
            std::function<void(QDialog&)> prepare;
            QStringList expected; // the arguments before the input file
            bool inputFile;
        };
        const QList<Case> cases{
            {window->charFreqCounterForTextSelectionAct, charOptions(false, false), {"false"}, true},
            {window->charFreqCounterForDirectoryAct, charOptions(true, true), {"true", folder}, false},
            {window->jieBaWordFreqCounterForTextSelectionAct, wordOptions(false), {"freq", "false", "false", "false"}, true},
            {window->jieBaWordFreqCounterForTextSelectionAct, wordOptions(true), {"freq", "false", "true", "false"}, true},
            {window->jieBaWordFreqCounterForDirectoryAct, wordOptions(false), {"freq", "false", "false", "false", folder}, false},
            // A directory typed into the dialog of the current-text command is counted.
            {window->jieBaWordFreqCounterForTextSelectionAct,
             [&](QDialog& dialog) {
                 auto* options = qobject_cast<WordEvaluateDialog*>(&dialog);
                 options->ui->directoryRadioButton->setChecked(true);
                 options->ui->directoryNameLineEdit->setText(folder);
             },
             {"freq", "false", "false", "false", folder},
             false},
            {window->jieBaNotCutAllForTextSelectionAct, nullptr, {"seg"}, true},
            {window->jieBaPartOfSpeechTaggingForTextSelectionAct, nullptr, {"flag", "false"}, true},
            {window->partOfSpeechHighlightAct, nullptr, {"highlight", "v"}, true},
            {window->wordCloudAct,
             [&](QDialog& dialog) {
                 if (auto* options = qobject_cast<WordCloudDialog*>(&dialog))
                     options->ui->maskFileLineEdit->setText(mask);
             },
             {mask, "#FFFFFF", "40", "1000"},
             true},
        };
        for (const Case& c : cases) {
            // Charts and pictures open documents of their own.
            child = newDocument(text);
            forgetRecord();
            prompt.prepare = c.prepare;
            prompt.directoryAnswers = QStringList{folder};
            prompt.itemAnswers = QStringList{"v 动词"};
            c.action->trigger();
            const QStringList arguments = recordedArguments();
            const QString shown = c.action->text() + ": " + arguments.join('|');
            QVERIFY2(arguments.mid(0, c.expected.size()) == c.expected, qPrintable(shown));
            QCOMPARE(arguments.size(), c.expected.size() + (c.inputFile ? 1 : 0));
            if (!c.inputFile) {
                QVERIFY2(!QFile::exists(record + "/input"), qPrintable(shown));
                continue;
            }
            // A private temporary file with the text in UTF-8 and its mark, gone after the run.
            const QString input = arguments.last();
            QVERIFY2(QFileInfo(input).fileName().startsWith("Veldmark."), qPrintable(shown));
            QCOMPARE(QFileInfo(input).absolutePath(), QDir(QDir::tempPath()).absolutePath());
            QVERIFY(!QFile::exists(input));
            QCOMPARE(fileBytes(record + "/input"), utf8Mark + text.toUtf8());
        }
        QCOMPARE(prompt.itemQuestions.last(), QStringList({"按词性高亮统计", "请指定词性:", "n 名词", "v 动词"}));
        QCOMPARE(prompt.directoryQuestions, QStringList{"|"});

        // With a selection only the selected text goes to the tool.
        forgetRecord();
        child = newDocument(text);
        selectText(child, 2, 9);
        window->jieBaNotCutAllForTextSelectionAct->trigger();
        QCOMPARE(fileBytes(record + "/input"), utf8Mark + QString("天气很好，我们").toUtf8());
        // The pane shows a line of hyphens, then the output.
        QVERIFY(paneText().contains(FrequencyListing::separatorLine()));
    }

    void shortTextsAreRefusedExceptForDirectories()
    {
        useFakeTool();
        MdiChild* child = newDocument("六个字的文本");
        ToolPrompt prompt;
        window->charFreqCounterForTextSelectionAct->trigger();
        QCOMPARE(prompt.titles, QStringList{"错误"});
        QCOMPARE(prompt.texts, QStringList{"待测评文档字符数不能小于: 7, 当前文档字符数: 6"});
        QVERIFY(prompt.dialogs.isEmpty());

        child->setPlainText("七个字的文本呀");
        window->jieBaWordFreqCounterForTextSelectionAct->trigger();
        QCOMPARE(prompt.titles.size(), 1);
        QCOMPARE(prompt.dialogs, QStringList{"WordEvaluateDialog"});

        // The directory commands start even on an empty document.
        child->clear();
        const QString folder = freshTempFolder("texts");
        prompt.dialogResult = QDialog::Accepted;
        prompt.prepare = [&](QDialog& dialog) {
            if (auto* options = qobject_cast<CharEvaluateDialog*>(&dialog))
                options->ui->directoryNameLineEdit->setText(folder);
        };
        window->charFreqCounterForDirectoryAct->trigger();
        QCOMPARE(recordedArguments(), QStringList({"false", folder}));
        prompt.directoryAnswers << folder;
        window->jieBaWordFreqCounterForDirectoryAct->trigger();
        QCOMPARE(recordedArguments(), QStringList({"freq", "false", "false", "false", folder}));
        QCOMPARE(prompt.titles.size(), 1);
    }

    void frequencyListingReader()
    {
        const QString separator = FrequencyListing::separatorLine();
        const QString plain = separator + "\n标题一\r\n标题二\n字符 ->百分比\n的 ->5.20%\n正在处理文件: /a/正在处理文件:.txt\n一 ->3.10%\n";
        FrequencyListing listing = FrequencyListing::parse(plain, 20);
        QCOMPARE(listing.title, QString("标题一, 标题二, "));
        QCOMPARE(listing.items, QStringList({"的", "一"}));
        QCOMPARE(listing.values, QList<qreal>({5.2, 3.1}));
        QCOMPARE(listing.lines, QStringList({"的 ->5.20%", "一 ->3.10%"}));

        // Progress lines anywhere change nothing; a second hyphen line shifts
        // the count: the second title becomes the heading, the heading a data
        // line whose value is not a number.
        listing = FrequencyListing::parse("正在处理文件: x\n" + separator + "\n标题一\n" + separator
                                              + "\n标题二\n字符 ->百分比\n的 ->5.20%\n",
                                          20);
        QCOMPARE(listing.title, QString("标题一, "));
        QCOMPARE(listing.items, QStringList({"字符", "的"}));
        QCOMPARE(listing.values, QList<qreal>({0, 5.2}));

        // Items that hold ">", "%" or "->" keep their text; N bars for top N;
        // a line without "->" is passed over.
        QString many = separator + "\nA\nB\nH\n> ->9.00%\n% ->8.00%\n没有箭头\n-> ->7.00%\n";
        for (int i = 0; i < 7; ++i)
            many += QString("字%1 ->%2%\n").arg(i).arg(6 - i * 0.5);
        QCOMPARE(FrequencyListing::parse(many, 3).items, QStringList({">", "%", "->"}));
        QCOMPARE(FrequencyListing::parse(many, 3).values, QList<qreal>({9, 8, 7}));
        QCOMPARE(FrequencyListing::parse(many, 100).items.size(), 10);

        // Output is read as UTF-8 up to the first zero byte.
        const QByteArray withZero = QString("的 ->1%").toUtf8() + QByteArray(1, '\0') + "rest";
        QCOMPARE(TextAnalysisRunner::decodeOutput(withZero), QString("的 ->1%"));
    }

    void highlightTouchesTheDocumentOnlyWithAPage()
    {
        useFakeTool();
        const QString original = "第一段文字。\n第二段文字。\n第三段文字。";
        MdiChild* child = newDocument(original);
        ToolPrompt prompt;

        // No "</html>" (a failed, crashed or stopped tool): nothing changes.
        cannedOutput("<html><body><p>只有半页\n");
        qputenv("FAKE_TOOL_EXIT", "1");
        prompt.itemAnswers << "n 名词";
        window->partOfSpeechHighlightAct->trigger();
        QCOMPARE(child->toPlainText(), original);
        QVERIFY(!child->document()->isUndoAvailable());
        QCOMPARE(prompt.titles, QStringList{"错误"});
        QVERIFY(paneText().contains("只有半页"));
        qunsetenv("FAKE_TOOL_EXIT");

        // A page: only the selection is replaced, in one undo step, with the
        // document's line spacing; the remainder is shown in a box.
        QTextBlockFormat spacing;
        spacing.setLineHeight(15, QTextBlockFormat::FixedHeight);
        QTextCursor all(child->document());
        all.select(QTextCursor::Document);
        all.mergeBlockFormat(spacing);
        child->document()->clearUndoRedoStacks();
        cannedOutput("<!DOCTYPE html><html><body><p>被<span style=\"background-color:#ffd54f;\">高亮</span>的词</p>"
                     "</body></html>\n词性 n: 共高亮 1 个词。\n");
        // What the tool says on standard error goes to the pane, not the document.
        qputenv("FAKE_TOOL_ERRORS", "Building prefix dict from the default dictionary ...");
        selectText(child, 2, 13);
        prompt.itemAnswers << "n 名词";
        window->partOfSpeechHighlightAct->trigger();
        QCOMPARE(child->toPlainText(), QString("第一被高亮的词\n第三段文字。"));
        QVERIFY(paneText().contains("Building prefix dict"));
        qunsetenv("FAKE_TOOL_ERRORS");
        QStringList highlighted;
        for (QTextBlock block = child->document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (it.fragment().charFormat().background().color() == QColor("#ffd54f"))
                    highlighted << it.fragment().text();
        QCOMPARE(highlighted, QStringList{"高亮"});
        for (QTextBlock block = child->document()->begin(); block.isValid(); block = block.next())
            QCOMPARE(block.blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
        QCOMPARE(prompt.titles.last(), QString("Information"));
        QCOMPARE(prompt.texts.last(), QString("词性 n: 共高亮 1 个词。"));
        child->undo();
        QCOMPARE(child->toPlainText(), original);

        // Without a selection the whole document is replaced.
        child->moveCursor(QTextCursor::End);
        prompt.itemAnswers << "n 名词";
        window->partOfSpeechHighlightAct->trigger();
        QCOMPARE(child->toPlainText(), QString("被高亮的词"));

        // Cancelled chooser, and no flags at all: nothing runs.
        child->setPlainText(original);
        forgetRecord();
        window->partOfSpeechHighlightAct->trigger();
        partOfSpeechItems.clear();
        partOfSpeechFlags.clear();
        window->partOfSpeechHighlightAct->trigger();
        QVERIFY(!QFile::exists(record + "/arguments"));
        QVERIFY(prompt.texts.last().contains(PartOfSpeechFlags::configFileName()));
    }

    void wordCloudPictureBelongsToTheDocument()
    {
        useFakeTool();
        newDocument("今天天气很好，我们去长江边看日出。");
        const QString picture = freshTempFolder("picture") + "/cloud.png";
        QVERIFY(filled(64, 48, Qt::red).save(picture));
        qputenv("FAKE_TOOL_PICTURE", picture.toLocal8Bit());
        ToolPrompt prompt;
        prompt.dialogResult = QDialog::Accepted;
        prompt.prepare = [](QDialog& dialog) {
            if (auto* options = qobject_cast<WordCloudDialog*>(&dialog))
                options->ui->maskFileLineEdit->setText("mask.png");
        };

        newDocument("今天天气很好，我们去长江边看日出。");
        window->wordCloudAct->trigger();
        QTextDocument* document = window->activeMdiChild()->document();
        QCOMPARE(picturesOf(document).size(), 1);
        QCOMPARE(picturesOf(document).first().image.size(), QSize(64, 48));
        // The tool's private folder is gone; the document keeps the picture,
        // also when it is saved as HTML and opened again.
        QVERIFY(QDir::temp().entryList({"Veldmark*"}, QDir::AllEntries).isEmpty());
        QTextDocument reopened;
        reopened.setHtml(document->toHtml());
        QCOMPARE(picturesOf(&reopened).first().image.size(), QSize(64, 48));

        // No picture: a message in the pane, no new document.
        qunsetenv("FAKE_TOOL_PICTURE");
        newDocument("今天天气很好，我们去长江边看日出。");
        const int documents = window->findChildren<MdiChild*>().size();
        window->wordCloudAct->trigger();
        QCOMPARE(window->findChildren<MdiChild*>().size(), documents);
        QVERIFY(paneText().contains("词云图片生成失败!"));
    }

    void toolsThatHangOrCannotStart()
    {
        useFakeTool();
        TextAnalysisRunner::setWaitMilliseconds(3000);
        cannedOutput("标题一\n标题二\n字符 ->百分比\n的 ->50.00%\n一 ->25.00%\n");
        qputenv("FAKE_TOOL_SLEEP", "120");
        newDocument("今天天气很好，我们去长江边看日出。");
        const int documentsBefore = window->findChildren<MdiChild*>().size();
        ToolPrompt prompt;
        prompt.dialogResult = QDialog::Accepted;
        window->charFreqCounterForTextSelectionAct->trigger();

        const QByteArray pid = fileBytes(record + "/pid").trimmed();
        QVERIFY(!pid.isEmpty());
        QVERIFY2(!QFileInfo::exists("/proc/" + QString::fromLatin1(pid)), "the tool is still there");
        // What it printed before is shown but not drawn: a partial listing is no chart.
        QVERIFY(paneText().contains("一 ->25.00%"));
        QVERIFY(paneText().contains("已被终止"));
        QCOMPARE(prompt.texts, QStringList{"程序运行超过 3 秒仍未结束, 已被终止, 没有生成结果。"});
        QCOMPARE(window->findChildren<MdiChild*>().size(), documentsBefore);
        qunsetenv("FAKE_TOOL_SLEEP");

        // A program that cannot be started: said in the pane, no empty chart.
        analysisToolPrograms[16] = record + "/missing-tool";
        newDocument("今天天气很好，我们去长江边看日出。");
        const int documents = window->findChildren<MdiChild*>().size();
        window->charFreqCounterForTextSelectionAct->trigger();
        QVERIFY(paneText().contains("无法启动程序"));
        QCOMPARE(window->findChildren<MdiChild*>().size(), documents);
    }

    // ---- The real companion programs -------------------------------------------

    void charFreqCounterContract()
    {
        const QString folder = freshTempFolder("charfreq");
        writeBytes(folder + "/a.txt", QString("的的的一一是 A，b\n\U00020000\n").toUtf8());
        const QString tool = companion("CharFreqCounter");

        TextAnalysisRunner::ToolRun run = TextAnalysisRunner::runTool(tool, {"false", folder + "/a.txt"});
        QVERIFY(run.started && !run.crashed && run.exitCode == 0);
        FrequencyListing listing = listingOf(TextAnalysisRunner::decodeOutput(run.output));
        QCOMPARE(listing.items, QStringList({"的", "一", "是", "\U00020000"}));
        QCOMPARE(listing.values, QList<qreal>({42.86, 28.57, 14.29, 14.29}));
        QVERIFY(listing.title.contains("字符总数: 7"));

        run = TextAnalysisRunner::runTool(tool, {"true", folder + "/a.txt"});
        listing = listingOf(TextAnalysisRunner::decodeOutput(run.output));
        QCOMPARE(listing.items, QStringList({"的", "一", "A", "b", "是", "，", "\U00020000"}));
        QCOMPARE(listing.values.first(), 30.0);

        // A folder: every .txt below it, UTF-8 with or without its mark or GB18030.
        writeBytes(folder + "/sub/b.txt", gb18030("的的一"));
        writeBytes(folder + "/c.txt", utf8Mark + QString("是").toUtf8());
        writeBytes(folder + "/d.dat", QString("不算").toUtf8());
        run = TextAnalysisRunner::runTool(tool, {"false", folder});
        const QString output = TextAnalysisRunner::decodeOutput(run.output);
        QCOMPARE(output.count("正在处理文件:"), 3);
        listing = listingOf(output);
        QCOMPARE(listing.items, QStringList({"的", "一", "是", "\U00020000"}));
        QCOMPARE(listing.values, QList<qreal>({45.45, 27.27, 18.18, 9.09}));

        // Through the window: a bar chart of the asked size in a new document.
        CurrentDir programFolder(TestEnvironment::programDir());
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        newDocument("的的的一一是是是是。");
        ToolPrompt prompt;
        prompt.dialogResult = QDialog::Accepted;
        prompt.prepare = [](QDialog& dialog) {
            auto* options = qobject_cast<CharEvaluateDialog*>(&dialog);
            options->ui->barChartRadioButton->setChecked(true);
            options->ui->widthSpinBox->setValue(500);
        };
        window->charFreqCounterForTextSelectionAct->trigger();
        const QList<Picture> pictures = picturesOf(window->activeMdiChild()->document());
        QCOMPARE(pictures.size(), 1);
        QCOMPARE(pictures.first().image.size(), QSize(500, 500));
        // Shown whole: the editor's fixed line height does not cut it off.
        QTextDocument* chartDocument = window->activeMdiChild()->document();
        QVERIFY(chartDocument->documentLayout()->blockBoundingRect(chartDocument->begin()).height() >= 500);
        QVERIFY(QDir::temp().entryList({"Veldmark*"}, QDir::AllEntries).isEmpty());
        QVERIFY(paneText().contains("是 ->44.44%"));
    }

    // Every file of a folder is decoded as the editor decodes it; a file that
    // does not decode without loss, or cannot be read whole (a sparse file of
    // 2 GiB, which takes no disk space), is named and left out of the counts.
    void foldersDecodeEveryFileAsTheEditorDoes()
    {
        const QString folder = freshTempFolder("encodings");
        writeBytes(folder + "/utf8.txt", QString("春天来了").toUtf8());
        writeBytes(folder + "/utf8-mark.txt", utf8Mark + QString("花开了").toUtf8());
        writeBytes(folder + "/gb18030.txt", gb18030("学生写作"));
        writeBytes(folder + "/big5.txt", QTextCodec::codecForName("Big5")->fromUnicode("臺灣書"));
        writeBytes(folder + "/utf16le.txt", utf16Bytes("读书人", true));
        writeBytes(folder + "/utf16be.txt", utf16Bytes("写字", false));
        // The editor knows UTF-16 by its mark only: without it these bytes fit no encoding.
        writeBytes(folder + "/utf16be-unmarked.txt", utf16Bytes("臺灣書", false).mid(2));
        writeBytes(folder + "/broken.txt", QString("好").toUtf8() + "\xFF" + QString("字").toUtf8());
        const QString huge = folder + "/huge.txt";
        writeBytes(huge, QByteArray());
        QVERIFY(QFile::resize(huge, qint64(2) << 30));
        const QString kept = "春天来了花开了学生写作臺灣書读书人写字";
        const QSet<QChar> characters(kept.begin(), kept.end());
        // The listing holds the characters of the decoded files, and the files left out are named.
        const auto check = [&](const QString& output) {
            const QString listed = listingOf(output).items.join(QString());
            QCOMPARE(QSet<QChar>(listed.begin(), listed.end()), characters);
            for (const char* name : {"broken.txt", "utf16be-unmarked.txt"})
                QVERIFY2(output.contains(folder + "/" + QString(name) + " (无法无损解码，未计入)"), qPrintable(output));
            QVERIFY2(output.contains(huge + " (文件过大，无法整个读入，未计入)"), qPrintable(output));
        };
        const QString counted = TextAnalysisRunner::decodeOutput(
            TextAnalysisRunner::runTool(companion("CharFreqCounter"), {"false", folder}).output);
        check(counted);
        QVERIFY2(listingOf(counted).title.contains(
                     QString("字符总数: %1, 不同字符: %2").arg(kept.size()).arg(characters.size())),
                 qPrintable(counted));
        QVERIFY2(listingOf(counted).title.contains("其中 3 个未计入"), qPrintable(counted));
        check(runSeparately(companion("JieBa"), {"freq", "true", "true", "true", folder},
                            QProcessEnvironment::systemEnvironment()).out);

        // The tools that take a single file refuse it with the same words.
        const auto refuses = [](const QString& tool, const QStringList& arguments, const QString& why) {
            const Separate run = runSeparately(companion(tool), arguments, QProcessEnvironment::systemEnvironment());
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(why), qPrintable(run.err));
        };
        const QString heart = TestEnvironment::programDir() + "/WordCloudImages/Heart.png";
        const QString tooLarge = "文件过大，无法整个读入，未计入: " + huge;
        refuses("WordCloud", {heart, "#ffffff", "30", "100", folder + "/broken.txt"}, "无法无损解码，未计入: " + folder + "/broken.txt");
        refuses("WordCloud", {heart, "#ffffff", "30", "100", huge}, tooLarge);
        refuses("JieBa", {"seg", huge}, tooLarge);
        refuses("JieBa", {"flag", "true", huge}, tooLarge);
        const QString alone = TextAnalysisRunner::decodeOutput(
            TextAnalysisRunner::runTool(companion("CharFreqCounter"), {"false", huge}).output);
        QVERIFY2(alone.contains(tooLarge) && alone.contains("字符总数: 0"), qPrintable(alone));
    }

    // Files that do not tell their size, such as the kernel's, are read to the
    // end, and a limit holds for them as for others.
    void filesOfUnknownSize()
    {
        QVERIFY(TextFileReader::read("/proc/self/status").text.contains("Name:"));
        QCOMPARE(TextFileReader::read("/proc/self/status", 16).outcome, TextFileReader::TooLarge);
    }

    void jieBaContract()
    {
        const QString folder = freshTempFolder("jieba");
        const QString cache = folder + "/cache";
        const QString temporary = folder + "/tmp";
        QDir().mkpath(temporary);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CACHE_HOME", cache);
        environment.insert("TMPDIR", temporary);
        const QString text = "老师说：“写作要认真。”学生们都很高兴。<b>老师</b>\n";
        writeBytes(folder + "/a.txt", text.toUtf8());
        writeBytes(folder + "/texts/gb.txt", gb18030("学生们在学校里学习写作。"));
        writeBytes(folder + "/texts/utf8.txt", utf8Mark + QString("老师在学校里教写作。").toUtf8());
        const QString tool = companion("JieBa");

        const auto run = [&](const QStringList& arguments) {
            const Separate result = runSeparately(tool, arguments, environment);
            [&] {
                QCOMPARE(result.exitCode, 0);
                QCOMPARE(result.err, QString());
            }();
            return result.out;
        };
        QVERIFY(run({"seg", folder + "/a.txt"}).startsWith("老师/ 说/ "));

        FrequencyListing listing = listingOf(run({"freq", "false", "false", "false", folder + "/a.txt"}));
        QVERIFY(listing.title.startsWith("词频统计"));
        QCOMPARE(listing.items.first(), QString("老师"));
        QVERIFY(listing.items.contains("写作"));
        for (const QString& item : listing.items)
            QVERIFY2(item.size() > 1, qPrintable(item));
        QVERIFY(!listing.items.contains("都"));

        const QString folderListing = run({"freq", "true", "true", "true", folder + "/texts"});
        QCOMPARE(folderListing.count("正在处理文件:"), 2);
        listing = listingOf(folderListing);
        QVERIFY(listing.items.contains("学校"));
        QVERIFY(listing.items.contains("。"));

        const QString tagged = run({"flag", "false", folder + "/a.txt"});
        QVERIFY(tagged.contains("老师/n"));
        QVERIFY(!tagged.contains("。/"));

        const QString page = run({"highlight", "n", folder + "/a.txt"});
        const int end = page.indexOf("</html>");
        QVERIFY(end > 0);
        QVERIFY(page.left(end).contains("&lt;b&gt;"));
        QVERIFY(!page.left(end).contains("<b>"));
        QVERIFY(page.mid(end + 7).contains("n (名词)"));

        // jieba's cache lives in the user's own cache folder, not the shared one.
        QVERIFY(QFile::exists(cache + "/Tarnquill/jieba/jieba.cache"));
        QCOMPARE(QFile::permissions(cache + "/Tarnquill/jieba") & (QFile::WriteGroup | QFile::WriteOther),
                 QFileDevice::Permissions());
        QVERIFY(QDir(temporary).entryList(QDir::Files).filter("jieba").isEmpty());

        // Through the window: the nouns highlighted, the document's markup kept as text.
        CurrentDir programFolder(TestEnvironment::programDir());
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        const QString document = "<b>老师</b>和学生都在学校。\n\n第三行  有老师。";
        MdiChild* child = newDocument(document);
        ScriptedPrompt prompt;
        prompt.itemAnswers << "n 名词";
        qputenv("XDG_CACHE_HOME", cache.toLocal8Bit());
        window->partOfSpeechHighlightAct->trigger();
        QCOMPARE(child->toPlainText(), document);
        QVERIFY(child->toHtml().contains("老师</span>"));
        QVERIFY(prompt.texts.last().contains("共高亮"));
    }

    void wordCloudContract()
    {
        const QString folder = freshTempFolder("cloud");
        QImage mask = filled(300, 200, Qt::white);
        {
            QPainter painter(&mask);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(40, 40, 40));
            painter.drawEllipse(QRect(20, 20, 260, 160));
        }
        QVERIFY(mask.save(folder + "/mask.png"));
        QString text;
        for (int i = 0; i < 20; ++i)
            text += QString("春天来了，公园里的花开了，孩子们在草地上放风筝。老师带着学生写作文。第%1天。\n").arg(i);
        writeBytes(folder + "/input.txt", utf8Mark + text.toUtf8());
        QDir().mkpath(folder + "/out");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("TMPDIR", folder + "/out");

        const Separate result = runSeparately(
            companion("WordCloud"), {folder + "/mask.png", "#102030", "30", "300", folder + "/input.txt"}, environment);
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.err, QString());
        QVERIFY(result.out.contains("WordCloud.png"));
        const QImage cloud = QImage(folder + "/out/WordCloud.png").convertToFormat(QImage::Format_RGB32);
        QCOMPARE(cloud.size(), mask.size());
        const QRgb background = QColor("#102030").rgb();
        int inked = 0;
        for (int y = 0; y < cloud.height(); ++y)
            for (int x = 0; x < cloud.width(); ++x)
                if (cloud.pixel(x, y) != background) {
                    ++inked;
                    QVERIFY2(qGray(mask.pixel(x, y)) < 128, qPrintable(QString("ink at %1,%2").arg(x).arg(y)));
                }
        QVERIFY2(inked > 3000, qPrintable(QString::number(inked)));
    }
};

TQ_TEST_MAIN(AnalysisToolsTest)
#include "tst_analysistools.moc"
