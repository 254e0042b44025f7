#pragma once
// A sample plug-in whose widget joins the status bar.

#include <QObject>

#include "GenericPluginInterface.h"

class SampleStatusPlugin : public QObject, public GenericPluginInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID GenericPluginInterface_iid)
    Q_INTERFACES(GenericPluginInterface)
    Q_PROPERTY(QString TQPluginName MEMBER name CONSTANT)
    Q_PROPERTY(QString TQPluginVersion MEMBER version CONSTANT)
    Q_PROPERTY(QString TQPluginReleaseDate MEMBER releaseDate CONSTANT)
public:
    QWidget* widget() override;

private:
    QString name = QStringLiteral("状态栏示例插件");
    QString version = QStringLiteral("1.2.0");
    QString releaseDate = QStringLiteral("2024-05-18");
};
