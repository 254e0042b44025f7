#include "VersionFile.h"

#include <QFile>

VersionInfo readVersionFile(const QString& fileName)
{
    VersionInfo info;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return info;
    info.found = true;
    // A version line is short: keep at most 1 KiB of each line and skip the rest of it.
    constexpr int maxLineLength = 1024;
    auto readLine = [&file]() {
        QByteArray line;
        char c;
        while (file.getChar(&c)) {
            if (line.size() < maxLineLength)
                line.append(c);
            if (c == '\n')
                break;
        }
        const int nul = line.indexOf('\0');
        if (nul >= 0)
            line.truncate(nul);
        return QString::fromUtf8(line);
    };
    info.version = readLine();
    info.date = readLine();
    return info;
}
