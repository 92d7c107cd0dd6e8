// Chart and histogram costs at 1 000, 100 000 and 1 000 000 readings
// scattered around 120 µm (σ 12), one in forty an overload drawn as 0.
// Run offscreen: QT_QPA_PLATFORM=offscreen bench_charts
#include "bench/support/scatteredreadings.h"
#include "charts/chartcanvas.h"
#include "charts/columnreduction.h"
#include "charts/columnvertices.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "charts/histogramcanvas.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <vector>

#include <memory>

namespace {

// The chart page of the 1000 x 600 main window.
const QSize ChartSize(760, 420);

template <typename Points, typename Add>
void fillPoints(Points &points, int n, Add add)
{
    for (int i = 0; i < n; ++i)
        add(points, ChartPoint(scatteredValue(i), QString(), scatteredTime(i), -1, -1, QVariant()));
}

// Values of the readings from..from + n - 1.
std::vector<double> scatteredValues(int from, int n)
{
    std::vector<double> values;
    values.reserve(std::size_t(n));
    for (int i = from; i < from + n; ++i)
        values.push_back(scatteredValue(i));
    return values;
}

QList<ChartPoint *> makePoints(int n)
{
    QList<ChartPoint *> points;
    fillPoints(points, n, [](QList<ChartPoint *> &list, const ChartPoint &p) { list << new ChartPoint(p); });
    return points;
}

ChartSeries makeSeries(int n)
{
    ChartSeries series;
    fillPoints(series, n, [](ChartSeries &s, const ChartPoint &p) { s.append(p); });
    return series;
}

std::unique_ptr<DMMChart> makeChart(int n)
{
    auto chart = std::make_unique<DMMChart>(nullptr);
    chart->setLeftMargin(70);
    chart->setBottomMargin(50);
    chart->setXTitle("Time");
    chart->setYTitle("Thickness(μm)");
    chart->setDecimals(1);
    chart->resize(ChartSize);
    chart->show();
    chart->addPoints(makePoints(n), 0);
    return chart;
}

void moveMouse(QWidget *w, int x)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 200), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

