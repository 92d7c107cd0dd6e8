#include "charts/histogram.h"

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>

// The histogram widget: counting, and the pixels of its rendered layers.
class TestHistogram : public QObject
{
    Q_OBJECT

    QList<BinRange *> m_ranges;

    static QVector<int> counts(const Histogram &h)
    {
        QVector<int> c;
        for (const HistogramBin *bin : h.bins())
            c << bin->count();
        return c;
    }

    // Configured as the main window does; the plot is 400 x 300 pixels.
    void configure(Histogram &h)
    {
        h.setMargins(QMargins(30, 20, 20, 30));
        h.setRanges(m_ranges);
        h.setMargins(QMargins(136, 20, 20, 50));
        h.setYTitle("Thickness(μm)");
        h.setXTitle("Rate");
        h.resize(556, 370);
    }

    static QImage render(Histogram &h)
    {
        if (!h.isVisible())
            h.show();   // a hidden widget gets a resize event with every grab
        h.grab();   // paints, building the layers
        return h.pixmap().toImage().convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void initTestCase()
    {
        m_ranges = standardThicknessRanges();
        QApplication::setFont(QFont("DejaVu Sans", 7));     // small enough for the margins set
    }
    void cleanupTestCase() { qDeleteAll(m_ranges); }

    void countsAtTheEdges()
    {
        Histogram h(nullptr);
        h.setRanges(m_ranges);
        h.addValues({0, 0.1, 250, 250.1, 2000, 2000.1, qQNaN(), qInf(), -qInf()});
        QCOMPARE(counts(h), QVector<int>({1, 2, 1, 0, 0, 0, 0, 0, 1, 1}));
        QCOMPARE(h.valueCount(), 9);
    }

    void addingAccumulatesAndClearEmpties()
    {
        Histogram h(nullptr);
        h.setRanges(m_ranges);
        h.addValues({10, 20});
        h.addValues({30});
        h.addValue(300);
        QCOMPARE(h.valueCount(), 4);
        QCOMPARE(counts(h), QVector<int>({0, 3, 1, 0, 0, 0, 0, 0, 0, 0}));
        h.clear();
        QCOMPARE(counts(h), QVector<int>(10, 0));
        QCOMPARE(h.valueCount(), 0);
        h.addValue(-5);
        QCOMPARE(counts(h), QVector<int>({1, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    }

    // Counted value by value and in groups, the bins hold what a count
    // of every value gives; new ranges start counting again.
    void countingOnlyTheAddedGivesTheFullCount()
    {
        Histogram h(nullptr);
        h.addValues({100, 600});
        h.setRanges(m_ranges);
        QCOMPARE(h.counts(), QVector<int>(10, 0));
        QRandomGenerator rng(7);
        QVector<double> all;
        for (int i = 0; i < 2000; ++i) {
            const double v = rng.bounded(2600.0) - 300;
            if (i % 50 == 0) {
                const QList<double> group{v, std::round(v / 250) * 250, v + 1};
                h.addValues(group);
                all << group.toVector();
            } else {
                all << (i % 97 == 0 ? std::round(v / 250) * 250 : v);
                h.addValue(all.last());
            }
        }
        for (HistogramBin *bin : h.bins())
            QCOMPARE(bin->count(), int(std::count_if(all.begin(), all.end(), [bin](double v) {
                         return bin->range->contains(v);
                     })));
        QCOMPARE(h.valueCount(), all.size());
    }

    void barsAndBackgroundPixels()
    {
        Histogram h(nullptr);
        configure(h);
        h.addValues({100, 200, 300, 400, 1000});   // (0,250]: 2, (250,500]: 2, (750,1000]: 1
        const QImage img = render(h);
        QCOMPARE(img.size(), QSize(556, 370));
        QCOMPARE(img.pixel(2, 2), qRgb(255, 255, 255));
        QCOMPARE(img.pixel(555, 369), qRgb(255, 255, 255));

        // The plot's origin is at (136, 320) on the widget; rows are 30 pixels high.
        const HistogramGeometry &g = h.geometry();
        QCOMPARE(g.pixelsPerCount, 199.5);
        QCOMPARE(g.countStep, 1);
        const int middleOfRow1 = 320 + int(h.bars().at(1)->rect.center().y());
        // Bar of 2 counts: int(2 * 199.5) = 399 pixels of orange, starting at the plot's left.
        int run = 0, first = -1;
        for (int x = 0; x < img.width(); ++x) {
            if (img.pixel(x, middleOfRow1 - 8) == qRgb(250, 150, 0)) {
                if (first < 0)
                    first = x;
                ++run;
            }
        }
        QCOMPARE(first, 136);
        QCOMPARE(run, 399);
        // The bar of one count is 199 pixels long.
        const int middleOfRow4 = 320 + int(h.bars().at(4)->rect.center().y());
        QCOMPARE(img.pixel(136 + 198, middleOfRow4 - 8), qRgb(250, 150, 0));
        QCOMPARE(img.pixel(136 + 199, middleOfRow4 - 8), qRgb(255, 255, 255));
        // Empty rows show one pixel of bar; the gap between rows stays white.
        const int middleOfRow5 = 320 + int(h.bars().at(5)->rect.center().y());
        QCOMPARE(img.pixel(136, middleOfRow5), qRgb(250, 150, 0));
        QCOMPARE(img.pixel(137, middleOfRow5 - 8), qRgb(255, 255, 255));
        QCOMPARE(img.pixel(200, 320 - 30 * 5), qRgb(255, 255, 255));
        // Axes in black: the count axis one pixel under the origin, the range axis left of it.
        QCOMPARE(img.pixel(300, 321), qRgb(0, 0, 0));
        QCOMPARE(img.pixel(135, 200), qRgb(0, 0, 0));
        // Some blue count text is drawn.
        bool blue = false;
        for (int y = 20; y < 320 && !blue; ++y)
            for (int x = 136; x < 536 && !blue; ++x)
                blue = qBlue(img.pixel(x, y)) > 200 && qRed(img.pixel(x, y)) < 80;
        QVERIFY(blue);
    }

    void layersAreRebuiltOnlyAfterChanges()
    {
        Histogram h(nullptr);
        configure(h);
        render(h);
        const qint64 first = h.pixmap().cacheKey();
        render(h);
        QCOMPARE(h.pixmap().cacheKey(), first);
        h.setYTitle("Thickness(μm)");      // the same text: nothing to do
        render(h);
        QCOMPARE(h.pixmap().cacheKey(), first);
        h.setDecimals(2);
        render(h);
        QVERIFY(h.pixmap().cacheKey() != first);
    }

    void tinyWidgetPaintsBackgroundOnly()
    {
        Histogram h(nullptr);
        h.setRanges(m_ranges);
        h.setMargins(QMargins(136, 20, 20, 50));
        h.resize(100, 60);
        h.addValues(QVector<double>(100000, 5.0).toList());
        const QImage img = render(h);
        QCOMPARE(img.size(), QSize(100, 60));
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 100; ++x)
                QCOMPARE(img.pixel(x, y), qRgb(255, 255, 255));
        QVERIFY(!h.geometry().drawable);
    }

    void savesAJpgOfTheWidgetSize()
    {
        QTemporaryDir dir;
        Histogram h(nullptr);
        configure(h);
        QVERIFY(!h.savePixmap(dir.filePath("before.jpg")));     // nothing painted yet
        QVERIFY(h.pixmap().isNull());
        h.addValues({100, 900});
        render(h);
        const QString file = dir.filePath("histogram.jpg");
        QVERIFY(h.savePixmap(file));
        QImageReader reader(file);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        const QImage back = reader.read();
        QCOMPARE(back.size(), QSize(556, 370));
        const QColor c = back.pixelColor(136 + 50, 320 + int(h.bars().at(1)->rect.center().y()));
        QVERIFY(std::abs(c.red() - 250) < 12 && std::abs(c.green() - 150) < 12 && c.blue() < 20);
        QVERIFY(!h.savePixmap(dir.filePath("missing/folder/h.jpg")));
    }
};

QTEST_MAIN(TestHistogram)
#include "tst_histogram.moc"
