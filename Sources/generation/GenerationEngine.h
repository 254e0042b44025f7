#pragma once
// One generation run: loads the generation template, draws one content per
// entry (a number of lines from the first entry for poems), splices in an atom
// template for every "[name]" marker, fills the placeholders ("__NAME__") with
// the input dialog's values and writes the pieces out: joined into a string
// (title lists), into one new text file (batches), or as paragraphs into an
// editor document, each tagged with the template items it came from.
//
// Atom expansion is bounded: at a nesting depth of MaximumAtomDepth, or after
// MaximumSplices splices in one run, a marker stays as text; the session
// reports it once. In the document, values the user typed are escaped and a
// link target is quoted; template contents are HTML and go in as they stand.

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QVector>

#include <memory>

#include "TemplateItemRef.h"

class AutoGenInputDialogBase;
class DomParser;
class GenerationSession;
class QTextEdit;
class QWidget;

// One placeholder of an input dialog with the text of its box.
struct PlaceholderValue
{
    QString placeholder;
    QString value;
    bool linked = false; // becomes a link when the run has a URL
};

// One piece of generated text and the template items that produced it: the
// drawn content first, then one record per atom spliced around it.
struct GeneratedPiece
{
    QString text;
    QList<TemplateItemRefPointer> records;
};
Q_DECLARE_TYPEINFO(GeneratedPiece, Q_MOVABLE_TYPE);

class GenerationEngine
{
    Q_DECLARE_TR_FUNCTIONS(GenerationEngine)

public:
    enum Outcome {
        Generated,
        TemplateFailed, // the template or an atom is missing or malformed (the box was shown)
        NoEditor,       // document and batch runs need an open document
        FileFailed,     // the batch file could not be made or written
    };

    enum Branch { StoryBranch, AdvertisementBranch, AdvertorialBranch };
    enum OutputMode { TitleOutput, BatchOutput, DocumentOutput };

    struct Request
    {
        QString templatePath;
        QString outputFileName;           // batch mode: the file to write
        QVector<PlaceholderValue> values; // the branch's fields, in filling order
        int poemLines = 0;
        bool batchMode = false;
        QTextEdit* editor = nullptr;
        bool highlight = false;
        QString highlightColor;
        bool* cursorTracking = nullptr; // cleared while pieces go into the document
        QWidget* parent = nullptr;      // of the message boxes and the progress dialog
    };

    static constexpr int MaximumAtomDepth = 16;
    static constexpr int MaximumSplices = 10000;

    explicit GenerationEngine(const Request& request);
    ~GenerationEngine();

    // The whole run; title mode appends the text to result.
    Outcome run(QString& result);

    // The steps of a run, in order.
    bool draw(QVector<GeneratedPiece>& pieces);
    bool splice(QVector<GeneratedPiece>& pieces);
    static void fillPlaceholders(QVector<GeneratedPiece>& pieces, const QVector<PlaceholderValue>& values,
                                 bool html);
    Outcome write(const QVector<GeneratedPiece>& pieces, QString& result);

    OutputMode outputMode() const;
    int splices() const { return m_splices; }

    static Branch branchOf(const QString& templatePath);
    static bool isAdvertisementTemplate(const QString& templatePath);
    static bool isTitleTemplate(const QString& templatePath);
    static bool isPoemTemplate(const QString& templatePath);
    static QString atomPath(const QString& name);
    // The rhyme file of a poem: "Templates/诗歌/诗歌" + the rhyme group upper-cased + ".tqw".
    static QString poemTemplate(const QString& finalSound);
    // The values of a dialog's fields, in filling order.
    static QVector<PlaceholderValue> valuesOf(const AutoGenInputDialogBase& dialog);

    static const QString urlPlaceholder;
    static const QString advertorialTemplate; // "Templates/软文.tqw"
    static const QString poemCommandTemplate; // "Templates/诗歌.tqw"

private:
    DomParser* load(const QString& path);
    bool expand(const QString& text, const QList<TemplateItemRefPointer>& records, int depth,
                QVector<GeneratedPiece>& out);

    Request m_request;
    // The live session, else one of this run's own.
    std::unique_ptr<GenerationSession> m_ownSession;
    GenerationSession* m_session = nullptr;
    int m_splices = 0;
};
