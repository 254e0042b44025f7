#pragma once
// What the character and word counting tools print, read for a chart: two
// title lines, a heading line, then "<item> -><value>%" lines, most frequent
// first. Lines of 40 hyphens (the runner puts one in front of the output) are
// skipped but counted like the title lines; progress lines holding
// "正在处理文件:" are skipped and not counted.

#include <QList>
#include <QString>
#include <QStringList>

class FrequencyListing
{
public:
    // The title lines, each followed by ", ".
    QString title;
    // Per data line, in order: the item, its value and the whole line.
    QStringList items;
    QList<qreal> values;
    QStringList lines;

    // Reads the first topCount data lines of the output. A data line is cut at
    // its last "->", so items such as ">" or "%" keep their text; a value that
    // is not a number counts as 0; a line without "->" is passed over.
    static FrequencyListing parse(const QString& output, int topCount);

    static QString separatorLine() { return QStringLiteral("----------------------------------------"); }
    static QString progressMarker() { return QStringLiteral("正在处理文件:"); }
};
