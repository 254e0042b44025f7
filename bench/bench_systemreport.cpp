// The system report with this system's command table: building the report and
// showing it in its dialog, against a shell running the same command lines one
// after the other with their output collected (the least any report can cost).
//
// Usage: bench_systemreport [samples, default 7]

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include "SystemCommandTable.h"
#include "SystemInformationDialog.h"

#include "BenchSupport.h"

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const int samples = program.count(1, 7);

    const SystemCommandTable& table = SystemCommandTable::current();
    QStringList commands;
    for (auto section : {SystemCommandTable::SCSIInformation, SystemCommandTable::USBInformation,
                         SystemCommandTable::BasicHardwareInformation, SystemCommandTable::DiskInformation,
                         SystemCommandTable::InstalledSoftware, SystemCommandTable::MemoryInformation,
                         SystemCommandTable::CPUInformation, SystemCommandTable::PCIInformation})
        commands << table.commands(section);
    // Missing programs are skipped by the shell as they are by the report.
    QString script;
    for (const QString& command : commands)
        script += command + " 2>/dev/null; ";

    QVector<double> shell, report, dialog;
    int reportSize = 0;
    for (int i = 0; i < samples; ++i) {
        QElapsedTimer timer;
        timer.start();
        QProcess process;
        process.start("sh", {"-c", script});
        process.closeWriteChannel();
        process.waitForFinished(-1);
        const QByteArray output = process.readAllStandardOutput();
        shell << seconds(timer);

        timer.restart();
        reportSize = SystemInformationDialog::buildReport(QDateTime::currentDateTime(), 0).size();
        report << seconds(timer);

        timer.restart();
        {
            SystemInformationDialog shown(QDateTime::currentDateTime(), 0);
            shown.show();
            QCoreApplication::processEvents();
        }
        dialog << seconds(timer);
        Q_UNUSED(output);
    }
    std::printf("system report, %d commands, %d characters, median of %d samples\n", int(commands.size()),
                reportSize, samples);
    std::printf("  shell running the same commands: %.3f s\n", median(shell));
    std::printf("  report built:                    %.3f s  (%.2fx the shell)\n", median(report),
                median(report) / median(shell));
    std::printf("  report built and shown:          %.3f s  (%.2fx the shell)\n", median(dialog),
                median(dialog) / median(shell));
    return 0;
}
