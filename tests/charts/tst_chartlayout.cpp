#include "charts/chartlayout.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QtTest>

#include <cfloat>

// The chart's arithmetic, without a widget.
class TestChartLayout : public QObject
{
    Q_OBJECT

    ChartSeries m_points;
    const QDateTime m_t0{QDate(2024, 3, 1), QTime(10, 0, 0)};

    void makePoints(const QVector<double> &values)
    {
        m_points.clear();
        for (int i = 0; i < values.size(); ++i)
            m_points.append(ChartPoint(values.at(i), QString(), m_t0.addSecs(i), -1, -1, QString("#%1").arg(i)));
    }

    ChartAxes axesFor(const QRect &plot)
    {
        const int last = m_points.size() - 1;
        return computeChartAxes(plot, {lineValueRange(m_points, 0, last)}, 0, last, !m_points.isEmpty());
    }

    static QStringList texts(const QVector<ChartText> &labels)
    {
        QStringList t;
        for (const ChartText &l : labels)
            t << l.text;
        return t;
    }

    // The walk over the positions, as the nearest-point rule states it.
    static int walkNearest(const ChartPositions &pos, int x, int width)
    {
        if (x < 0)
            return 0;
        if (x > width)
            return pos.size() - 1;
        for (int i = 0; i < pos.size(); ++i) {
            if (pos.x(i) == x)
                return i;
            if (pos.x(i) > x) {
                const int d1 = std::abs(pos.x(i) - x);
                const int d0 = std::abs(pos.x(i > 0 ? i - 1 : 0) - x);
                return d0 > d1 ? i : std::max(i - 1, 0);
            }
        }
        return pos.size() - 1;
    }

private slots:
    void cleanup()
    {
        m_points.clear();
    }

    void hundredPointsOnEightHundredPixels()
    {
        makePoints(QVector<double>(100, 5.0));
        const ChartFrame frame{QSize(880, 380)};
        QCOMPARE(frame.plotRect(), QRect(60, 40, 800, 300));
        const ChartAxes a = axesFor(frame.plotRect());
        QCOMPARE(a.xScale, 8.0);
        QCOMPARE(a.pointsPerXDivision, 10);
        QCOMPARE(a.pixelsPerXDivision, 80.0);
        QCOMPARE(a.xDivisions, 10);
        const ChartDecoration d = decorateChart(frame, frame.plotRect(), a, m_points, 0, 1, "Time", "Thickness(μm)",
                                                QFontMetrics(QGuiApplication::font()));
        QStringList expected;
        for (int i = 0; i < 100; i += 10)
            expected << m_t0.addSecs(i).toString("hh:mm:ss");
        QCOMPARE(texts(d.timeLabels), expected);
        QCOMPARE(expected.at(1), QString("10:00:10"));
        QCOMPARE(d.xTicks.at(3), QLine(300, 339, 300, 344));
        QCOMPARE(d.xGrid.at(3), QLine(300, 40, 300, 339));
        QCOMPARE(d.timeAxis, QLine(59, 340, 860, 340));
        QCOMPARE(d.valueAxis, QLine(59, 39, 59, 340));
    }

    void valuesUpToFifteenHundredOnThreeHundredPixels()
    {
        QVector<double> values;
        for (int i = 0; i <= 1500; i += 10)
            values << i;
        makePoints(values);
        const ChartFrame frame{QSize(880, 380)};
        const ChartAxes a = axesFor(frame.plotRect());
        QCOMPARE(a.min, -1.1);
        QCOMPARE(a.max, 1650.0);
        QCOMPARE(a.yScale, 300 / 1651.1);
        QCOMPARE(a.yStep, 200.0);
        QCOMPARE(a.positiveYDivisions, 8);
        QCOMPARE(a.negativeYDivisions, 0);
        QCOMPARE(a.zeroY, int(40 + 300 / 1651.1 * 1650));
        const ChartDecoration d = decorateChart(frame, frame.plotRect(), a, m_points, 0, 1, "Time", "Thickness(μm)",
                                                QFontMetrics(QGuiApplication::font()));
        QCOMPARE(texts(d.positiveLabels),
                 QStringList({"0.0", "200.0", "400.0", "600.0", "800.0", "1.0k", "1.2k", "1.4k", "1.6k"}));
        // The zero line also carries the negative side's label of zero.
        QCOMPARE(d.negativeLabels.size(), 1);
        QCOMPARE(d.negativeLabels.first().rect.center().y(), d.positiveLabels.first().rect.center().y());
        QCOMPARE(d.positiveGrid.at(8).y1(), int(a.zeroY - 8 * 200 * a.yScale));
    }

