#include "cli/itemreadout.h"

#include "data/acceptance.h"
#include "data/itemdata.h"
#include "data/itemdetails.h"
#include "data/itemsummary.h"

#include <QJsonArray>

#include <cmath>

namespace {

const QString None = QStringLiteral("-");

// A figure counted in micrometres, in the unit shown and at its resolution.
double shown(double micrometres, bool inMicrometres)
{
    const double scale = inMicrometres ? 10.0 : 100.0;
    return std::round(limitInUnit(micrometres, inMicrometres) * scale) / scale;
}

QJsonValue figure(bool available, double micrometres, bool inMicrometres)
{
    return available ? QJsonValue(shown(micrometres, inMicrometres)) : QJsonValue();
}

QString text(const QJsonValue &value, bool micrometres)
{
    if (value.isNull() || value.isUndefined())
        return None;
    if (value.isDouble())
        return QString::number(value.toDouble(), 'f', micrometres ? 1 : 2);
    return value.toString();
}

QJsonValue ruleName(const ItemLimits &limits)
{
    switch (limits.rule) {
    case AcceptanceRule::Iso19840:
        return QStringLiteral("ISO 19840");
    case AcceptanceRule::SspcPa2:
        return QStringLiteral("SSPC-PA 2");
    case AcceptanceRule::None:
        break;
    }
    return QJsonValue();
}

QJsonValue verdict(const ItemSummary &summary)
{
    if (!summary.judged)
        return QJsonValue();
    return summary.passed ? QStringLiteral("pass") : QStringLiteral("fail");
}

QString ruleKey(RuleCheck::Kind kind)
{
    switch (kind) {
    case RuleCheck::TooFewReadings:
        return QStringLiteral("tooFewReadings");
    case RuleCheck::MeanOfReadings:
        return QStringLiteral("meanOfReadings");
    case RuleCheck::BelowEightyPercent:
        return QStringLiteral("belowEightyPercent");
    case RuleCheck::BetweenEightyAndNominal:
        return QStringLiteral("betweenEightyPercentAndNominal");
    case RuleCheck::AboveMaximum:
        return QStringLiteral("aboveMaximum");
    case RuleCheck::SpotsBelowMinimum:
        return QStringLiteral("spotsBelowMinimum");
    case RuleCheck::SpotsAboveMaximum:
        return QStringLiteral("spotsAboveMaximum");
    case RuleCheck::MeanOfSpots:
        return QStringLiteral("meanOfSpots");
    }
    return QString();
}

QJsonValue timeOf(const ReadingSeries &readings, int i)
{
    const QDateTime time = readings.dateTime(i);
    return time.isValid() ? QJsonValue(time.toString(Qt::ISODate)) : QJsonValue();
}

// Tabs and line breaks would split a tab-separated line.
QString oneField(QString text)
{
    for (QChar &c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
    }
    return text;
}

int displayWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) || (u >= 0xAC00 && u <= 0xD7A3)
            || (u >= 0xF900 && u <= 0xFAFF) || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60)
            || (u >= 0xFFE0 && u <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

} // namespace

QString alignedRows(const QVector<QStringList> &rows)
{
    QVector<int> widths;
    for (const QStringList &row : rows) {
        for (int c = 0; c + 1 < row.size(); ++c) {
            if (widths.size() <= c)
                widths.resize(c + 1);
            widths[c] = std::max(widths[c], displayWidth(row.at(c)));
        }
    }
    QString out;
    for (const QStringList &row : rows) {
        QString line;
        for (int c = 0; c < row.size(); ++c) {
            line += row.at(c);
            if (c + 1 < row.size())
                line += QString(widths.at(c) - displayWidth(row.at(c)) + 2, QLatin1Char(' '));
        }
        out += line.trimmed().isEmpty() ? QString() : line;
        out += QLatin1Char('\n');
    }
    return out;
}

ItemReadout::ItemReadout(qint64 id, const QString &group, const ItemData &item)
    : m_id(id)
    , m_group(group)
    , m_item(item)
    , m_micrometres(item.statisticsInMicrometres())
{
}

