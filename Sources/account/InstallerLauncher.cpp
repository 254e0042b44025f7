#include "InstallerLauncher.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "Prompt.h"

namespace {
InstallerLauncher defaultLauncher;
InstallerLauncher* installedLauncher = nullptr;
}

InstallerLauncher::~InstallerLauncher() = default;

bool InstallerLauncher::runsInstaller() const
{
    return false;
}

void InstallerLauncher::launch(const QString& installerPath, const QString& parameters, QWidget* parent)
{
    qDebug().noquote() << "Installer not started on this platform: " + installerPath + ", parameters "
                              + parameters;
    const QString folder = QFileInfo(installerPath).absolutePath();
    QMessageBox box(QMessageBox::Information, tr("软件升级"),
                    tr("新版软件安装包已下载到:\n%1\n\n本系统不会自动运行安装包, 请按安装包的说明手动完成升级。")
                        .arg(QDir::toNativeSeparators(installerPath)),
                    QMessageBox::Ok, parent);
    Prompt::current().exec(box);
    Prompt::current().openUrl(QUrl::fromLocalFile(folder));
}

InstallerLauncher& InstallerLauncher::current()
{
    return installedLauncher ? *installedLauncher : defaultLauncher;
}

void InstallerLauncher::install(InstallerLauncher* launcher)
{
    installedLauncher = launcher;
}
