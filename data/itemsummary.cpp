#include "data/itemsummary.h"

#include "data/itemdata.h"

#include <cmath>

namespace {

const QString NotAvailable = QStringLiteral("-");

int decimalsOf(bool micrometres)
{
    return micrometres ? 1 : 2;
}

// Judging steps (nanometres) in one step of the display resolution.
double judgingStepsPerShownStep(bool micrometres)
{
    return micrometres ? 100.0 : 254.0;
}

// A figure counted in micrometres, in the unit it is shown in.
double shown(double micrometres, bool inMicrometres)
{
    return limitInUnit(micrometres, inMicrometres);
}

// A thickness text with the unit after it when it is a number.
QString withUnit(const QString &text, const QString &unit)
{
    if (text.isEmpty() || !text.at(0).isDigit())
        return text;
    return text + QLatin1Char(' ') + unit;
}

QString number(double value, bool micrometres)
{
    return QString::number(value, 'f', decimalsOf(micrometres));
}

QString meanText(const RunningSpread &spread, bool micrometres, const QString &unit)
{
    return spread.count > 0 ? withUnit(ItemData::formatValue(shown(spread.mean, micrometres), micrometres), unit)
                            : NotAvailable;
}

QString deviationText(const RunningSpread &spread, bool micrometres, const QString &unit)
{
    return spread.hasDeviation()
        ? withUnit(number(shown(spread.standardDeviation(), micrometres), micrometres), unit)
        : NotAvailable;
}

QString variationText(const RunningSpread &spread)
{
    if (!spread.hasDeviation() || !(spread.mean > 0))
        return NotAvailable;
    return QString::number(100.0 * spread.standardDeviation() / spread.mean, 'f', 1) + QStringLiteral(" %");
}

QString ruleName(AcceptanceRule rule)
{
    switch (rule) {
    case AcceptanceRule::Iso19840:
        return QStringLiteral("ISO 19840");
    case AcceptanceRule::SspcPa2:
        return QStringLiteral("SSPC-PA 2");
    case AcceptanceRule::None:
        break;
    }
    return ItemSummary::tr("None");
}

QString plural(int count, const QString &one, const QString &many)
{
    return (count == 1 ? one : many).arg(count);
}

QString ruleCaption(RuleCheck::Kind kind)
{
    switch (kind) {
    case RuleCheck::TooFewReadings:
        return ItemSummary::tr("Readings to judge");
    case RuleCheck::MeanOfReadings:
        return ItemSummary::tr("Mean at least NDFT");
    case RuleCheck::BelowEightyPercent:
        return ItemSummary::tr("Readings below 80 % of NDFT");
    case RuleCheck::BetweenEightyAndNominal:
        return ItemSummary::tr("Readings from 80 % of NDFT up to NDFT (fewer than 20 %)");
    case RuleCheck::AboveMaximum:
        return ItemSummary::tr("Readings above the maximum");
    case RuleCheck::SpotsBelowMinimum:
        return ItemSummary::tr("Spots below 80 % of the minimum");
    case RuleCheck::SpotsAboveMaximum:
        return ItemSummary::tr("Spots above 120 % of the maximum");
    case RuleCheck::MeanOfSpots:
        return ItemSummary::tr("Mean of the spots within the minimum and maximum");
    }
    return QString();
}

QString failureText(const RuleCheck &c, const QString &mean, const QString &nominal)
{
    switch (c.kind) {
    case RuleCheck::TooFewReadings:
        return ItemSummary::tr("Too few readings to judge: %1").arg(c.count);
    case RuleCheck::MeanOfReadings:
        return ItemSummary::tr("Mean %1 below NDFT %2").arg(mean, nominal);
    case RuleCheck::BelowEightyPercent:
        return plural(c.count, ItemSummary::tr("%1 reading below 80 % of NDFT"),
                      ItemSummary::tr("%1 readings below 80 % of NDFT"));
    case RuleCheck::BetweenEightyAndNominal:
        return ItemSummary::tr("%1 of %2 readings between 80 % of NDFT and NDFT").arg(c.count).arg(c.of);
    case RuleCheck::AboveMaximum:
        return plural(c.count, ItemSummary::tr("%1 reading above the maximum"),
                      ItemSummary::tr("%1 readings above the maximum"));
    case RuleCheck::SpotsBelowMinimum:
        return plural(c.count, ItemSummary::tr("%1 spot below 80 % of the minimum"),
                      ItemSummary::tr("%1 spots below 80 % of the minimum"));
    case RuleCheck::SpotsAboveMaximum:
        return plural(c.count, ItemSummary::tr("%1 spot above 120 % of the maximum"),
                      ItemSummary::tr("%1 spots above 120 % of the maximum"));
    case RuleCheck::MeanOfSpots:
        return ItemSummary::tr("Mean of the spots %1 outside the minimum and maximum").arg(mean);
    }
    return QString();
}

// The count column of a rule: the mean for the mean rules, "k of n" for
// the 20 % rule, the count otherwise.
QString ruleCount(const RuleCheck &c, const QString &mean)
{
    switch (c.kind) {
    case RuleCheck::MeanOfReadings:
    case RuleCheck::MeanOfSpots:
        return c.of > 0 ? mean : NotAvailable;
    case RuleCheck::BetweenEightyAndNominal:
        return ItemSummary::tr("%1 of %2").arg(c.count).arg(c.of);
    default:
        return QString::number(c.count);
    }
}

void addLimit(ItemSummary &s, const QString &caption, double micrometresValue, bool micrometres)
{
    if (!(micrometresValue > 0))
        return;
    const QString value = number(limitInUnit(micrometresValue, micrometres), micrometres);
    s.limits << SummaryRow{caption, {withUnit(value, s.unit)}};
}

void judge(ItemSummary &s, const ItemData &item, bool micrometres)
{
    const ItemLimits &limits = item.limits();
    // Judged in micrometres at every reading's resolution, whatever the
    // unit shown: the unit changes the texts, never the verdict.
    const AcceptanceSteps steps = acceptanceSteps(limits);
    const Verdict verdict = evaluateAcceptance(judgedReadingSteps(item), steps);
    s.judged = true;
    s.passed = verdict.passed;
    s.overloadsJudged = verdict.overloads;
    const QString nominal = withUnit(number(limitInUnit(limits.nominal, micrometres), micrometres), s.unit);
    for (const RuleCheck &c : verdict.checks) {
        const QString mean = withUnit(number(shownRuleMean(c, steps, micrometres), micrometres), s.unit);
        s.rules << SummaryRow{ruleCaption(c.kind), {ruleCount(c, mean), ItemSummary::verdictText(c.passed)}};
        s.rulesPassed << c.passed;
        if (!c.passed)
            s.failures << failureText(c, c.of > 0 ? mean : NotAvailable, nominal);
    }
    if (verdict.overloads > 0) {
        s.rules << SummaryRow{ItemSummary::tr("Overloads judged"), {QString::number(verdict.overloads), QString()}};
        s.rulesPassed << true;
    }
}

} // namespace

