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

namespace {

bool isOverload(qint64 r)
{
    return r == OverloadAbove || r == OverloadBelow;
}

} // namespace

Verdict evaluateIso19840(const QVector<qint64> &readings, qint64 nominal, qint64 maximum)
{
    const int n = readings.size();
    if (n == 0)
        return tooFew(0, 1);

    qint64 sum = 0;
    int measured = 0;
    int below = 0;
    int between = 0;
    int above = 0;
    int overloadsBelow = 0;
    int overloads = 0;
    for (const qint64 r : readings) {
        if (r == OverloadAbove) {
            ++overloads;
            if (maximum > 0)
                ++above;
            continue;
        }
        if (r == OverloadBelow) {
            ++overloads;
            ++overloadsBelow;
            ++below;
            continue;
        }
        sum += r;
        ++measured;
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
    mean.of = measured;
    mean.mean = measured > 0 ? double(sum) / measured : 0.0;
    mean.passed = measured > 0 ? sum >= qint64(measured) * nominal : overloadsBelow == 0;
    checks << mean << counted(RuleCheck::BelowEightyPercent, below, n);
    RuleCheck band = counted(RuleCheck::BetweenEightyAndNominal, between, n);
    // Fewer than 20 %: between / n < 1 / 5.
    band.passed = 5 * qint64(between) < n;
    checks << band;
    if (maximum > 0)
        checks << counted(RuleCheck::AboveMaximum, above, n);
    Verdict verdict = finish(checks);
    verdict.overloads = overloads;
    return verdict;
}

Verdict evaluateSspcPa2(const QVector<qint64> &readings, qint64 minimum, qint64 maximum)
{
    const int spots = readings.size() / 3;
    if (spots == 0)
        return tooFew(readings.size(), 3);

    qint64 sumOfSpotSums = 0;
    int measuredSpots = 0;
    int below = 0;
    int above = 0;
    for (int s = 0; s < spots; ++s) {
        const qint64 a = readings.at(3 * s), b = readings.at(3 * s + 1), c = readings.at(3 * s + 2);
        if (isOverload(a) || isOverload(b) || isOverload(c)) {
            for (const qint64 r : {a, b, c}) {
                if (r == OverloadBelow) {
                    ++below;
                    break;
                }
            }
            for (const qint64 r : {a, b, c}) {
                if (r == OverloadAbove) {
                    ++above;
                    break;
                }
            }
            continue;
        }
        // The spot is sum / 3: sum / 3 < 0.8 min  <=>  5 sum < 12 min, and
        // sum / 3 > 1.2 max  <=>  5 sum > 18 max.
        const qint64 sum = a + b + c;
        sumOfSpotSums += sum;
        ++measuredSpots;
        if (5 * sum < 12 * minimum)
            ++below;
        if (5 * sum > 18 * maximum)
            ++above;
    }

    RuleCheck mean;
    mean.kind = RuleCheck::MeanOfSpots;
    mean.of = measuredSpots;
    // The mean of the spots is sumOfSpotSums / (3 spots).
    mean.mean = measuredSpots > 0 ? double(sumOfSpotSums) / (3.0 * measuredSpots) : 0.0;
    mean.passed = measuredSpots > 0 && sumOfSpotSums >= 3 * qint64(measuredSpots) * minimum
        && sumOfSpotSums <= 3 * qint64(measuredSpots) * maximum;
    Verdict verdict = finish({counted(RuleCheck::SpotsBelowMinimum, below, spots),
                              counted(RuleCheck::SpotsAboveMaximum, above, spots), mean});
    verdict.overloads = int(std::count_if(readings.cbegin(), readings.cbegin() + 3 * spots, isOverload));
    return verdict;
}

Verdict evaluateAcceptance(QVector<qint64> readings, const AcceptanceSteps &limits)
{
    if (limits.correction != 0) {
        for (qint64 &r : readings) {
            if (!isOverload(r))
                r -= limits.correction;
        }
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
