#pragma once

#include "charts/chartlayout.h"
#include "charts/chartline.h"
#include "charts/chartpicture.h"
#include "charts/chartpoint.h"
#include "charts/polylinepixels.h"
#include "charts/textmeasure.h"

#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QList>
#include <QMargins>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include <optional>

class QPainter;

// What a chart shows besides its readings: read off one chart and applied
// to another, the second paints the same picture of the same readings.
struct ChartSettings
{
    QMargins margins{60, 40, 20, 40};
    QString xTitle;
    QString yTitle;
    int decimals = 1;
    // Dashed horizontal lines at the nominal thickness, the minimum and the
    // maximum, in the plotted unit; 0 leaves a line out.
    double limitLines[3] = {0, 0, 0};
    // The visible readings first..last when zoomed; otherwise all of them.
    bool zoomed = false;
    int firstVisible = 0;
    int lastVisible = 0;
};

// The time chart's readings and everything its picture is painted from:
// the background (axes, grid, labels, titles), the lines over it and the
// limit lines on top, kept as one picture that a change repaints only
// where it shows. Needs no window: any thread may paint one, as long as
// one thread at a time uses it.
class ChartCanvas
{
    Q_DECLARE_TR_FUNCTIONS(ChartCanvas)

public:
    ChartCanvas();
    ~ChartCanvas();
    ChartCanvas(const ChartCanvas &) = delete;
    ChartCanvas &operator=(const ChartCanvas &) = delete;

    // Readings of line `line` (the chart has one, 0).
    void addPoint(const ChartPoint &point, int line);
    // Values on their own: their times and read-out tags come from texts
    // (see ChartSeries::setTexts), by index.
    void addValues(const double *values, int count, int line);
    void setTexts(const ChartSeries::Text &timeText, const ChartSeries::Text &tag, int line);
    // Every line's readings; the zoom goes with them.
    void clear();
    bool hasPoints() const;

    const ChartSettings &settings() const { return m_settings; }
    void apply(const ChartSettings &settings);
    void setLeftMargin(int margin);
    void setBottomMargin(int margin);
    void setXTitle(const QString &title);
    void setYTitle(const QString &title);
    void setDecimals(int decimals);
    void setLimitLines(double nominal, double minimum, double maximum);
    // Shows the readings first..last, until fewer are left than that.
    void zoom(int first, int last);
    void showAll();

    // The picture in `size`, painted again where the readings or the
    // settings changed since the last one.
    QImage picture(const QSize &size);
    // The same in steps, for a widget that paints on its own terms: the
    // size, the picture painted again in it, and the last picture painted.
    void resize(const QSize &size);
    QSize size() const { return m_size; }
    void render();
    const QImage &image() const { return m_picture.image(); }

    // As the last picture laid them out.
    const ChartAxes &axes() const { return m_axes; }
    const QList<ChartLine *> &lines() const { return m_lines; }
    QRect plotRect() const { return m_plotRect; }
    int firstVisible() const { return m_settings.firstVisible; }
    int lastVisible() const { return m_settings.lastVisible; }
    bool isZoomed() const { return m_settings.zoomed; }

private:
    ChartFrame frame() const;
    bool hasLimitLines() const;
    void rebuildBackground();
    void paintTimeDivisions(QPainter &painter, const ChartDecoration &d, const QRect *area = nullptr) const;
    void lineVertices(ChartLine *line, QVector<QPoint> *vertices);
    void rebuildLines();
    struct LimitLine
    {
        QColor colour;
        int y;
        QRect textRect;
        QString name;
    };
    QVector<LimitLine> limitLines(const QFontMetrics &metrics) const;
    void paintLimitLines(QPainter &painter) const;

    ChartSettings m_settings;
    QSize m_size;
    QRect m_plotRect;
    QList<ChartLine *> m_lines;
    ChartAxes m_axes;               // value range, scales and divisions
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
};
