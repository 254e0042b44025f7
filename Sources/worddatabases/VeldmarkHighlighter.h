#pragma once
// Paints the error-prone characters of the user's own word list (table 自定义词)
// in a document while it is being written: red background, bold. The editor
// makes one per document when the user switches the check on and deletes it to
// switch it off, which takes the painting away again.

#include <QList>
#include <QRegExp>
#include <QSet>
#include <QStringList>
#include <QSyntaxHighlighter>
#include <QTextCharFormat>
#include <QVector>

class Embellish;

struct HighlightingRule
{
    QRegExp pattern;
    QTextCharFormat format;
};

class VeldmarkHighlighter : public QSyntaxHighlighter
{
    Q_OBJECT

public:
    // Reads the characters from the word list through embellish (the GUI
    // thread's instance); without one, or without a readable list, it paints nothing.
    VeldmarkHighlighter(QTextDocument* document, Embellish* embellish);
    // Paints the characters of `characters` (rows of the word list, concatenated).
    VeldmarkHighlighter(QTextDocument* document, const QString& characters);
    ~VeldmarkHighlighter() override;

    // One entry per character (code point, so a supplementary-plane character
    // stays whole), in order, duplicates kept.
    static QStringList splitCharacters(const QString& characters);
    // Paints the whole document now, then lays it out once, views keeping their
    // place. (Painting block by block lays the rest of the document out again
    // after each block, which on a large document takes minutes.) The
    // constructors call it.
    void highlightDocument();
    static QTextCharFormat highlightFormat();

    // One rule per entry: the character taken literally, any letter case.
    QVector<HighlightingRule> rules;
    QStringList errorProneCharacters;
    QList<QTextCharFormat> formats;

protected:
    void highlightBlock(const QString& text) override;

private:
    void buildRules(const QString& characters);

    // What the rules match, as one set: the case-folded code points of all
    // entries. A block is scanned once whatever the number of entries.
    QSet<uint> m_foldedCharacters;
    QTextCharFormat m_format;
};
