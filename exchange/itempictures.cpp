#include "exchange/itempictures.h"

#include "charts/binrange.h"
#include "data/itemsummary.h"
#include "data/itemdata.h"
#include "data/readingseries.h"

#include <vector>

ItemPictureSettings ItemPictureMaker::standardSettings(Unit unit, const ItemLimits &limits)
{
    const bool micrometres = unit == Unit::Micrometre;
    const QString thickness = micrometres ? QStringLiteral("%1(%2)").arg(tr("Thickness"), micrometreSymbol())
                                          : tr("Thickness(mil)");
    const int decimals = micrometres ? 1 : 2;

    ItemPictureSettings s;
    s.chart.margins = QMargins(70, 40, 20, 50);
    s.chart.xTitle = tr("Time");
    s.chart.yTitle = thickness;
    s.chart.decimals = decimals;
    s.chart.limitLines[0] = limitInUnit(limits.nominal, micrometres);
    s.chart.limitLines[1] = limitInUnit(limits.minimum, micrometres);
    s.chart.limitLines[2] = limitInUnit(limits.maximum, micrometres);
    s.chartSize = QSize(900, 500);

    const QList<BinRange *> ranges = micrometres ? standardThicknessRanges() : milThicknessRanges();
    for (const BinRange *range : ranges)
        s.histogram.ranges << *range;
    qDeleteAll(ranges);
    s.histogram.margins = QMargins(136, 20, 20, 50);
    s.histogram.xTitle = tr("Rate");
    s.histogram.yTitle = thickness;
    s.histogram.decimals = decimals;
    s.histogramSize = QSize(900, 500);
    return s;
}

ItemPictures ItemPictureMaker::paint(const ItemPictureSettings &settings, const ReadingSeries &readings, int rows,
                                     Unit unit)
{
    rows = std::min(rows, readings.size());
    std::vector<double> values;
    values.reserve(std::size_t(std::max(rows, 0)));
    readings.appendValuesIn(0, rows, unit, values);

    ItemPictures pictures;
    {
        ChartCanvas chart;
        chart.apply(settings.chart);
        // The time axis reads the readings' times; the copy lives as long as
        // the canvas.
        const ReadingSeries times = readings;
        chart.setTexts([&times](int i) { return i < times.size() ? times.at(i).timeOfDayText() : QString(); },
                       nullptr, 0);
        chart.addValues(values.data(), int(values.size()), 0);
        pictures.chart = chart.picture(settings.chartSize);
    }
    {
        HistogramCanvas histogram;
        histogram.apply(settings.histogram);
        histogram.addValues(values.data(), int(values.size()));
        pictures.histogram = histogram.picture(settings.histogramSize);
    }
    return pictures;
}
