#pragma once

#include "charts/chartcanvas.h"
#include "charts/histogramcanvas.h"
#include "data/readingrecord.h"

#include <QCoreApplication>
#include <QImage>
#include <QSize>

class ReadingSeries;
struct ItemLimits;

// What the pictures of an item's chart and histogram are painted from:
// the settings and sizes of the window's views as they are, or the
// standard ones when there is no window.
struct ItemPictureSettings
{
    ChartSettings chart;
    QSize chartSize;
    HistogramSettings histogram;
    QSize histogramSize;
};

struct ItemPictures
{
    QImage chart;
    QImage histogram;
};

class ItemPictureMaker
{
    Q_DECLARE_TR_FUNCTIONS(ItemPictureMaker)

public:
    // The views as a window of standard size shows readings in `unit`
    // judged by `limits`: titles, margins, decimals, ranges and limit lines.
    static ItemPictureSettings standardSettings(Unit unit, const ItemLimits &limits);

    // Both pictures of the first `rows` readings, plotted in `unit`. Needs
    // no window: a worker paints them from a snapshot of the readings.
    static ItemPictures paint(const ItemPictureSettings &settings, const ReadingSeries &readings, int rows, Unit unit);
};
