#pragma once
// The commands whose standard output the system report shows, section by
// section, with how long the report waits for each and how much of its output
// it keeps. The report reads the installed table; tests install their own.

#include <QMap>
#include <QStringList>

class SystemCommandTable
{
public:
    enum Section {
        InstalledSoftware,
        MemoryInformation,
        CPUInformation,
        DiskInformation,
        BasicHardwareInformation,
        USBInformation,
        SCSIInformation,
        PCIInformation,
        DriverList, // not part of the report
    };

    // The command lines of a section, run one after the other; none gives an empty section.
    QStringList commands(Section section) const { return m_commands.value(section); }
    void setCommands(Section section, const QStringList& commandLines) { m_commands.insert(section, commandLines); }

    // Longest wait for one command; a command still running then is killed.
    int waitMilliseconds = 30000;
    // Output kept of one command; the rest is dropped and the command stopped.
    int maxOutputBytes = 512 * 1024;

    // The readings of this system: lscpu, free, df and lsblk, lspci, lsusb, dpkg-query ...
    static SystemCommandTable linuxDefault();

    // The table the report uses (the Linux default until another is installed).
    static const SystemCommandTable& current();
    static void install(const SystemCommandTable& table);
    static void restoreDefault();

private:
    QMap<Section, QStringList> m_commands;
};