QString ItemSummary::verdictText(bool passed)
{
    return passed ? tr("Pass") : tr("Fail");
}

double shownRuleMean(const RuleCheck &check, const AcceptanceSteps &limits, bool micrometres)
{
    // A failing mean is rounded away from the limit it misses, so that it
    // never reads as equal to it.
    const double meanInShownSteps = check.mean / judgingStepsPerShownStep(micrometres);
    double rounded = std::round(meanInShownSteps);
    if (!check.passed && check.kind == RuleCheck::MeanOfSpots && check.mean > limits.maximum)
        rounded = std::ceil(meanInShownSteps);
    else if (!check.passed)
        rounded = std::floor(meanInShownSteps);
    return rounded / (micrometres ? 10.0 : 100.0);
}

qint64 thicknessSteps(double micrometres)
{
    return std::llround(micrometres * JudgingStepsPerMicrometre);
}

double limitInUnit(double micrometresValue, bool micrometres)
{
    return micrometres ? micrometresValue : micrometresValue / MicrometresPerMil;
}

AcceptanceSteps acceptanceSteps(const ItemLimits &limits)
{
    return AcceptanceSteps{thicknessSteps(limits.nominal), thicknessSteps(limits.minimum),
                           thicknessSteps(limits.maximum), thicknessSteps(limits.correction), limits.rule};
}

