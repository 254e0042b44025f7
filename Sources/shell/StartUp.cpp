#include "StartUp.h"

#include <QApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QSplashScreen>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThreadPool>
#include <QTime>
#include <QTimer>
#include <QTranslator>
#include <cstdio>
#include <exception>
#include <memory>

#include "Application.h"
#include "DisplayConnection.h"
#include "FirstPaintReport.h"
#include "Logging.h"
#include "MainWindow.h"
#include "RandomSource.h"
#include "SettingsStore.h"
#include "VersionFile.h"

int threadPoolSize(int currentMaximum)
{
    return qMax(4, currentMaximum * 2);
}

int applicationFontPointSize(const QVariant& stored)
{
    const int size = stored.toInt();
    return size < 1 ? 9 : size;
}

QString chooseLocale(const QMap<QString, QString>& languages, const QString& customLocale,
                     const QString& systemLocaleName)
{
    for (const QString& code : languages)
        if (code == customLocale)
            return customLocale;
    if (systemLocaleName.startsWith(QLatin1String("zh_HK")) || systemLocaleName.startsWith(QLatin1String("zh_TW")))
        return QStringLiteral("zh_TW");
    return QStringLiteral("zh_CN");
}

uint commandLineTemplateType(const QString& argument)
{
    if (argument.endsWith(QLatin1String(".tqw")))
        return 1;
    if (argument.endsWith(QLatin1String(".db")))
        return 128;
    return 0;
}

QStringList resolveCommandLine(const QStringList& arguments, const QString& startDirectory)
{
    QStringList resolved;
    const QDir start(startDirectory);
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (i == 0 || argument.isEmpty() || QDir::isAbsolutePath(argument))
            resolved << argument;
        else
            resolved << QDir::cleanPath(start.absoluteFilePath(argument));
    }
    return resolved;
}

void registerResources()
{
    Q_INIT_RESOURCE(Tarnquill);
}

