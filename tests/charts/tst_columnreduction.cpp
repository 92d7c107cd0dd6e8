#include "charts/chartlayout.h"
#include "charts/columnreduction.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

// The thinned line must paint exactly the pixels of the plain polyline.
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
        return pixmap.toImage();
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
            default: v[i] = i % 2 ? 1e6 : -1e6; break;                                // alternating extremes
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
        const int counts[] = {1000, 10000, 100000};
        for (int kind = 0; kind < 5; ++kind)
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
        const QVector<double> values = series(kind, count, rng);
        QList<ChartPoint *> points;
        for (double v : values)
            points << new ChartPoint(v, QString(), QDateTime(), -1, -1, QVariant());
        const ChartFrame frame{size};
        const QRect plot = frame.plotRect();
        // The full range and a zoomed part of it.
        for (const QPair<int, int> &range : {qMakePair(0, count - 1), qMakePair(count / 3, count / 3 + count / 7)}) {
            const ChartAxes axes = computeChartAxes(plot, {lineValueRange(points, range.first, range.second)},
                                                    range.first, range.second, true);
            QVector<QPoint> plain;
            forEachChartVertex(points, range.first, range.second, axes, plot,
                               [&](const QPoint &p) { plain << p; });
            const QVector<QPoint> thin = reduceByColumn(plain);
            QVERIFY(thin.size() <= 10 * (plot.width() + 1));
            QCOMPARE(draw(size, thin), draw(size, plain));
        }
        qDeleteAll(points);
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
            QCOMPARE(draw(size, reduceByColumn(plain)), draw(size, plain));
        }
    }
};

QTEST_MAIN(TestColumnReduction)
#include "tst_columnreduction.moc"
