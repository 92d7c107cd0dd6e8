#pragma once

#include "data/readingseries.h"

// Gathers the readings of a download of the gauge's memory until the gauge
// says the transfer is complete, so that what an earlier download left
// stays whole until a new one has arrived in full. A transfer that is
// abandoned (cancelled, link dropped) is thrown away, and so are the
// readings of its rest that still arrive.
class StoreDownload
{
public:
    StoreDownload() = default;
    StoreDownload(const StoreDownload &) = delete;
    StoreDownload &operator=(const StoreDownload &) = delete;

    // A new transfer begins; anything gathered or pending is dropped.
    void start();
    bool isGathering() const { return m_state == State::Gathering; }
    // The rest of an abandoned transfer is still arriving.
    bool isDiscarding() const { return m_state == State::Discarding; }

    // While gathering the readings are kept for finish(); otherwise they
    // are dropped.
    void take(const ReadingFields &reading);
    void take(const ReadingSeries &readings);

    // The gauge's progress: position of total, and a position beyond total
    // once everything was sent. True when that completes the transfer being
    // gathered. The end of an abandoned transfer ends the discarding.
    bool progress(int total, int position);
    // The user gave up waiting. True when the last group had been announced
    // and has arrived since, so the transfer is complete in all but the
    // gauge's closing word; otherwise the transfer is abandoned.
    bool cancel();
    // The link is gone: nothing more of the transfer will arrive.
    void linkClosed();

    // The gathered readings; back to idle.
    ReadingSeries finish();

private:
    enum class State { Idle, Gathering, Discarding };
    void dropGathered();

    State m_state = State::Idle;
    ReadingSeries m_readings;
    bool m_lastGroupAnnounced = false;
    int m_readingsAtLastGroup = 0;
};