void installFontSubstitutions()
{
    // The interface and the style sheets name Windows fonts; map them to the CJK
    // families Debian ships so that Chinese always renders as glyphs.
    const QStringList cjkFamilies = {QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Noto Sans CJK SC"),
                                     QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Droid Sans Fallback")};
    for (const char* family : {"微软雅黑", "Microsoft YaHei", "宋体", "SimSun", "黑体", "SimHei"})
        QFont::insertSubstitutions(QString::fromUtf8(family), cjkFamilies);
}

namespace {

// Loads one translation and installs it; reports each failure with the base name.
void installTranslation(const QString& baseName, const QStringList& folders)
{
    auto* translator = new QTranslator(qApp);
    bool loaded = false;
    for (const QString& folder : folders) {
        if (translator->load(baseName, folder)) {
            loaded = true;
            break;
        }
    }
    if (!loaded) {
        qCritical().noquote() << "Load " + baseName + ".qm failed.";
        delete translator;
        return;
    }
    if (!QCoreApplication::installTranslator(translator))
        qCritical().noquote() << "Install translator " + baseName + ".qm failed.";
}

} // namespace

void installTranslations(const QString& locale, const QString& programDirectory)
{
    installTranslation(QStringLiteral("Tarnquill_Veldmark_") + locale, {programDirectory});
    installTranslation(QStringLiteral("qt_") + locale,
                       {programDirectory, QLibraryInfo::location(QLibraryInfo::TranslationsPath)});
}

int runEventLoop(Application& application)
{
    try {
        application.exec();
        if (std::exception_ptr pending = application.takePendingException())
            std::rethrow_exception(pending);
        qInfo() << "Exit successfully!";
        return 0;
    } catch (const std::exception& e) {
        qCritical("Exception caught: %s", e.what());
    } catch (...) {
        qCritical() << "Unknown exception caught: ...";
    }
    qCritical() << "Exit abnormally!";
    return 65535;
}

namespace {

void logEnvironment(int argc, char** argv)
{
    qInfo() << "argc =" << argc;
    for (int k = 0; k < argc; ++k)
        qInfo() << "argv[" << k << "] =" << QString::fromLocal8Bit(argv[k]);
    qInfo() << "LogOutputType =" << logTargets.load();
    qInfo() << "LogLevel =" << logLevel.load();
    qInfo() << "pid =" << QCoreApplication::applicationPid();
    qInfo() << "BuildAbi =" << QSysInfo::buildAbi();
    qInfo() << "BuildCpuArchitecture =" << QSysInfo::buildCpuArchitecture();
    qInfo() << "CurrentCpuArchitecture =" << QSysInfo::currentCpuArchitecture();
    qInfo() << "KernelType =" << QSysInfo::kernelType();
    qInfo() << "KernelVersion =" << QSysInfo::kernelVersion();
    qInfo() << "MachineHostName =" << QSysInfo::machineHostName();
    qInfo() << "PrettyProductName =" << QSysInfo::prettyProductName();
    qInfo() << "ProductType =" << QSysInfo::productType();
    qInfo() << "ProductVersion =" << QSysInfo::productVersion();
    qInfo() << "Locale =" << QLocale::system().name();
}

} // namespace

bool connectToDisplay(DisplayConnection& connection, int argc, char** argv, int patienceMs)
{
    const DisplayConnection::Target target = DisplayConnection::target(argc, argv);
    if (!target.x11 || connection.open(target.display, patienceMs) || target.hasFallback)
        return true;
    const QByteArray display = target.display.isEmpty() ? qgetenv("DISPLAY") : target.display;
    // No translation is installed this early.
    const QString message = QStringLiteral("无法连接到显示 %1, 塔泉笔维德马克无法启动.")
                                .arg(display.isEmpty() ? QStringLiteral("(DISPLAY 未设置)")
                                                       : QString::fromLocal8Bit(display));
    qCritical().noquote() << message;
    // Said on the terminal even when the log is off: there is no window to say it in.
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
    std::fflush(stderr);
    return false;
}

void readStartUpSwitches(Settings& settings)
{
    if (settings.contains(QStringLiteral("SuperUser")))
        superUserMode = settings.value(QStringLiteral("SuperUser")).toBool();
    if (superUserMode)
        qInfo() << "SuperUser =" << "true";
    if (settings.contains(QStringLiteral("EnableAutoUpgrade")))
        autoUpgradeEnabled = settings.value(QStringLiteral("EnableAutoUpgrade")).toBool();
    qInfo() << "EnableAutoUpgrade =" << (autoUpgradeEnabled ? "true" : "false");
    if (settings.contains(QStringLiteral("AutoGenBatch")))
        autoGenBatchMode = settings.value(QStringLiteral("AutoGenBatch")).toBool();
    qInfo() << "AutoGenBatch =" << (autoGenBatchMode ? "true" : "false");
}

int runTarnquill(int argc, char** argv)
{
    applicationStartTime = QDateTime::currentDateTime();
    applicationElapsedTimer.start();

    QThreadPool* pool = QThreadPool::globalInstance();
    pool->setMaxThreadCount(threadPoolSize(pool->maxThreadCount()));

    QCoreApplication::setOrganizationName(QStringLiteral("Quenloft"));
    QCoreApplication::setApplicationName(QStringLiteral("塔泉笔维德马克"));
    SettingsStore::install();

    Settings settings;
    logTargets = settings.value(QStringLiteral("LogOutputTo"), 0).toInt();
    logLevel = settings.value(QStringLiteral("LogLevel"), 0).toInt();
    if (logTargets & LOG_TARGET_FILE) {
        const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation);
        if (!locations.isEmpty())
            openLogFile(locations.first(), applicationStartTime);
    }
    qInstallMessageHandler(messageHandler);

    QCoreApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QCoreApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    // Held until the application has its own connection (see DisplayConnection).
    DisplayConnection display;
    if (!connectToDisplay(display, argc, argv, kDisplayPatienceMs)) {
        closeLogFile();
        return 1;
    }
    Application application(argc, argv);
    display.close();

    qInfo() << "BinType =" << "TARN_QUILL_VELD_MARK";
    qInfo() << "BinVersion =" << "v1.5.0";

    installFontSubstitutions();
    QFont font(QStringLiteral("微软雅黑"),
               applicationFontPointSize(settings.value(QStringLiteral("CustomFontPointSize"), 9)));
    QApplication::setFont(font);

    const QString programDirectory = QCoreApplication::applicationDirPath();
    const VersionInfo versionInfo = readVersionFile(programDirectory + QLatin1Char('/') + QLatin1String(VERSION_FILE_NAME));
    if (versionInfo.found) {
        qInfo() << "Version =" << versionInfo.version.trimmed().toLatin1().constData();
        qInfo() << "Date =" << versionInfo.date.trimmed().toLatin1().constData();
    } else {
        qCritical() << "Open Version_Tarnquill_Veldmark.ini failed.";
    }

    logEnvironment(argc, argv);
    readStartUpSwitches(settings);

    registerResources();

    startUpArguments = resolveCommandLine(QCoreApplication::arguments(), QDir::currentPath());
    if (QDir(programDirectory) != QDir::current())
        QDir::setCurrent(programDirectory);

    languageMap.insert(QCoreApplication::translate("StartUp", "简体中文"), QStringLiteral("zh_CN"));
    languageMap.insert(QCoreApplication::translate("StartUp", "繁体中文"), QStringLiteral("zh_TW"));
    const QString locale = chooseLocale(languageMap, settings.value(QStringLiteral("CustomLocale")).toString(),
                                        QLocale::system().name());
    installTranslations(locale, programDirectory);

    RandomSource::seed(static_cast<quint32>(QTime::currentTime().msec()));

    // The version keeps its line end, which puts the date on a line of its own;
    // a carriage return would show as a box.
    QString version = versionInfo.version;
    QString date = versionInfo.date;
    version.remove(QLatin1Char('\r'));
    date.remove(QLatin1Char('\r'));
    splashScreen = new QSplashScreen(QPixmap(QStringLiteral(":/Images/SplashVeldmark.png")));
    splashScreen->showMessage(QCoreApplication::translate("StartUp", "正在启动，请稍后...") + QStringLiteral("\n\n")
                                  + QCoreApplication::translate("StartUp", "版本: ") + version
                                  + QCoreApplication::translate("StartUp", "日期: ") + date,
                              Qt::AlignBottom | Qt::AlignLeft, QColor(255, 255, 0));
    splashScreen->show();
    // Let the splash paint now, so it is not an empty frame while the window is built.
    QCoreApplication::processEvents();

    // For the start-up benchmark: report the first paint and end there; with
    // a text file named on the command line, the first paint of that file,
    // otherwise the window's, before any deferred start-up.
    const bool reportFirstPaint = qEnvironmentVariableIsSet("TARNQUILL_QUIT_WHEN_SHOWN");
    bool namesTextFile = false;
    for (const QString& argument : startUpArguments.mid(1))
        namesTextFile = namesTextFile || (!commandLineTemplateType(argument) && QFileInfo(argument).isFile());
    int exitCode = 0;
    {
        MainWindow window(nullptr, reportFirstPaint && !namesTextFile ? MainWindow::NoStartUpTimers : 0);
        window.showMaximized();
        // The splash closes itself once the window is shown: at the first turn of
        // the event loop (QSplashScreen::finish would wait for the window in 10 ms sleeps).
        QTimer::singleShot(0, splashScreen, &QWidget::close);
        if (reportFirstPaint)
            new FirstPaintReport(&window, namesTextFile);
        exitCode = runEventLoop(application);
    }
    // Still there when the loop ended before the window's timer took it.
    delete splashScreen;
    splashScreen = nullptr;
    closeLogFile();
    return exitCode;
}
