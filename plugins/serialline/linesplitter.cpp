#include "plugins/serialline/linesplitter.h"

#include <algorithm>

namespace {

// Tab is allowed inside a line; other control bytes are not text.
bool isNoise(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return (u < 0x20 && u != '\t') || u == 0x7F;
}

} // namespace

QList<LineSplitter::Line> LineSplitter::feed(const QByteArray &bytes)
{
    QList<Line> lines;
    for (const char c : bytes) {
        if (c == '\r' || c == '\n') {
            finishLine(lines);
        } else if (m_overflow) {
            // the rest of an over-long line is dropped as it comes
        } else if (m_pending.size() == MaxLineBytes) {
            m_overflow = true;
            m_pending.clear();
        } else {
            m_pending += c;
        }
    }
    return lines;
}

LineSplitter::Kind LineSplitter::kindOf(const QByteArray &text)
{
    return std::any_of(text.cbegin(), text.cend(), isNoise) ? Kind::Noise : Kind::Text;
}

void LineSplitter::clear()
{
    m_pending.clear();
    m_overflow = false;
}

void LineSplitter::finishLine(QList<Line> &lines)
{
    if (m_overflow) {
        lines.append({Kind::TooLong, {}});
    } else if (!m_pending.isEmpty()) {
        lines.append({kindOf(m_pending), m_pending});
    }
    clear();
}
