#include "charts/chartseries.h"

#include <QTime>

void ChartSeries::append(const ChartPoint &point)
{
    m_index.append(point.value);
    // Only the time of day is ever shown; an invalid time shows nothing.
    m_msecsOfDay.push_back(point.time.isValid() ? point.time.time().msecsSinceStartOfDay() : -1);
    const QByteArray tag = point.tag.toString().toUtf8();
    m_tagText.append(tag.constData(), std::size_t(tag.size()));
    m_tagEnds.push_back(qint64(m_tagText.size()));
}

void ChartSeries::setTexts(const Text &timeText, const Text &tag)
{
    m_timeSource = timeText;
    m_tagSource = tag;
}

void ChartSeries::clear()
{
    // Gives the memory back; the texts' source stays.
    const Text timeText = m_timeSource, tag = m_tagSource;
    *this = ChartSeries();
    setTexts(timeText, tag);
}

QString ChartSeries::timeText(int i) const
{
    if (m_timeSource)
        return m_timeSource(i);
    if (std::size_t(i) >= m_msecsOfDay.size())
        return QString();
    const qint32 ms = m_msecsOfDay[std::size_t(i)];
    if (ms < 0)
        return QString();
    return QTime::fromMSecsSinceStartOfDay(ms).toString(QStringLiteral("hh:mm:ss"));
}

QString ChartSeries::tag(int i) const
{
    if (m_tagSource)
        return m_tagSource(i);
    if (std::size_t(i) >= m_tagEnds.size())
        return QString();
    const qint64 begin = i > 0 ? m_tagEnds[std::size_t(i) - 1] : 0;
    const qint64 end = m_tagEnds[std::size_t(i)];
    return QString::fromUtf8(m_tagText.data() + begin, int(end - begin));
}
