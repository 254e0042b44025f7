#pragma once
// Preferences page "更新": how many days pass between automatic update checks.

#include "PreferencesPage.h"

class QSpinBox;

class UpdateTab : public PreferencesPage
{
    Q_OBJECT
public:
    explicit UpdateTab(QWidget* parent = nullptr);

    void apply() override;

    QSpinBox* autoUpdateIntervalSpinBox = nullptr;
};
