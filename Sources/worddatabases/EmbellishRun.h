#pragma once
// One marking or embellishing run over a whole document: its lines are cut
// against a word category by worker threads, each with its own Embellish,
// while the GUI thread shows progress and a cancel button; then the document
// is replaced, in one undoable step, by the marked text (a dry run) or by the
// text with the replacements (an applying run). A run that finds nothing
// only removes the marks earlier runs left; a document without marks it
// leaves exactly as it was.
//
// One run at a time: a second request while one is going is refused. The
// editor is read-only during the run. If the editor goes away or the window
// closes (abort()), the workers are stopped and waited for and nothing is
// written.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

#include "Embellish.h"
#include "MarkingRenderer.h"
#include "Segment.h"
#include "WordLookupTable.h"

class QEventLoop;
class QProgressDialog;
class QTextCursor;
class QTextDocument;
class QTextEdit;
class QWidget;

class EmbellishRun : public QObject
{
    Q_OBJECT

public:
    enum Result {
        Cancelled = 1,   // cancelled or aborted
        Busy = 2,        // refused: another run is going
        TableUnavailable = 3, // refused: a word table it needs cannot be read
        NoDocument = 0x100,
        Completed = 0xFFFF,
    };

    struct Options
    {
        int workerCount = 0;       // 0: one per logical processor
        int pollInterval = 1000;   // milliseconds between progress updates
        int progressDelay = 4000;  // the progress dialog shows once the run has lasted this long
        int chunkLength = 4096;    // longer lines are cut at delimiters into pieces about this long
        // Runs in a worker before it cuts piece `item` (tests slow or count the work).
        std::function<void(int item)> beforeItem;
        // Runs on the GUI thread after every progress update.
        std::function<void()> afterPoll;
        // Runs before a dry run's result goes into the editor.
        std::function<void()> prepareDryRunView;
    };

    // A piece of a line that one worker cuts at a time.
    struct Piece
    {
        int line = 0;
        int start = 0;
        int length = 0;
    };

    explicit EmbellishRun(QObject* parent = nullptr);
    ~EmbellishRun() override;

    Options options;

    // Runs code over the editor's whole text; window parents the progress dialog.
    int run(QTextEdit* editor, uint code, bool dryRun, QWidget* window);
    bool isRunning() const { return m_running; }
    // As the cancel button: the lines marked so far are shown, the rest as plain text.
    void cancel();
    // The document or the window goes: workers stop and are waited for; nothing is written.
    void abort();

    // The last run's counts and count message.
    MarkingRenderer::Counts counts() const { return m_counts; }
    QString message() const { return m_message; }
    // Of the run going on (null otherwise).
    QProgressDialog* progressDialog() const;

    static QString timeText(qint64 seconds);
    static QString countMessage(uint code, const MarkingRenderer::Counts& counts);
    static QString progressText(int line, int lineCount, qint64 elapsed, qint64 estimate);
    // Elapsed × lines ÷ the line reached (below 1 counts as 1), rounded.
    static qint64 estimate(qint64 elapsed, int lineCount, int line);
    // The pieces the workers take: one per line, and lines longer than twice
    // chunkLength cut where the scan of either side stays exactly what it is in
    // the whole line: after a run of delimiters, or, for codes without
    // delimiters, where no word of the category reaches across (which probe,
    // when given, looks up).
    static QVector<Piece> pieces(const QStringList& lines, uint code, const SegmentationSettings& settings,
                                 int chunkLength, Embellish* probe = nullptr);
    // What a worker does with one piece: code 34 cuts against the black list,
    // then every piece it did not find against the white list.
    static void segmentText(Embellish& embellish, const QString& text, uint code,
                            const SegmentationSettings& settings, SegmentList* marked, SegmentList* embellished);
    // Appends a piece's segments to a line's, joining the unfound segments that meet.
    static void appendPiece(SegmentList& line, const SegmentList& piece);
    // The word tables a run of code reads.
    static QList<uint> tableCodes(uint code);
    // The text a run works on, one string per paragraph, as the editor holds it.
    static QStringList documentLines(const QTextDocument* document);

signals:
    void runningChanged(bool running);

private:
    struct State;
    // The segments of the lines a run completed, with the line ends between them.
    struct Collected
    {
        SegmentList marked;
        SegmentList embellished;
        int lines = 0;
    };

    // The steps of run(), in order.
    // Loads the word tables the code reads; says so in a box when one cannot be read.
    bool loadTables(uint code, QWidget* window, QVector<WordLookupTable::Pointer>* tables);
    // The lines, the pieces the workers take and what they share.
    void prepare(State& state, const QTextDocument* document, uint code) const;
    // Runs the workers while the progress dialog shows; Completed or Cancelled.
    int cutInWorkers(State& state, const QPointer<QTextEdit>& target, QWidget* window);
    void startWorkers(State& state, QEventLoop& loop, QObject* guard);
    int poll(State& state, QEventLoop& loop, const QPointer<QTextEdit>& target, qint64 start);
    void showProgress(const State& state, qint64 start);
    // Gives the editor back; false when nothing is to be written (aborted, or
    // the text changed during the run).
    bool releaseEditor(const QPointer<QTextEdit>& target, bool wasReadOnly, int revision);
    static Collected collect(const State& state, int result);
    // Replaces the text by the marked or embellished one, the lines not
    // reached after a cancel plain; when nothing was found, only removes the
    // marks of earlier runs.
    void showResult(QTextEdit* target, const QStringList& lines, const Collected& collected, uint code, bool dryRun);
    MarkingRenderer::Counts insertMarked(QTextCursor& cursor, const Collected& collected, uint code, bool dryRun);
    static void appendPlainLines(QTextCursor& cursor, const QStringList& lines, int from);

    static void work(State* state);
    void stopWorkers();
    void setRunning(bool running);
    // Sets the count message of m_counts and shows it in a box when the settings ask for one.
    void reportCounts(uint code);

    bool m_running = false;
    bool m_aborted = false;
    bool m_cancelRequested = false;
    State* m_state = nullptr;
    QEventLoop* m_loop = nullptr;
    QPointer<QProgressDialog> m_progress;
    MarkingRenderer::Counts m_counts;
    QString m_message;
};
