#include "MatchCounter.h"

#include <QDebug>
#include <QMutex>

#include <thread>

#include "MatchScanner.h"

// Where a count's thread leaves its answer: the counter, while it exists.
struct MatchCounter::Mailbox
{
    QMutex mutex;
    MatchCounter* counter = nullptr;
};

MatchCounter::MatchCounter(QObject* parent) : QObject(parent), m_mailbox(std::make_shared<Mailbox>())
{
    m_mailbox->counter = this;
}

MatchCounter::~MatchCounter()
{
    cancel();
    // From here on no answer is posted to this object; one posted already is
    // discarded with it.
    QMutexLocker lock(&m_mailbox->mutex);
    m_mailbox->counter = nullptr;
}

void MatchCounter::start(const QString& raw, const QString& find, Qt::CaseSensitivity cs, bool regexp)
{
    qDebug() << Q_FUNC_INFO << ", find =" << find << ", cs =" << cs << ", regexp =" << regexp
             << ", characters =" << raw.size();
    start([raw, find, cs, regexp](const Stop& stop) { return MatchScanner(find, cs, regexp).count(raw, stop); });
}

void MatchCounter::start(Count count)
{
    cancel();
    const int request = ++m_requests;
    m_latest = request;
    m_stop = std::make_shared<std::atomic<bool>>(false);
    // A thread of its own, not a pool: nothing waits for it, neither the next
    // count nor the end of the program.
    std::thread([mailbox = m_mailbox, stop = m_stop, count = std::move(count), request] {
        const int answer = count([&stop] { return stop->load(); });
        QMutexLocker lock(&mailbox->mutex);
        if (mailbox->counter && !stop->load()) {
            MatchCounter* counter = mailbox->counter;
            QMetaObject::invokeMethod(
                counter, [counter, request, answer] { counter->finished(request, answer); }, Qt::QueuedConnection);
        }
    }).detach();
}

void MatchCounter::cancel()
{
    if (m_stop)
        m_stop->store(true);
    m_stop.reset();
    m_latest = 0;
}

void MatchCounter::finished(int request, int count)
{
    if (request != m_latest)
        return;
    m_latest = 0;
    m_stop.reset();
    if (count >= 0 || count == MatchScanner::TooComplex)
        emit counted(count);
}
