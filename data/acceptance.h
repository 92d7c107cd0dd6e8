#pragma once

#include "data/itemlimits.h"

#include <QVector>
#include <QtGlobal>

#include <limits>

// One rule of a verdict and how it went. Readings, limits and means are in
// whole steps fine enough for every reading's own resolution (nanometres:
// 0.1 µm and 0.01 mil are both whole numbers of them), so a reading exactly
// on a limit compares exactly, in whatever unit it was taken or is shown.
struct RuleCheck
{
    enum Kind {
        TooFewReadings,         // count: readings there are; of: readings needed
        MeanOfReadings,         // ISO 19840: the mean is at least the NDFT
        BelowEightyPercent,     // ISO 19840: readings below 80 % of the NDFT
        BetweenEightyAndNominal,// ISO 19840: fewer than 20 % of them in [80 % NDFT, NDFT)
        AboveMaximum,           // ISO 19840: readings above the maximum
        SpotsBelowMinimum,      // SSPC-PA 2: spots below 80 % of the minimum
        SpotsAboveMaximum,      // SSPC-PA 2: spots above 120 % of the maximum
        MeanOfSpots,            // SSPC-PA 2: the mean of the spots within minimum and maximum
    };
    Kind kind = TooFewReadings;
    int count = 0;          // readings or spots that break the rule
    int of = 0;             // readings or spots judged
    double mean = 0;        // for the two mean rules, in steps; with of 0 there is none
    bool passed = true;
};

struct Verdict
{
    bool passed = false;
    QVector<RuleCheck> checks;
    int overloads = 0;      // overloads among the readings judged
};

// Overloads among the readings: "OL" lies above the gauge's range, above
// any limit; "-OL" lies below zero, below any limit. They take part in the
// rules that count readings on their side, never in a mean.
constexpr qint64 OverloadAbove = std::numeric_limits<qint64>::max();
constexpr qint64 OverloadBelow = std::numeric_limits<qint64>::min();

// ISO 19840 on corrected readings: the mean is at least the NDFT, every
// reading at least 80 % of it, fewer than 20 % of the readings lie from
// 80 % of the NDFT up to (not including) the NDFT, and, when a maximum is
// set (above 0), every reading is at most the maximum. The mean is that of
// the readings with a value; without any, it passes when every overload
// lies above the range. Linear time.
Verdict evaluateIso19840(const QVector<qint64> &readings, qint64 nominal, qint64 maximum);

// SSPC-PA 2, restriction level 3, on corrected readings: each spot is the
// mean of 3 consecutive readings (a last one or two readings make no spot);
// every spot lies within 80 % of the minimum and 120 % of the maximum, and
// the mean of the spots within the minimum and the maximum. A spot with an
// overload lies beyond the limit on the overload's side and is left out of
// the mean; without a spot of values the mean fails. Linear time.
Verdict evaluateSspcPa2(const QVector<qint64> &readings, qint64 minimum, qint64 maximum);

// Limits in steps, the correction not yet subtracted from the readings.
struct AcceptanceSteps
{
    qint64 nominal = 0;
    qint64 minimum = 0;
    qint64 maximum = 0;
    qint64 correction = 0;
    AcceptanceRule rule = AcceptanceRule::None;
};

// Subtracts the correction from every reading (overloads stay overloads)
// and applies the rule.
Verdict evaluateAcceptance(QVector<qint64> readings, const AcceptanceSteps &limits);
