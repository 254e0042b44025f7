#pragma once
// What the plug-in manager knows of one plug-in library. Made without a parent;
// whoever holds the record deletes it. Deleting a record deletes its loader but
// never unloads the library: a widget of that library may sit in the status bar.

#include <QObject>
#include <QString>

class QPluginLoader;

class PluginInformation : public QObject
{
    Q_OBJECT
public:
    explicit PluginInformation(QObject* parent = nullptr);
    ~PluginInformation() override;

    QString name;        // "TQPluginName" of the root object
    QString filePath;    // absolute path of the library
    bool loaded = false;
    QString version;     // "TQPluginVersion"
    QString releaseDate; // "TQPluginReleaseDate"
    QPluginLoader* loader = nullptr; // owned
};
