#include "charts/axisfit.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"

#include <QApplication>
#include <QtTest>

// The texts around the plots fit in the font in use: the margins worked by
// hand, and the pixels of rendered histograms and charts.
class TestAxisTexts : public QObject
{
    Q_OBJECT

    // Leftmost and rightmost columns inside `area` where a and b differ
    // (b null: where a is not white).
    static QPair<int, int> inked(const QImage &a, const QImage &b, const QRect &area)
    {
        QPair<int, int> cols(INT_MAX, -1);
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (b.isNull() ? a.pixel(x, y) != qRgb(255, 255, 255) : a.pixel(x, y) != b.pixel(x, y))
                    cols = {std::min(cols.first, x), std::max(cols.second, x)};
        return cols;
    }

private slots:
    void marginsWorkedByHand()
    {
        // Title top fh + (b - fh) / 2: 13 + 18 >= 7 + 13 + 3 and 31 + 13 <= 50; with fh 21,
        // 21 + (b - 21) / 2 + 21 <= b first holds at 62.
        QCOMPARE(AxisFit::bottomMargin(50, 13, 7, 0), 50);
        QCOMPARE(AxisFit::bottomMargin(50, 21, 7, 0), 62);
        // Title at 31, 21 wide, 3 free, labels 138 wide ending 11 left of the plot.
        QCOMPARE(AxisFit::leftMargin(136, 21, 138, 11, [](int) { return 31; }), 31 + 21 + 3 + 138 + 11);
        // Centred left of a 66-pixel template: (m - 66) / 2 - 10 >= 1 first at 88.
        QCOMPARE(AxisFit::leftMargin(70, 21, 50, 7, [](int m) { return (m - 66) / 2 - 10; }), 88);
    }

    void textsFit_data()
    {
        QTest::addColumn<bool>("chart");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("step");
        QTest::newRow("histogram window") << false << QSize(760, 440) << 20.0;
        QTest::newRow("histogram smallest") << false << QSize(300, 150) << 20.0;
        QTest::newRow("chart window") << true << QSize(760, 440) << 15.0;
        QTest::newRow("chart smallest") << true << QSize(300, 150) << 15.0;
        QTest::newRow("chart negative") << true << QSize(760, 440) << -15.0;
    }
    void textsFit()
    {
        QFETCH(bool, chart);
        QFETCH(QSize, size);
        QFETCH(double, step);
        const QList<BinRange *> ranges = standardThicknessRanges();
        Histogram h(nullptr);
        DMMChart c(nullptr);
        h.setRanges(ranges);
        h.setMargins(QMargins(136, 20, 20, 50));
        c.setLeftMargin(70);
        c.setBottomMargin(50);
        QWidget &widget = chart ? static_cast<QWidget &>(c) : h;
        widget.resize(size);
        widget.show();
        QList<ChartPoint *> points;
        for (int i = 0; i < 100; ++i) {
            h.addValue(i * step);
            points << new ChartPoint(i * step, QString(), QDateTime(QDate(2024, 3, 1), QTime(10, 0)).addSecs(i), -1,
                                     -1, QVariant());
        }
        c.addPoints(points, 0);
        auto render = [&](const QString &y, const QString &x) {
            h.setYTitle(y), h.setXTitle(x), c.setYTitle(y), c.setXTitle(x);
            widget.grab();
            return (chart ? c.pixmap() : h.pixmap()).toImage().convertToFormat(QImage::Format_RGB32);
        };
        const QImage titled = render(QString::fromUtf8("Thickness(μm)"), chart ? "Time" : "Rate");
        const QImage bare = render(QString(), QString());
        const QMargins m = h.plotMargins();
        const QRect plot = chart ? c.plotRect() : QRect(m.left(), m.top(), size.width() - m.left() - m.right(),
                                                        size.height() - m.top() - m.bottom());
        const int labelsEnd = plot.left() - (chart ? 6 : 1);     // left of the ticks or the range axis

        QCOMPARE(inked(titled, QImage(), QRect(0, 0, 1, size.height())).second, -1);
        const QRect beside(0, plot.top(), labelsEnd, plot.height());
        const int titleEnd = inked(titled, bare, beside).second;
        QVERIFY(titleEnd > 0);
        QVERIFY2(titleEnd + 1 < inked(bare, QImage(), beside).first, "no blank column before the labels");
        const QPair<int, int> under = inked(titled, bare, QRect(labelsEnd, plot.bottom() + 1, size.width() - labelsEnd,
                                                                size.height() - plot.bottom() - 1));
        QVERIFY2(qAbs((under.first + under.second + 1) / 2.0 - (plot.left() + plot.width() / 2.0)) <= 1.0,
                 "axis title off-centre");

        const QFontMetrics fm(QApplication::font());
        const HistogramFrame frame{size, m, HistogramFrame::plotSizeFor(size, m)};
        const QVector<int> counts(10, 7);
        const HistogramDecoration d = decorateHistogram(frame, layoutHistogram(frame.plotSize, counts), ranges,
                                                        counts, 1, "Rate", "Thickness", fm);
        for (const auto *texts : {&d.rangeLabels, &d.tickLabels, &d.countTexts})
            for (const HistogramText &t : *texts)
                QVERIFY2(fm.horizontalAdvance(t.text) <= t.rect.width(), qPrintable(t.text));
        qDeleteAll(ranges);
    }
};

QTEST_MAIN(TestAxisTexts)
#include "tst_axistexts.moc"
