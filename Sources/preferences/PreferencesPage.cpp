#include "PreferencesPage.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QSpinBox>

PreferencesPage::PreferencesPage(QWidget* parent)
    : QWidget(parent)
{
}

void PreferencesPage::loadCheckState(const Settings& settings, const QString& key, QCheckBox* box)
{
    if (settings.contains(key))
        box->setCheckState(static_cast<Qt::CheckState>(settings.value(key).toInt()));
}

void PreferencesPage::storeCheckState(Settings& settings, const QString& key, const QCheckBox* box)
{
    settings.setValue(key, static_cast<int>(box->checkState()));
}

QSpinBox* PreferencesPage::newSpinBox(int minimum, int maximum)
{
    auto* box = new QSpinBox(this);
    box->setRange(minimum, maximum);
    return box;
}

QHBoxLayout* PreferencesPage::rowOf(const QList<QWidget*>& widgets)
{
    auto* row = new QHBoxLayout;
    for (QWidget* widget : widgets)
        row->addWidget(widget);
    return row;
}
