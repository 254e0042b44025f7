#pragma once
// Counts the matches of a find text on a thread of its own, over a copy of the
// document's text, so that counting a large document never holds up typing.
// Only the answer to the latest request is passed on. A later request, cancel()
// or the counter's end drops the answers of the earlier ones and tells their
// counts to stop, but waits for none of them: a count still busy with one long
// match ends on its own and its answer goes nowhere. So a new count never
// queues behind an old one, and quitting never waits for a count.

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class MatchCounter : public QObject
{
    Q_OBJECT
public:
    // Asked by a count before every match: true once its answer is not wanted.
    using Stop = std::function<bool()>;
    // A count: the number found, or -1 when it stopped early.
    using Count = std::function<int(const Stop& stop)>;

    explicit MatchCounter(QObject* parent = nullptr);
    // Drops every count under way and returns at once.
    ~MatchCounter() override;

    // Counts the matches in `raw` (QTextDocument::toRawText) as MatchScanner
    // finds them; counted() follows.
    void start(const QString& raw, const QString& find, Qt::CaseSensitivity cs, bool regexp);
    // Runs `count` on a thread of its own; counted() follows with its answer.
    void start(Count count);
    // Drops the answer of every count started so far.
    void cancel();
    // Until the answer of the latest count has come.
    bool isBusy() const { return m_latest != 0; }

signals:
    void counted(int count);

private:
    struct Mailbox;
    void finished(int request, int count);

    std::shared_ptr<Mailbox> m_mailbox;       // shared with the counts' threads
    std::shared_ptr<std::atomic<bool>> m_stop; // tells the latest count to stop
    int m_requests = 0;
    int m_latest = 0; // the request whose answer is wanted, 0 for none
};
