#pragma once

#include "data/acceptance.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

class ItemData;

// A caption and its values: one row of the Statistics tab or the report.
struct SummaryRow
{
    QString caption;
    QStringList values;
};

// What the Statistics tab and the report say about an item, as texts, with
// numbers as the window shows them.
struct ItemSummary
{
    Q_DECLARE_TR_FUNCTIONS(ItemSummary)

public:
    QString name;
    QString firstReading;           // time of the first reading, "-" without readings
    QString lastReading;
    QString unit;                   // "μm" or "mil": the unit of the statistics
    QStringList figureColumns;      // "With overloads", "Without overloads"
    QVector<SummaryRow> figures;    // each with the value over all readings and without overloads
    SummaryRow overloads;
    bool limitsSet = false;
    QVector<SummaryRow> limits;     // the limits that are set, then the rule
    bool judged = false;            // a rule with the limits it needs
    bool passed = false;
    QStringList failures;           // each failed rule with its count
    int overloadsJudged = 0;        // overloads the rules counted on their side
    QVector<SummaryRow> rules;      // each rule with its count and result
    QVector<bool> rulesPassed;      // one per rule

    static QString verdictText(bool passed);
};

// Gathers the summary of an item: the figures in constant time from its
// running statistics, the verdict in one pass over its readings.
ItemSummary summarizeItem(const ItemData &item);

// The summary as the report lists it: the item, its reading times and its
// figures (rows of a caption and values, under a row of column titles); and
// the limits, the rule, the verdict and each failed rule (a row of one text).
QVector<QStringList> reportFigureRows(const ItemSummary &summary);
QVector<QStringList> reportVerdictRows(const ItemSummary &summary);

// Readings and limits are judged in nanometres: 0.1 µm and 0.01 mil (254 nm)
// are both whole numbers of them, so no reading is rounded to be judged.
constexpr double JudgingStepsPerMicrometre = 1000.0;

// A rule's mean (see RuleCheck) in the unit shown, at its resolution; a
// failing mean is rounded away from the limit it misses, so that it never
// reads as equal to it.
double shownRuleMean(const RuleCheck &check, const AcceptanceSteps &limits, bool micrometres);

// A thickness in micrometres in whole judging steps.
qint64 thicknessSteps(double micrometres);
// A limit, kept in micrometres, in the given unit.
double limitInUnit(double micrometresValue, bool micrometres);
// The limits in judging steps.
AcceptanceSteps acceptanceSteps(const ItemLimits &limits);
// Every reading in judging steps, an overload as OverloadAbove or
// OverloadBelow.
QVector<qint64> judgedReadingSteps(const ItemData &item);
