#pragma once
// Counts the matches of a find text on a worker thread, over a copy of the
// document's text, so that counting a large document never holds up typing.
// Only the answer to the latest request is passed on: a later request, or
// cancel(), drops the answers of the earlier ones, and a count still running
// for them stops early.

#include <QObject>
#include <QString>
#include <QThreadPool>

#include <atomic>

class MatchCounter : public QObject
{
    Q_OBJECT
public:
    explicit MatchCounter(QObject* parent = nullptr);
    // Stops the count under way and waits for it.
    ~MatchCounter() override;

    // Counts the matches in `raw` (QTextDocument::toRawText) as MatchScanner
    // finds them; counted() follows.
    void start(const QString& raw, const QString& find, Qt::CaseSensitivity cs, bool regexp);
    // Drops the answer of every count started so far.
    void cancel();
    // Until every count started has come back, dropped ones included.
    bool isBusy() const { return m_outstanding > 0; }

signals:
    void counted(int count);

private:
    void finished(int request, int count);

    QThreadPool m_pool;
    std::atomic<int> m_latest{0}; // the request whose answer is wanted
    int m_requests = 0;
    int m_outstanding = 0;
};