    void labelSuffixes()
    {
        QCOMPARE(chartValueLabel(999, 1, false), QString("999.0"));
        QCOMPARE(chartValueLabel(1000, 1, false), QString("1.0k"));
        QCOMPARE(chartValueLabel(999999, 2, false), QString("999.999k"));
        QCOMPARE(chartValueLabel(1000000, 1, false), QString("1.0M"));
        QCOMPARE(chartValueLabel(2500000, 2, false), QString("2.50M"));
        QCOMPARE(chartValueLabel(0.5, 2, true), QString("-0.50"));
        QCOMPARE(chartValueLabel(3000, 1, true), QString("-3.0k"));
        // Thousands and millions are not rounded to the set decimals.
        QCOMPARE(chartValueLabel(1350, 1, false), QString("1.35k"));
        QCOMPARE(chartValueLabel(1050, 1, true), QString("-1.05k"));
        QCOMPARE(chartValueLabel(1400, 2, false), QString("1.40k"));
        QCOMPARE(chartValueLabel(1200.5, 1, false), QString("1.2005k"));
        QCOMPARE(chartValueLabel(3 * 0.1 * 10000, 1, false), QString("3.0k"));
        QCOMPARE(chartValueLabel(1000050, 1, false), QString("1.00005M"));
        QCOMPARE(chartValueLabel(150, 0, false), QString("150"));
    }

    void stepLists()
    {
        // 0.8 is listed, 0.75 and 4 are not.
        QCOMPARE(chartYStep(30 / 0.8), 0.8);
        QCOMPARE(chartYStep(30 / 0.75), 0.8);
        QCOMPARE(chartYStep(30 / 4.0), 5.0);
        QCOMPARE(chartYStep(31 / 0.00001), 0.00001);
        QCOMPARE(chartYStep(30 / 40.0), 40.0);
        QCOMPARE(chartYStep(30 / 41.0), 50.0);
        QCOMPARE(chartYStep(30 / 101.0), 150.0);
        QCOMPARE(chartPointsPerXDivision(80), 1);
        QCOMPARE(chartPointsPerXDivision(79.9), 2);
        QCOMPARE(chartPointsPerXDivision(80 / 4.0), 5);
        QCOMPARE(chartPointsPerXDivision(80 / 41.0), 50);
        QCOMPARE(chartPointsPerXDivision(800 / 1000000.0), 100000);
    }

    void noPoints()
    {
        const ChartFrame frame{QSize(880, 380)};
        const ChartAxes a = axesFor(frame.plotRect());
        QCOMPARE(a.min, -1.1);
        QCOMPARE(a.max, 1.1);
        QCOMPARE(a.xScale, 0.0);
        QCOMPARE(a.xDivisions, 0);
        QCOMPARE(a.positiveYDivisions, 0);
        QCOMPARE(a.zeroY, 40 + 150);
        const ChartDecoration d = decorateChart(frame, frame.plotRect(), a, m_points, 0, 1, "Time", "T",
                                                QFontMetrics(QGuiApplication::font()));
        QCOMPARE(d.positiveGrid, QVector<QLine>({QLine(60, 190, 860, 190)}));
        QCOMPARE(texts(d.positiveLabels), QStringList({"0.0"}));
        QVERIFY(d.timeLabels.isEmpty());
    }

    void positionsAndVertices()
    {
        makePoints({0, 100, -50, 1500, 7});
        const QRect plot(60, 40, 800, 300);
        const ChartAxes a = axesFor(plot);
        const ChartPositions pos{3, 800 / 3.0};
        QCOMPARE(pos.x(1), 267);
        QCOMPARE(pos.x(2), 533);
        QVector<QPoint> v;
        forEachChartVertex(m_points, 0, 4, a, plot, [&](const QPoint &p) { v << p; });
        QCOMPARE(v.size(), 5);
        QCOMPARE(v.at(3), QPoint(int(3 * 160.0 + 60), int(a.zeroY - a.yScale * 1500)));
    }

    void nearestPointTiesGoLeft()
    {
        const ChartPositions pos{5, 10};                // 0, 10, 20, 30, 40
        QCOMPARE(nearestPosition(pos, 5, 100), 0);      // tie
        QCOMPARE(nearestPosition(pos, 6, 100), 1);
        QCOMPARE(nearestPosition(pos, 15, 100), 1);     // tie
        QCOMPARE(nearestPosition(pos, 20, 100), 2);     // exact
        QCOMPARE(nearestPosition(pos, 36, 100), 4);
        QCOMPARE(nearestPosition(pos, 90, 100), 4);     // right of all
        QCOMPARE(nearestPosition(pos, 101, 100), 4);
        QCOMPARE(nearestPosition(pos, -1, 100), 0);
        QCOMPARE(nearestPosition(ChartPositions{}, 50, 100), -1);
        QCOMPARE(nearestPosition(ChartPositions{4, 0.4}, 0, 100), 0);  // 0, 0, 1, 1: the first one there
        // Below one pixel per point several points share an x.
        QRandomGenerator rng(3);
        for (int n = 0; n < 300; ++n) {
            const ChartPositions p{int(rng.bounded(400)), 120 / (1 + rng.bounded(300.0))};
            for (int cx = 0; cx <= 120; ++cx)
                QCOMPARE(nearestPosition(p, cx, 120), walkNearest(p, cx, 120));
        }
    }

