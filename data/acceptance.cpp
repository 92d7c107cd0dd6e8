#include "data/acceptance.h"

#include <algorithm>

namespace {

Verdict finish(QVector<RuleCheck> checks)
{
    Verdict verdict;
    verdict.passed = std::all_of(checks.cbegin(), checks.cend(), [](const RuleCheck &c) { return c.passed; });
    verdict.checks = std::move(checks);
    return verdict;
}

RuleCheck counted(RuleCheck::Kind kind, int count, int of)
{
    RuleCheck check;
    check.kind = kind;
    check.count = count;
    check.of = of;
    check.passed = count == 0;
    return check;
}

Verdict tooFew(int count, int needed)
{
    RuleCheck check;
    check.count = count;
    check.of = needed;
    check.passed = false;
    return finish({check});
}

} // namespace

Verdict evaluateIso19840(const QVector<qint64> &readings, qint64 nominal, qint64 maximum)
{
    const int n = readings.size();
    if (n == 0)
        return tooFew(0, 1);

    qint64 sum = 0;
    int below = 0;
    int between = 0;
    int above = 0;
    for (const qint64 r : readings) {
        sum += r;
        // r < 0.8 NDFT, kept in whole numbers: 5r < 4 NDFT.
        if (5 * r < 4 * nominal)
            ++below;
        else if (r < nominal)
            ++between;
        if (maximum > 0 && r > maximum)
            ++above;
    }

    QVector<RuleCheck> checks;
    RuleCheck mean;
    mean.kind = RuleCheck::MeanOfReadings;
    mean.of = n;
    mean.mean = double(sum) / n;
    mean.passed = sum >= qint64(n) * nominal;
    checks << mean << counted(RuleCheck::BelowEightyPercent, below, n);
    RuleCheck band = counted(RuleCheck::BetweenEightyAndNominal, between, n);
    // Fewer than 20 %: between / n < 1 / 5.
    band.passed = 5 * qint64(between) < n;
    checks << band;
    if (maximum > 0)
        checks << counted(RuleCheck::AboveMaximum, above, n);
    return finish(checks);
}

Verdict evaluateSspcPa2(const QVector<qint64> &readings, qint64 minimum, qint64 maximum)
{
    const int spots = readings.size() / 3;
    if (spots == 0)
        return tooFew(readings.size(), 3);

    qint64 sumOfSpotSums = 0;
    int below = 0;
    int above = 0;
    for (int s = 0; s < spots; ++s) {
        // The spot is sum / 3: sum / 3 < 0.8 min  <=>  5 sum < 12 min, and
        // sum / 3 > 1.2 max  <=>  5 sum > 18 max.
        const qint64 sum = readings.at(3 * s) + readings.at(3 * s + 1) + readings.at(3 * s + 2);
        sumOfSpotSums += sum;
        if (5 * sum < 12 * minimum)
            ++below;
        if (5 * sum > 18 * maximum)
            ++above;
    }

    RuleCheck mean;
    mean.kind = RuleCheck::MeanOfSpots;
    mean.of = spots;
    // The mean of the spots is sumOfSpotSums / (3 spots).
    mean.mean = double(sumOfSpotSums) / (3.0 * spots);
    mean.passed = sumOfSpotSums >= 3 * qint64(spots) * minimum && sumOfSpotSums <= 3 * qint64(spots) * maximum;
    return finish({counted(RuleCheck::SpotsBelowMinimum, below, spots),
                   counted(RuleCheck::SpotsAboveMaximum, above, spots), mean});
}

Verdict evaluateAcceptance(QVector<qint64> readings, const AcceptanceSteps &limits)
{
    if (limits.correction != 0) {
        for (qint64 &r : readings)
            r -= limits.correction;
    }
    switch (limits.rule) {
    case AcceptanceRule::Iso19840:
        return evaluateIso19840(readings, limits.nominal, limits.maximum);
    case AcceptanceRule::SspcPa2:
        return evaluateSspcPa2(readings, limits.minimum, limits.maximum);
    case AcceptanceRule::None:
        break;
    }
    return Verdict();
}
