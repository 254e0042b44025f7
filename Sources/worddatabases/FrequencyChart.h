#pragma once
// Draws a frequency listing as a bar or a pie chart, off screen, into a
// square picture.

#include <QCoreApplication>
#include <QImage>

class FrequencyListing;

class FrequencyChart
{
    Q_DECLARE_TR_FUNCTIONS(FrequencyChart)

public:
    // Bars: one bar set "字频: %" over the items as categories. Pie: one slice
    // per data line, labelled with the whole line. The title is the listing's.
    static QImage render(const FrequencyListing& listing, bool barChart, int side);
};
