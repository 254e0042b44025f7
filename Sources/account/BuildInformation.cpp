#include "BuildInformation.h"

#include <QDebug>
#include <QFile>

bool getBuildInformation(BuildInformation& information)
{
    qDebug() << Q_FUNC_INFO;
    QFile file{QLatin1String(BUILD_INFORMATION_FILE_NAME)};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning().noquote() << "Failed to open build information file:" << BUILD_INFORMATION_FILE_NAME;
        return false;
    }
    const QPair<const char*, QString BuildInformation::*> fields[] = {
        {"BuildTimeStamp", &BuildInformation::buildTimeStamp}, {"CompilerInfo", &BuildInformation::compilerInfo},
        {"HWInfo", &BuildInformation::hwInfo},                 {"OSInfo", &BuildInformation::osInfo},
        {"BuildHash", &BuildInformation::buildHash},
    };
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('='), Qt::KeepEmptyParts);
        bool known = false;
        if (parts.size() == 2) {
            for (const auto& field : fields) {
                if (parts.at(0) == QLatin1String(field.first)) {
                    information.*field.second = parts.at(1);
                    known = true;
                    break;
                }
            }
        }
        if (!known)
            qWarning().noquote() << "Unknown config line: " + line;
    }
    return true;
}
