#include "NetworkProbe.h"

namespace {
NetworkProbe defaultProbe;
NetworkProbe* installedProbe = nullptr;
}

NetworkProbe::~NetworkProbe() = default;

bool NetworkProbe::isAccessible() const
{
    return true;
}

NetworkProbe& NetworkProbe::current()
{
    return installedProbe ? *installedProbe : defaultProbe;
}

void NetworkProbe::install(NetworkProbe* probe)
{
    installedProbe = probe;
}
