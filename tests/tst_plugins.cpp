// Plug-ins: loading from a fixture folder into the status bar, the manager and
// details dialogs, and the folders and files that are never loaded.

#include <QAction>
#include <QLabel>
#include <QLibrary>
#include <QLineEdit>
#include <QPluginLoader>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>
#include <QToolButton>

#include "MainWindow.h"
#include "ModalResponder.h"
#include "PluginManager.h"
#include "PluginManagerDialog.h"
#include "ProgramState.h"
#include "TestSupport.h"

namespace {

const QString StatusPlugin = QStringLiteral("libsample_status_plugin.so");
const QString PlainPlugin = QStringLiteral("libsample_plain_plugin.so");
// rwxr-xr-x, for the owner also in Qt's "user" bits
const QFileDevice::Permissions Mode(0x7755);

// A program folder whose "plugins" holds the given files: sample libraries by
// their built path, anything else written with the given bytes.
QString programFolder(const QString& name, const QList<QPair<QString, QByteArray>>& files,
                      QFileDevice::Permissions folderMode = Mode)
{
    const QString program = freshTempFolder(name);
    const QString plugins = program + "/plugins";
    QDir().mkpath(plugins);
    for (const auto& file : files) {
        const QString target = plugins + '/' + file.first;
        if (file.second.startsWith('/'))
            QFile::copy(QString::fromUtf8(file.second), target);
        else
            writeAll(target, file.second);
        QFile::setPermissions(target, Mode);
    }
    QFile::setPermissions(plugins, folderMode);
    return program;
}

QStringList tableRow(const QTableWidget* table, int row)
{
    QStringList cells;
    for (int column = 0; column < table->columnCount(); ++column)
        cells << table->item(row, column)->text();
    return cells;
}

QStringList detailValues(QWidget* dialog)
{
    QStringList values;
    for (const char* name : {"nameLabel", "loadStateLabel", "versionLabel", "dateLabel"})
        values << dialog->findChild<QLabel*>(name)->text();
    return values << dialog->findChild<QLineEdit*>("fileNameLineEdit")->text();
}

} // namespace

class PluginsTest : public QObject
{
    Q_OBJECT

    QString program; // the fixture with both sample plug-ins, a junk file and a plain library
    QString marker;

private slots:
    void initTestCase()
    {
        marker = TestEnvironment::instance()->tempDir() + "/native-library-loaded";
        qputenv("TQ_NATIVE_LIBRARY_MARKER", QFile::encodeName(marker));
        program = programFolder("program", {{StatusPlugin, TQ_SAMPLE_STATUS_PLUGIN},
                                            {PlainPlugin, TQ_SAMPLE_PLAIN_PLUGIN},
                                            {"libsample_native_library.so", TQ_SAMPLE_NATIVE_LIBRARY},
                                            {"junk.so", QByteArray(3000, 'j')},
                                            {"notes.txt", "not a library"}});
    }
    void init()
    {
        resetStartUpState();
        PluginManager::setProgramDirectory(program);
    }
    void cleanup()
    {
        PluginManager::setProgramDirectory(QString());
        PluginManager::setWalksUpFromBuildFolders(false);
        resetStartUpState();
    }

    void statusBarWidgets()
    {
        ModalResponder responder;
        for (bool superUser : {false, true}) {
            superUserMode = superUser;
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.newFile();
            QStatusBar* bar = window.statusBar();
            const int height = bar->height();
            window.loadPlugins();
            // Every plug-in loads; only the super user gets the widget, and the box
            // for the plug-in without the interface. Junk and the plain library are skipped.
            for (const QString& name : {StatusPlugin, PlainPlugin})
                QVERIFY(QPluginLoader(program + "/plugins/" + name).isLoaded());
            QVERIFY(!QFile::exists(marker));
            QCOMPARE(responder.texts(), superUser ? QStringList{"加载推广插件失败!"} : QStringList());
            auto* label = bar->findChild<QLabel*>("sampleStatusPluginLabel");
            QCOMPARE(label != nullptr, superUser);
            if (!superUser)
                continue;
            QCOMPARE(responder.titles(), QStringList{"错误!"});
            QCOMPARE(label->minimumHeight(), height - 6);
            QCOMPARE(label->maximumHeight(), height - 6);
            QTRY_VERIFY(label->isVisible() && label->x() < window.readOnlyButton->x());
            // A new document rebuilds the bar; the widget moves into the new one, still first.
            window.newFile();
            QVERIFY(window.statusBar() != bar);
            QCOMPARE(label->parentWidget(), window.statusBar());
            QTRY_VERIFY(label->isVisible() && label->x() < window.readOnlyButton->x());
        }
    }

