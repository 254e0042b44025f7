#pragma once
// Preferences page "日志": where log lines go, the lowest level logged, and the
// log folder with a button that opens it. The choices take effect at the next start.

#include "PreferencesPage.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class LogTab : public PreferencesPage
{
    Q_OBJECT
public:
    explicit LogTab(QWidget* parent = nullptr);

    void loadSettings();
    void apply() override;

    QComboBox* logOutputToComboBox = nullptr;
    QComboBox* logLevelComboBox = nullptr;
    QLineEdit* logDirLineEdit = nullptr;
    QPushButton* openLogDirPushButton = nullptr;

public slots:
    void openLogDir();
};
