// Main window: account, updates, plug-ins, system and build information, about and help commands.

#include "MainWindow.h"

#include <QDebug>
#include <QMessageBox>

#include "AccountInformationDialog.h"
#include "BuildSystemInfoDialog.h"
#include "HelpCommands.h"
#include "LoginDialog.h"
#include "NetworkProbe.h"
#include "PluginManager.h"
#include "PluginManagerDialog.h"
#include "Prompt.h"
#include "StartUp.h"
#include "SystemInformationDialog.h"
#include "UpdateDialog.h"
#include "VersionFile.h"

// ---- Plug-ins ------------------------------------------------------------------

void MainWindow::loadPlugins()
{
    qDebug() << Q_FUNC_INFO;
    if (!pluginManager)
        pluginManager = new PluginManager(this);
    pluginManager->loadAllPlugins();
}

void MainWindow::showPluginsManagerDialog()
{
    qDebug() << Q_FUNC_INFO;
    PluginManagerDialog dialog;
    Prompt::current().execDialog(dialog);
}

// ---- Account -------------------------------------------------------------------

void MainWindow::login()
{
    qDebug() << Q_FUNC_INFO;
    LoginDialog dialog(this);
    Prompt::current().execDialog(dialog);
}

void MainWindow::showAccountInformation()
{
    qDebug() << Q_FUNC_INFO;
    AccountInformationDialog dialog;
    Prompt::current().execDialog(dialog);
}

// ---- Version file and updates --------------------------------------------------

void MainWindow::readVersionFile(QString& version, QString& date)
{
    // The program folder is the current folder from start-up on.
    const VersionInfo info = ::readVersionFile(QLatin1String(VERSION_FILE_NAME));
    if (!info.found)
        return;
    version = info.version;
    date = info.date;
}

void MainWindow::checkUpdate()
{
    qDebug() << Q_FUNC_INFO;
    if (!NetworkProbe::current().isAccessible()) {
        QMessageBox box(QMessageBox::Information, tr("错误"), tr("网络错误, 无法检测升级包!"), QMessageBox::Ok);
        Prompt::current().exec(box);
        return;
    }
    if (!updateDialog)
        updateDialog = new UpdateDialog(this);
    updateDialog->checkUpdate(true);
    updateDialog->show();
}

void MainWindow::checkUpdateIfDue()
{
    qDebug() << Q_FUNC_INFO;
    if (!UpdateDialog::isAutomaticCheckDue(settings, QDate::currentDate()))
        return;
    if (!updateDialog)
        updateDialog = new UpdateDialog(this);
    updateDialog->checkUpdate(false);
}

// ---- System and build information, release notes -------------------------------

void MainWindow::systemInformation()
{
    qDebug() << Q_FUNC_INFO;
    QMessageBox box(QMessageBox::Warning, tr("警告"),
                    tr("获取系统信息将需要10秒到1分钟以上时间, 在此期间您将不能使用软件做任何操作, 请问是否继续?"),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    if (Prompt::current().exec(box) != QMessageBox::Ok)
        return;
    SystemInformationDialog dialog(applicationStartTime,
                                   applicationElapsedTimer.isValid() ? applicationElapsedTimer.elapsed() : 0);
    if (Prompt::current().execDialog(dialog) != QDialog::Accepted)
        qDebug().noquote() << tr("取消");
}

void MainWindow::showBuildSystemInformation()
{
    qDebug() << Q_FUNC_INFO;
    BuildSystemInfoDialog dialog;
    Prompt::current().execDialog(dialog);
}

void MainWindow::showReleaseNotes()
{
    qDebug() << Q_FUNC_INFO;
    HelpCommands::showReleaseNotes();
}

// ---- About, credits, help and mail links ---------------------------------------

void MainWindow::about()
{
    qDebug() << Q_FUNC_INFO;
    QString version;
    QString date;
    readVersionFile(version, date);
    HelpCommands::showAbout(this, version, date);
}

void MainWindow::aboutQt()
{
    qDebug() << Q_FUNC_INFO;
    QMessageBox::aboutQt(this);
}

void MainWindow::credits()
{
    qDebug() << Q_FUNC_INFO;
    HelpCommands::showCredits(this);
}

void MainWindow::help()
{
    qDebug() << Q_FUNC_INFO;
    Prompt::current().openUrl(HelpCommands::helpUrl());
}

void MainWindow::bugReport()
{
    qDebug() << Q_FUNC_INFO;
    if (HelpCommands::confirmBugReport(this))
        Prompt::current().openUrl(HelpCommands::bugReportUrl());
}

void MainWindow::userFeedback()
{
    qDebug() << Q_FUNC_INFO;
    Prompt::current().openUrl(HelpCommands::userFeedbackUrl());
}

void MainWindow::recommendTo()
{
    qDebug() << Q_FUNC_INFO;
    Prompt::current().openUrl(HelpCommands::recommendationUrl());
}
