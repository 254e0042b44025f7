#include "ProgramState.h"

QDateTime applicationStartTime;
QElapsedTimer applicationElapsedTimer;
bool superUserMode = false;
bool autoUpgradeEnabled = true;
bool autoGenBatchMode = false;
QMap<QString, QString> languageMap;
QSplashScreen* splashScreen = nullptr;
QStringList startUpArguments;

void resetStartUpState()
{
    superUserMode = false;
    autoUpgradeEnabled = true;
    autoGenBatchMode = false;
    languageMap.clear();
    splashScreen = nullptr;
    startUpArguments.clear();
}
