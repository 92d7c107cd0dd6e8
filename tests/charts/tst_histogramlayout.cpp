#include "charts/histogramlayout.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QtTest>

#include <cfloat>

// The histogram's arithmetic, without a widget.
class TestHistogramLayout : public QObject
{
    Q_OBJECT

    QList<BinRange *> m_ranges;

    static QVector<int> tenRows(int row, int count)
    {
        QVector<int> counts(10, 0);
        counts[row] = count;
        return counts;
    }

    static QStringList tickTexts(const HistogramDecoration &d)
    {
        QStringList texts;
        for (const HistogramText &t : d.tickLabels)
            texts << t.text;
        return texts;
    }

    HistogramDecoration decorate(const QSize &widget, const QMargins &margins,
                                 const QVector<int> &counts, int decimals = 1)
    {
        const HistogramFrame frame{widget, margins, HistogramFrame::plotSizeFor(widget, margins)};
        const HistogramGeometry g = layoutHistogram(frame.plotSize, counts);
        return decorateHistogram(frame, g, m_ranges, counts, decimals, "Rate", "Thickness(μm)",
                                 QFontMetrics(QGuiApplication::font()));
    }

private slots:
    void initTestCase() { m_ranges = standardThicknessRanges(); }
    void cleanupTestCase() { qDeleteAll(m_ranges); }

    void standardRanges()
    {
        QCOMPARE(m_ranges.size(), 10);
        QCOMPARE(m_ranges.first()->lower, -DBL_MAX);
        QCOMPARE(m_ranges.first()->upper, 0.0);
        QCOMPARE(m_ranges.at(1)->lower, 0.0);
        QCOMPARE(m_ranges.at(1)->upper, 250.0);
        QCOMPARE(m_ranges.at(8)->lower, 1750.0);
        QCOMPARE(m_ranges.at(8)->upper, 2000.0);
        QCOMPARE(m_ranges.last()->lower, 2000.0);
        QCOMPARE(m_ranges.last()->upper, DBL_MAX);
    }

    void tenValuesOnFourHundredPixels()
    {
        const HistogramGeometry g = layoutHistogram(QSizeF(400, 300), tenRows(3, 10));
        QCOMPARE(g.maxCount, 10);
        QCOMPARE(g.pixelsPerCount, 39.9);
        QCOMPARE(g.countStep, 2);
        const HistogramDecoration d = decorate(QSize(450, 350), QMargins(30, 20, 20, 30), tenRows(3, 10));
        QCOMPARE(tickTexts(d), QStringList({"0", "2", "4", "6", "8", "10"}));
        // Tick k at int(k * 79.8 - 1).
        QCOMPARE(d.ticks.first(), QLine(-1, 1, -1, 6));
        QCOMPARE(d.ticks.at(1), QLine(78, 1, 78, 6));
        QCOMPARE(d.ticks.at(5), QLine(398, 1, 398, 6));
    }

    void noValuesOnFourHundredPixels()
    {
        const HistogramGeometry g = layoutHistogram(QSizeF(400, 300), QVector<int>(10, 0));
        QCOMPARE(g.maxCount, 1);
        QCOMPARE(g.pixelsPerCount, 399.0);
        QCOMPARE(g.countStep, 1);
        for (const QRectF &bar : g.bars)
            QCOMPARE(bar.width(), 1.0);
        const HistogramDecoration d = decorate(QSize(450, 350), QMargins(30, 20, 20, 30), QVector<int>(10, 0));
        QCOMPARE(tickTexts(d), QStringList({"0", "1"}));
        // "0 " does not fit a bar one pixel long: it sits to the right of it.
        QCOMPARE(d.countTexts.first().text, QString("0 "));
        QVERIFY(d.countTexts.first().rect.left() > 1);
    }

    void countStepsOfOtherWidths()
    {
        QCOMPARE(histogramCountStep(50), 1);
        QCOMPARE(histogramCountStep(49.9), 2);
        QCOMPARE(histogramCountStep(25), 2);
        QCOMPARE(histogramCountStep(24.9), 3);
        QCOMPARE(histogramCountStep(0.5), 100);
        // 143 pixels, a million values in one bin: ends and spaces the ticks >= 50 px.
        const int step = histogramCountStep(143.0 / 1000000);
        QVERIFY(step * (143.0 / 1000000) >= 49.99);
    }

