#pragma once
// A sample plug-in under an interface id that the program does not know.

#include <QObject>

class SamplePlainPlugin : public QObject
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.quenloft.Tarnquill.Other")
    Q_PROPERTY(QString TQPluginName READ name CONSTANT)
public:
    QString name() const { return QStringLiteral("另一接口示例插件"); }
};
