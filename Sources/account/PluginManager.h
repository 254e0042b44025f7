#pragma once
// Loads the plug-in libraries of the "plugins" folder beside the program. For
// the super user, each plug-in that implements GenericPluginInterface hands
// over a widget, which joins the main window's status bar (the main window is
// the manager's parent).
//
// Only files that look like libraries are handed to the loader, in name order.
// A plug-ins folder or library that other users could write to, or that belongs
// to neither the user nor root, is skipped with a warning: loading a plug-in runs
// its code. Nothing here ever unloads a library, since a widget of it may sit in
// the status bar.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class PluginInformation;
class QStatusBar;
class QWidget;

class PluginManager : public QObject
{
    Q_OBJECT
public:
    // Finds the plug-ins folder; logs a critical message when there is none.
    explicit PluginManager(QObject* parent = nullptr);

    // Loads every plug-in and, for the super user, puts the plug-in widgets
    // into the status bar of the main window that is the manager's parent.
    void loadAllPlugins();
    // One record per file that loads as a plug-in, in name order. The records
    // (and their loaders) belong to the caller.
    QList<PluginInformation*> getAllPluginsBriefInfo();

    // The plug-ins folder; empty when there is none.
    QString directoryPath() const { return m_directoryPath; }

    // The main window rebuilds its status bar now and then: before it discards
    // one, the plug-in widgets leave it (hidden, kept by the window), and each new
    // bar takes them back, the widget loaded last first.
    void takeWidgetsOutOfStatusBar();
    void putWidgetsIntoStatusBar(QStatusBar* bar);

    // The folder that holds "plugins"; empty means the program's folder (tests
    // point it elsewhere).
    static void setProgramDirectory(const QString& path);
    // Whether a program folder named "debug" or "release" (any letter case)
    // looks for "plugins" in its parent. On only in developer builds by default.
    static bool walksUpFromBuildFolders();
    static void setWalksUpFromBuildFolders(bool walk);

private:
    // The library files of the folder that are safe to load, in name order.
    QStringList libraryFiles() const;

    QString m_directoryPath;
    QList<QPointer<QWidget>> m_widgets; // in load order
};
