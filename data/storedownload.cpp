#include "data/storedownload.h"

#include "data/dmmdata.h"

StoreDownload::~StoreDownload()
{
    dropGathered();
}

void StoreDownload::start()
{
    dropGathered();
    m_state = State::Gathering;
    m_lastGroupAnnounced = false;
    m_readingsAtLastGroup = 0;
}

void StoreDownload::take(DmmData *reading)
{
    if (!reading)
        return;
    if (m_state == State::Gathering)
        m_readings.append(reading);
    else
        delete reading;
}

void StoreDownload::take(const QList<DmmData *> &readings)
{
    for (DmmData *reading : readings)
        take(reading);
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

QList<DmmData *> StoreDownload::finish()
{
    QList<DmmData *> readings;
    readings.swap(m_readings);
    m_state = State::Idle;
    return readings;
}

void StoreDownload::dropGathered()
{
    qDeleteAll(m_readings);
    m_readings.clear();
}