// Everything: visible range, scales, positions, divisions, axes, line.
void BM_ChartFullRebuild(benchmark::State &state)
{
    auto chart = makeChart(int(state.range(0)));
    QPixmap target(ChartSize);
    chart->render(&target);
    for (auto _ : state) {
        chart->setLeftMargin(70);       // marks the background dirty
        chart->render(&target);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// A cursor move: nearest point and the top layer only.
void BM_ChartHoverRepaint(benchmark::State &state)
{
    auto chart = makeChart(int(state.range(0)));
    QPixmap target(ChartSize);
    chart->render(&target);
    int x = 80;
    for (auto _ : state) {
        moveMouse(chart.get(), x);
        chart->render(&target);
        x = x >= 700 ? 80 : x + 7;
    }
}

// The data line alone, drawn as the plain polyline, thinned per column, or
// thinned per column with the index.
enum class Line { Plain, Thinned, FromIndex };
void drawLine(benchmark::State &state, Line how)
{
    const ChartSeries points = makeSeries(int(state.range(0)));
    const QRect plot(70, 40, ChartSize.width() - 90, ChartSize.height() - 90);
    const int last = points.size() - 1;
    const ChartAxes axes = computeChartAxes(plot, {lineValueRange(points, 0, last)}, 0, last, true);
    QPixmap target(ChartSize);
    QVector<QPoint> vertices;
    for (auto _ : state) {
        vertices.clear();
        if (how == Line::FromIndex) {
            appendThinnedVertices(points.index(), 0, last, axes, plot, &vertices);
        } else if (how == Line::Thinned) {
            ColumnReducer reducer(&vertices);
            forEachChartVertex(points, 0, last, axes, plot, [&](const QPoint &p) { reducer.add(p); });
        } else {
            forEachChartVertex(points, 0, last, axes, plot, [&](const QPoint &p) { vertices.append(p); });
        }
        QPainter painter(&target);
        painter.setPen(QColor(250, 150, 0));
        painter.drawPolyline(vertices.constData(), vertices.size());
    }
    state.counters["vertices"] = vertices.size();
}

void BM_LinePlain(benchmark::State &state) { drawLine(state, Line::Plain); }
void BM_LineThinned(benchmark::State &state) { drawLine(state, Line::Thinned); }
void BM_LineFromIndex(benchmark::State &state) { drawLine(state, Line::FromIndex); }

// Adding one live reading to a histogram that already holds n values.
void BM_HistogramAddValue(benchmark::State &state)
{
    const QList<BinRange *> ranges = standardThicknessRanges();
    Histogram histogram(nullptr);
    histogram.setRanges(ranges);
    const int n = int(state.range(0));
    const std::vector<double> values = scatteredValues(0, n), more = scatteredValues(n, 4096);
    histogram.addValues(values.data(), n);
    std::size_t k = 0;
    for (auto _ : state)
        histogram.addValue(more[k++ % more.size()]);
    qDeleteAll(ranges);
}

// For comparison: counting every value into every range again, as a full
// re-count after each change would.
void BM_HistogramRecountAll(benchmark::State &state)
{
    const QList<BinRange *> ranges = standardThicknessRanges();
    const std::vector<double> values = scatteredValues(0, int(state.range(0)));
    for (auto _ : state) {
        int counted = 0;
        for (BinRange *range : ranges) {
            HistogramBin bin;
            bin.range = range;
            bin.countAdded(values.data(), int(values.size()));
            counted += bin.count();
        }
        benchmark::DoNotOptimize(counted);
    }
    qDeleteAll(ranges);
}

// The same followed by the repaint it requests.
void BM_HistogramAddValueAndPaint(benchmark::State &state)
{
    const QList<BinRange *> ranges = standardThicknessRanges();
    Histogram histogram(nullptr);
    histogram.setMargins(QMargins(136, 20, 20, 50));
    histogram.setRanges(ranges);
    histogram.resize(ChartSize);
    histogram.show();
    const int n = int(state.range(0));
    const std::vector<double> values = scatteredValues(0, n), more = scatteredValues(n, 4096);
    histogram.addValues(values.data(), n);
    QPixmap target(ChartSize);
    std::size_t k = 0;
    for (auto _ : state) {
        histogram.addValue(more[k++ % more.size()]);
        histogram.render(&target);
    }
    qDeleteAll(ranges);
}

// A report's pictures as a worker paints them: a fresh canvas fed the
// values and painted once.
void BM_ChartCanvasPicture(benchmark::State &state)
{
    const int n = int(state.range(0));
    const std::vector<double> values = scatteredValues(0, n);
    ChartSettings settings;
    settings.margins = QMargins(70, 40, 20, 50);
    settings.xTitle = "Time";
    settings.yTitle = "Thickness(μm)";
    settings.limitLines[0] = 120;
    for (auto _ : state) {
        ChartCanvas canvas;
        canvas.apply(settings);
        canvas.setTexts([](int i) { return scatteredTime(i).toString(QStringLiteral("hh:mm:ss")); }, nullptr, 0);
        canvas.addValues(values.data(), n, 0);
        benchmark::DoNotOptimize(canvas.picture(ChartSize));
    }
}

void BM_HistogramCanvasPicture(benchmark::State &state)
{
    const int n = int(state.range(0));
    const std::vector<double> values = scatteredValues(0, n);
    const QList<BinRange *> ranges = standardThicknessRanges();
    for (auto _ : state) {
        HistogramCanvas canvas;
        canvas.setRanges(ranges);
        canvas.setMargins(QMargins(136, 20, 20, 50));
        canvas.addValues(values.data(), n);
        benchmark::DoNotOptimize(canvas.picture(ChartSize));
    }
    qDeleteAll(ranges);
}

} // namespace

BENCHMARK(BM_ChartFullRebuild)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartHoverRepaint)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LinePlain)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineThinned)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LineFromIndex)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistogramAddValue)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HistogramRecountAll)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistogramAddValueAndPaint)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ChartCanvasPicture)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HistogramCanvasPicture)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
