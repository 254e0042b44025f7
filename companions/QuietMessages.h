#pragma once
// What a companion program prints is its result: Qt's trace (the text
// decoder's among it) belongs in the editor's log. Only critical and fatal
// messages reach standard error.

#include <QString>
#include <QtGlobal>

#include <cstdio>

inline void installQuietMessageHandler()
{
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    });
}
