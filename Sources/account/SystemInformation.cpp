#include "SystemInformation.h"

#include <QCoreApplication>
#include <QDebug>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

namespace {

QString notImplemented(const char* signature)
{
    qWarning() << signature << "not implemented.";
    return QString();
}

} // namespace

SystemInformation::SystemInformation(QObject* parent)
    : QObject(parent)
{
}

QString SystemInformation::getCPUInformation()
{
    return runSection(SystemCommandTable::CPUInformation);
}

QString SystemInformation::getMemoryInformation()
{
    return runSection(SystemCommandTable::MemoryInformation);
}

QString SystemInformation::getPCIInformation()
{
    return runSection(SystemCommandTable::PCIInformation);
}

QString SystemInformation::getBasicHardwareInformation()
{
    return runSection(SystemCommandTable::BasicHardwareInformation);
}

QString SystemInformation::getDiskInformation()
{
    return runSection(SystemCommandTable::DiskInformation);
}

QString SystemInformation::getSCSIInformation()
{
    return runSection(SystemCommandTable::SCSIInformation);
}

QString SystemInformation::getUSBInformation()
{
    return runSection(SystemCommandTable::USBInformation);
}

QString SystemInformation::getInstalledSoftware()
{
    return runSection(SystemCommandTable::InstalledSoftware);
}

QString SystemInformation::getDriverList()
{
    return runSection(SystemCommandTable::DriverList);
}

QString SystemInformation::getCPULoad()
{
    return notImplemented(Q_FUNC_INFO);
}

QString SystemInformation::getMemoryLoad()
{
    return notImplemented(Q_FUNC_INFO);
}

QString SystemInformation::getNetworkLoad()
{
    return notImplemented(Q_FUNC_INFO);
}

QString SystemInformation::getNetworkStatus()
{
    return notImplemented(Q_FUNC_INFO);
}

QString SystemInformation::getTaskList()
{
    return notImplemented(Q_FUNC_INFO);
}

QString SystemInformation::runSection(SystemCommandTable::Section section)
{
    QString result;
    for (const QString& commandLine : SystemCommandTable::current().commands(section))
        result += runCommand(commandLine);
    return result;
}

QString SystemInformation::runCommand(const QString& commandLine)
{
    qDebug() << Q_FUNC_INFO << ", commandLine =" << commandLine;
    const SystemCommandTable& table = SystemCommandTable::current();
    QString result = QLatin1Char('\n') + commandLine + QLatin1Char('\n');
    QStringList arguments = QProcess::splitCommand(commandLine);
    if (arguments.isEmpty())
        return result;
    const QString program = arguments.takeFirst();

    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForStarted(table.waitMilliseconds)) {
        qWarning() << "Failed to start" << program << ":" << process.errorString();
        return result;
    }
    process.closeWriteChannel();

    // Read as the output comes, so that a command that writes without end is
    // stopped at the cap instead of filling memory until the wait runs out.
    QByteArray output;
    bool truncated = false;
    auto collect = [&]() {
        output += process.readAllStandardOutput();
        if (output.size() > table.maxOutputBytes) {
            output.truncate(table.maxOutputBytes);
            truncated = true;
        }
    };
    for (;;) {
        collect();
        if (truncated || process.state() == QProcess::NotRunning)
            break;
        const qint64 remaining = table.waitMilliseconds - timer.elapsed();
        if (remaining <= 0)
            break;
        process.waitForReadyRead(static_cast<int>(remaining));
    }
    if (process.state() != QProcess::NotRunning) {
        if (!truncated)
            qWarning() << "Command" << commandLine << "did not finish within" << table.waitMilliseconds << "ms; stopped.";
        process.kill();
        process.waitForFinished(1000);
        if (!truncated)
            collect();
    }

    const int nul = output.indexOf('\0');
    if (nul >= 0)
        output.truncate(nul);
    result += QString::fromUtf8(output);
    // The section's dash line must not run on from an unfinished last line.
    if (!output.isEmpty() && !output.endsWith('\n'))
        result += QLatin1Char('\n');
    if (truncated)
        result += QLatin1Char('\n') + QCoreApplication::translate("SystemInformation", "(输出过长, 其余部分已略去)")
                  + QLatin1Char('\n');
    return result;
}

QStringList SystemInformation::maskedEnvironment(const QStringList& entries)
{
    static const QRegularExpression secretName(QStringLiteral("TOKEN|SECRET|PASSWORD|KEY|AUTH"),
                                               QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression urlCredentials(QStringLiteral("([A-Za-z][A-Za-z0-9+.-]*://)[^/@\\s]+@"));
    QStringList masked;
    masked.reserve(entries.size());
    for (const QString& entry : entries) {
        const int equals = entry.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? entry : entry.left(equals);
        QString value = equals < 0 ? QString() : entry.mid(equals + 1);
        if (secretName.match(name).hasMatch() && !value.isEmpty())
            value = QStringLiteral("******");
        else
            value.replace(urlCredentials, QStringLiteral("\\1******@"));
        masked << (equals < 0 ? entry : name + QLatin1Char('=') + value);
    }
    return masked;
}
