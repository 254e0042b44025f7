#pragma once
// What the companion analysis tools ask of the window they run in. The main
// window answers through a small adapter; tests can answer with their own.

class CharEvaluateDialog;
class QString;
class QTextEdit;
class QWidget;
class WordCloudDialog;
class WordEvaluateDialog;

class TextAnalysisHost
{
public:
    virtual ~TextAnalysisHost() = default;

    // Parent of the option dialogs and of the part-of-speech chooser.
    virtual QWidget* window() = 0;
    // The editor of the active document, or null.
    virtual QTextEdit* activeEditor() = 0;
    // Opens a new empty document, makes it the active one and returns its editor.
    virtual QTextEdit* newDocument() = 0;
    // Appends plain text to the command-output pane and shows the pane.
    virtual void showOutput(const QString& text) = 0;
    // The option dialogs the window keeps for its life; null until first made.
    virtual CharEvaluateDialog*& charEvaluateDialog() = 0;
    virtual WordEvaluateDialog*& wordEvaluateDialog() = 0;
    virtual WordCloudDialog*& wordCloudDialog() = 0;
};
