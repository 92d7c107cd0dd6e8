// The time chart beside QCustomPlot, in one run, offscreen at 890 x 400 on
// shown widgets, for two shapes of readings: a gauge's (independent readings
// scattered around the coating's thickness, so that every pixel column holds
// the whole spread, with an overload now and then) and a random walk:
// - one new reading, then a full rebuild and a grab, at 1 000, 100 000 and
//   1 000 000 readings;
// - the same zoomed to the middle half of the readings;
// - a hover repaint (cursor line and read-out);
// - the heap each chart keeps per reading.
// Every run starts from a fresh chart and adds a fixed number of readings, so
// that the smallest size stays near its size.
// Run: QT_QPA_PLATFORM=offscreen bench_chart_vs_qcustomplot
#include "charts/dmmchart.h"

#include <QApplication>
#include <QMouseEvent>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <malloc.h>

#include <memory>
#include <random>

namespace {

const QSize Size(890, 400);
// UTC keeps the C library's time zone look-ups out of the measurement.
const QDateTime T0(QDate(2024, 5, 1), QTime(8, 0, 0), Qt::UTC);
const int Added = 200;              // readings added (or hover moves) per run
const int LeftMargin = 70;          // as the main window sets them
const int BottomMargin = 50;

// A reading as the window's intake hands it: value, its text, time, read-out tag.
struct Reading
{
    double value;
    QString text;
    QDateTime time;
    QString tag;
};

enum Shape { Scattered, Walking };

// Readings a quarter of a second apart, of either shape. The readings a run
// adds are made before it starts.
class Readings
{
public:
    explicit Readings(Shape shape) : m_shape(shape) {}

    Reading next()
    {
        if (m_next < m_ahead.size())
            return m_ahead.at(m_next++);
        return make();
    }
    void prepare(int n)
    {
        while (m_ahead.size() < n)
            m_ahead << make();
    }

private:
    Reading make()
    {
        const QDateTime time = T0.addMSecs(m_count++ * 250);
        if (m_shape == Walking) {
            m_value += m_rng.bounded(20.0) - 10;
            const QString text = QString::number(m_value, 'f', 1);
            return {m_value, text, time, QStringLiteral("%1um Fe").arg(text)};
        }
        // 120 um with a spread of 10 %, at the gauge's 0.1 um; one reading in
        // 500 an overload, which the chart shows at 0.
        if (m_overloads(m_engine) == 0)
            return {0, QStringLiteral("    OL"), time, QStringLiteral("    OL Fe")};
        const double value = std::round(std::max(0.0, m_spread(m_engine)) * 10) / 10;
        const QString text = QString::number(value, 'f', 1);
        return {value, text, time, QStringLiteral("%1um Fe").arg(text)};
    }

