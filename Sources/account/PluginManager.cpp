#include "PluginManager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QMainWindow>
#include <QMessageBox>
#include <QPluginLoader>
#include <QStatusBar>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "GenericPluginInterface.h"
#include "PluginInformation.h"
#include "ProgramState.h"
#include "Prompt.h"

namespace {

QString programDirectoryOverride;
#ifdef TQ_DEVELOPER_BUILD
bool walkUpFromBuildFolders = true;
#else
bool walkUpFromBuildFolders = false;
#endif

// Why a file or folder must not be loaded from; empty when it may.
QString unsafeBecause(const QString& path)
{
#ifdef Q_OS_UNIX
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return QStringLiteral("it cannot be examined");
    if (status.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("it is writable by group or others");
    if (status.st_uid != ::geteuid() && status.st_uid != 0)
        return QStringLiteral("it belongs to another user");
#else
    Q_UNUSED(path)
#endif
    return QString();
}

QString rootProperty(const QObject* root, const char* name)
{
    return root->property(name).toString();
}

} // namespace

PluginManager::PluginManager(QObject* parent)
    : QObject(parent)
{
    QDir directory(programDirectoryOverride.isEmpty() ? QCoreApplication::applicationDirPath()
                                                      : programDirectoryOverride);
    const QString last = directory.dirName().toLower();
    if (walkUpFromBuildFolders && (last == QLatin1String("debug") || last == QLatin1String("release")))
        directory.cdUp();
    if (!directory.cd(QStringLiteral("plugins"))) {
        qCritical().noquote() << "cd plugins directory failed: " + directory.absolutePath();
        return;
    }
    m_directoryPath = directory.absolutePath();
}

void PluginManager::setProgramDirectory(const QString& path)
{
    programDirectoryOverride = path;
}

bool PluginManager::walksUpFromBuildFolders()
{
    return walkUpFromBuildFolders;
}

void PluginManager::setWalksUpFromBuildFolders(bool walk)
{
    walkUpFromBuildFolders = walk;
}

QStringList PluginManager::libraryFiles() const
{
    QStringList files;
    if (m_directoryPath.isEmpty())
        return files;
    const QString folderProblem = unsafeBecause(m_directoryPath);
    if (!folderProblem.isEmpty()) {
        qWarning().noquote() << "Plug-ins folder skipped, " + folderProblem + ": " + m_directoryPath;
        return files;
    }
    const QFileInfoList entries = QDir(m_directoryPath).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& entry : entries) {
        const QString path = entry.absoluteFilePath();
        if (!QLibrary::isLibrary(path))
            continue;
        const QString problem = unsafeBecause(path);
        if (!problem.isEmpty()) {
            qWarning().noquote() << "Plug-in skipped, " + problem + ": " + path;
            continue;
        }
        files << path;
    }
    return files;
}

void PluginManager::loadAllPlugins()
{
    qDebug() << Q_FUNC_INFO;
    auto* window = qobject_cast<QMainWindow*>(parent());
    for (const QString& path : libraryFiles()) {
        // The loader goes at the end of the step; the library stays loaded.
        QPluginLoader loader(path);
        QObject* root = loader.instance();
        if (!root) {
            qDebug().noquote() << "Not a plug-in: " + path + " (" + loader.errorString() + ")";
            continue;
        }
        if (!superUserMode || !window)
            continue;
        auto* plugin = qobject_cast<GenericPluginInterface*>(root);
        if (!plugin) {
            QMessageBox box(QMessageBox::Information, tr("错误!"), tr("加载推广插件失败!"), QMessageBox::Ok, window);
            Prompt::current().exec(box);
            continue;
        }
        QWidget* widget = plugin->widget();
        if (!widget)
            continue;
        QStatusBar* bar = window->statusBar();
        const int height = bar->height();
        bar->insertPermanentWidget(0, widget, 0);
        widget->setFixedHeight(qMax(0, height - 6));
        m_widgets << widget;
    }
}

QList<PluginInformation*> PluginManager::getAllPluginsBriefInfo()
{
    qDebug() << Q_FUNC_INFO;
    QList<PluginInformation*> records;
    for (const QString& path : libraryFiles()) {
        auto* loader = new QPluginLoader(path);
        QObject* root = loader->instance();
        if (!root) {
            delete loader;
            continue;
        }
        auto* record = new PluginInformation;
        record->name = rootProperty(root, "TQPluginName");
        record->loader = loader;
        record->filePath = path;
        record->version = rootProperty(root, "TQPluginVersion");
        record->releaseDate = rootProperty(root, "TQPluginReleaseDate");
        record->loaded = loader->isLoaded();
        records << record;
    }
    return records;
}

void PluginManager::takeWidgetsOutOfStatusBar()
{
    QWidget* holder = qobject_cast<QWidget*>(parent());
    for (const QPointer<QWidget>& widget : qAsConst(m_widgets)) {
        if (!widget)
            continue;
        if (auto* bar = qobject_cast<QStatusBar*>(widget->parentWidget()))
            bar->removeWidget(widget);
        widget->hide();
        widget->setParent(holder);
    }
}

void PluginManager::putWidgetsIntoStatusBar(QStatusBar* bar)
{
    for (const QPointer<QWidget>& widget : qAsConst(m_widgets)) {
        if (!widget)
            continue;
        bar->insertPermanentWidget(0, widget, 0);
        widget->show();
    }
}
