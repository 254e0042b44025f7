#include "FrequencyChart.h"

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
    chart->setTitle(listing.title);
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
        categories->append(listing.items);
        chart->addAxis(categories, Qt::AlignBottom);
        series->attachAxis(categories);
    } else {
        auto* series = new QPieSeries;
        for (int i = 0; i < listing.values.size(); ++i)
            series->append(listing.lines.at(i), listing.values.at(i));
        series->setLabelsVisible(true);
        chart->addSeries(series);
    }

    QChartView view(chart); // owns the chart
    view.setRenderHint(QPainter::Antialiasing);
    view.setRenderHint(QPainter::TextAntialiasing);
    view.resize(side, side);
    return view.grab().toImage();
}