QJsonObject ItemReadout::figures(bool withOverloads) const
{
    const RunningSpread &s = withOverloads ? m_item.spreadOfAll() : m_item.spreadOfThicknesses();
    const bool any = s.count > 0;
    QJsonObject o;
    o.insert(QStringLiteral("readings"), s.count);
    o.insert(QStringLiteral("mean"), figure(any, s.mean, m_micrometres));
    o.insert(QStringLiteral("minimum"), figure(any, s.minimum, m_micrometres));
    o.insert(QStringLiteral("maximum"), figure(any, s.maximum, m_micrometres));
    o.insert(QStringLiteral("standardDeviation"), figure(s.hasDeviation(), s.standardDeviation(), m_micrometres));
    const bool variation = s.hasDeviation() && s.mean > 0;
    o.insert(QStringLiteral("cv"), variation ? QJsonValue(std::round(1000.0 * s.standardDeviation() / s.mean) / 10.0)
                                             : QJsonValue());
    return o;
}

QJsonObject ItemReadout::listEntry() const
{
    const ItemSummary summary = summarizeItem(m_item);
    const QJsonObject thick = figures(false);
    QJsonObject o;
    o.insert(QStringLiteral("id"), m_id);
    o.insert(QStringLiteral("group"), m_group);
    o.insert(QStringLiteral("name"), m_item.name());
    o.insert(QStringLiteral("unit"), m_micrometres ? QStringLiteral("um") : QStringLiteral("mil"));
    o.insert(QStringLiteral("readings"), m_item.count());
    for (const char *key : {"mean", "minimum", "maximum", "standardDeviation"})
        o.insert(QLatin1String(key), thick.value(QLatin1String(key)));
    o.insert(QStringLiteral("rule"), summary.limitsSet ? ruleName(m_item.limits()) : QJsonValue());
    o.insert(QStringLiteral("verdict"), verdict(summary));
    return o;
}

QString ItemReadout::listLine() const
{
    const QJsonObject o = listEntry();
    QStringList fields{QString::number(m_id), oneField(m_group), oneField(m_item.name()),
                       o.value(QStringLiteral("unit")).toString(), QString::number(m_item.count())};
    for (const char *key : {"mean", "minimum", "maximum", "standardDeviation", "rule", "verdict"})
        fields << text(o.value(QLatin1String(key)), m_micrometres);
    return fields.join(QLatin1Char('\t'));
}

