#pragma once

#include "charts/chartcanvas.h"
#include "charts/chartlayout.h"
#include "charts/chartline.h"
#include "charts/chartpoint.h"

#include <QColor>
#include <QFrame>
#include <QList>
#include <QPixmap>
#include <QRect>
#include <QString>

class QTimer;

// Line chart of readings over their order, labelled with their times, with a
// hover read-out and drag-to-zoom. Its canvas holds the readings and paints
// the picture (background, lines, limit lines); the widget draws the
// selection and the read-out over it when painted. That composition is the
// picture that is saved and printed.
class DMMChart : public QFrame
{
    Q_OBJECT
public:
    explicit DMMChart(QWidget *parent = nullptr);
    ~DMMChart() override;

    // The chart takes ownership of the points.
    void addPoint(ChartPoint *point, int line);
    void addPoints(QList<ChartPoint *> points, int line);
    // Values on their own: their times and read-out tags come from texts
    // (see ChartSeries::setTexts), by index.
    void addValues(const double *values, int count, int line);
    void setTexts(const ChartSeries::Text &timeText, const ChartSeries::Text &tag, int line);
    void clear();
    void setDecimals(int decimals);
    void setLeftMargin(int margin);
    void setBottomMargin(int margin);
    void setXTitle(const QString &title);
    void setYTitle(const QString &title);
    QString yTitle() const { return m_canvas.settings().yTitle; }
    // Dashed horizontal lines at the nominal thickness, the minimum and the
    // maximum, in the plotted unit; 0 leaves a line out. The value axis
    // reaches up to the highest of them.
    void setLimitLines(double nominal, double minimum, double maximum);

    QPixmap pixmap() const;
    bool savePixmap(const QString &fileName) const;

    // What the chart shows; its settings make another canvas paint the
    // same picture of the same readings.
    const ChartCanvas &canvas() const { return m_canvas; }

    // State for the views' owners and tests.
    const ChartAxes &axes() const { return m_canvas.axes(); }
    const QList<ChartLine *> &lines() const { return m_canvas.lines(); }
    QRect plotRect() const { return m_canvas.plotRect(); }
    int firstVisible() const { return m_canvas.firstVisible(); }
    int lastVisible() const { return m_canvas.lastVisible(); }
    bool isZoomed() const { return m_canvas.isZoomed(); }
    bool isDragging() const { return m_dragging; }
    bool isIndicatorVisible() const { return m_indicatorVisible; }
    int cursorIndex() const { return m_cursorIndex; }

public slots:
    void slotTmrIndicatorTimeout();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void pointsAdded();
    void repaintCanvas();
    QPoint toPlot(const QPoint &pos) const;
    void rebuildSelection();
    void rebuildIndicator();
    void paintOverlay(QPainter &painter) const;

    ChartCanvas m_canvas;
    // The selection and the read-out as last laid out: drawn over the
    // picture at every paint.
    bool m_selectionShown = false;
    QPoint m_selectionCorners[4];
    bool m_readoutShown = false;
    ChartReadout m_readout;
    bool m_painted = false;
    mutable QPixmap m_composed;         // picture and top layers, made when asked
    mutable bool m_composedStale = true;
    QTimer *m_indicatorTimer = nullptr;
    bool m_canvasDirty = true;
    bool m_indicatorDirty = false;
    bool m_selectionDirty = false;
    bool m_indicatorVisible = false;
    int m_cursorIndex = -1;
    bool m_dragging = false;
    QPoint m_selectionStart;
    QPoint m_selectionEnd;
    QColor m_cursorColour{0, 100, 250, 255};
};
