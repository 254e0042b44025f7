#include "SystemCommandTable.h"

#include <memory>

namespace {
std::unique_ptr<SystemCommandTable> installedTable;
}

SystemCommandTable SystemCommandTable::linuxDefault()
{
    SystemCommandTable table;
    table.setCommands(InstalledSoftware, {QStringLiteral("dpkg-query -W")});
    table.setCommands(MemoryInformation, {QStringLiteral("free -h")});
    table.setCommands(CPUInformation, {QStringLiteral("lscpu")});
    table.setCommands(DiskInformation, {QStringLiteral("df -h"), QStringLiteral("lsblk")});
    table.setCommands(BasicHardwareInformation, {QStringLiteral("uname -a"), QStringLiteral("cat /etc/os-release")});
    table.setCommands(USBInformation, {QStringLiteral("lsusb")});
    table.setCommands(SCSIInformation, {QStringLiteral("lsblk -S")});
    table.setCommands(PCIInformation, {QStringLiteral("lspci")});
    table.setCommands(DriverList, {QStringLiteral("lsmod")});
    return table;
}

const SystemCommandTable& SystemCommandTable::current()
{
    if (!installedTable)
        installedTable = std::make_unique<SystemCommandTable>(linuxDefault());
    return *installedTable;
}

void SystemCommandTable::install(const SystemCommandTable& table)
{
    installedTable = std::make_unique<SystemCommandTable>(table);
}

void SystemCommandTable::restoreDefault()
{
    installedTable.reset();
}
