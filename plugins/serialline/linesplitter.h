#pragma once

#include <QByteArray>
#include <QList>

// Cuts the bytes a gauge sends into lines ended by CR, LF or both. A line
// longer than MaxLineBytes (handed on without its text) or with control
// bytes in it (binary noise) is marked as such; what is held back between calls
// never exceeds MaxLineBytes.
class LineSplitter
{
public:
    static constexpr int MaxLineBytes = 256;

    enum class Kind { Text, TooLong, Noise };
    struct Line
    {
        Kind kind = Kind::Text;
        QByteArray text; // empty for TooLong
    };

    // The complete lines in what has arrived so far; empty lines are skipped.
    QList<Line> feed(const QByteArray &bytes);
    // The start of a line that has not ended yet.
    const QByteArray &pending() const { return m_pending; }
    void clear();
    // Drops the first count bytes of the unfinished line.
    void dropPending(int count) { m_pending.remove(0, count); }

    // A finished line's kind by its bytes: Noise when control bytes are in it.
    static Kind kindOf(const QByteArray &text);

private:
    void finishLine(QList<Line> &lines);

    QByteArray m_pending;
    bool m_overflow = false;
};
