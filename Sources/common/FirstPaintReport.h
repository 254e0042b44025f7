#pragma once
// For the start-up benchmark: when the first paint of a window has reached the
// screen, prints the monotonic clock ("first-paint-ns <nanoseconds>") on
// standard output and ends the event loop. Header only, so that the bare
// baseline window of the benchmark uses the very same code.

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

class FirstPaintReport : public QObject
{
public:
    // Watches the window; reports and quits once it has painted.
    explicit FirstPaintReport(QWidget* window) : QObject(window), m_window(window)
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

    static long long monotonicNanoseconds()
    {
        timespec now;
        clock_gettime(CLOCK_MONOTONIC, &now);
        return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == m_window) {
            m_seen = true;
            QCoreApplication::instance()->removeEventFilter(this);
            // After the paint pass of this frame has been flushed to the screen.
            QTimer::singleShot(0, this, [] {
                std::printf("first-paint-ns %lld\n", monotonicNanoseconds());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    QWidget* m_window;
    bool m_seen = false;
};
