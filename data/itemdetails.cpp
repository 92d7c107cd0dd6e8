#include "data/itemdetails.h"

bool ItemDetails::isSet() const
{
    return !detailLines(*this).isEmpty();
}

ItemDetails ItemDetails::trimmed() const
{
    ItemDetails d = *this;
    for (QString *text : {&d.project, &d.structure, &d.coating, &d.gaugeModel, &d.gaugeSerial, &d.probeSerial,
                          &d.adjustment, &d.inspector, &d.notes})
        *text = text->trimmed();
    return d;
}

ItemDetails ItemDetails::carriedOver() const
{
    ItemDetails d;
    d.gaugeModel = gaugeModel;
    d.gaugeSerial = gaugeSerial;
    d.probeSerial = probeSerial;
    d.calibration = calibration;
    d.inspector = inspector;
    return d;
}

bool ItemDetails::operator==(const ItemDetails &o) const
{
    return project == o.project && structure == o.structure && coating == o.coating && gaugeModel == o.gaugeModel
        && gaugeSerial == o.gaugeSerial && probeSerial == o.probeSerial && calibration == o.calibration
        && adjustment == o.adjustment && inspector == o.inspector && notes == o.notes;
}

QVector<DetailLine> detailLines(const ItemDetails &details)
{
    const ItemDetails d = details.trimmed();
    QVector<DetailLine> lines;
    auto add = [&lines](const QString &caption, const QString &text) {
        if (!text.isEmpty())
            lines << DetailLine{caption, text};
    };
    add(ItemDetails::tr("Project"), d.project);
    add(ItemDetails::tr("Structure and area"), d.structure);
    add(ItemDetails::tr("Coating system"), d.coating);
    add(ItemDetails::tr("Gauge"), d.gaugeModel);
    add(ItemDetails::tr("Gauge serial number"), d.gaugeSerial);
    add(ItemDetails::tr("Probe serial number"), d.probeSerial);
    add(ItemDetails::tr("Calibrated or verified"),
        d.calibration.isValid() ? d.calibration.toString(QStringLiteral("yyyy-MM-dd")) : QString());
    add(ItemDetails::tr("Adjustment"), d.adjustment);
    add(ItemDetails::tr("Inspector"), d.inspector);
    add(ItemDetails::tr("Notes"), d.notes);
    return lines;
}
