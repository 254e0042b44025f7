#include "PartOfSpeechFlags.h"

#include <QDebug>
#include <QFile>

QStringList partOfSpeechFlags;
QStringList partOfSpeechItems;

bool parseJieBaFlagConfigFile()
{
    qDebug() << Q_FUNC_INFO;
    return PartOfSpeechFlags::parseFile(PartOfSpeechFlags::configFileName(), partOfSpeechFlags, partOfSpeechItems);
}

bool PartOfSpeechFlags::parseFile(const QString& fileName, QStringList& flags, QStringList& items)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    QFile file(fileName);
    // Text mode reads CR LF line ends as LF.
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qCritical().noquote() << "Failed to open config file: " + fileName;
        return false;
    }
    parse(file, flags, items);
    return true;
}

QString PartOfSpeechFlags::itemText(const QString& flag, const QString& description)
{
    return flag + QLatin1Char(' ') + description;
}

void PartOfSpeechFlags::parse(QIODevice& device, QStringList& flags, QStringList& items)
{
    qDebug() << Q_FUNC_INFO;
    bool firstLine = true;
    while (!device.atEnd()) {
        // The line keeps its line end: a blank line is not empty and is reported.
        QString line = QString::fromUtf8(device.readLine());
        if (firstLine && line.startsWith(QChar(0xFEFF)))
            line.remove(0, 1);
        firstLine = false;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const int comment = line.indexOf(QLatin1Char('#'));
        if (comment >= 0)
            line.truncate(comment);
        const QStringList parts = line.split(QLatin1Char('='));
        if (parts.size() != 2) {
            QString shown = line;
            while (shown.endsWith(QLatin1Char('\n')) || shown.endsWith(QLatin1Char('\r')))
                shown.chop(1);
            qCritical().noquote() << "Unknown config line: " + shown;
            continue;
        }
        const QString flag = parts.at(0).trimmed();
        const QString item = itemText(flag, parts.at(1).trimmed());
        if (items.contains(item)) {
            qWarning().noquote() << "Skipped unknown or duplicated part of speech: " + flag + QLatin1Char(':') + item;
            continue;
        }
        flags << flag;
        items << item;
    }
}

QString PartOfSpeechFlags::flagOfItem(const QString& item, bool* found)
{
    const int index = partOfSpeechItems.indexOf(item);
    const bool offered = index >= 0 && index < partOfSpeechFlags.size();
    if (found)
        *found = offered;
    return offered ? partOfSpeechFlags.at(index) : QString();
}