    Shape m_shape;
    QRandomGenerator m_rng{42};
    double m_value = 400;
    std::mt19937 m_engine{42};
    std::normal_distribution<double> m_spread{120.0, 12.0};
    std::uniform_int_distribution<int> m_overloads{0, 499};
    qint64 m_count = 0;
    QVector<Reading> m_ahead;
    int m_next = 0;
};

ChartPoint *chartPoint(const Reading &r)
{
    return new ChartPoint(r.value, r.text, r.time, -1, -1, r.tag);
}

double seconds(const Reading &r)
{
    return r.time.toMSecsSinceEpoch() / 1000.0;
}

void press(QWidget *w, QEvent::Type type, const QPoint &pos, Qt::MouseButton button)
{
    QMouseEvent e(type, pos, button, type == QEvent::MouseMove ? Qt::MouseButtons(button) : button, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// ---------------------------------------------------------------- this chart

struct Chart
{
    std::unique_ptr<DMMChart> widget;
    Readings walk;

    Chart(int n, Shape shape) : widget(std::make_unique<DMMChart>(nullptr)), walk(shape)
    {
        widget->setLeftMargin(LeftMargin);
        widget->setBottomMargin(BottomMargin);
        widget->setXTitle(QStringLiteral("Time"));
        widget->setYTitle(QString::fromUtf8("Thickness(μm)"));
        widget->setDecimals(1);
        widget->resize(Size);
        widget->show();
        QList<ChartPoint *> points;
        points.reserve(n);
        for (int i = 0; i < n; ++i)
            points << chartPoint(walk.next());
        widget->addPoints(points, 0);
        widget->grab();
        walk.prepare(Added);
    }

    // Drags over the middle half of the plot, left to right and downwards.
    void zoomToMiddleHalf()
    {
        const QRect plot = widget->plotRect();
        press(widget.get(), QEvent::MouseButtonPress, QPoint(plot.left() + plot.width() / 4, plot.top() + 5),
              Qt::LeftButton);
        press(widget.get(), QEvent::MouseMove, QPoint(plot.left() + plot.width() * 3 / 4, plot.bottom() - 5),
              Qt::LeftButton);
        press(widget.get(), QEvent::MouseButtonRelease,
              QPoint(plot.left() + plot.width() * 3 / 4, plot.bottom() - 5), Qt::LeftButton);
        widget->grab();
    }
};

void BM_Chart_AddAndRebuild(benchmark::State &state)
{
    Chart chart(int(state.range(0)), Shape(state.range(1)));
    for (auto _ : state) {
        chart.widget->addPoint(chartPoint(chart.walk.next()), 0);
        chart.widget->grab();
    }
}

void BM_Chart_AddAndRebuildZoomed(benchmark::State &state)
{
    Chart chart(int(state.range(0)), Shape(state.range(1)));
    chart.zoomToMiddleHalf();
    for (auto _ : state) {
        chart.widget->addPoint(chartPoint(chart.walk.next()), 0);
        // A zoomed chart keeps its picture for new readings: ask for the
        // full rebuild as a resize or a margin change would.
        chart.widget->setLeftMargin(LeftMargin);
        chart.widget->grab();
    }
}

void BM_Chart_Hover(benchmark::State &state)
{
    Chart chart(int(state.range(0)), Shape(state.range(1)));
    const QRect plot = chart.widget->plotRect();
    int x = plot.left() + 10;
    for (auto _ : state) {
        press(chart.widget.get(), QEvent::MouseMove, QPoint(x, plot.center().y()), Qt::NoButton);
        chart.widget->grab();
        x = x >= plot.right() - 10 ? plot.left() + 10 : x + 7;
    }
}

// ---------------------------------------------------------------- QCustomPlot

struct Plot
{
    std::unique_ptr<QCustomPlot> widget;
    QCPGraph *graph = nullptr;
    QCPLayer *cursorLayer = nullptr;
    QCPItemStraightLine *cursor = nullptr;
    QCPItemText *readout = nullptr;
    Readings walk;

    Plot(int n, Shape shape) : widget(std::make_unique<QCustomPlot>()), walk(shape)
    {
        widget->resize(Size);
        widget->show();
        graph = widget->addGraph();
        graph->setPen(QColor(250, 150, 0));
        QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
        ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss"));
        widget->xAxis->setTicker(ticker);
        widget->xAxis->setLabel(QStringLiteral("Time"));
        widget->yAxis->setLabel(QString::fromUtf8("Thickness(μm)"));
        widget->xAxis->grid()->setPen(QPen(Qt::black, 0, Qt::DotLine));
        widget->yAxis->grid()->setPen(QPen(Qt::black, 0, Qt::DotLine));
        QVector<double> keys(n), values(n);
        for (int i = 0; i < n; ++i) {
            const Reading r = walk.next();
            keys[i] = seconds(r);
            values[i] = r.value;
        }
        graph->setData(keys, values, true);

        // The cursor and its read-out live on a buffered layer of their own,
        // so that moving them replots nothing else.
        widget->addLayer(QStringLiteral("cursor"), nullptr, QCustomPlot::limAbove);
        cursorLayer = widget->layer(QStringLiteral("cursor"));
        cursorLayer->setMode(QCPLayer::lmBuffered);
        cursor = new QCPItemStraightLine(widget.get());
        cursor->setLayer(cursorLayer);
        cursor->setPen(QColor(0, 100, 250));
        readout = new QCPItemText(widget.get());
        readout->setLayer(cursorLayer);
        readout->setColor(QColor(0, 100, 250));

        widget->rescaleAxes();
        widget->replot();
        widget->grab();
        walk.prepare(Added);
    }

    void add()
    {
        const Reading r = walk.next();
        graph->addData(seconds(r), r.value);
    }
};

void BM_QCustomPlot_AddAndRebuild(benchmark::State &state)
{
    Plot plot(int(state.range(0)), Shape(state.range(1)));
    for (auto _ : state) {
        plot.add();
        plot.widget->rescaleAxes();
        plot.widget->replot();
        plot.widget->grab();
    }
}

void BM_QCustomPlot_AddAndRebuildZoomed(benchmark::State &state)
{
    Plot plot(int(state.range(0)), Shape(state.range(1)));
    const QCPRange keys = plot.widget->xAxis->range();
    plot.widget->xAxis->setRange(keys.lower + keys.size() / 4, keys.lower + keys.size() * 3 / 4);
    for (auto _ : state) {
        plot.add();
        plot.graph->rescaleValueAxis(false, true);      // the value range of the visible keys
        plot.widget->replot();
        plot.widget->grab();
    }
}

void BM_QCustomPlot_Hover(benchmark::State &state)
{
    Plot plot(int(state.range(0)), Shape(state.range(1)));
    QCPAxisRect *rect = plot.widget->axisRect();
    int x = rect->left() + 10;
    for (auto _ : state) {
        // The nearest reading to the mouse, its cursor line and read-out.
        const double key = plot.widget->xAxis->pixelToCoord(x);
        auto it = plot.graph->data()->findBegin(key, false);
        if (it == plot.graph->data()->constEnd())
            --it;
        plot.cursor->point1->setCoords(it->key, 0);
        plot.cursor->point2->setCoords(it->key, 1);
        plot.readout->position->setCoords(it->key, plot.widget->yAxis->range().upper);
        plot.readout->setText(QStringLiteral("%1:%2um Fe")
                                  .arg(QDateTime::fromMSecsSinceEpoch(qint64(it->key * 1000)).toString("hh:mm:ss"))
                                  .arg(it->value, 0, 'f', 1));
        plot.cursorLayer->replot();
        plot.widget->grab();
        x = x >= rect->right() - 10 ? rect->left() + 10 : x + 7;
    }
}

// ---------------------------------------------------------------- memory

// Small blocks and the large ones the C library maps on their own.
size_t heapInUse()
{
    malloc_trim(0);
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

template <typename Make>
void bytesPerReading(benchmark::State &state, Make make)
{
    // Pictures, buffers and fonts are the same for any number of readings:
    // an empty chart made first takes them out of the difference.
    const int n = int(state.range(0));
    for (auto _ : state) {
        const size_t start = heapInUse();
        auto empty = make(0);
        const size_t before = heapInUse();
        auto chart = make(n);
        const size_t after = heapInUse();
        state.counters["bytes_per_reading"] =
            ((double(after) - double(before)) - (double(before) - double(start))) / n;
    }
}

void BM_Chart_BytesPerReading(benchmark::State &state)
{
    bytesPerReading(state, [](int n) { return std::make_unique<Chart>(n, Scattered); });
}

void BM_QCustomPlot_BytesPerReading(benchmark::State &state)
{
    bytesPerReading(state, [](int n) { return std::make_unique<Plot>(n, Scattered); });
}

// Fonts, glyph caches and the like are made at the first pictures: both
// charts draw some before anything is measured.
void warmUp()
{
    Chart chart(1000, Scattered);
    Plot plot(1000, Scattered);
    for (int i = 0; i < Added; ++i) {
        chart.widget->addPoint(chartPoint(chart.walk.next()), 0);
        chart.widget->grab();
        plot.add();
        plot.widget->rescaleAxes();
        plot.widget->replot();
        plot.widget->grab();
    }
}

void sizes(benchmark::internal::Benchmark *b)
{
    // Second argument: 0 scattered readings, 1 a random walk.
    b->ArgNames({"n", "walk"})->ArgsProduct({{1000, 100000, 1000000}, {Scattered, Walking}});
    b->Iterations(Added)->Repetitions(3)->ReportAggregatesOnly(true);
    b->Unit(benchmark::kMillisecond);
}

} // namespace

BENCHMARK(BM_Chart_AddAndRebuild)->Apply(sizes);
BENCHMARK(BM_QCustomPlot_AddAndRebuild)->Apply(sizes);
BENCHMARK(BM_Chart_AddAndRebuildZoomed)->Apply(sizes);
BENCHMARK(BM_QCustomPlot_AddAndRebuildZoomed)->Apply(sizes);
BENCHMARK(BM_Chart_Hover)->Apply(sizes);
BENCHMARK(BM_QCustomPlot_Hover)->Apply(sizes);
BENCHMARK(BM_Chart_BytesPerReading)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QCustomPlot_BytesPerReading)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    warmUp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
