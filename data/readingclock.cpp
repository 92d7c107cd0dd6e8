#include "data/readingclock.h"

void ReadingClock::split(const QDateTime &time, qint64 *instant, int *offset)
{
    if (time.timeSpec() == Qt::LocalTime) {
        const qint64 wallClock = QDateTime(time.date(), time.time(), Qt::UTC).toMSecsSinceEpoch();
        const qint64 hour = wallClock / HourMs - (wallClock % HourMs < 0 ? 1 : 0);
        if (hour != m_hour) {
            m_hour = hour;
            const qint64 start = hour * HourMs;
            m_offset = localOffset(start);
            m_steady = m_offset != Unknown && localOffset(start - 1000) == m_offset
                && localOffset(start + HourMs - 1000) == m_offset && localOffset(start + HourMs) == m_offset;
        }
        if (m_steady) {
            *offset = m_offset;
            *instant = wallClock - qint64(m_offset) * 1000;
            return;
        }
    }
    *instant = time.toMSecsSinceEpoch();
    *offset = time.offsetFromUtc();
}

int ReadingClock::localOffset(qint64 wallClock)
{
    const QDateTime utc = QDateTime::fromMSecsSinceEpoch(wallClock, Qt::UTC);
    const QDateTime local(utc.date(), utc.time(), Qt::LocalTime);
    return local.isValid() && local.time() == utc.time() ? local.offsetFromUtc() : Unknown;
}
