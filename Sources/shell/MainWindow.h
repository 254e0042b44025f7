#pragma once
// The program's one main window. Its implementation is split by subsystem:
// MainWindow_Shell.cpp (frame and start-up), MainWindow_Editor.cpp (documents),
// MainWindow_Templates.cpp, MainWindow_Generation.cpp, MainWindow_WordDatabases.cpp,
// MainWindow_Preferences.cpp and MainWindow_Account.cpp.

#include <QMainWindow>
#include "SettingsStore.h"

class AutoGenInputDialog;
class AutoGenInputDialog4Advertisement;
class AutoGenInputDialog4AdvertisementSoft;
class MdiArea;
class MdiChild;
class PoemConfigDialog;
class QTabWidget;

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    enum ConstructionOption {
        DefaultConstruction = 0,
        // Tests: do not arm the splash and deferred start-up timers.
        NoStartUpTimers = 0x1,
    };

    explicit MainWindow(QWidget* parent = nullptr, int options = DefaultConstruction);
    ~MainWindow() override;

    MdiChild* activeMdiChild() const;

public slots:
    // Start-up
    void hideSplashScreen();
    void initTimeConsumingStaff();
    void showSuperUserAddition();

    // Documents
    void newFile();
    void open(const QString& fileName);
    void toggleSymbol();

    // Templates
    int openTemplate(const QString& templateFileName, const QString& searchStr = QString(),
                     int index = -1, bool autoClose = false, uint type = 128, bool create = false);

    // Article generation
    void autoGenStart();
    void resetAutoGenInputs();
    void resetAutoGenInputDialog4AdvertisementInputs();
    void resetAutoGenInputDialog4AdvertisementSoftInputs();

    // Plug-ins
    void loadPlugins();

public:
    Settings settings;
    MdiArea* mdiArea = nullptr;
    QTabWidget* mainTabWidget = nullptr;

    AutoGenInputDialog* autoGenInputDialog = nullptr;
    AutoGenInputDialog4Advertisement* autoGenInputDialog4Advertisement = nullptr;
    AutoGenInputDialog4AdvertisementSoft* autoGenInputDialog4AdvertisementSoft = nullptr;
    PoemConfigDialog* poemConfigDialog = nullptr;

private:
    MdiChild* createMdiChild();
    void createDeferredStartUpDialogs();
};

// The one main window, reachable from every part of the program; null when none exists.
extern MainWindow* mainWindow;