    void managerAndDetails()
    {
        const QString statusPath = program + "/plugins/" + StatusPlugin;
        const QStringList expectedDetails{"状态栏示例插件", "已加载", "1.2.0", "2024-05-18", statusPath};
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        ModalResponder responder;
        responder.enqueue([&](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QString("插件管理"));
            auto* table = modal->findChild<QTableWidget*>("pluginsTableWidget");
            QCOMPARE(table->rowCount(), 2);
            QCOMPARE(tableRow(table, 0), (QStringList{"另一接口示例插件", "已加载", "", ""}));
            QCOMPARE(tableRow(table, 1), (QStringList{"状态栏示例插件", "已加载", "1.2.0", "2024-05-18"}));
            QCOMPARE(table->currentRow(), 0);
            table->selectRow(1);
            QTest::mouseClick(modal->findChild<QPushButton*>("detailsPushButton"), Qt::LeftButton);
            QTest::mouseClick(modal->findChild<QPushButton*>("closePushButton"), Qt::LeftButton);
        });
        responder.enqueue([&](QWidget* modal) {
            QCOMPARE(modal->windowTitle(), QString("插件详情"));
            QCOMPARE(detailValues(modal), expectedDetails);
            QTest::mouseClick(modal->findChild<QPushButton*>("pushButton"), Qt::LeftButton);
        });
        window.showPluginsManagerDialogAct->trigger();
        QCOMPARE(responder.count(), 2);
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(QPluginLoader(statusPath).isLoaded()); // the records went, the library stays
        QVERIFY(!QFile::exists(marker));
    }

    void buildFoldersLookAboveThemInDeveloperBuilds()
    {
        const QString root = freshTempFolder("build-folders");
        for (const QString folder : {"/plugins", "/Release/plugins", "/DEBUG/plugins", "/other/plugins"})
            QDir().mkpath(root + folder);
        for (bool walk : {false, true}) {
            PluginManager::setWalksUpFromBuildFolders(walk);
            for (const QString folder : {"Release", "DEBUG", "other"}) {
                PluginManager::setProgramDirectory(root + '/' + folder);
                const bool up = walk && folder != "other";
                QCOMPARE(PluginManager().directoryPath(), root + (up ? QString() : "/" + folder) + "/plugins");
            }
        }
    }

    // Last: it ends by loading the plain library.
    void foldersAndFilesNotLoaded()
    {
        superUserMode = true;
        ModalResponder responder;
        MessageCapture capture;
        const QString writableFile = programFolder("writable-file", {{StatusPlugin, TQ_SAMPLE_STATUS_PLUGIN}});
        const QString libraryPath = writableFile + "/plugins/" + StatusPlugin;
        QFile::setPermissions(libraryPath, Mode | QFileDevice::WriteOther);
        const QString writableFolder = programFolder("writable-folder", {{PlainPlugin, TQ_SAMPLE_PLAIN_PLUGIN}},
                                                     Mode | QFileDevice::WriteGroup);
        for (const QString& folder : {writableFile, writableFolder}) {
            PluginManager::setProgramDirectory(folder);
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            window.loadPlugins();
            PluginManager manager;
            QVERIFY(manager.getAllPluginsBriefInfo().isEmpty());
            QVERIFY(!window.findChild<QLabel*>("sampleStatusPluginLabel"));
        }
        QCOMPARE(responder.count(), 0);
        QCOMPARE(capture.messages().filter("Plug-in skipped, it is writable by group or others: " + libraryPath).size(), 2);
        QCOMPARE(capture.messages().filter("Plug-ins folder skipped, it is writable by group or others").size(), 2);
        QVERIFY(!QPluginLoader(libraryPath).isLoaded());

        // No plug-ins folder: one critical line, an empty table and "-" in the details.
        const QString empty = freshTempFolder("no-plugins");
        PluginManager::setProgramDirectory(empty);
        capture.clear();
        responder.enqueue([&](QWidget* modal) {
            auto* table = modal->findChild<QTableWidget*>("pluginsTableWidget");
            QCOMPARE(table->rowCount(), 0);
            QVERIFY(table->selectedItems().isEmpty());
            QTest::mouseClick(modal->findChild<QPushButton*>("detailsPushButton"), Qt::LeftButton);
            modal->close();
        });
        responder.enqueue([&](QWidget* modal) {
            QCOMPARE(detailValues(modal), (QStringList{"-", "-", "-", "-", "-"}));
            modal->close();
        });
        PluginManagerDialog dialog;
        dialog.exec();
        QVERIFY(!QTest::currentTestFailed());
        QVERIFY(capture.entries().contains({QtCriticalMsg, "cd plugins directory failed: " + QDir(empty).absolutePath()}));

        // The marker checks could fail: loading the plain library leaves the marker.
        QVERIFY(QLibrary(program + "/plugins/libsample_native_library.so").load() && QFile::exists(marker));
    }
};

TQ_TEST_MAIN(PluginsTest)
#include "tst_plugins.moc"
