#include "charts/chartcanvas.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "charts/histogramcanvas.h"

#include <QApplication>
#include <QFontInfo>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QThread>
#include <QTime>
#include <QtTest>

#include <memory>
#include <vector>

// The widgets show what they showed before they painted through canvases
// (the pictures in pictures/ were saved from them then), and a canvas given
// a widget's settings and values paints the same, on any thread.
class TestChartCanvas : public QObject
{
    Q_OBJECT

    // Scattered about normally around `mean` (σ `sigma`), one in forty an
    // overload drawn as 0; the same on every machine.
    static std::vector<double> scattered(int n, double mean = 120, double sigma = 12)
    {
        QRandomGenerator rng(508);
        std::vector<double> values;
        for (int i = 0; i < n; ++i) {
            double sum = 0;
            for (int k = 0; k < 12; ++k)
                sum += rng.generateDouble();
            values.push_back(i % 40 == 7 ? 0 : mean + sigma * (sum - 6));
        }
        return values;
    }
    static QString timeText(int i) { return QTime(8, 0).addSecs(i).toString(QStringLiteral("hh:mm:ss")); }
    static QImage rgb(const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); }
    static QImage saved(const char *name)
    {
        return rgb(QImage(QStringLiteral(VK_CHART_PICTURES "/%1.png").arg(name)));
    }

    // Set up as the window sets it up, with limit lines, and zoomed by a drag.
    static void showChart(DMMChart &chart, const std::vector<double> &values, bool zoomed)
    {
        chart.setTexts(timeText, nullptr, 0);
        chart.setLeftMargin(70);
        chart.setBottomMargin(50);
        chart.setYTitle(QStringLiteral("Thickness(μm)"));
        chart.setXTitle(QStringLiteral("Time"));
        chart.setLimitLines(120, 100, 140);
        chart.resize(760, 420);
        chart.show();
        chart.addValues(values.data(), int(values.size()), 0);
        chart.grab();
        if (zoomed) {
            for (auto [type, pos] : {std::pair{QEvent::MouseButtonPress, QPoint(300, 60)},
                                     {QEvent::MouseMove, QPoint(340, 300)},
                                     {QEvent::MouseButtonRelease, QPoint(340, 300)}}) {
                QMouseEvent e(type, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(&chart, &e);
            }
            chart.grab();
        }
    }

    // As a worker paints them.
    static QImage chartPicture(const ChartSettings &settings, const std::vector<double> &values, const QSize &size)
    {
        ChartCanvas canvas;
        canvas.apply(settings);
        canvas.setTexts(timeText, nullptr, 0);
        canvas.addValues(values.data(), int(values.size()), 0);
        return canvas.picture(size);
    }
    static QImage histogramPicture(const HistogramSettings &settings, const std::vector<double> &values,
                                   const QSize &size)
    {
        HistogramCanvas canvas;
        canvas.apply(settings);
        canvas.addValues(values.data(), int(values.size()));
        return canvas.picture(size);
    }

    static void showHistogram(Histogram &h, const QList<BinRange *> &ranges, const std::vector<double> &values,
                              int decimals, const QString &title)
    {
        h.setRanges(ranges);
        h.setMargins(QMargins(136, 20, 20, 50));
        h.setYTitle(title);
        h.setXTitle(QStringLiteral("Rate"));
        h.setDecimals(decimals);
        h.resize(556, 370);
        h.show();
        h.addValues(values.data(), int(values.size()));
        h.grab();
    }

private slots:
    void initTestCase()
    {
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(11);
        QApplication::setFont(font);
        if (QFontInfo(font).family() != QLatin1String("DejaVu Sans"))
            QSKIP("the saved pictures are drawn in DejaVu Sans");
    }

    void chartPictures_data()
    {
        QTest::addColumn<bool>("zoomed");
        QTest::newRow("chart") << false;
        QTest::newRow("chart-zoomed") << true;
    }
    void chartPictures()
    {
        QFETCH(bool, zoomed);
        const std::vector<double> values = scattered(20000);
        DMMChart chart;
        showChart(chart, values, zoomed);
        QCOMPARE(chart.isZoomed(), zoomed);
        const QImage shown = rgb(chart.pixmap().toImage());
        QCOMPARE(shown, saved(QTest::currentDataTag()));
        QCOMPARE(chartPicture(chart.canvas().settings(), values, chart.size()), shown);
    }

    void histogramPictures_data()
    {
        QTest::addColumn<bool>("mils");
        QTest::newRow("histogram-um") << false;
        QTest::newRow("histogram-mil") << true;
    }
    void histogramPictures()
    {
        QFETCH(bool, mils);
        const QList<BinRange *> ranges = mils ? milThicknessRanges() : standardThicknessRanges();
        const double unit = mils ? 25.4 : 1;
        const std::vector<double> values = scattered(5000, 1000 / unit, 400 / unit);
        const QString title = mils ? QStringLiteral("Thickness(mil)") : QStringLiteral("Thickness(μm)");
        Histogram h;
        showHistogram(h, ranges, values, mils ? 2 : 1, title);
        const QImage shown = rgb(h.pixmap().toImage());
        QCOMPARE(shown, saved(QTest::currentDataTag()));
        qDeleteAll(ranges);     // the settings hold copies
        QCOMPARE(histogramPicture(h.canvas().settings(), values, h.size()), shown);
    }

    void canvasesPaintTheSameOnAnotherThread()
    {
        const std::vector<double> values = scattered(20000), more = scattered(5000, 1000, 400);
        DMMChart chart;
        showChart(chart, values, true);
        const QList<BinRange *> ranges = standardThicknessRanges();
        Histogram h;
        showHistogram(h, ranges, more, 1, QStringLiteral("Thickness(μm)"));
        qDeleteAll(ranges);
        const ChartSettings chartSettings = chart.canvas().settings();
        const HistogramSettings histogramSettings = h.canvas().settings();
        const QSize chartSize = chart.size(), histogramSize = h.size();
        QImage chartOnWorker, histogramOnWorker;
        const std::unique_ptr<QThread> worker(QThread::create([&] {
            chartOnWorker = chartPicture(chartSettings, values, chartSize);
            histogramOnWorker = histogramPicture(histogramSettings, more, histogramSize);
        }));
        worker->start();
        QVERIFY(worker->wait(60000));
        QCOMPARE(chartOnWorker, chartPicture(chartSettings, values, chartSize));
        QCOMPARE(chartOnWorker, saved("chart-zoomed"));
        QCOMPARE(histogramOnWorker, histogramPicture(histogramSettings, more, histogramSize));
        QCOMPARE(histogramOnWorker, saved("histogram-um"));
    }
};

QTEST_MAIN(TestChartCanvas)
#include "tst_chartcanvas.moc"
