#include "FrequencyChart.h"

#include <QFontMetrics>

#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QPieSeries>
#include <QtCharts/QValueAxis>

#include "FrequencyListing.h"

QT_CHARTS_USE_NAMESPACE

QImage FrequencyChart::render(const FrequencyListing& listing, bool barChart, int side)
{
    auto* chart = new QChart;
    // Titles and labels are rich text: the listing's texts are escaped.
    chart->setTitle(listing.title.toHtmlEscaped());
    if (barChart) {
        auto* set = new QBarSet(tr("字频: %"));
        for (const qreal value : listing.values)
            *set << value;
        auto* series = new QBarSeries;
        series->append(set);
        chart->addSeries(series);
        chart->createDefaultAxes();
        for (QAbstractAxis* axis : chart->axes(Qt::Horizontal)) {
            chart->removeAxis(axis);
            delete axis;
        }
        auto* categories = new QBarCategoryAxis;
        // Labels wider than their bars stand one character per line rather
        // than shrink to "...".
        const QFontMetrics metrics(categories->labelsFont());
        int widest = 0;
        for (const QString& item : listing.items)
            widest = qMax(widest, metrics.horizontalAdvance(item));
        const bool upright = listing.items.size() * (widest + 8) > side * 3 / 4;
        if (upright) {
            // Small enough for one character to fit its bar.
            QFont font = categories->labelsFont();
            const int fitting = qBound(8, side * 3 / 4 / qMax(1, int(listing.items.size())) - 10, 12);
            if (QFontMetrics(font).height() > fitting) {
                font.setPixelSize(fitting);
                categories->setLabelsFont(font);
            }
        }
        for (const QString& item : listing.items) {
            if (!upright) {
                categories->append(item.toHtmlEscaped());
                continue;
            }
            QStringList characters;
            for (const uint c : item.toUcs4())
                characters << QString::fromUcs4(&c, 1).toHtmlEscaped();
            categories->append(characters.join(QStringLiteral("<br>")));
        }
        chart->addAxis(categories, Qt::AlignBottom);
        series->attachAxis(categories);
    } else {
        auto* series = new QPieSeries;
        for (int i = 0; i < listing.values.size(); ++i)
            series->append(listing.lines.at(i).toHtmlEscaped(), listing.values.at(i));
        series->setLabelsVisible(true);
        chart->addSeries(series);
        // The slices carry their labels; a legend of many entries would only show "...".
        chart->legend()->hide();
    }

    QChartView view(chart); // owns the chart
    view.setRenderHint(QPainter::Antialiasing);
    view.setRenderHint(QPainter::TextAntialiasing);
    view.resize(side, side);
    return view.grab().toImage();
}
