#include "charts/chartlayout.h"
#include "charts/columnreduction.h"
#include "charts/columnvertices.h"
#include "charts/polylinepixels.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

// The thinned line must paint exactly the pixels of the plain polyline, and
// the thinning from the index must keep exactly what the reducer keeps.
class TestColumnReduction : public QObject
{
    Q_OBJECT

    static QImage draw(const QSize &size, const QVector<QPoint> &vertices)
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::white);
        QPainter painter(&pixmap);
        painter.setPen(QColor(250, 150, 0));
        painter.drawPolyline(vertices.constData(), vertices.size());
        painter.end();
        return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
    }

    // The same line filled in from its pixel spans, where they apply.
    static QImage fill(const QSize &size, const QVector<QPoint> &vertices)
    {
        PolylinePixels pixels;
        if (!pixels.trace(vertices.constData(), vertices.size(), size))
            return draw(size, vertices);
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        pixels.fill(&image, QColor(250, 150, 0).rgba(), image.rect());
        return image;
    }

    static QVector<double> series(int kind, int n, QRandomGenerator &rng)
    {
        QVector<double> v(n);
        double walk = 0;
        for (int i = 0; i < n; ++i) {
            switch (kind) {
            case 0: v[i] = rng.bounded(2000.0); break;                                // noise
            case 1: walk += rng.bounded(20.0) - 10; v[i] = walk; break;               // random walk
            case 2: v[i] = (i % 97 == 0) ? 1500 + rng.bounded(500.0) : 20; break;     // spikes
            case 3: v[i] = 800 + 700 * std::sin(i * 0.001) + rng.bounded(5.0); break; // smooth
            case 4: v[i] = i % 2 ? 1e6 : -1e6; break;                                // alternating extremes
            case 5: v[i] = (i / 200) % 3 == 1 ? 50 : 900; break;                      // long equal runs
            case 6:                                                                   // a gauge's readings:
                v[i] = rng.bounded(300) == 0 ? 0                                      // 120 um +- 10 %,
                                             : 120 * (1 + 0.1 * (rng.bounded(1.0) + rng.bounded(1.0)
                                                                 + rng.bounded(1.0) - 1.5)); // overloads at 0
                break;
            default: {                                                                // not finite now and then
                const double odd[] = {qQNaN(), qInf(), -qInf()};
                v[i] = rng.bounded(50) == 0 ? odd[rng.bounded(3)] : rng.bounded(100.0) - 20;
            }
            }
        }
        return v;
    }

