#pragma once

#include <QCoreApplication>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

class ItemData;

// One line per item that has readings, and what the job comes to.
struct JobSummary
{
    Q_DECLARE_TR_FUNCTIONS(JobSummary)

public:
    // Column titles: "Item", "Structure and area", "Readings", "Mean",
    // "Minimum", "Maximum", "Standard deviation", "Rule", "Verdict".
    static QStringList columnTitles();
    // Each column's share of the table width.
    static QVector<int> columnWeights();

    QVector<QStringList> rows;
    int passed = 0;
    int failed = 0;
    int notJudged = 0;      // no rule, or not the limits it needs
    QString inspector;      // when every item names the same one

    // "Passed: n", "Failed: n", and "Not judged: n" when there are any.
    QStringList countLines() const;
};

// The items in the given order; an item without readings is left out.
// Each item's readings must be in memory. The figures leave overloads out
// (the count is of all readings), as the Statistics tab shows them.
JobSummary summarizeJob(const QList<const ItemData *> &items);