    void rowGeometry()
    {
        const HistogramGeometry g = layoutHistogram(QSizeF(400, 300), tenRows(1, 4));
        QCOMPARE(g.rows, 10);
        QCOMPARE(g.rowHeight, 30.0);
        QCOMPARE(g.bars.size(), 10);
        for (int m = 0; m < 10; ++m) {
            // The 0.1 of the row layout is the double 1 - 0.9.
            QCOMPARE(g.bars.at(m).y(), 0.09999999999999998 * 30.0 - (m + 1) * 30.0);
            QCOMPARE(g.bars.at(m).height(), 0.8 * 30.0);
        }
        QCOMPARE(g.bars.at(1).width(), 399.0);   // 4 counts * 99.75
        QCOMPARE(g.bars.at(0).width(), 1.0);
        // No ranges: the row height is 1 and there are no bars.
        const HistogramGeometry none = layoutHistogram(QSizeF(400, 300), {});
        QCOMPARE(none.rowHeight, 1.0);
        QVERIFY(none.bars.isEmpty());
    }

    void rangeLabels()
    {
        QStringList one, two;
        for (int i = 0; i < 10; ++i) {
            one << histogramRangeLabel(i, 10, *m_ranges.at(i), 1);
            two << histogramRangeLabel(i, 10, *m_ranges.at(i), 2);
        }
        QCOMPARE(one, QStringList({"-OL", "(0.0,250.0]", "(250.0,500.0]", "(500.0,750.0]",
                                   "(750.0,1000.0]", "(1000.0,1250.0]", "(1250.0,1500.0]",
                                   "(1500.0,1750.0]", "(1750.0,2000.0]", "OL"}));
        QCOMPARE(two.at(1), QString("(0.00,250.00]"));
        QCOMPARE(two.at(8), QString("(1750.00,2000.00]"));
        // Drawn right-aligned, ending one digit width left of the plot.
        const HistogramDecoration d = decorate(QSize(500, 350), QMargins(136, 20, 20, 50), tenRows(1, 4));
        const QFontMetrics fm(QGuiApplication::font());
        const QRectF r = d.rangeLabels.at(1).rect;
        QCOMPARE(r.right(), qreal(-fm.horizontalAdvance("0")));
    }

    void countTextInsideOrBeside()
    {
        const QFontMetrics fm(QGuiApplication::font());
        const QVector<int> counts{1, 100, 0, 0, 0, 0, 0, 0, 0, 0};
        const HistogramDecoration d = decorate(QSize(450, 350), QMargins(30, 20, 20, 30), counts);
        const HistogramGeometry g = layoutHistogram(QSizeF(400, 300), counts);
        QCOMPARE(d.countTexts.at(1).text, QString("100 "));
        QCOMPARE(d.countTexts.at(1).rect, g.bars.at(1));                // wide bar: inside
        const QRectF small = g.bars.at(0);                               // 3 pixels: beside
        QCOMPARE(small.width(), 3.0);
        const int blank = fm.horizontalAdvance(" ");
        QCOMPARE(d.countTexts.at(0).rect.left(), small.left() + 3 + blank / 2);
        QCOMPARE(d.countTexts.at(0).rect.width(), 3.0 + fm.horizontalAdvance("1 "));
    }

    void titles()
    {
        const QFontMetrics fm(QGuiApplication::font());
        const HistogramDecoration d = decorate(QSize(500, 350), QMargins(136, 20, 20, 50), tenRows(1, 4));
        const int yw = fm.horizontalAdvance("Thickness(μm)");
        QCOMPARE(d.yTitleOrigin, QPoint(int(1.5 * fm.height()), yw / 2 + 280 / 2 + 20));
        QCOMPARE(d.yTitleRect, QRect(0, 0, yw, fm.height()));
        const int xw = fm.horizontalAdvance("Rate");     // centred under the plot
        QCOMPARE(d.xTitleRect, QRect(136 + (344 - xw) / 2, 350 + fm.height() - 50 + (50 - fm.height()) / 2,
                                     xw, fm.height()));
        QCOMPARE(d.window, QRect(-136, 50 - 350, 500, 350));
    }

    void degeneratePlotDrawsNoAxes()
    {
        for (const QSize &size : {QSize(40, 40), QSize(51, 200), QSize(400, 49), QSize(0, 0)}) {
            const HistogramDecoration d = decorate(size, QMargins(30, 20, 20, 30), tenRows(2, 1000000));
            QVERIFY(!d.axes);
            QVERIFY(d.ticks.isEmpty());
            QVERIFY(d.rangeLabels.isEmpty());
        }
        // Two pixels wide is the narrowest plot with axes.
        const HistogramDecoration d = decorate(QSize(52, 200), QMargins(30, 20, 20, 30), tenRows(2, 1000000));
        QVERIFY(d.axes);
    }
};

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    TestHistogramLayout test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_histogramlayout.moc"
