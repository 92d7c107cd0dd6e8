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

void ChartSeries::clear()
{
    *this = ChartSeries();      // gives the memory back
}

QString ChartSeries::timeText(int i) const
{
    const qint32 ms = m_msecsOfDay[std::size_t(i)];
    if (ms < 0)
        return QString();
    return QTime::fromMSecsSinceStartOfDay(ms).toString(QStringLiteral("hh:mm:ss"));
}

QString ChartSeries::tag(int i) const
{
    const qint64 begin = i > 0 ? m_tagEnds[std::size_t(i) - 1] : 0;
    const qint64 end = m_tagEnds[std::size_t(i)];
    return QString::fromUtf8(m_tagText.data() + begin, int(end - begin));
}
