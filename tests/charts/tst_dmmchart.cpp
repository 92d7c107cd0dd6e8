#include "charts/dmmchart.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QMouseEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>

// The chart widget: owning points, mouse interaction, and the pixels of its layers.
class TestDMMChart : public QObject
{
    Q_OBJECT

    const QDateTime m_t0{QDate(2024, 3, 1), QTime(10, 0, 0)};
    const QRgb White = qRgb(255, 255, 255);
    const QRgb Orange = qRgb(250, 150, 0);
    const QRgb Blue = qRgb(0, 100, 250);

    QList<ChartPoint *> points(int n, double step, int from = 0)
    {
        QList<ChartPoint *> list;
        for (int i = from; i < from + n; ++i)
            list << new ChartPoint(i * step, QString::number(i * step, 'f', 1), m_t0.addSecs(i), -1, -1,
                                   QString("%1um Fe").arg(i * step, 0, 'f', 1));
        return list;
    }

    // Default margins (60, 20, 40, 40): an 880 x 380 chart has an 800 x 300 plot at (60, 40).
    static void prepare(DMMChart &chart)
    {
        chart.resize(880, 380);
        chart.show();
    }

    static QImage render(DMMChart &chart)
    {
        chart.grab();
        return chart.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    }

    static void mouse(DMMChart &chart, QEvent::Type type, const QPoint &pos,
                      Qt::MouseButton button = Qt::NoButton)
    {
        QMouseEvent e(type, pos, button, type == QEvent::MouseMove ? Qt::MouseButtons(button) : button,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(&chart, &e);
    }

    static void drag(DMMChart &chart, const QPoint &from, const QPoint &to)
    {
        mouse(chart, QEvent::MouseButtonPress, from, Qt::LeftButton);
        mouse(chart, QEvent::MouseMove, to, Qt::LeftButton);
        mouse(chart, QEvent::MouseButtonRelease, to, Qt::LeftButton);
        render(chart);
    }

    static int countColour(const QImage &img, const QRect &area, QRgb colour)
    {
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                n += img.pixel(x, y) == colour;
        return n;
    }

private slots:
    // A font small enough for the default margins keeps the plot in place;
    // unsmoothed, the text is in the exact pen colour.
    void initTestCase()
    {
        QFont font("DejaVu Sans");
        font.setPixelSize(10);
        font.setStyleStrategy(QFont::NoAntialias);
        QApplication::setFont(font);
    }

    void lineAndBackgroundPixels()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        chart.addPoints(points(100, 15), 0);        // 0 .. 1485
        const QImage img = render(chart);
        QCOMPARE(img.size(), QSize(880, 380));
        QCOMPARE(img.pixel(3, 3), White);
        QCOMPARE(img.pixel(870, 370), White);
        // Range [-1.1, 1633.5]: y scale 300 / 1634.6, zero line at int(40 + 1633.5 * scale).
        const double yScale = 300 / 1634.6;
        const int y0 = int(40 + yScale * 1633.5);
        QCOMPARE(chart.axes().zeroY, y0);
        for (int k : {0, 1, 37, 99}) {
            const QPoint vertex(60 + 8 * k, int(y0 - yScale * 15 * k));
            QCOMPARE(img.pixel(vertex), Orange);
        }
        // The time axis one pixel under the plot, solid black.
        QCOMPARE(img.pixel(400, 340), qRgb(0, 0, 0));
        QCOMPARE(img.pixel(59, 200), qRgb(0, 0, 0));
    }

    void aChartFedStepByStepEndsWithThePictureOfOneFedAtOnce()
    {
        // The background is painted again only when its decoration changes.
        DMMChart stepwise(nullptr), atOnce(nullptr);
        prepare(stepwise);
        prepare(atOnce);
        stepwise.addPoints(points(3000, 0.5), 0);
        render(stepwise);
        for (ChartPoint *p : points(60, 0.5, 3000)) {
            stepwise.addPoint(p, 0);
            render(stepwise);
        }
        atOnce.addPoints(points(3060, 0.5), 0);
        QCOMPARE(render(stepwise), render(atOnce));
        for (DMMChart *chart : {&stepwise, &atOnce})
            drag(*chart, QPoint(60 + 200, 60), QPoint(60 + 420, 300));
        QCOMPARE(render(stepwise), render(atOnce));
        stepwise.setYTitle("Thickness(mil)");
        QVERIFY(render(stepwise) != render(atOnce));
    }

