#pragma once
// Whether the update site can be reached before a manual update check starts:
// a connection to its host and port, given a few seconds. Tests install a
// probe of their own to answer without the network.

class NetworkProbe
{
public:
    virtual ~NetworkProbe();

    virtual bool isAccessible() const;

    static NetworkProbe& current();
    // Replaces the probe; null puts the default back. Not owned.
    static void install(NetworkProbe* probe);
};
