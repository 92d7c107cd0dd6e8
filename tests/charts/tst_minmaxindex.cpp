#include "charts/minmaxindex.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>

// The index against plain scans of the same values.
class TestMinMaxIndex : public QObject
{
    Q_OBJECT

    using Extremes = MinMaxIndex::Extremes;

    static Extremes scan(const QVector<double> &v, int first, int last, bool finiteOnly)
    {
        Extremes e;
        for (int i = std::max(first, 0); i <= std::min(last, v.size() - 1); ++i) {
            if (finiteOnly && !std::isfinite(v.at(i)))
                continue;
            const double d = std::isnan(v.at(i)) ? 0 : v.at(i);
            e.min = std::min(e.min, d);
            e.max = std::max(e.max, d);
        }
        return e;
    }

    // Sizes around the block sizes of every level, values from a small set
    // (many equal ones) with NaN and infinities among them.
    static void check(const MinMaxIndex &index, const QVector<double> &v, QRandomGenerator &rng)
    {
        QCOMPARE(index.size(), v.size());
        for (int q = 0; q < 200; ++q) {
            // Ranges of every length, from one value on; some reach past the ends.
            const int first = int(rng.bounded(v.size() + 2)) - 1;
            const int last = first + int(rng.bounded(1 << rng.bounded(18))) - (q % 7 == 0);
            for (bool finite : {true, false}) {
                const Extremes got = finite ? index.finiteExtremes(first, last) : index.drawnExtremes(first, last);
                const Extremes want = scan(v, first, last, finite);
                QCOMPARE(got.min, want.min);
                QCOMPARE(got.max, want.max);
            }
            // Monotone tests that few values pass: at or above, at or below a threshold.
            const double t = double(int(rng.bounded(11)) - 5);
            const bool above = q % 2;
            auto pass = [&](double lo, double hi) { return above ? hi >= t : lo <= t; };
            int wantFirst = -1, wantLast = -1;
            for (int i = std::max(first, 0); i <= std::min(last, v.size() - 1); ++i) {
                const double d = std::isnan(v.at(i)) ? 0 : v.at(i);
                if (pass(d, d)) {
                    wantLast = i;
                    if (wantFirst < 0)
                        wantFirst = i;
                }
            }
            QCOMPARE(index.findFirst(first, last, pass), wantFirst);
            QCOMPARE(index.findLast(first, last, pass), wantLast);
        }
    }

private slots:
    void againstPlainScans()
    {
        QRandomGenerator rng(2024);
        const double odd[] = {qQNaN(), qInf(), -qInf()};
        MinMaxIndex index;
        QVector<double> v;
        check(index, v, rng);
        const int sizes[] = {1, 2, 15, 16, 17, 255, 256, 257, 4095, 4096, 4097, 70000};
        for (int size : sizes) {
            while (v.size() < size) {
                const double x = rng.bounded(30) == 0 ? odd[rng.bounded(3)] : double(int(rng.bounded(9)) - 4);
                v << x;
                index.append(x);
            }
            check(index, v, rng);
        }
        index.clear();
        QCOMPARE(index.size(), 0);
        QCOMPARE(index.drawnExtremes(0, 10).max, -qInf());
    }
};

QTEST_APPLESS_MAIN(TestMinMaxIndex)
#include "tst_minmaxindex.moc"
