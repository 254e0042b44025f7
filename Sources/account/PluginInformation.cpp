#include "PluginInformation.h"

#include <QPluginLoader>

PluginInformation::PluginInformation(QObject* parent)
    : QObject(parent)
{
}

PluginInformation::~PluginInformation()
{
    // A QPluginLoader leaves its library loaded when it goes; unload() is never called.
    delete loader;
}
