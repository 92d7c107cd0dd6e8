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
    delete m_statistics;
}

std::unique_ptr<ItemData> ItemData::snapshot() const
{
    auto copy = std::make_unique<ItemData>(m_name, m_type);
    copy->m_readings = m_readings;
    *copy->m_statistics = *m_statistics;
    copy->m_unit = m_unit;
    copy->m_counted = m_counted;
    copy->m_textsWritten = m_textsWritten;
    copy->m_textsInUm = m_textsInUm;
    copy->m_sum = m_sum;
    copy->m_minimum = m_minimum;
    copy->m_maximum = m_maximum;
    copy->m_all = m_all;
    copy->m_thicknesses = m_thicknesses;
    copy->m_limits = m_limits;
    copy->m_details = m_details;
    return copy;
}

void ItemData::append(const ReadingFields &reading, bool recalc)
{
    m_readings.append(reading);
    if (recalc)
        catchUp();
}

void ItemData::append(const ReadingSeries &readings, bool recalc)
{
    m_readings.append(readings);
    if (recalc)
        catchUp();
}

void ItemData::calcStatistics()
{
    resetRunning();
    catchUp();
}

void ItemData::switchUnit(Unit unit)
{
    if (unit == m_unit)
        return;
    m_unit = unit;
    // An item without readings keeps its start texts ("0").
    if (!m_readings.isEmpty())
        catchUp();
}

void ItemData::clear()
{
    m_readings.clear();
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
    if (m_counted > m_readings.size())
        resetRunning();

    const int total = m_readings.size();
    int i = m_counted;
    m_readings.forEachRecord(m_counted, total - m_counted, [&](const ReadingRecord &r) {
        const double v = r.hasExtras() ? m_readings.valueUm(i) : r.valueUm();
        if (i == 0)
            m_minimum = m_maximum = v;
        m_sum += v;
        if (v <= m_minimum)
            m_minimum = v;
        if (v > m_maximum)
            m_maximum = v;
        m_all.add(v);
        if (!r.isOverload())
            m_thicknesses.add(v);
        ++i;
    });
    m_counted = total;

    // Only the texts take the display unit.
    const bool um = isMicrometre();
    auto shown = [um](double micrometres) { return um ? micrometres : micrometres / MicrometresPerMil; };
    const double average = m_counted > 0 ? m_sum / m_counted : 0.0;
    m_statistics->num = m_counted;
    m_statistics->avg = formatValue(shown(average));
    m_statistics->min = formatValue(shown(m_minimum));
    m_statistics->max = formatValue(shown(m_maximum));
    m_textsWritten = true;
    m_textsInUm = um;
}
