#include "charts/dmmchart.h"
#include "charts/histogram.h"

#include <QApplication>
#include <QFontInfo>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTime>
#include <QtTest>

#include <vector>

// The widgets show what they showed before they painted through canvases:
// the pictures in pictures/ were saved from them then.
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
    static QImage saved(const char *name) { return rgb(QImage(QStringLiteral(VK_CHART_PICTURES "/%1.png").arg(name))); }

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
                                     {QEvent::MouseMove, QPoint(340, 300)}, {QEvent::MouseButtonRelease, QPoint(340, 300)}}) {
                QMouseEvent e(type, pos, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QCoreApplication::sendEvent(&chart, &e);
            }
            chart.grab();
        }
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
        qDeleteAll(ranges);
    }
};

QTEST_MAIN(TestChartCanvas)
#include "tst_chartcanvas.moc"
