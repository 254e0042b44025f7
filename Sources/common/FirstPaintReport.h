#pragma once
// For the start-up benchmark: when the first paint of a window (or, asked for,
// of a text editor in it that holds text) has reached the screen, prints the
// monotonic clock ("first-paint-ns <nanoseconds>") on standard output and ends
// the event loop. Header only, so that the bare baseline program of the
// benchmark uses the very same code.

#include <QCoreApplication>
#include <QEvent>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

class FirstPaintReport : public QObject
{
public:
    // Watches the window; reports and quits once it has painted, or with
    // withText once an editor's page holding text has painted.
    explicit FirstPaintReport(QWidget* window, bool withText = false)
        : QObject(window), m_window(window), m_withText(withText)
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
            && static_cast<QWidget*>(watched)->window() == m_window && (!m_withText || showsText(watched))) {
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
    // The page (viewport) of a text editor whose document is not empty.
    static bool showsText(QObject* watched)
    {
        const auto* editor = qobject_cast<QTextEdit*>(watched->parent());
        return editor && editor->viewport() == watched && !editor->document()->isEmpty();
    }

    QWidget* m_window;
    bool m_withText;
    bool m_seen = false;
};
