#include "MatchCounter.h"

#include <QDebug>

#include "MatchScanner.h"

MatchCounter::MatchCounter(QObject* parent) : QObject(parent)
{
    // One count at a time: a newer one waits behind an older one, which stops
    // at its next check.
    m_pool.setMaxThreadCount(1);
}

MatchCounter::~MatchCounter()
{
    cancel();
    m_pool.waitForDone();
}

void MatchCounter::start(const QString& raw, const QString& find, Qt::CaseSensitivity cs, bool regexp)
{
    qDebug() << Q_FUNC_INFO << ", find =" << find << ", cs =" << cs << ", regexp =" << regexp
             << ", characters =" << raw.size();
    const int request = ++m_requests;
    m_latest.store(request);
    ++m_outstanding;
    // The pool is waited for before this object goes, so the worker may use it.
    m_pool.start([this, raw, find, cs, regexp, request] {
        const MatchScanner scanner(find, cs, regexp);
        const int count = scanner.count(raw, [this, request] { return m_latest.load() != request; });
        QMetaObject::invokeMethod(
            this, [this, request, count] { finished(request, count); }, Qt::QueuedConnection);
    });
}

void MatchCounter::cancel()
{
    m_latest.store(++m_requests);
}

void MatchCounter::finished(int request, int count)
{
    --m_outstanding;
    if (request == m_latest.load() && count >= 0)
        emit counted(count);
}