QJsonObject ItemReadout::showEntry() const
{
    QJsonObject o = listEntry();
    const ReadingSeries &readings = m_item.readings();
    const bool any = !readings.isEmpty();
    o.insert(QStringLiteral("firstReading"), any ? timeOf(readings, 0) : QJsonValue());
    o.insert(QStringLiteral("lastReading"), any ? timeOf(readings, readings.size() - 1) : QJsonValue());
    o.insert(QStringLiteral("overloads"), m_item.overloadCount());
    o.insert(QStringLiteral("withOverloads"), figures(true));
    o.insert(QStringLiteral("withoutOverloads"), figures(false));

    const ItemLimits &limits = m_item.limits();
    if (limits.isSet()) {
        QJsonObject l;
        auto limit = [&](const char *key, double value) {
            l.insert(QLatin1String(key), figure(value > 0, value, m_micrometres));
        };
        limit("nominal", limits.nominal);
        limit("minimum", limits.minimum);
        limit("maximum", limits.maximum);
        limit("correction", limits.correction);
        l.insert(QStringLiteral("rule"), ruleName(limits));
        o.insert(QStringLiteral("limits"), l);
    } else {
        o.insert(QStringLiteral("limits"), QJsonValue());
    }

    QJsonArray rules;
    if (!o.value(QStringLiteral("verdict")).isNull()) {
        const AcceptanceSteps steps = acceptanceSteps(limits);
        const Verdict judged = evaluateAcceptance(judgedReadingSteps(m_item), steps);
        for (const RuleCheck &c : judged.checks) {
            const bool hasMean = c.kind == RuleCheck::MeanOfReadings || c.kind == RuleCheck::MeanOfSpots;
            QJsonObject rule;
            rule.insert(QStringLiteral("rule"), ruleKey(c.kind));
            rule.insert(QStringLiteral("count"), c.count);
            rule.insert(QStringLiteral("of"), c.of);
            rule.insert(QStringLiteral("mean"), hasMean && c.of > 0
                                                    ? QJsonValue(shownRuleMean(c, steps, m_micrometres))
                                                    : QJsonValue());
            rule.insert(QStringLiteral("passed"), c.passed);
            rules << rule;
        }
        o.insert(QStringLiteral("overloadsJudged"), judged.overloads);
    }
    o.insert(QStringLiteral("rules"), rules);

    const ItemDetails &d = m_item.details();
    QJsonObject details;
    details.insert(QStringLiteral("project"), d.project);
    details.insert(QStringLiteral("structure"), d.structure);
    details.insert(QStringLiteral("coating"), d.coating);
    details.insert(QStringLiteral("gaugeModel"), d.gaugeModel);
    details.insert(QStringLiteral("gaugeSerial"), d.gaugeSerial);
    details.insert(QStringLiteral("probeSerial"), d.probeSerial);
    details.insert(QStringLiteral("calibration"), d.calibration.isValid()
                                                      ? QJsonValue(d.calibration.toString(Qt::ISODate))
                                                      : QJsonValue());
    details.insert(QStringLiteral("adjustment"), d.adjustment);
    details.insert(QStringLiteral("inspector"), d.inspector);
    details.insert(QStringLiteral("notes"), d.notes);
    o.insert(QStringLiteral("details"), details);
    return o;
}

QString ItemReadout::showText() const
{
    // The words of the Statistics tab, as it shows them.
    const ItemSummary s = summarizeItem(m_item);
    QString out = tr("Item %1 of %2").arg(m_id).arg(m_group) + QLatin1Char('\n');
    out += QCoreApplication::translate("StatisticsView", "%1, readings from %2 to %3")
               .arg(s.name, s.firstReading, s.lastReading)
        + QLatin1Char('\n');
    for (const DetailLine &line : detailLines(m_item.details()))
        out += QCoreApplication::translate("StatisticsView", "%1: %2")
                   .arg(line.caption, QString(line.text).replace(QLatin1Char('\n'), QLatin1Char(' ')))
            + QLatin1Char('\n');

    QVector<QStringList> figures{QStringList{QString()} + s.figureColumns};
    for (const SummaryRow &row : s.figures + QVector<SummaryRow>{s.overloads})
        figures << QStringList{row.caption} + row.values;
    out += QLatin1Char('\n') + alignedRows(figures);

    out += QLatin1Char('\n');
    if (!s.limitsSet) {
        out += QCoreApplication::translate("StatisticsView", "No limits set.") + QLatin1Char('\n');
        return out;
    }
    QVector<QStringList> limits;
    for (const SummaryRow &row : s.limits)
        limits << QStringList{row.caption} + row.values;
    out += alignedRows(limits) + QLatin1Char('\n');
    if (!s.judged) {
        out += QCoreApplication::translate("StatisticsView", "No rule chosen.") + QLatin1Char('\n');
        return out;
    }
    out += ItemSummary::tr("Verdict") + QStringLiteral(": ") + ItemSummary::verdictText(s.passed) + QLatin1Char('\n');
    for (const QString &failure : s.failures)
        out += failure + QLatin1Char('\n');
    QVector<QStringList> rules{{QCoreApplication::translate("StatisticsView", "Rule"),
                                QCoreApplication::translate("StatisticsView", "Count"),
                                QCoreApplication::translate("StatisticsView", "Result")}};
    for (const SummaryRow &row : s.rules)
        rules << QStringList{row.caption} + row.values;
    out += QLatin1Char('\n') + alignedRows(rules);
    return out;
}
