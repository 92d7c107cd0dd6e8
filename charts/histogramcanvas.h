#pragma once

#include "charts/binrange.h"
#include "charts/histogrambin.h"
#include "charts/histogramlayout.h"

#include <QImage>
#include <QList>
#include <QMargins>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

#include <vector>

// What a histogram shows besides its counts: read off one histogram and
// applied to another, the second paints the same picture of the same values.
struct HistogramSettings
{
    QVector<BinRange> ranges;       // bottom row first
    QMargins margins{20, 20, 20, 20};
    QString xTitle;
    QString yTitle;
    int decimals = 1;
};

// The histogram's ranges with their counts, and the layers its picture is
// painted in: the background (axes, labels, titles) and the bars over it.
// Needs no window: any thread may paint one, as long as one thread at a
// time uses it.
class HistogramCanvas
{
public:
    HistogramCanvas();
    ~HistogramCanvas();
    HistogramCanvas(const HistogramCanvas &) = delete;
    HistogramCanvas &operator=(const HistogramCanvas &) = delete;

    // The canvas keeps copies of the ranges. Every count starts again from 0.
    void setRanges(const QList<BinRange *> &ranges);
    void addValue(double value);
    void addValues(const double *values, int n);
    // The counts back to 0.
    void clear();

    HistogramSettings settings() const;
    // Counting starts again in the settings' ranges.
    void apply(const HistogramSettings &settings);
    void setDecimals(int decimals);
    void setMargins(const QMargins &margins);
    void setXTitle(const QString &title);
    void setYTitle(const QString &title);
    QString xTitle() const { return m_xTitle; }
    QString yTitle() const { return m_yTitle; }

    // The picture in `size`, painted again.
    QImage picture(const QSize &size);
    // The same in steps, for a widget that paints on its own terms: the
    // size, the picture painted again in it, and the last picture painted.
    void resize(const QSize &size);
    QSize size() const { return m_size; }
    void render();
    const QImage &image() const { return m_barsLayer; }

    // The margins in use: the ones set, grown where the texts need more.
    QMargins plotMargins() const { return m_fittedMargins; }
    // What the last picture laid out.
    const HistogramGeometry &geometry() const { return m_geometry; }
    const QList<HistogramBin *> &bins() const { return m_bins; }
    const QList<HistogramBar *> &bars() const { return m_bars; }
    // Every value counted since the last clear, and how many of them each
    // bin counted, bottom row first.
    int valueCount() const { return m_valueCount; }
    QVector<int> counts() const;

private:
    void resetRanges(const BinRange *ranges, int n);
    void deleteBinsAndBars();
    void fitMargins();
    void layout();
    void rebuildBackground();
    void rebuildBars();
    HistogramFrame frame() const;

    QSize m_size;
    QMargins m_margins{20, 20, 20, 20};
    QMargins m_fittedMargins{20, 20, 20, 20};
    QRectF m_plotRect;
    std::vector<BinRange> m_ranges;
    QList<BinRange *> m_rangeList;   // m_ranges' addresses, as the layout takes them
    int m_valueCount = 0;
    QList<HistogramBin *> m_bins;
    QList<HistogramBar *> m_bars;
    QImage m_backgroundLayer;
    QImage m_barsLayer;
    HistogramGeometry m_geometry;   // max count, pixels per count, count step, rows, row height
    HistogramDecoration m_decoration;
    QString m_xTitle;
    QString m_yTitle;
    int m_decimals = 1;
};
