#pragma once
// Program-wide state that start-up sets once and every subsystem may read.

#include <QDateTime>
#include <QElapsedTimer>
#include <QMap>
#include <QString>
#include <QStringList>

class QSplashScreen;

extern QDateTime applicationStartTime;
extern QElapsedTimer applicationElapsedTimer;
extern bool superUserMode;
extern bool autoUpgradeEnabled;
extern bool autoGenBatchMode;
extern QMap<QString, QString> languageMap;
extern QSplashScreen* splashScreen;
// The command line with every file name made absolute against the folder the
// program was started from (the program directory becomes current later).
extern QStringList startUpArguments;

// Puts the program-wide state back to its values before main ran (tests).
void resetStartUpState();
