#pragma once
// The companion analysis tools: character and word frequencies as charts,
// word segmentation and part-of-speech tagging in the command-output pane,
// highlighting of one part of speech in the document, and word clouds.
//
// A run hands the selected text (or the whole document, or a directory) to
// one of the programs of analysisToolPrograms, waits for it on the GUI thread
// and shows what it printed. Arguments always go to the program as a list,
// never through a shell; input and output are UTF-8.

#include <QByteArray>
#include <QCoreApplication>
#include <QMap>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class QImage;
class QTextEdit;
class TextAnalysisHost;

// Tool id to its (translated) title and to its program, relative to the
// program folder. Filled by the main window before any command can run.
extern QMap<int, QString> analysisToolTitles;
extern QMap<int, QString> analysisToolPrograms;

class TextAnalysisRunner
{
    Q_DECLARE_TR_FUNCTIONS(TextAnalysisRunner)

public:
    explicit TextAnalysisRunner(TextAnalysisHost& host);

    // Runs the tool of that title on the active document.
    void run(const QString& title);
    // "生成词云": the options dialog, then, when accepted, the word-cloud tool.
    void wordCloud();

    // The id of the first tool (in id order) with this title; 0 for none.
    static int toolId(const QString& title);

    // How long a run may take before the tool is stopped: 30000 ms.
    static int waitMilliseconds();
    static void setWaitMilliseconds(int milliseconds);

    struct ToolRun
    {
        QByteArray output;    // standard output
        QByteArray errors;    // standard error
        bool started = false;
        bool timedOut = false; // still running after the wait: killed and reaped
        bool crashed = false;
        int exitCode = 0;
    };
    // Starts the program, waits for it at most waitMilliseconds(), stops it
    // when it is still running then, and returns what it printed.
    static ToolRun runTool(const QString& program, const QStringList& arguments,
                           const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());
    // The output as text: UTF-8, up to its first zero byte.
    static QString decodeOutput(const QByteArray& output);

private:
    // Inserts the PNG picture at the start of the document as a resource
    // named by a data URL of the picture, so neither a removed temporary file
    // nor saving and opening the document can lose it. False for no picture.
    static bool insertPicture(QTextEdit* editor, const QByteArray& png);
    void showChart(int id, const QString& output);
    // "Stopped after N seconds", for the box and the output pane.
    static QString stoppedText();

    TextAnalysisHost& m_host;
};
