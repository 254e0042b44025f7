#pragma once
// "统计信息": the line, character and page counts of a document and of its
// selection, computed once when the dialog is built from its parent editor.

#include <QDialog>
#include <QString>

class QTextEdit;

// Counts of one editor. Characters are counted as code points, so a
// supplementary-plane character counts once; white space is every character
// QChar::isSpace knows (blank, tab, line and paragraph breaks, the ideographic
// space, no-break space ...).
struct TextStatistics
{
    int selectionCharacters = 0;           // selected text, a paragraph break as one
    int selectionCharactersWithoutSpace = 0;
    int documentCharacters = 0;
    int documentCharactersWithoutSpace = 0;
    int documentLines = 0;                 // laid-out lines: wrapped lines count separately
    int documentPages = 0;

    static TextStatistics of(QTextEdit* editor);
    static int codePointCount(const QString& text);
    static int codePointCountWithoutSpace(const QString& text);
};

class StatisticsDialog : public QDialog
{
    Q_OBJECT

public:
    // The parent is the editor whose document is counted.
    explicit StatisticsDialog(QWidget* parent);
    ~StatisticsDialog() override;

    const TextStatistics& statistics() const { return m_statistics; }

private:
    TextStatistics m_statistics;
};
