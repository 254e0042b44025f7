#pragma once
// Program start-up: main's steps, the program-wide state they set, and the
// small pure rules they follow (kept apart so they can be tested on their own).

#include <QDateTime>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

class Application;
class DisplayConnection;
#include "ProgramState.h"
#include "SettingsStore.h"

// Maximum size of the global thread pool: twice the current maximum, at least 4.
int threadPoolSize(int currentMaximum);

// Application font size from "CustomFontPointSize": below 1 (or absent) gives 9.
int applicationFontPointSize(const QVariant& stored);

// The translation locale: the custom locale when it is one of languageMap's codes,
// else zh_TW for a system locale beginning "zh_HK" or "zh_TW", else zh_CN.
QString chooseLocale(const QMap<QString, QString>& languages, const QString& customLocale,
                     const QString& systemLocaleName);

// Template type a command-line argument opens with: 1 for ".tqw", 128 for ".db"
// (both case-sensitive), 0 for an argument that opens as a document.
uint commandLineTemplateType(const QString& argument);

// Makes relative file arguments absolute against startDirectory; argument 0 is kept.
QStringList resolveCommandLine(const QStringList& arguments, const QString& startDirectory);

// How long start-up keeps trying an X server that drops or refuses connections.
constexpr int kDisplayPatienceMs = 3000;

// Connects to the X display the toolkit is about to open, trying for up to
// patienceMs. False, with the reason on standard error and in the log, when it
// cannot be reached and the toolkit has no other platform to fall back on.
bool connectToDisplay(DisplayConnection& connection, int argc, char** argv, int patienceMs);

// Reads "SuperUser", "EnableAutoUpgrade" and "AutoGenBatch" (never written by the
// program) into their flags and logs them.
void readStartUpSwitches(Settings& settings);

// Registers the compiled-in images and style sheets.
void registerResources();

// Makes "微软雅黑" and the other Windows font names render with an installed CJK family.
void installFontSubstitutions();

// Loads and installs the program's and the toolkit's translations for locale;
// the translators are parented to the application.
void installTranslations(const QString& locale, const QString& programDirectory);

// Runs the event loop and turns its outcome into the exit code: 0 after a normal
// end, 65535 when an exception escaped, with the matching log lines.
int runEventLoop(Application& application);

// The whole of main().
int runTarnquill(int argc, char** argv);
