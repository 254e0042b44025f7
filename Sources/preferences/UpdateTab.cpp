#include "UpdateTab.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

UpdateTab::UpdateTab(QWidget* parent)
    : PreferencesPage(parent)
{
    qDebug() << Q_FUNC_INFO;
    autoUpdateIntervalSpinBox = newSpinBox(1, 180);
    const Settings settings;
    if (settings.contains(QStringLiteral("AutoUpdateInterval")))
        autoUpdateIntervalSpinBox->setValue(settings.value(QStringLiteral("AutoUpdateInterval")).toInt());

    auto* layout = new QVBoxLayout;
    layout->addLayout(rowOf({new QLabel(tr("自动检测更新，每"), this), autoUpdateIntervalSpinBox,
                             new QLabel(tr("天 (1 - 180)"), this)}));
    layout->addStretch();
    setLayout(layout);
}

void UpdateTab::apply()
{
    qDebug() << Q_FUNC_INFO;
    Settings().setValue(QStringLiteral("AutoUpdateInterval"), autoUpdateIntervalSpinBox->value());
}
