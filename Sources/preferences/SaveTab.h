#pragma once
// Preferences page "保存": the default document format, the auto-save intervals of
// templates and documents, and the backup before saving.

#include "PreferencesPage.h"

class QCheckBox;
class QComboBox;
class QSpinBox;

class SaveTab : public PreferencesPage
{
    Q_OBJECT
public:
    explicit SaveTab(QWidget* parent = nullptr);

    void apply() override;

    QComboBox* defaultFileFormatComboBox = nullptr;
    QSpinBox* autoSaveTemplateIntervalSpinBox = nullptr;
    QSpinBox* autoSaveFileIntervalSpinBox = nullptr;
    QCheckBox* backupFileBeforeSaveCheckBox = nullptr;
};
