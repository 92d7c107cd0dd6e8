#pragma once

#include "charts/binrange.h"
#include "charts/histogrambin.h"
#include "charts/histogramlayout.h"

#include <QList>
#include <QMargins>
#include <QPixmap>
#include <QRectF>
#include <QString>
#include <QVector>
#include <QWidget>

// Horizontal-bar histogram of the values counted into fixed ranges, bottom
// row first. Only the counts are kept: whoever holds the values hands them
// over once, and again after new ranges. Painted into cached layers; the
// final layer is the picture that is saved and printed.
class Histogram : public QWidget
{
    Q_OBJECT
public:
    explicit Histogram(QWidget *parent = nullptr);
    ~Histogram() override;

    // The ranges stay owned by the caller and must outlive the histogram.
    // Every count starts again from 0.
    void setRanges(const QList<BinRange *> &ranges);
    void addValue(double value);
    void addValues(const double *values, int n);
    void addValues(const QList<double> &values);
    void clear();
    void setDecimals(int decimals);
    void setMargins(const QMargins &margins);
    void setXTitle(const QString &title);
    void setYTitle(const QString &title);
    QString yTitle() const { return m_yTitle; }

    QPixmap pixmap() const;
    bool savePixmap(const QString &fileName) const;

    // The margins in use: the ones set, grown where the texts need more.
    QMargins plotMargins() const { return m_fittedMargins; }

    // What the last paint laid out (for the views' owners and tests).
    const HistogramGeometry &geometry() const { return m_geometry; }
    const QList<HistogramBin *> &bins() const { return m_bins; }
    const QList<HistogramBar *> &bars() const { return m_bars; }
    // Every value handed over since the last clear, and how many of them
    // each bin counted, bottom row first.
    int valueCount() const { return m_valueCount; }
    QVector<int> counts() const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void deleteBinsAndBars();
    void valuesChanged();
    void fitMargins();
    void layout();
    void rebuildBackground();
    void rebuildBars();
    HistogramFrame frame() const;

    QMargins m_margins{20, 20, 20, 20};
    QMargins m_fittedMargins{20, 20, 20, 20};
    QRectF m_plotRect;
    QList<BinRange *> m_ranges;
    int m_valueCount = 0;
    QList<HistogramBin *> m_bins;
    QList<HistogramBar *> m_bars;
    bool m_backgroundDirty = true;
    QPixmap m_backgroundLayer;
    QPixmap m_barsLayer;
    QPixmap m_finalLayer;
    HistogramGeometry m_geometry;   // max count, pixels per count, count step, rows, row height
    HistogramDecoration m_decoration;
    QString m_xTitle;
    QString m_yTitle;
    int m_decimals = 1;
};
