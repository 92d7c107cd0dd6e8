#include "charts/stepsearch.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>

// The searches are checked against the plain candidate walks they replace.
class TestStepSearch : public QObject
{
    Q_OBJECT

    static qint64 walkAccumulated(double increment, double target)
    {
        qint64 k = 1;
        double acc = increment;
        do {
            acc += increment;
            ++k;
        } while (acc < target);
        return k;
    }

    static double walkSteps(const QVector<double> &list, double unit, double scale, double minPixels)
    {
        for (double s : list) {
            if (s * scale >= minPixels)
                return s;
        }
        for (double s = unit;; s += unit) {
            if (s * scale >= minPixels)
                return s;
        }
    }

private slots:
    void accumulatedCountMatchesTheRunningSum()
    {
        // Pixels per count of real plots: (width - 1) / max count.
        const int widths[] = {2, 3, 5, 10, 101, 144, 300, 399, 400, 764, 1000, 1921};
        int checked = 0;
        for (int width : widths) {
            const int maxCounts = width < 100 ? 400 : 3000;
            for (int count = 1; count <= maxCounts; ++count) {
                const double ppc = double(width - 1) / count;
                if (ppc >= 50)
                    continue;
                QCOMPARE(StepSearch::accumulatedCount(ppc, 50), walkAccumulated(ppc, 50));
                ++checked;
            }
        }
        QVERIFY(checked > 25000);
    }

    void accumulatedCountMatchesForArbitraryIncrements()
    {
        QRandomGenerator rng(4711);
        for (int i = 0; i < 3000; ++i) {
            // Log-uniform between 1e-4 and 50, plus values with few mantissa bits (ties).
            double inc = std::exp(std::log(1e-4) + rng.generateDouble() * std::log(50 / 1e-4));
            if (i % 3 == 0)
                inc = std::ldexp(std::round(std::ldexp(inc, 20)), -20) + std::ldexp(1.0, -40);
            if (!(inc > 0 && inc < 50))
                continue;
            QCOMPARE(StepSearch::accumulatedCount(inc, 50), walkAccumulated(inc, 50));
        }
        for (double inc : {0.1, 0.2, 0.3, 1.0 / 3, 0.7, 39.9, 49.999999999999, 1e-3, 2.5e-4, 0.0625 + 1e-17})
            QCOMPARE(StepSearch::accumulatedCount(inc, 50), walkAccumulated(inc, 50));
    }

    void accumulatedCountEndsWhenTheSumStalls()
    {
        // 1e-15 is lost against 8 and more: the running sum never reaches 50.
        QCOMPARE(StepSearch::accumulatedCount(1e-15, 50), std::numeric_limits<qint64>::max());
        // Tiny but still growing: finishes at once and agrees with 50 / inc.
        const qint64 k = StepSearch::accumulatedCount(1e-9, 50);
        QVERIFY(std::abs(double(k) - 5e10) < 5e10 * 1e-5);
    }

    void listedStepsMatchTheWalk()
    {
        const QVector<double> ySteps{0.00001, 0.0001, 0.001, 0.01, 0.1, 0.2, 0.3, 0.5, 0.8,
                                     1, 2, 3, 5, 10, 20, 30, 40};
        const QVector<double> xSteps{1, 2, 3, 5, 10, 20, 30, 40};
        QRandomGenerator rng(99);
        for (int i = 0; i < 5000; ++i) {
            const double scale = std::exp(std::log(1e-4) + rng.generateDouble() * std::log(1e9));
            QCOMPARE(StepSearch::firstReachingStep(ySteps.constData(), ySteps.size(), 50, scale, 30),
                     walkSteps(ySteps, 50, scale, 30));
            QCOMPARE(StepSearch::firstReachingStep(xSteps.constData(), xSteps.size(), 50, scale, 80),
                     walkSteps(xSteps, 50, scale, 80));
        }
        // Exact boundaries: 1.6 pixels per reading reaches 80 pixels at 50 readings.
        QCOMPARE(StepSearch::firstReachingStep(xSteps.constData(), xSteps.size(), 50, 1.6, 80), 50.0);
        QCOMPARE(StepSearch::firstReachingStep(xSteps.constData(), xSteps.size(), 50, 8, 80), 10.0);
        // A gigantic range needs no walk at all.
        const double huge = StepSearch::firstReachingStep(ySteps.constData(), ySteps.size(), 50, 1e-298, 30);
        QVERIFY(huge * 1e-298 >= 30 && huge * 1e-298 < 31);
    }

    void pixelsSaturate()
    {
        QCOMPARE(StepSearch::truncateToPixel(12.9), 12);
        QCOMPARE(StepSearch::truncateToPixel(-12.9), -12);
        QCOMPARE(StepSearch::truncateToPixel(qQNaN()), 0);
        QVERIFY(StepSearch::truncateToPixel(qInf()) > 1000000);
        QVERIFY(StepSearch::truncateToPixel(-1e300) < -1000000);
        QCOMPARE(StepSearch::clampToInt(1e300), std::numeric_limits<int>::max());
        QCOMPARE(StepSearch::clampToInt(qQNaN()), 0);
    }
};

QTEST_APPLESS_MAIN(TestStepSearch)
#include "tst_stepsearch.moc"
