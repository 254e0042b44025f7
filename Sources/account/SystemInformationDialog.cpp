#include "SystemInformationDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QFontDatabase>
#include <QLocale>
#include <QMap>
#include <QProcessEnvironment>
#include <QSysInfo>

#include "ProgramBuildConfig.h"
#include "SystemInformation.h"
#include "VersionFile.h"
#include "ui_SystemInformationDialog.h"

SystemInformationDialog::SystemInformationDialog(const QDateTime& startTime, qint64 elapsedMilliseconds,
                                                 QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::SystemInformationDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    ui->systemInformationPlainTextEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString report = buildReport(startTime, elapsedMilliseconds);
    QApplication::restoreOverrideCursor();
    ui->systemInformationPlainTextEdit->setPlainText(report);
}

SystemInformationDialog::~SystemInformationDialog()
{
    delete ui;
}

QString SystemInformationDialog::reportText() const
{
    return ui->systemInformationPlainTextEdit->toPlainText();
}

QString SystemInformationDialog::buildReport(const QDateTime& startTime, qint64 elapsedMilliseconds)
{
    const QString dashLine = QString(80, QLatin1Char('-')) + QLatin1Char('\n');
    const QString timeFormat = QStringLiteral("yyyy.MM.dd hh:mm:ss.zzz");
    const VersionInfo versionInfo = readVersionFile(QLatin1String(VERSION_FILE_NAME));
    auto line = [](const QString& label, const QString& value) -> QString { return label + value + QLatin1Char('\n'); };

    QString report;
    report += line(tr("报告生成时间: "), QDateTime::currentDateTime().toString(timeFormat));
    report += dashLine;
    report += line(tr("软件名称: "), tr("塔泉笔维德马克"));
    report += line(tr("二进制版本: "), QStringLiteral("v" TQ_PROGRAM_VERSION));
    report += line(tr("软件版本: "), versionInfo.version.trimmed());
#ifdef QT_NO_DEBUG
    report += line(tr("Build类型: "), tr("Release build"));
#else
    report += line(tr("Build类型: "), tr("Debug build"));
#endif
    report += line(tr("Compiler版本: "), QStringLiteral(TQ_COMPILER_INFO));
    report += line(tr("日期: "), versionInfo.date.trimmed());
    report += dashLine;
    report += line(tr("Qt版本: "), QString::fromLatin1(qVersion()));
    report += dashLine;
    report += line(tr("buildAbi: "), QSysInfo::buildAbi());
    report += line(tr("buildCpuArchitecture: "), QSysInfo::buildCpuArchitecture());
    report += line(tr("currentCpuArchitecture: "), QSysInfo::currentCpuArchitecture());
    report += line(tr("kernelVersion: "), QSysInfo::kernelVersion());
    report += line(tr("prettyProductName: "), QSysInfo::prettyProductName());
    report += line(tr("productType: "), QSysInfo::productType());
    report += line(tr("productVersion: "), QSysInfo::productVersion());
    report += line(tr("machineHostName: "), QSysInfo::machineHostName());
    report += line(tr("locale: "), QLocale::system().name());
    report += dashLine;
    report += QLatin1Char('\n');
    report += dashLine;
    report += line(tr("applicationFilePath: "), QCoreApplication::applicationFilePath());
    report += line(tr("applicationName: "), QCoreApplication::applicationName());
    report += line(tr("applicationPid: "), QString::number(QCoreApplication::applicationPid()));
    report += line(QStringLiteral("applicationStartTime: "), startTime.toString(timeFormat));
    report += QStringLiteral("applicationElapsedTime: %1ms").arg(elapsedMilliseconds) + QLatin1Char('\n');
    report += line(tr("applicationVersion: "), QCoreApplication::applicationVersion());
    report += line(tr("arguments: "), QCoreApplication::arguments().join(QLatin1Char(' ')));
    report += line(tr("libraryPaths: "), QCoreApplication::libraryPaths().join(QLatin1Char(';')));
    report += line(tr("organizationDomain: "), QCoreApplication::organizationDomain());
    report += line(tr("organizationName: "), QCoreApplication::organizationName());
    report += dashLine;

    // The commands run in this order; their sections are shown in the report's order below.
    using Reading = QString (*)();
    const QList<QPair<SystemCommandTable::Section, Reading>> runOrder = {
        {SystemCommandTable::SCSIInformation, &SystemInformation::getSCSIInformation},
        {SystemCommandTable::USBInformation, &SystemInformation::getUSBInformation},
        {SystemCommandTable::BasicHardwareInformation, &SystemInformation::getBasicHardwareInformation},
        {SystemCommandTable::DiskInformation, &SystemInformation::getDiskInformation},
        {SystemCommandTable::InstalledSoftware, &SystemInformation::getInstalledSoftware},
        {SystemCommandTable::MemoryInformation, &SystemInformation::getMemoryInformation},
        {SystemCommandTable::CPUInformation, &SystemInformation::getCPUInformation},
        {SystemCommandTable::PCIInformation, &SystemInformation::getPCIInformation},
    };
    QMap<SystemCommandTable::Section, QString> readings;
    for (const auto& reading : runOrder)
        readings.insert(reading.first, reading.second());

    QString environment;
    for (const QString& entry :
         SystemInformation::maskedEnvironment(QProcessEnvironment::systemEnvironment().toStringList()))
        environment += entry + QLatin1Char('\n');
    const QList<QPair<QString, QString>> sections = {
        {tr("System Environment:"), environment},
        {tr("Installed Software:"), readings.value(SystemCommandTable::InstalledSoftware)},
        {tr("Memory Information:"), readings.value(SystemCommandTable::MemoryInformation)},
        {tr("CPU Information:"), readings.value(SystemCommandTable::CPUInformation)},
        {tr("Disk Information:"), readings.value(SystemCommandTable::DiskInformation)},
        {tr("Basic Hardware Information:"), readings.value(SystemCommandTable::BasicHardwareInformation)},
        {tr("USB Information:"), readings.value(SystemCommandTable::USBInformation)},
        {tr("SCSI Information:"), readings.value(SystemCommandTable::SCSIInformation)},
        {tr("PCI Information:"), readings.value(SystemCommandTable::PCIInformation)},
    };
    for (const auto& section : sections)
        report += section.first + QLatin1Char('\n') + section.second + dashLine;
    return report;
}

void SystemInformationDialog::on_cancelPushButton_clicked()
{
    reject();
}

void SystemInformationDialog::on_copyToClipBoardPushButton_clicked()
{
    const QString text = ui->systemInformationPlainTextEdit->document()->toPlainText();
    QApplication::clipboard()->setText(text);
    // The report holds the environment and the machine's details: log its size only.
    qDebug() << "System information copied to the clipboard:" << text.size() << "characters";
    accept();
}
