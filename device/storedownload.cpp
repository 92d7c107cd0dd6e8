#include "device/storedownload.h"

void StoreDownload::start()
{
    dropGathered();
    m_state = State::Gathering;
    m_lastGroupAnnounced = false;
    m_readingsAtLastGroup = 0;
}

void StoreDownload::take(const ReadingFields &reading)
{
    if (m_state == State::Gathering)
        m_readings.append(reading);
}

void StoreDownload::take(const ReadingSeries &readings)
{
    if (m_state == State::Gathering)
        m_readings.append(readings);
}

bool StoreDownload::progress(int total, int position)
{
    if (m_state == State::Idle)
        return false;
    const bool ended = position > total;
    if (m_state == State::Discarding) {
        if (ended)
            m_state = State::Idle;
        return false;
    }
    if (position >= total && !m_lastGroupAnnounced) {
        m_lastGroupAnnounced = true;
        m_readingsAtLastGroup = m_readings.size();
    }
    return ended;
}

bool StoreDownload::cancel()
{
    if (m_state != State::Gathering)
        return false;
    if (m_lastGroupAnnounced && m_readings.size() > m_readingsAtLastGroup)
        return true;
    dropGathered();
    m_state = State::Discarding;
    return false;
}

void StoreDownload::linkClosed()
{
    dropGathered();
    m_state = State::Idle;
}

ReadingSeries StoreDownload::finish()
{
    ReadingSeries readings;
    std::swap(readings, m_readings);
    m_state = State::Idle;
    return readings;
}

void StoreDownload::dropGathered()
{
    m_readings.clear();
}
