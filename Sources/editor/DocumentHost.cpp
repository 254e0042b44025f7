#include "DocumentHost.h"

QFileSystemWatcher* fileSystemWatcher = nullptr;

namespace {
DocumentHost* currentHost = nullptr;
}

DocumentHost::~DocumentHost()
{
    if (currentHost == this)
        currentHost = nullptr;
}

DocumentHost* DocumentHost::current()
{
    return currentHost;
}

void DocumentHost::setCurrent(DocumentHost* host)
{
    currentHost = host;
}
