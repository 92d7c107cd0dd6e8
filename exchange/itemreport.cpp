#include "exchange/itemreport.h"

#include "data/itemdata.h"
#include "data/itemdetails.h"
#include "data/itemsummary.h"

namespace {

const QString DateFormat = QStringLiteral("yyyy-MM-dd");

// The days the readings were taken on, "first – last" when they differ.
QString readingDays(const ItemData &item, const QDate &today)
{
    QDate first, last;
    item.readings().forEachRecord([&](const ReadingRecord &r) {
        const QDate day = r.date();
        if (!day.isValid())
            return;
        if (!first.isValid() || day < first)
            first = day;
        if (!last.isValid() || day > last)
            last = day;
    });
    if (!first.isValid())
        return today.toString(DateFormat);
    if (first == last)
        return first.toString(DateFormat);
    return QStringLiteral("%1 – %2").arg(first.toString(DateFormat), last.toString(DateFormat));
}

} // namespace

bool ItemReport::isInspection(const ItemData &item)
{
    return item.details().isSet() || item.limits().isSet();
}

ReportSummary ItemReport::summary(const ItemSummary &s, const ItemLimits &limits)
{
    ReportSummary summary;
    summary.left = reportFigureRows(s);
    summary.right = reportVerdictRows(s);
    const QString reference = ruleReference(limits.rule);
    if (reference.isEmpty())
        return summary;
    const QString rule = ItemSummary::tr("Rule");
    for (int r = 0; r < summary.right.size(); ++r) {
        if (summary.right.at(r).value(0) == rule) {
            summary.right.insert(r + 1, QStringList{reference});
            break;
        }
    }
    return summary;
}

ReportInspection ItemReport::inspection(const ItemData &item, const QDate &today)
{
    const ItemDetails d = item.details().trimmed();
    ReportInspection in;
    for (const QString &line : {d.project, d.structure}) {
        if (!line.isEmpty())
            in.heading << line;
    }
    in.date = tr("Date: %1").arg(readingDays(item, today));
    const QVector<DetailLine> lines = detailLines(d);
    if (!lines.isEmpty())
        in.detailsTitle = tr("Inspection");
    for (const DetailLine &line : lines)
        in.details << QStringList{line.caption, line.text};
    in.closing = signatureRows(d.inspector);
    return in;
}

QString ItemReport::ruleReference(AcceptanceRule rule)
{
    switch (rule) {
    case AcceptanceRule::Iso19840:
        return tr("ISO 19840: dry film thickness on rough surfaces, measurement and acceptance criteria");
    case AcceptanceRule::SspcPa2:
        return tr("SSPC-PA 2: conformance to dry coating thickness requirements, restriction level 3");
    case AcceptanceRule::None:
        break;
    }
    return QString();
}

QVector<QStringList> ItemReport::signatureRows(const QString &inspector)
{
    return {QStringList{ItemDetails::tr("Inspector"), inspector}, QStringList{tr("Date"), QString()},
            QStringList{tr("Signature"), QString()}};
}