    void aChartRepaintedInPartsEndsWithThePictureOfOnePaintedAtOnce()
    {
        // Readings scattered around a thickness, with limit lines across
        // the line and the read-out shown and hidden on the way: every
        // column of the line changes, the time divisions move.
        QRandomGenerator rng(7);
        auto scattered = [&](int n, int from) {
            QList<ChartPoint *> list;
            for (int i = from; i < from + n; ++i) {
                const double v = i % 97 == 0 ? 0 : 100 + rng.bounded(40.0);
                list << new ChartPoint(v, QString(), m_t0.addSecs(i), -1, -1, QVariant());
            }
            return list;
        };
        DMMChart stepwise(nullptr), atOnce(nullptr);
        for (DMMChart *chart : {&stepwise, &atOnce}) {
            prepare(*chart);
            chart->setLimitLines(120, 105, 135);
        }
        stepwise.addPoints(scattered(700, 0), 0);
        render(stepwise);
        for (int i = 700; i < 1100; ++i) {
            stepwise.addPoints(scattered(1 + i % 3, i), 0);
            i += i % 3;
            if (i % 50 == 0)
                mouse(stepwise, QEvent::MouseMove, QPoint(60 + i % 800, 200));
            if (i % 50 == 30)
                stepwise.slotTmrIndicatorTimeout();
            render(stepwise);
        }
        stepwise.slotTmrIndicatorTimeout();
        stepwise.findChild<QTimer *>()->stop();
        rng.seed(7);
        atOnce.addPoints(scattered(stepwise.lines().first()->points.size(), 0), 0);
        QCOMPARE(render(stepwise), render(atOnce));
    }

    void hoverShowsTheCursorUntilTheTimerFires()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        chart.addPoints(points(100, 10), 0);
        render(chart);
        auto *timer = chart.findChild<QTimer *>();
        QVERIFY(timer && timer->isSingleShot());
        QVERIFY(!timer->isActive());

