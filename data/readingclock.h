#pragma once

#include <QDateTime>

#include <limits>

// The instant and the offset from UTC of a reading's time. A local time
// asks the time zone database for both, which costs more than the rest of
// keeping a reading; so the offset of a local hour is asked once and reused
// while readings stay in that hour. An hour at or next to a change of the
// offset (where a wall-clock time may be missing or twice) is asked each time.
class ReadingClock
{
public:
    void split(const QDateTime &time, qint64 *instant, int *offset);

private:
    static constexpr qint64 HourMs = 3600 * 1000;
    static constexpr int Unknown = std::numeric_limits<int>::min();

    // The offset of a local wall-clock time given as milliseconds as if UTC.
    static int localOffset(qint64 wallClock);

    qint64 m_hour = std::numeric_limits<qint64>::min();
    int m_offset = 0;
    bool m_steady = false;
};
