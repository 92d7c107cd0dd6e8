#pragma once

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

// A pseudo-terminal standing in for a serial gauge: the program opens the
// slave side by name, the test writes the gauge's lines on the master side.
class PtyGauge
{
public:
    PtyGauge()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~PtyGauge() { closeMaster(); }
    PtyGauge(const PtyGauge &) = delete;
    PtyGauge &operator=(const PtyGauge &) = delete;

    bool isValid() const { return m_master >= 0 && !m_slave.isEmpty(); }
    QString slavePath() const { return m_slave; }

    bool send(const QByteArray &bytes)
    {
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

    // What the program wrote to the gauge, waiting up to timeoutMs for it.
    QByteArray received(int timeoutMs)
    {
        QByteArray bytes;
        pollfd fd{m_master, POLLIN, 0};
        while (::poll(&fd, 1, timeoutMs) > 0 && (fd.revents & POLLIN)) {
            char buffer[256];
            const ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.append(buffer, int(n));
            timeoutMs = 50;
        }
        return bytes;
    }

    // The cable pulled: the program's side reads an error from now on.
    void closeMaster()
    {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
    }

private:
    int m_master = -1;
    QString m_slave;
};
