#pragma once
// Hands a downloaded installer over when the program quits. This platform never
// runs a downloaded file: the default launcher logs where the installer is, tells
// the user and opens its folder. Tests install a launcher of their own.

#include <QCoreApplication>
#include <QString>

class QWidget;

class InstallerLauncher
{
    Q_DECLARE_TR_FUNCTIONS(InstallerLauncher)
public:
    virtual ~InstallerLauncher();

    // True when launch() starts the installer itself.
    virtual bool runsInstaller() const;
    // Called once at quit with the installer's path and its parameters ("/S").
    virtual void launch(const QString& installerPath, const QString& parameters, QWidget* parent);

    static InstallerLauncher& current();
    // Replaces the launcher; null puts the default back. Not owned.
    static void install(InstallerLauncher* launcher);
};
