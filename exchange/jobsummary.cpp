#include "exchange/jobsummary.h"

#include "data/itemdata.h"
#include "data/itemsummary.h"

namespace {

const QString NotAvailable = QStringLiteral("-");

// A figure of the summary by its caption: column 0 over all readings,
// 1 without overloads.
QString figure(const ItemSummary &s, const QString &caption, int column)
{
    for (const SummaryRow &row : s.figures) {
        if (row.caption == caption)
            return row.values.value(column, NotAvailable);
    }
    return NotAvailable;
}

QString ruleOf(const ItemSummary &s)
{
    const QString rule = ItemSummary::tr("Rule");
    for (const SummaryRow &row : s.limits) {
        if (row.caption == rule)
            return row.values.value(0);
    }
    return QString();
}

} // namespace

QStringList JobSummary::columnTitles()
{
    return {tr("Item"), tr("Structure and area"), tr("Readings"), tr("Mean"), tr("Minimum"), tr("Maximum"),
            tr("Standard deviation"), tr("Rule"), tr("Verdict")};
}

QVector<int> JobSummary::columnWeights()
{
    return {4, 5, 2, 3, 3, 3, 5, 3, 2};
}

QStringList JobSummary::countLines() const
{
    QStringList lines{tr("Passed: %1").arg(passed), tr("Failed: %1").arg(failed)};
    if (notJudged > 0)
        lines << tr("Not judged: %1").arg(notJudged);
    return lines;
}

JobSummary summarizeJob(const QList<const ItemData *> &items)
{
    JobSummary job;
    QStringList inspectors;
    for (const ItemData *item : items) {
        if (!item || item->count() == 0)
            continue;
        const ItemSummary s = summarizeItem(*item);
        QString verdict;
        if (s.judged) {
            verdict = ItemSummary::verdictText(s.passed);
            ++(s.passed ? job.passed : job.failed);
        } else {
            ++job.notJudged;
        }
        job.rows << QStringList{s.name,
                                item->details().structure.trimmed(),
                                figure(s, ItemSummary::tr("Readings"), 0),
                                figure(s, ItemSummary::tr("Mean"), 1),
                                figure(s, ItemSummary::tr("Minimum"), 1),
                                figure(s, ItemSummary::tr("Maximum"), 1),
                                figure(s, ItemSummary::tr("Standard deviation"), 1),
                                ruleOf(s),
                                verdict};
        inspectors << item->details().inspector.trimmed();
    }
    inspectors.removeDuplicates();
    if (inspectors.size() == 1)
        job.inspector = inspectors.first();
    return job;
}