        mouse(chart, QEvent::MouseMove, QPoint(60 + 8 * 40 + 3, 200));     // nearest: point 40
        QVERIFY(chart.isIndicatorVisible());
        QCOMPARE(chart.cursorIndex(), 40);
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), 3000);
        QImage img = render(chart);
        const int x = 60 + int(40 * 8 + 0.5);
        QCOMPARE(img.pixel(x, 200), Blue);
        QCOMPARE(img.pixel(x, 40), Blue);
        // The read-out sits above the plot, right of the cursor line.
        QVERIFY(countColour(img, QRect(x + 1, 0, 200, 40), Blue) > 20);
        QCOMPARE(countColour(img, QRect(0, 0, x, 40), Blue), 0);

        // A tie between two points goes to the left one.
        mouse(chart, QEvent::MouseMove, QPoint(60 + 8 * 50 + 4, 200));
        QCOMPARE(chart.cursorIndex(), 50);

        chart.slotTmrIndicatorTimeout();
        QVERIFY(!chart.isIndicatorVisible());
        timer->stop();
        img = render(chart);
        QCOMPARE(countColour(img, QRect(0, 0, 880, 380), Blue), 0);
    }

    void readoutGoesLeftNearTheRightEdge()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        chart.addPoints(points(100, 10), 0);
        render(chart);
        mouse(chart, QEvent::MouseMove, QPoint(855, 200));                 // point 99 at x = 852
        QCOMPARE(chart.cursorIndex(), 99);
        const QImage img = render(chart);
        const int x = 60 + int(99 * 8 + 0.5);
        QCOMPARE(img.pixel(x, 300), Blue);
        QVERIFY(countColour(img, QRect(x - 200, 0, 200, 40), Blue) > 20);
        QCOMPARE(countColour(img, QRect(x + 1, 0, 880 - x - 1, 40), Blue), 0);
    }

    void nestedZoomAndReset()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        chart.addPoints(points(100, 10), 0);
        render(chart);
        // Points 10 .. 49 lie at x = 80 .. 392 in the plot.
        drag(chart, QPoint(60 + 78, 60), QPoint(60 + 395, 300));
        QVERIFY(chart.isZoomed());
        QCOMPARE(chart.firstVisible(), 10);
        QCOMPARE(chart.lastVisible(), 49);
        QCOMPARE(chart.axes().xScale, 800 / 40.0);
        // Inside the zoom: 20 px per point, points 5 .. 9 of the range are 10 + 5 .. 10 + 9.
        drag(chart, QPoint(60 + 95, 60), QPoint(60 + 190, 300));
        QCOMPARE(chart.firstVisible(), 15);
        QCOMPARE(chart.lastVisible(), 19);
        // A drag upwards or leftwards returns to the full range.
        drag(chart, QPoint(60 + 300, 250), QPoint(60 + 100, 100));
        QVERIFY(!chart.isZoomed());
        QCOMPARE(chart.firstVisible(), 0);
        QCOMPARE(chart.lastVisible(), 99);
        // A click without a move zooms nothing and resets the zoom.
        drag(chart, QPoint(60 + 78, 60), QPoint(60 + 395, 300));
        QVERIFY(chart.isZoomed());
        mouse(chart, QEvent::MouseButtonPress, QPoint(300, 100), Qt::LeftButton);
        mouse(chart, QEvent::MouseButtonRelease, QPoint(300, 100), Qt::LeftButton);
        render(chart);
        QVERIFY(!chart.isZoomed());
        QCOMPARE(chart.lastVisible(), 99);
    }

    void noRepaintWhileZoomedOrDragging()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        chart.addPoints(points(100, 10), 0);
        render(chart);
        drag(chart, QPoint(60 + 78, 60), QPoint(60 + 395, 300));
        const qint64 zoomedPicture = chart.pixmap().cacheKey();
        chart.addPoint(new ChartPoint(5000, "5000.0", m_t0.addSecs(100), -1, -1, QVariant()), 0);
        chart.addPoints(points(3, 10, 101), 0);
        render(chart);
        QCOMPARE(chart.pixmap().cacheKey(), zoomedPicture);
        QCOMPARE(chart.lines().first()->points.size(), 104);
        QCOMPARE(chart.lastVisible(), 49);

        drag(chart, QPoint(300, 250), QPoint(100, 100));                   // back to all 104
        QCOMPARE(chart.lastVisible(), 103);
        QCOMPARE(chart.axes().max, 5500.0);

        mouse(chart, QEvent::MouseButtonPress, QPoint(200, 100), Qt::LeftButton);
        QVERIFY(chart.isDragging());
        render(chart);
        const int positions = chart.lines().first()->positions.size();
        chart.addPoint(new ChartPoint(1, "1.0", m_t0.addSecs(200), -1, -1, QVariant()), 0);
        render(chart);
        QCOMPARE(chart.lines().first()->positions.size(), positions);
        mouse(chart, QEvent::MouseButtonRelease, QPoint(200, 100), Qt::LeftButton);
        render(chart);
        QCOMPARE(chart.lines().first()->positions.size(), 105);
    }

    void selectionRectangleWhileDragging()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        chart.addPoints(points(100, 10), 0);
        render(chart);
        mouse(chart, QEvent::MouseButtonPress, QPoint(200, 100), Qt::LeftButton);
        mouse(chart, QEvent::MouseMove, QPoint(500, 250), Qt::LeftButton);
        const QImage img = render(chart);
        // Dotted black edges: some black pixels on the top edge, none inside.
        QVERIFY(countColour(img, QRect(210, 100, 280, 1), qRgb(0, 0, 0)) > 50);
        QCOMPARE(countColour(img, QRect(205, 105, 5, 5), qRgb(0, 0, 0)), 0);
        mouse(chart, QEvent::MouseButtonRelease, QPoint(500, 250), Qt::LeftButton);
    }

    void clearThenAddPoints()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        chart.addPoints(points(100, 10), 0);
        render(chart);
        drag(chart, QPoint(60 + 78, 60), QPoint(60 + 395, 300));
        QVERIFY(chart.isZoomed());
        chart.clear();
        QVERIFY(chart.lines().first()->points.isEmpty());
        chart.addPoints(points(20, 100), 0);
        render(chart);
        QVERIFY(!chart.isZoomed());
        QCOMPARE(chart.firstVisible(), 0);
        QCOMPARE(chart.lastVisible(), 19);
        QCOMPARE(chart.axes().xScale, 40.0);
        QCOMPARE(chart.axes().max, 1900 * 1.1);
    }

    void emptyChartDrawsTheZeroLine()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        chart.setYTitle("Thickness(μm)");
        chart.setXTitle("Time");
        const QImage img = render(chart);
        QCOMPARE(chart.axes().zeroY, 190);
        QVERIFY(countColour(img, QRect(61, 190, 799, 1), qRgb(0, 0, 0)) > 100);   // dotted
        QVERIFY(countColour(img, QRect(61, 190, 799, 1), qRgb(0, 0, 0)) < 700);
        QCOMPARE(countColour(img, QRect(0, 0, 880, 380), Orange), 0);
        // The mouse does nothing without points.
        mouse(chart, QEvent::MouseMove, QPoint(300, 200));
        mouse(chart, QEvent::MouseButtonPress, QPoint(300, 200), Qt::LeftButton);
        QVERIFY(!chart.isIndicatorVisible());
        QVERIFY(!chart.isDragging());
    }

    void extremeDataAndTinyPlotsFinish()
    {
        DMMChart chart(nullptr);
        prepare(chart);
        QList<ChartPoint *> list;
        list << new ChartPoint(1e300, "", m_t0, -1, -1, QVariant())
             << new ChartPoint(qInf(), "", m_t0, -1, -1, QVariant())
             << new ChartPoint(qQNaN(), "", m_t0, -1, -1, QVariant())
             << new ChartPoint(-1e300, "", m_t0, -1, -1, QVariant());
        chart.addPoints(list, 0);
        render(chart);
        QVERIFY(chart.axes().yStep * chart.axes().yScale >= 30);
        chart.clear();
        QList<ChartPoint *> million;                // a million equal values
        million.reserve(1000000);
        for (int i = 0; i < 1000000; ++i)
            million << new ChartPoint(0, QString(), m_t0, -1, -1, QVariant());
        chart.addPoints(million, 0);
        render(chart);
        QCOMPARE(chart.axes().pointsPerXDivision, 100000);
        QCOMPARE(chart.axes().xDivisions, 10);
        for (const QSize &size : {QSize(81, 61), QSize(80, 60), QSize(30, 20), QSize(0, 0)}) {
            chart.resize(size);
            const QImage img = render(chart);
            if (size.isEmpty())
                continue;
            QCOMPARE(img.size(), size);
            // At most the one pixel of a 1 x 1 plot carries the line.
            QVERIFY(countColour(img, QRect(QPoint(0, 0), size), Orange) <= (size == QSize(81, 61) ? 1 : 0));
        }
    }

    void savesAJpgOfTheWidgetSize()
    {
        QTemporaryDir dir;
        DMMChart chart(nullptr);
        prepare(chart);
        QVERIFY(!chart.savePixmap(dir.filePath("before.jpg")));
        chart.addPoints(points(100, 15), 0);
        render(chart);
        const QString file = dir.filePath("chart.jpg");
        QVERIFY(chart.savePixmap(file));
        QImageReader reader(file);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.read().size(), QSize(880, 380));
        QVERIFY(!chart.savePixmap(dir.filePath("no/such/folder/c.jpg")));
    }
};

QTEST_MAIN(TestDMMChart)
#include "tst_dmmchart.moc"