    void zoomSelections()
    {
        // Ten visible points 80 pixels apart, the visible range starting at 20.
        const ChartPositions pos{10, 80};
        ZoomSelection z = selectZoom(pos, QPoint(100, 10), QPoint(500, 200), 20, 29);
        QCOMPARE(z.action, ZoomSelection::Zoom);
        QCOMPARE(z.first, 20 + 2);         // first at or right of 100: 160
        QCOMPARE(z.last, 20 + 6);          // first at or right of 500: 560 (7), less one
        QCOMPARE(selectZoom(pos, QPoint(500, 10), QPoint(100, 200), 20, 29).action, ZoomSelection::Cancel);
        QCOMPARE(selectZoom(pos, QPoint(100, 200), QPoint(500, 10), 20, 29).action, ZoomSelection::Cancel);
        QCOMPARE(selectZoom(pos, QPoint(100, 10), QPoint(100, 10), 20, 29).action, ZoomSelection::Cancel);
        // Beyond the last point: up to the last one.
        z = selectZoom(pos, QPoint(0, 0), QPoint(799, 300), 0, 9);
        QCOMPARE(z.first, 0);
        QCOMPARE(z.last, 9);
        // Nothing between start and end: the range stays.
        z = selectZoom(pos, QPoint(161, 0), QPoint(170, 300), 0, 9);
        QCOMPARE(z.action, ZoomSelection::Keep);
    }

    void readoutFlipsLeftNearTheRightEdge()
    {
        const QFontMetrics fm(QGuiApplication::font());
        const QRect plot(60, 40, 800, 300);
        const QString text = "10:00:00:25.0um Fe\r\n";
        const int w = fm.horizontalAdvance(text);
        ChartReadout r = layoutReadout(plot, 300, {text}, fm);
        QCOMPARE(r.cursor, QLine(300, 40, 300, 339));
        QCOMPARE(r.texts.first().rect, QRect(302, 40 - fm.height(), w, fm.height()));
        r = layoutReadout(plot, 850, {text}, fm);
        QCOMPARE(r.texts.first().rect.left(), 850 - w - 2);
        QVERIFY(r.texts.first().rect.right() < 850);
        m_points.append(ChartPoint(25, "25.0", QDateTime(QDate(2024, 1, 1), QTime(9, 8, 7)), -1, -1,
                                   QString::fromUtf8("25.0μm Fe")));
        m_points.append(ChartPoint(26, "26.0", QDateTime(), -1, -1, 7));
        QCOMPARE(chartReadoutText(m_points, 0), QString::fromUtf8("09:08:07:25.0μm Fe\r\n"));
        QCOMPARE(chartReadoutText(m_points, 1), QString(":7\r\n"));
    }

    void extremeDataEnds()
    {
        const QRect plot(60, 40, 800, 300);
        makePoints({1e300, -1e300, 5});
        ChartAxes a = axesFor(plot);
        QVERIFY(a.yStep * a.yScale >= 30);
        QVERIFY(a.positiveYDivisions <= 11 && a.negativeYDivisions <= 11);
        makePoints({DBL_MAX, -DBL_MAX});        // the range itself overflows
        a = axesFor(plot);
        QCOMPARE(a.positiveYDivisions, 0);
        makePoints({qInf(), qQNaN(), -qInf(), 12});
        a = axesFor(plot);
        QCOMPARE(a.max, 13.2);
        QVector<QPoint> v;
        forEachChartVertex(m_points, 0, 3, a, plot, [&](const QPoint &p) { v << p; });
        QVERIFY(v.at(0).y() < plot.top() && v.at(2).y() > plot.bottom());
        QCOMPARE(v.at(1).y(), a.zeroY);
        // A one-pixel plot and an empty one.
        makePoints(QVector<double>(1000, 3));
        a = axesFor(QRect(60, 40, 1, 1));
        QVERIFY(a.drawable && a.pointsPerXDivision > 0 && a.xDivisions == 0);
        for (const QRect &empty : {QRect(60, 40, 0, 300), QRect(60, 40, -20, -5)}) {
            a = axesFor(empty);
            QVERIFY(!a.drawable);
            QCOMPARE(a.pointsPerXDivision, 0);
            const ChartDecoration d = decorateChart(ChartFrame{QSize(50, 50)}, empty, a, m_points, 0, 1, "Time", "T",
                                                    QFontMetrics(QGuiApplication::font()));
            QVERIFY(!d.axes && d.positiveLabels.isEmpty() && d.xTicks.isEmpty());
        }
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestChartLayout test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_chartlayout.moc"
