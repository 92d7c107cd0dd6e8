#pragma once

#include "charts/binrange.h"
#include "charts/histogramcanvas.h"

#include <QList>
#include <QMargins>
#include <QPixmap>
#include <QString>
#include <QVector>
#include <QWidget>

// Horizontal-bar histogram of the values counted into fixed ranges, bottom
// row first. Only the counts are kept: whoever holds the values hands them
// over once, and again after new ranges. Its canvas keeps the counts and
// paints the picture that is shown, saved and printed.
class Histogram : public QWidget
{
    Q_OBJECT
public:
    explicit Histogram(QWidget *parent = nullptr);
    ~Histogram() override;

    // The histogram keeps copies of the ranges. Every count starts again from 0.
    void setRanges(const QList<BinRange *> &ranges);
    void addValue(double value);
    void addValues(const double *values, int n);
    void addValues(const QList<double> &values);
    void clear();
    void setDecimals(int decimals);
    void setMargins(const QMargins &margins);
    void setXTitle(const QString &title);
    void setYTitle(const QString &title);
    QString yTitle() const { return m_canvas.yTitle(); }

    QPixmap pixmap() const;
    bool savePixmap(const QString &fileName) const;

    // What the histogram shows; its settings make another canvas paint the
    // same picture of the same values.
    const HistogramCanvas &canvas() const { return m_canvas; }

    // The margins in use: the ones set, grown where the texts need more.
    QMargins plotMargins() const { return m_canvas.plotMargins(); }

    // What the last paint laid out (for the views' owners and tests).
    const HistogramGeometry &geometry() const { return m_canvas.geometry(); }
    const QList<HistogramBin *> &bins() const { return m_canvas.bins(); }
    const QList<HistogramBar *> &bars() const { return m_canvas.bars(); }
    // Every value handed over since the last clear, and how many of them
    // each bin counted, bottom row first.
    int valueCount() const { return m_canvas.valueCount(); }
    QVector<int> counts() const { return m_canvas.counts(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void repaintCanvas();

    HistogramCanvas m_canvas;
    bool m_canvasDirty = true;
    mutable QPixmap m_pixmap;       // the canvas' picture, made when asked
    mutable bool m_pixmapStale = true;
};
