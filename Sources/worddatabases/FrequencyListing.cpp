#include "FrequencyListing.h"

#include <QRegularExpression>

FrequencyListing FrequencyListing::parse(const QString& output, int topCount)
{
    FrequencyListing listing;
    static const QRegularExpression lineEnds(QStringLiteral("[\r\n]"));
    int counted = 0;
    for (const QString& line : output.split(lineEnds, Qt::SkipEmptyParts)) {
        if (line.contains(separatorLine())) {
            ++counted;
            continue;
        }
        if (line.contains(progressMarker()))
            continue;
        if (counted < 3) {
            listing.title += line + QStringLiteral(", ");
            ++counted;
            continue;
        }
        if (counted == 3) {
            ++counted;
            continue;
        }
        if (listing.items.size() >= topCount)
            break;
        const int arrow = line.lastIndexOf(QStringLiteral("->"));
        if (arrow < 0)
            continue;
        QString item = line.left(arrow);
        if (item.endsWith(QLatin1Char(' ')))
            item.chop(1);
        QString value = line.mid(arrow + 2).trimmed();
        if (value.endsWith(QLatin1Char('%')))
            value.chop(1);
        listing.items << item;
        listing.values << value.toDouble();
        listing.lines << line;
        ++counted;
    }
    return listing;
}
