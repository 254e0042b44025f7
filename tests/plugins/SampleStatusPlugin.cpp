#include "SampleStatusPlugin.h"

#include <QLabel>

QWidget* SampleStatusPlugin::widget()
{
    // A new label each time: the status bar that takes one may go away with its window.
    auto* label = new QLabel(QStringLiteral("示例插件"));
    label->setObjectName(QStringLiteral("sampleStatusPluginLabel"));
    return label;
}
