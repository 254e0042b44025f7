#pragma once
// Whether the network can be reached before a manual update check starts. The
// default answers yes and leaves failures to the transfer itself, which reports
// them; tests install a probe that answers no.

class NetworkProbe
{
public:
    virtual ~NetworkProbe();

    virtual bool isAccessible() const;

    static NetworkProbe& current();
    // Replaces the probe; null puts the default back. Not owned.
    static void install(NetworkProbe* probe);
};
