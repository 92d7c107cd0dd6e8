#include "data/itemdata.h"

ItemData::ItemData(const QString &name, ItemData::DataType type, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_statistics(new ItemStatistics)
    , m_type(type)
{
}

ItemData::~ItemData()
{
    qDeleteAll(m_datas);
    m_datas.clear();
    delete m_statistics;
}

void ItemData::append(DmmData *data, bool recalc)
{
    // A missing reading is nothing to record.
    if (data) {
        shareRepeatedTexts(data);
        m_datas.append(data);
    }
    if (recalc)
        catchUp();
}

void ItemData::append(const QList<DmmData *> &datas, bool recalc)
{
    m_datas.reserve(m_datas.size() + datas.size());
    for (DmmData *data : datas) {
        if (data) {
            shareRepeatedTexts(data);
            m_datas.append(data);
        }
    }
    if (recalc)
        catchUp();
}

void ItemData::calcStatistics()
{
    resetRunning();
    catchUp();
}

void ItemData::switchUnit(const QString &unit)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    // An item without readings keeps its start texts ("0").
    if (!m_datas.isEmpty())
        catchUp();
}

void ItemData::clear()
{
    qDeleteAll(m_datas);
    m_datas.clear();
    *m_statistics = ItemStatistics();
    resetRunning();
    m_textsWritten = false;
}

QString ItemData::formatValue(double value) const
{
    return formatValue(value, isMicrometre());
}

QString ItemData::formatValue(double value, bool micrometres)
{
    if (value < 0)
        return QStringLiteral("-OL");
    if (value > 1250)
        return QStringLiteral(" OL");
    return QString::number(value, 'f', micrometres ? 1 : 2);
}

void ItemData::restoreStatistics(const ItemStatistics &statistics)
{
    *m_statistics = statistics;
    resetRunning();
    m_textsWritten = false;
}

bool ItemData::isMicrometre() const
{
    return m_unit == QLatin1String("um");
}

void ItemData::resetRunning()
{
    m_counted = 0;
    m_sum = 0;
    m_minimum = 0;
    m_maximum = 0;
    m_all = RunningSpread();
    m_thicknesses = RunningSpread();
}

void ItemData::catchUp()
{
    // Figures of readings that are gone cannot be continued.
    if (m_counted > m_datas.size())
        resetRunning();

    const int total = m_datas.size();
    for (int i = m_counted; i < total; ++i) {
        const DmmData *data = m_datas.at(i);
        const double v = data->valueUm();
        if (i == 0)
            m_minimum = m_maximum = v;
        m_sum += v;
        if (v <= m_minimum)
            m_minimum = v;
        if (v > m_maximum)
            m_maximum = v;
        m_all.add(v);
        if (data->overload() == 0)
            m_thicknesses.add(v);
    }
    m_counted = total;

    // Only the texts take the display unit.
    const bool um = isMicrometre();
    auto shown = [um](double micrometres) { return um ? micrometres : micrometres / Reading::UmPerMil; };
    const double average = m_counted > 0 ? m_sum / m_counted : 0.0;
    m_statistics->num = m_counted;
    m_statistics->avg = formatValue(shown(average));
    m_statistics->min = formatValue(shown(m_minimum));
    m_statistics->max = formatValue(shown(m_maximum));
    m_textsWritten = true;
    m_textsInUm = um;
}

void ItemData::shareRepeatedTexts(DmmData *data)
{
    // A stream repeats the same unit and basis for every reading; letting
    // equal texts share one buffer saves two allocations per reading.
    if (m_datas.isEmpty())
        return;
    const DmmData *previous = m_datas.constLast();
    const QString unit = previous->unit();
    if (data->unit() == unit)
        data->setUnit(unit);
    const QString basis = previous->basis();
    if (data->basis() == basis)
        data->setBasis(basis);
}