QVector<qint64> judgedReadingSteps(const ItemData &item)
{
    const ReadingSeries &readings = item.readings();
    QVector<qint64> steps;
    steps.reserve(readings.size());
    int i = 0;
    readings.forEachRecord([&](const ReadingRecord &r) {
        if (r.overload() == Overload::Above)
            steps << OverloadAbove;
        else if (r.overload() == Overload::Below)
            steps << OverloadBelow;
        else
            steps << thicknessSteps(r.hasExtras() ? readings.valueUm(i) : r.valueUm());
        ++i;
    });
    return steps;
}

ItemSummary summarizeItem(const ItemData &item)
{
    ItemSummary s;
    const bool um = item.statisticsInMicrometres();
    s.name = item.name();
    s.unit = um ? QString::fromUtf8("μm") : QStringLiteral("mil");
    const ReadingSeries &readings = item.readings();
    s.firstReading = readings.isEmpty() ? NotAvailable : readings.timeText(0);
    s.lastReading = readings.isEmpty() ? NotAvailable : readings.timeText(readings.size() - 1);

    s.figureColumns = QStringList{ItemSummary::tr("With overloads"), ItemSummary::tr("Without overloads")};
    const ItemStatistics *st = item.statistics();
    const RunningSpread &all = item.spreadOfAll();
    const RunningSpread &thick = item.spreadOfThicknesses();
    auto extreme = [&](double value) {
        return thick.count > 0 ? withUnit(ItemData::formatValue(shown(value, um), um), s.unit) : NotAvailable;
    };
    // Over all readings the count, mean and extremes are the labels' texts.
    s.figures << SummaryRow{ItemSummary::tr("Readings"), {QString::number(st->num), QString::number(thick.count)}}
              << SummaryRow{ItemSummary::tr("Mean"), {withUnit(st->avg, s.unit), meanText(thick, um, s.unit)}}
              << SummaryRow{ItemSummary::tr("Minimum"), {withUnit(st->min, s.unit), extreme(thick.minimum)}}
              << SummaryRow{ItemSummary::tr("Maximum"), {withUnit(st->max, s.unit), extreme(thick.maximum)}}
              << SummaryRow{ItemSummary::tr("Standard deviation"),
                            {deviationText(all, um, s.unit), deviationText(thick, um, s.unit)}}
              << SummaryRow{ItemSummary::tr("CV"), {variationText(all), variationText(thick)}};
    s.overloads = SummaryRow{ItemSummary::tr("Overloads"), {QString::number(item.overloadCount())}};

    const ItemLimits &limits = item.limits();
    s.limitsSet = limits.isSet();
    if (!s.limitsSet)
        return s;
    addLimit(s, ItemSummary::tr("Nominal"), limits.nominal, um);
    addLimit(s, ItemSummary::tr("Minimum"), limits.minimum, um);
    addLimit(s, ItemSummary::tr("Maximum"), limits.maximum, um);
    addLimit(s, ItemSummary::tr("Correction"), limits.correction, um);
    s.limits << SummaryRow{ItemSummary::tr("Rule"), {ruleName(limits.rule)}};
    if (limits.rule != AcceptanceRule::None && limits.isComplete())
        judge(s, item, um);
    return s;
}

QVector<QStringList> reportFigureRows(const ItemSummary &s)
{
    QVector<QStringList> rows;
    rows << QStringList{ItemSummary::tr("Item"), s.name}
         << QStringList{ItemSummary::tr("First reading"), s.firstReading}
         << QStringList{ItemSummary::tr("Last reading"), s.lastReading}
         << QStringList{QString()} + s.figureColumns;
    for (const SummaryRow &row : s.figures + QVector<SummaryRow>{s.overloads})
        rows << QStringList{row.caption} + row.values;
    return rows;
}

QVector<QStringList> reportVerdictRows(const ItemSummary &s)
{
    QVector<QStringList> rows;
    if (!s.limitsSet)
        return rows;
    for (const SummaryRow &row : s.limits)
        rows << QStringList{row.caption} + row.values;
    if (s.judged) {
        rows << QStringList{ItemSummary::tr("Verdict"), ItemSummary::verdictText(s.passed)};
        for (const QString &failure : s.failures)
            rows << QStringList{failure};
        if (s.overloadsJudged > 0)
            rows << QStringList{ItemSummary::tr("Overloads judged"), QString::number(s.overloadsJudged)};
    }
    return rows;
}
