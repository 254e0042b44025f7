#pragma once
// The interface of a plug-in whose widget joins the main window's status bar.
// Shared by the program and the plug-ins: a plug-in's root object implements it
// (Q_INTERFACES(GenericPluginInterface)) and may carry the text properties
// "TQPluginName", "TQPluginVersion" and "TQPluginReleaseDate".
//
// Keep the layout of this class as it is: the program calls widget() through
// the virtual table of plug-ins built against it.

#include <QtPlugin>

class QWidget;

class GenericPluginInterface
{
public:
    virtual ~GenericPluginInterface() {}
    // The widget for the status bar, or null for none. The status bar takes it over.
    virtual QWidget* widget() = 0;
};

#define GenericPluginInterface_iid "org.quenloft.Tarnquill.Generic"

Q_DECLARE_INTERFACE(GenericPluginInterface, GenericPluginInterface_iid)
