#include "LogTab.h"

#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>

#include "Prompt.h"

namespace {

// The data of the current entry, 0 when nothing is selected.
int currentData(const QComboBox* box)
{
    return box->currentIndex() < 0 ? 0 : box->currentData().toInt();
}

} // namespace

LogTab::LogTab(QWidget* parent)
    : PreferencesPage(parent)
{
    qDebug() << Q_FUNC_INFO;
    logOutputToComboBox = new QComboBox(this);
    logOutputToComboBox->addItem(tr("关闭"), 0);
    logOutputToComboBox->addItem(tr("文件"), 1);
    logOutputToComboBox->addItem(tr("后台屏幕"), 2);
    logOutputToComboBox->addItem(tr("文件 + 后台屏幕"), 3);

    logLevelComboBox = new QComboBox(this);
    logLevelComboBox->addItem(tr("信息 (4)"), 4);
    logLevelComboBox->addItem(tr("致命 (3)"), 3);
    logLevelComboBox->addItem(tr("严重 (2)"), 2);
    logLevelComboBox->addItem(tr("警告 (1)"), 1);
    logLevelComboBox->addItem(tr("调试 (0)"), 0);

    // The folder in which start-up opens the log file.
    const QStringList locations = QStandardPaths::standardLocations(QStandardPaths::AppLocalDataLocation);
    logDirLineEdit = new QLineEdit(locations.isEmpty() ? QString() : locations.first() + QLatin1Char('/'), this);
    logDirLineEdit->setReadOnly(true);
    openLogDirPushButton = new QPushButton(tr("打开日志文件夹"), this);
    connect(openLogDirPushButton, SIGNAL(clicked()), this, SLOT(openLogDir()));

    loadSettings();

    auto* layout = new QGridLayout;
    layout->addWidget(new QLabel(tr("日志打印到:"), this), 0, 0);
    layout->addWidget(logOutputToComboBox, 0, 1);
    layout->addWidget(new QLabel(tr("请谨慎开启! 日志不会自动清除, 需定期手动清除"), this), 0, 2);
    layout->addWidget(new QLabel(tr("日志等级:"), this), 1, 0);
    layout->addWidget(logLevelComboBox, 1, 1);
    layout->addWidget(new QLabel(tr("请谨慎选择! 等级越低, 信息越多."), this), 1, 2);
    layout->addWidget(new QLabel(tr("日志文件夹:"), this), 2, 0);
    layout->addWidget(logDirLineEdit, 2, 1);
    layout->addWidget(openLogDirPushButton, 2, 2);
    setLayout(layout);
}

void LogTab::loadSettings()
{
    const Settings settings;
    // Only the file and console bits have entries; a stored output-window bit must
    // not leave the list without a selection, which an apply would store as "off".
    const int targets = settings.value(QStringLiteral("LogOutputTo"), 0).toInt();
    const int level = settings.value(QStringLiteral("LogLevel"), 0).toInt();
    qDebug() << Q_FUNC_INFO << ", targets =" << targets << ", level =" << level;
    logOutputToComboBox->setCurrentIndex(logOutputToComboBox->findData(targets & 3));
    logLevelComboBox->setCurrentIndex(logLevelComboBox->findData(level));
}

void LogTab::apply()
{
    qDebug() << Q_FUNC_INFO;
    Settings settings;
    settings.setValue(QStringLiteral("LogOutputTo"), currentData(logOutputToComboBox));
    settings.setValue(QStringLiteral("LogLevel"), currentData(logLevelComboBox));
}

void LogTab::openLogDir()
{
    const QString folder = logDirLineEdit->text();
    qDebug() << Q_FUNC_INFO << ", folder =" << folder;
    // Before the first log file the folder may not exist yet; the file browser needs it.
    if (!folder.isEmpty())
        QDir().mkpath(folder);
    Prompt::current().openUrl(QUrl::fromLocalFile(folder));
}