private slots:
    void thinsEachColumn()
    {
        // First move 5->5->9, extremes 1 and 12 in between, the last two moves 4->7->3.
        const QVector<QPoint> in{{0, 5}, {0, 5}, {0, 9}, {0, 1}, {0, 6}, {0, 12}, {0, 4}, {0, 7}, {0, 3},
                                 {1, 4}, {2, 2}, {2, 2}, {2, 2}, {2, 2}};
        QCOMPARE(reduceByColumn(in), QVector<QPoint>({{0, 5}, {0, 5}, {0, 9}, {0, 1}, {0, 12}, {0, 4}, {0, 7},
                                                      {0, 3}, {1, 4}, {2, 2}, {2, 2}}));
        QCOMPARE(reduceByColumn({}), QVector<QPoint>());
        QCOMPARE(reduceByColumn({{4, 4}}), QVector<QPoint>({{4, 4}}));
        // Repeats go, except in the first and the last segment.
        QVector<QPoint> repeats{{0, 1}, {0, 1}, {0, 2}, {0, 2}, {1, 2}, {1, 2}, {1, 3}, {1, 3}};
        dropRepeatedVertices(&repeats);
        QCOMPARE(repeats, QVector<QPoint>({{0, 1}, {0, 1}, {0, 2}, {1, 2}, {1, 3}, {1, 3}}));
    }

    void lastColumnKeepsItsEndCap()
    {
        // The line's final cap depends on the direction of the move before the last.
        const QVector<QPoint> in{{0, 29}, {0, 24}, {0, 21}, {0, 27}, {0, 23}, {0, 23},
                                 {0, 24}, {0, 25}, {0, 21}, {0, 22}, {0, 20}};
        QCOMPARE(draw(QSize(24, 40), reduceByColumn(in)), draw(QSize(24, 40), in));
    }

    void pixelIdenticalToThePlainPolyline_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("count");
        QTest::addColumn<QSize>("size");
        const QSize sizes[] = {QSize(880, 380), QSize(144, 150), QSize(100, 90)};
        // A pixel column holds many points, one or two, or one or none.
        const int counts[] = {50, 1000, 1300, 10000, 100000};
        for (int kind = 0; kind < 8; ++kind)
            for (int count : counts)
                for (const QSize &size : sizes)
                    if (count < 100000 || size.width() > 800)
                        QTest::addRow("kind%d-%d-%dx%d", kind, count, size.width(), size.height())
                        << kind << count << size;
    }

    void pixelIdenticalToThePlainPolyline()
    {
        QFETCH(int, kind);
        QFETCH(int, count);
        QFETCH(QSize, size);
        QRandomGenerator rng(quint32(kind * 1000003 + count + size.width()));
        ChartSeries points;
        for (double v : series(kind, count, rng))
            points.append(ChartPoint(v, QString(), QDateTime(), -1, -1, QVariant()));
        const ChartFrame frame{size};
        const QRect plot = frame.plotRect();
        // The full range, zoomed parts of it, one point.
        for (const QPair<int, int> &range : {qMakePair(0, count - 1), qMakePair(count / 3, count / 3 + count / 7),
                                             qMakePair(count / 4, count / 4 + 1), qMakePair(count / 2, count / 2)}) {
            const ChartAxes axes = computeChartAxes(plot, {lineValueRange(points, range.first, range.second)},
                                                    range.first, range.second, true);
            QVector<QPoint> plain;
            forEachChartVertex(points, range.first, range.second, axes, plot,
                               [&](const QPoint &p) { plain << p; });
            const QVector<QPoint> thin = reduceByColumn(plain);
            QVERIFY(thin.size() <= 10 * (plot.width() + 1));
            QVERIFY(thinsWithIndex(axes));
            QVector<QPoint> indexed;
            appendThinnedVertices(points.index(), range.first, range.second, axes, plot, &indexed);
            QCOMPARE(indexed, thin);
            // As the chart draws it.
            dropRepeatedVertices(&indexed);
            const QImage picture = draw(size, plain);
            QCOMPARE(draw(size, indexed), picture);
            QCOMPARE(fill(size, indexed), picture);
        }
    }

    void indexThinningOnEveryKindOfColumn()
    {
        // Few distinct rows on small plots: runs of every length, columns of
        // one run to many, zoomed ranges that start and end anywhere.
        QRandomGenerator rng(777);
        const double odd[] = {qQNaN(), qInf(), -qInf(), 0.0};
        for (int round = 0; round < 4000; ++round) {
            const int count = 1 + int(rng.bounded(600));
            const int levels = 1 + int(rng.bounded(6));
            ChartSeries points;
            for (int i = 0; i < count; ++i) {
                const double v = rng.bounded(40) == 0 ? odd[rng.bounded(4)] : 10.0 * int(rng.bounded(levels));
                points.append(ChartPoint(v, QString(), QDateTime(), -1, -1, QVariant()));
            }
            const QRect plot(3, 2, 1 + int(rng.bounded(60)), 5 + int(rng.bounded(60)));
            const int first = round % 3 ? int(rng.bounded(count)) : 0;
            const int last = round % 5 ? first + int(rng.bounded(count - first + 20)) : count - 1;
            const ChartAxes axes = computeChartAxes(plot, {lineValueRange(points, first, last)}, first, last, true);
            QVector<QPoint> plain, indexed;
            forEachChartVertex(points, first, last, axes, plot, [&](const QPoint &p) { plain << p; });
            appendThinnedVertices(points.index(), first, last, axes, plot, &indexed);
            QCOMPARE(indexed, reduceByColumn(plain));
        }
    }

    void rememberedColumnsChangeNothing()
    {
        // Rebuild after rebuild of a growing line, zoomed to other ranges now
        // and then, cleared once: what the columns remember must give the
        // vertices a fresh thinning gives. Values within [-1, 1] keep the
        // value scale, so the columns remember across zooms and the refill,
        // until a spike.
        QRandomGenerator rng(99);
        const double steps[] = {-0.5, 0, 0, 0, 0.5, qQNaN(), qInf()};
        ColumnMemo memo;
        ChartSeries points;
        const QRect plot(5, 3, 40, 50);
        double walk = 0;
        int first = 0, last = 0;
        for (int frame = 0; frame < 3000; ++frame) {
            int n = frame % 60 == 0 ? 300 : 1;
            if (frame == 1204) {
                // The same number of other values: the same column ranges.
                n = points.size();
                points.clear();
                walk = -walk;
            }
            for (; n > 0; --n) {
                const double step = steps[rng.bounded(frame % 3 ? 5 : 7)];
                walk = std::isfinite(step) ? qBound(-1.0, walk + step, 1.0) : walk;
                const double v = frame == 2000 ? 3 : std::isfinite(step) ? walk : step;
                points.append(ChartPoint(v, QString(), QDateTime(), -1, -1, 0));
            }
            if (frame % 10 < 6) {
                first = 0;
                last = points.size() - 1;
            } else {
                first = int(rng.bounded(points.size()));
                last = first + int(rng.bounded(points.size() - first));
            }
            const ChartAxes axes = computeChartAxes(plot, {lineValueRange(points, first, last)}, first, last, true);
            QVector<QPoint> plain, remembered;
            forEachChartVertex(points, first, last, axes, plot, [&](const QPoint &p) { plain << p; });
            appendThinnedVertices(points.index(), first, last, axes, plot, &remembered, &memo);
            QCOMPARE(remembered, reduceByColumn(plain));
        }
    }

    void pixelIdenticalForArbitraryPaths()
    {
        // Short random paths on small pictures: repeated vertices, jumps, turns,
        // vertices outside the picture, columns left and right of it.
        QRandomGenerator rng(12345);
        for (int round = 0; round < 6000; ++round) {
            const QSize size(8 + int(rng.bounded(32)), 8 + int(rng.bounded(60)));
            const int jump = round % 3 == 0 ? 100000 : 3 * size.height();
            const int spread = 1 + int(rng.bounded(8));
            QVector<QPoint> plain;
            int x = int(rng.bounded(6)) - 3;
            int y = int(rng.bounded(size.height()));
            for (int i = 0, n = 2 + int(rng.bounded(120)); i < n; ++i) {
                if (rng.bounded(100) < 20)
                    x += 1 + (rng.bounded(10) == 0 ? int(rng.bounded(5)) : 0);
                const int r = int(rng.bounded(100));
                if (r >= 25)
                    y += int(rng.bounded(2 * spread + 1)) - spread;
                else if (r >= 15)
                    y = int(rng.bounded(jump)) - jump / 3;
                plain << QPoint(x, y);
            }
            QVector<QPoint> thin = reduceByColumn(plain);
            const QImage picture = draw(size, plain);
            QCOMPARE(draw(size, thin), picture);
            QCOMPARE(fill(size, plain), picture);
            dropRepeatedVertices(&thin);
            QCOMPARE(draw(size, thin), picture);
        }
    }

    void filledSpansOnNoisyColumns()
    {
        // Every column jumps over most of the plot many times; columns one
        // or more pixels apart; the line ending on or beside the picture's
        // edges.
        QRandomGenerator rng(2024);
        for (int round = 0; round < 400; ++round) {
            const QSize size(20 + int(rng.bounded(300)), 20 + int(rng.bounded(300)));
            QVector<QPoint> plain;
            int x = int(rng.bounded(3)) ? int(rng.bounded(size.width() / 2)) : 0;
            const int gap = 1 + int(rng.bounded(round % 4 ? 1 : 9));
            for (int i = 0, n = 2 + int(rng.bounded(3000)); i < n && x < size.width(); ++i) {
                if (rng.bounded(100) < 8)
                    x += gap;
                const int spread = size.height() * 4 / 5;
                plain << QPoint(std::min(x, size.width() - 1),
                                round % 5 ? size.height() / 10 + int(rng.bounded(spread))
                                          : int(rng.bounded(size.height())));
            }
            QCOMPARE(fill(size, plain), draw(size, plain));
        }
    }
};

QTEST_MAIN(TestColumnReduction)
#include "tst_columnreduction.moc"
