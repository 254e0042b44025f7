#include "LogFileView.h"

#include <QDebug>
#include <QStringList>

#include "ProgramState.h"

namespace {

// Length of the sample log line head "2019.01.22 14:14:19.189: [WARNING ]".
const int logHeadLength = 35;
const int logTagStart = 25;
const int logTagLength = 10;

} // namespace

bool LogFileView::isTqLogFile(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size();
    if (!superUserMode)
        return false;
    return text.size() > logHeadLength && text.at(logTagStart) == QLatin1Char('[')
        && text.at(logHeadLength - 1) == QLatin1Char(']');
}

QString LogFileView::str2LogStr(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size();
    static const struct {
        const char* tag;
        const char* color;
    } tags[] = {
        {"[CRITICAL]", "red"}, {"[DEBUG   ]", "blue"}, {"[FATAL   ]", "red"},
        {"[INFO    ]", "green"}, {"[WARNING ]", "yellow"},
    };
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::KeepEmptyParts);
    QStringList result;
    result.reserve(lines.size());
    for (const QString& line : lines) {
        if (line.size() < logHeadLength) {
            qWarning() << "Log line too short, s =" << line;
            result << line.toHtmlEscaped() + QLatin1Char('\n');
            continue;
        }
        const QString tag = line.mid(logTagStart, logTagLength);
        const char* color = nullptr;
        for (const auto& entry : tags)
            if (tag == QLatin1String(entry.tag))
                color = entry.color;
        if (!color) {
            qWarning() << "Unknown type log line, s =" << line;
            result << line.toHtmlEscaped();
            continue;
        }
        // Log lines carry document and clipboard text: everything but the tag is escaped.
        QString tagHtml = tag;
        tagHtml.replace(QLatin1Char(' '), QLatin1String("&nbsp;"));
        result << line.left(logTagStart).toHtmlEscaped() + QStringLiteral("<font color=\"")
                + QLatin1String(color) + QStringLiteral("\">") + tagHtml + QStringLiteral("</font>")
                + line.mid(logTagStart + logTagLength).toHtmlEscaped();
    }
    return result.join(QStringLiteral("<p/>"));
}
