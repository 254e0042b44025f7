#include "UrlRecorder.h"

#include <QDesktopServices>

namespace {
const char* const schemes[] = {"http", "https", "mailto", "file"};
}

UrlRecorder::UrlRecorder(QObject* parent)
    : QObject(parent)
{
    for (const char* scheme : schemes)
        QDesktopServices::setUrlHandler(QLatin1String(scheme), this, "openUrl");
}

UrlRecorder::~UrlRecorder()
{
    for (const char* scheme : schemes)
        QDesktopServices::unsetUrlHandler(QLatin1String(scheme));
}

void UrlRecorder::openUrl(const QUrl& url)
{
    urls << url;
}
