#pragma once

#include "charts/chartlayout.h"
#include "charts/chartline.h"
#include "charts/chartpicture.h"
#include "charts/chartpoint.h"
#include "charts/polylinepixels.h"

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <optional>

class QTimer;

// Line chart of readings over their order, labelled with their times, with a
// hover read-out and drag-to-zoom. Painted in layers: the background (axes,
// grid, labels, titles), the lines over it, and on top the selection and the
// read-out. The first two are kept as one picture that a change repaints
// only where it shows; the top layers are small and drawn over it when the
// widget is painted. That composition is the picture that is saved and
// printed.
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
    QString yTitle() const { return m_yTitle; }
    // Dashed horizontal lines at the nominal thickness, the minimum and the
    // maximum, in the plotted unit; 0 leaves a line out. The value axis
    // reaches up to the highest of them.
    void setLimitLines(double nominal, double minimum, double maximum);

    QPixmap pixmap() const;
    bool savePixmap(const QString &fileName) const;

    // State for the views' owners and tests.
    const ChartAxes &axes() const { return m_axes; }
    const QList<ChartLine *> &lines() const { return m_lines; }
    QRect plotRect() const { return m_plotRect; }
    int firstVisible() const { return m_firstVisible; }
    int lastVisible() const { return m_lastVisible; }
    bool isZoomed() const { return m_zoomed; }
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
    bool hasPoints() const;
    void pointsAdded();
    ChartFrame frame() const;
    QPoint toPlot(const QPoint &pos) const;
    void rebuildBackground();
    void paintTimeDivisions(QPainter &painter, const ChartDecoration &d, const QRect *area = nullptr) const;
    void lineVertices(ChartLine *line, QVector<QPoint> *vertices);
    void rebuildLines();
    void rebuildSelection();
    void rebuildIndicator();
    void paintOverlay(QPainter &painter) const;
    bool hasLimitLines() const;
    struct LimitLine
    {
        QColor colour;
        int y;
        QRect textRect;
        QString name;
    };
    QVector<LimitLine> limitLines(const QFontMetrics &metrics) const;
    void paintLimitLines(QPainter &painter) const;

    int m_leftMargin = 60;
    int m_rightMargin = 20;
    int m_topMargin = 40;
    int m_bottomMargin = 40;
    QRect m_plotRect;
    QList<ChartLine *> m_lines;
    QImage m_backgroundLayer;
    QImage m_baseLayer;                 // the background without the time axis's divisions
    // What the background layer shows, when m_backgroundPainted.
    bool m_backgroundPainted = false;
    bool m_backgroundChanged = true;    // since the lines were last drawn: all of it,
    QVector<QRect> m_backgroundChanges; // or these areas
    ChartDecoration m_paintedDecoration;
    QFont m_paintedFont;
    // Text widths in the font the pictures use, for fitting and for painting.
    QFont m_measuredFont;
    std::optional<TextMeasure> m_fitMeasure;
    std::optional<TextMeasure> m_paintMeasure;
    QString m_paintedXTitle;
    QString m_paintedYTitle;
    ChartPicture m_picture;             // background, lines and limit lines
    PolylinePixels m_linePixels;        // the next line's pixels (reused)
    // What the line in the picture was traced from.
    struct TracedLine
    {
        bool drawn;
        unsigned long long values;
        int first, last;
        double xScale, yScale;
        int zeroY;
        QRect plot;
        QSize size;
        bool operator==(const TracedLine &o) const
        {
            return drawn == o.drawn && values == o.values && first == o.first && last == o.last
                   && xScale == o.xScale && yScale == o.yScale && zeroY == o.zeroY && plot == o.plot
                   && size == o.size;
        }
    };
    std::optional<TracedLine> m_traced;
    QVector<QPoint> m_vertices;         // the next line's vertices (reused)
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
    bool m_backgroundDirty = true;
    bool m_linesDirty = true;
    bool m_indicatorDirty = false;
    bool m_selectionDirty = false;
    QColor m_backgroundColour = Qt::white;
    ChartAxes m_axes;               // value range, scales and divisions
    bool m_indicatorVisible = false;
    int m_cursorIndex = -1;
    bool m_dragging = false;
    bool m_zoomed = false;
    int m_firstVisible = 0;
    int m_lastVisible = 0;
    QPoint m_selectionStart;
    QPoint m_selectionEnd;
    QMutex m_mutex;
    QColor m_cursorColour{0, 100, 250, 255};
    QString m_xTitle;
    QString m_yTitle;
    int m_decimals = 1;
    double m_limitLines[3] = {0, 0, 0};  // nominal, minimum, maximum
};
