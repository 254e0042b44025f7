#include "TextAnalysisRunner.h"

#include <QBuffer>
#include <QDebug>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QUrl>

#include <memory>

#include "CharEvaluateDialog.h"
#include "FrequencyChart.h"
#include "FrequencyListing.h"
#include "PartOfSpeechFlags.h"
#include "Prompt.h"
#include "TextAnalysisHost.h"
#include "WordCloudDialog.h"
#include "WordEvaluateDialog.h"

QMap<int, QString> analysisToolTitles;
QMap<int, QString> analysisToolPrograms;

namespace {

int toolWaitMilliseconds = 30000;

// Texts shorter than this are not worth a chart.
const int minimumTextLength = 7;

// Tool ids.
enum {
    CharsOfDirectory = 1,
    CharsOfText = 16,
    Segmentation = 33,
    WordsOfText = 35,
    WordsOfDirectory = 36,
    PartOfSpeechTagging = 37,
    PartOfSpeechHighlight = 38,
    WordCloudTool = 39,
};

QString flagText(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// A busy cursor while the GUI thread waits for a tool.
class BusyCursor
{
public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};

} // namespace

TextAnalysisRunner::TextAnalysisRunner(TextAnalysisHost& host)
    : m_host(host)
{
}

int TextAnalysisRunner::waitMilliseconds()
{
    return toolWaitMilliseconds;
}

void TextAnalysisRunner::setWaitMilliseconds(int milliseconds)
{
    toolWaitMilliseconds = milliseconds;
}

int TextAnalysisRunner::toolId(const QString& title)
{
    for (auto it = analysisToolTitles.cbegin(); it != analysisToolTitles.cend(); ++it)
        if (it.value() == title)
            return it.key();
    return 0;
}

QString TextAnalysisRunner::decodeOutput(const QByteArray& output)
{
    const int end = output.indexOf('\0');
    return QString::fromUtf8(end < 0 ? output : output.left(end));
}

TextAnalysisRunner::ToolRun TextAnalysisRunner::runTool(const QString& program, const QStringList& arguments,
                                                        const QProcessEnvironment& environment)
{
    ToolRun run;
    QProcess process;
    // Apart: a tool's messages on standard error must never reach the document.
    process.setProcessChannelMode(QProcess::SeparateChannels);
    process.setProcessEnvironment(environment);
    QElapsedTimer clock;
    clock.start();
    process.start(program, arguments, QIODevice::ReadWrite);
    run.started = process.waitForStarted(toolWaitMilliseconds);
    if (!run.started) {
        qWarning().noquote() << "Failed to start " + program + ": " + process.errorString();
        return run;
    }
    process.closeWriteChannel();
    // The wait reads the output as it comes, so a talkative tool never blocks on a full pipe.
    process.waitForFinished(int(qMax<qint64>(0, toolWaitMilliseconds - clock.elapsed())));
    if (process.state() != QProcess::NotRunning) {
        qWarning().noquote() << QStringLiteral("%1 still running after %2 ms: stopped")
                                    .arg(program)
                                    .arg(toolWaitMilliseconds);
        run.timedOut = true;
        process.kill();
        process.waitForFinished(5000);
    }
    run.output = process.readAllStandardOutput();
    run.errors = process.readAllStandardError();
    run.crashed = !run.timedOut && process.exitStatus() == QProcess::CrashExit;
    run.exitCode = process.exitCode();
    return run;
}

bool TextAnalysisRunner::insertPicture(QTextEdit* editor, const QByteArray& png)
{
    const QImage picture = QImage::fromData(png, "PNG");
    if (picture.isNull())
        return false;
    // The picture travels inside its name, so a saved document keeps it.
    const QString name = QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
    editor->document()->addResource(QTextDocument::ImageResource, QUrl(name), picture);
    QTextCursor cursor(editor->document());
    cursor.movePosition(QTextCursor::Start);
    cursor.insertImage(name);
    // A fixed line height (the editor's default spacing) would cut the picture off.
    QTextBlockFormat format;
    format.setLineHeight(0, QTextBlockFormat::SingleHeight);
    cursor.mergeBlockFormat(format);
    return true;
}

void TextAnalysisRunner::wordCloud()
{
    qDebug() << Q_FUNC_INFO;
    WordCloudDialog*& dialog = m_host.wordCloudDialog();
    if (!dialog)
        dialog = new WordCloudDialog(m_host.window());
    if (Prompt::current().execDialog(*dialog) != QDialog::Accepted)
        return;
    run(analysisToolTitles.value(WordCloudTool));
}

void TextAnalysisRunner::run(const QString& title)
{
    qDebug() << Q_FUNC_INFO << ", title =" << title;
    const QPointer<QTextEdit> editor = m_host.activeEditor();
    if (!editor)
        return;
    const QTextCursor selection = editor->textCursor();
    const bool hasSelection = selection.hasSelection();
    const int selectionStart = selection.selectionStart();
    const int selectionEnd = selection.selectionEnd();
    const QString text = hasSelection ? selection.selection().toPlainText() : editor->document()->toPlainText();

    const int id = toolId(title);
    if (text.size() < minimumTextLength && id != CharsOfDirectory && id != WordsOfDirectory) {
        QMessageBox box(QMessageBox::Information, tr("错误"),
                        tr("待测评文档字符数不能小于: ") + QString::number(minimumTextLength)
                            + tr(", 当前文档字符数: ") + QString::number(text.size()),
                        QMessageBox::Ok);
        Prompt::current().exec(box);
        return;
    }
    const QString program = analysisToolPrograms.value(id);
    qDebug().noquote() << "item = " + title;
    qDebug().noquote() << "cmd = " + program;

    CharEvaluateDialog*& charDialog = m_host.charEvaluateDialog();
    if (!charDialog)
        charDialog = new CharEvaluateDialog(m_host.window());
    WordEvaluateDialog*& wordDialog = m_host.wordEvaluateDialog();
    if (!wordDialog)
        wordDialog = new WordEvaluateDialog(m_host.window());

    QStringList arguments;
    QString directory;
    switch (id) {
    case CharsOfDirectory:
    case CharsOfText:
        if (id == CharsOfDirectory)
            charDialog->setTarget(CharsOfDirectory);
        if (Prompt::current().execDialog(*charDialog) != QDialog::Accepted)
            return;
        if (charDialog->isDirectoryTarget()) {
            directory = charDialog->directory();
            arguments << directory;
        }
        arguments.prepend(flagText(charDialog->includeNonChinese()));
        break;
    case Segmentation:
        arguments << QStringLiteral("seg");
        break;
    case WordsOfText:
    case WordsOfDirectory: {
        wordDialog->setMode(WordsOfText);
        QString chosen;
        if (id == WordsOfDirectory) {
            chosen = Prompt::current().getExistingDirectory(nullptr, QString(), QString());
            if (chosen.isEmpty())
                return;
        }
        wordDialog->setDirectory(chosen);
        if (Prompt::current().execDialog(*wordDialog) != QDialog::Accepted)
            return;
        arguments << QStringLiteral("freq") << flagText(wordDialog->includeNonChinese())
                  << flagText(wordDialog->includeOneCharacterWords())
                  << flagText(wordDialog->includeHighFreqFunctionWords());
        // The dialog's target decides: a directory typed in for the current
        // text counts that directory, a cleared target counts the text.
        if (wordDialog->isDirectoryTarget()) {
            directory = wordDialog->directory();
            arguments << directory;
            qDebug().noquote() << "dirName = " + directory;
        }
        break;
    }
    case PartOfSpeechTagging:
        wordDialog->setMode(PartOfSpeechTagging);
        if (Prompt::current().execDialog(*wordDialog) != QDialog::Accepted)
            return;
        arguments << QStringLiteral("flag") << flagText(wordDialog->includeNonChinese());
        break;
    case PartOfSpeechHighlight: {
        if (partOfSpeechItems.isEmpty()) {
            QMessageBox box(QMessageBox::Warning, tr("错误"),
                            tr("没有可选的词性: 词性配置文件 %1 缺失或没有内容。")
                                .arg(PartOfSpeechFlags::configFileName()),
                            QMessageBox::Ok);
            Prompt::current().exec(box);
            return;
        }
        bool chosen = false;
        const QString item = Prompt::current().getItem(m_host.window(), tr("按词性高亮统计"), tr("请指定词性:"),
                                                       partOfSpeechItems, 0, &chosen);
        bool offered = false;
        const QString flag = PartOfSpeechFlags::flagOfItem(item, &offered);
        if (!chosen || item.isEmpty() || !offered)
            return;
        arguments << QStringLiteral("highlight") << flag;
        break;
    }
    case WordCloudTool: {
        WordCloudDialog*& cloudDialog = m_host.wordCloudDialog();
        if (!cloudDialog)
            cloudDialog = new WordCloudDialog(m_host.window());
        arguments << cloudDialog->maskFile() << cloudDialog->backgroundColor()
                  << QString::number(cloudDialog->maxFontSize()) << QString::number(cloudDialog->maxWordCount());
        break;
    }
    default:
        return;
    }

    // The text goes to a private temporary file, removed when the run ends.
    QTemporaryFile input(QDir::tempPath() + QStringLiteral("/Veldmark.XXXXXX"));
    if (directory.isEmpty()) {
        // With its mark, so that the tools' detection cannot read it as another encoding.
        const QByteArray bytes = "\xEF\xBB\xBF" + text.toUtf8();
        if (!input.open() || input.write(bytes) != bytes.size() || !input.flush()) {
            qCritical().noquote() << "Failed to write the input file " + input.fileName() + ": " + input.errorString();
            m_host.showOutput(tr("无法写入临时文件: ") + QDir::toNativeSeparators(input.fileName()));
            return;
        }
        input.close();
        arguments << input.fileName();
        qDebug().noquote() << "fileName = " + input.fileName();
    }

    // The word-cloud tool writes "WordCloud.png" into its temporary folder:
    // a private folder per run, so two runs or two users never share the picture.
    std::unique_ptr<QTemporaryDir> pictureFolder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (id == WordCloudTool) {
        pictureFolder.reset(new QTemporaryDir(QDir::tempPath() + QStringLiteral("/Veldmark-WordCloud-XXXXXX")));
        if (!pictureFolder->isValid()) {
            qCritical().noquote() << "Failed to make a folder for the word cloud: " + pictureFolder->errorString();
            m_host.showOutput(tr("无法建立临时文件夹: ") + QDir::toNativeSeparators(QDir::tempPath()));
            return;
        }
        environment.insert(QStringLiteral("TMPDIR"), pictureFolder->path());
    }

    ToolRun result;
    {
        BusyCursor busy;
        result = runTool(program, arguments, environment);
    }
    const QString output = decodeOutput(result.output);
    const auto logCommand = [&] {
        QString shown;
        for (const QString& argument : arguments)
            shown += argument + QLatin1Char(' ');
        qDebug().noquote() << "cmd = " + program + "\narguments = " + shown;
    };
    QString notes;
    if (!result.started)
        notes = tr("无法启动程序: ") + QDir::toNativeSeparators(program);
    else if (result.timedOut)
        notes = stoppedText();
    else if (result.crashed)
        notes = tr("程序异常退出。");
    else if (result.exitCode != 0)
        notes = tr("程序运行出错 (返回值 %1)。").arg(result.exitCode);
    // What a stopped tool printed is incomplete: shown, never drawn.
    const bool succeeded = result.started && !result.timedOut && !result.crashed && result.exitCode == 0;
    const QString errors = decodeOutput(result.errors).trimmed();
    if (!errors.isEmpty())
        notes = tr("程序的错误输出:") + QLatin1Char('\n') + errors + (notes.isEmpty() ? QString() : QLatin1Char('\n') + notes);
    if (result.timedOut) {
        QMessageBox box(QMessageBox::Warning, tr("错误"), stoppedText(), QMessageBox::Ok);
        Prompt::current().exec(box);
    }

    if (id == PartOfSpeechHighlight) {
        const QString end = QStringLiteral("</html>");
        const int pageEnd = output.indexOf(end);
        if (pageEnd < 0 || !editor || result.timedOut) {
            // No page: the document stays as it is; the pane says why.
            m_host.showOutput(FrequencyListing::separatorLine() + QLatin1Char('\n') + output
                              + (notes.isEmpty() ? QString() : QLatin1Char('\n') + notes));
            if (!result.timedOut) {
                QMessageBox box(QMessageBox::Warning, tr("错误"), tr("词性高亮没有得到结果, 文档未被修改。"),
                                QMessageBox::Ok);
                Prompt::current().exec(box);
            }
            logCommand();
            return;
        }
        QTextCursor cursor(editor->document());
        if (hasSelection) {
            cursor.setPosition(selectionStart);
            cursor.setPosition(selectionEnd, QTextCursor::KeepAnchor);
        } else {
            cursor.select(QTextCursor::Document);
        }
        // The page's paragraphs keep the document's line spacing.
        QTextBlockFormat spacing;
        const QTextBlockFormat replaced = editor->document()->findBlock(cursor.selectionStart()).blockFormat();
        spacing.setLineHeight(replaced.lineHeight(), replaced.lineHeightType());
        cursor.beginEditBlock();
        cursor.removeSelectedText();
        const int pageStart = cursor.position();
        cursor.insertHtml(output.left(pageEnd + end.size()));
        cursor.setPosition(pageStart, QTextCursor::KeepAnchor);
        cursor.mergeBlockFormat(spacing);
        cursor.endEditBlock();
        const QString remainder = output.mid(pageEnd + end.size()).trimmed();
        if (!remainder.isEmpty()) {
            QMessageBox box(QMessageBox::Information, QStringLiteral("Information"), remainder, QMessageBox::Ok);
            Prompt::current().exec(box);
        }
        if (!notes.isEmpty())
            m_host.showOutput(FrequencyListing::separatorLine() + QLatin1Char('\n') + notes);
        logCommand();
        return;
    }

    const QString shown = FrequencyListing::separatorLine() + QLatin1Char('\n') + output;
    m_host.showOutput(notes.isEmpty() ? shown : shown + QLatin1Char('\n') + notes);
    if (succeeded) {
        switch (id) {
        case WordCloudTool: {
            QFile picture(QDir(pictureFolder->path()).filePath(QStringLiteral("WordCloud.png")));
            const QByteArray png = picture.open(QIODevice::ReadOnly) ? picture.readAll() : QByteArray();
            if (QImage::fromData(png, "PNG").isNull())
                m_host.showOutput(tr("词云图片生成失败!"));
            else if (QTextEdit* document = m_host.newDocument())
                insertPicture(document, png);
            break;
        }
        case CharsOfDirectory:
        case CharsOfText:
        case WordsOfText:
        case WordsOfDirectory:
            showChart(id, shown);
            break;
        default:
            break;
        }
    }
    logCommand();
}

QString TextAnalysisRunner::stoppedText()
{
    return tr("程序运行超过 %1 秒仍未结束, 已被终止, 没有生成结果。").arg(toolWaitMilliseconds / 1000.0);
}

void TextAnalysisRunner::showChart(int id, const QString& output)
{
    const EvaluateDialog* options = id == CharsOfDirectory || id == CharsOfText
                                        ? static_cast<const EvaluateDialog*>(m_host.charEvaluateDialog())
                                        : static_cast<const EvaluateDialog*>(m_host.wordEvaluateDialog());
    const FrequencyListing listing = FrequencyListing::parse(output, options->topCount());
    const QImage chart = FrequencyChart::render(listing, options->isBarChart(), options->chartSize());
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    chart.save(&buffer, "PNG");
    if (QTextEdit* document = m_host.newDocument())
        insertPicture(document, png);
}
