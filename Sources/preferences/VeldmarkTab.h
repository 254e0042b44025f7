#pragma once
// Preferences page "校对": the longest word the checks look for when they split text.

#include "PreferencesPage.h"

class QSpinBox;

class VeldmarkTab : public PreferencesPage
{
    Q_OBJECT
public:
    explicit VeldmarkTab(QWidget* parent = nullptr);

    void apply() override;

    QSpinBox* maxWordLengthSpinBox = nullptr;
};
