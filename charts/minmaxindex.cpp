#include "charts/minmaxindex.h"

#include <algorithm>
#include <atomic>

MinMaxIndex::MinMaxIndex()
{
    static std::atomic<unsigned long long> lists{0};
    m_serial = ++lists;
}

MinMaxIndex::Block MinMaxIndex::Block::of(double v)
{
    const double inf = std::numeric_limits<double>::infinity();
    const bool finite = std::isfinite(v);
    const double d = drawn(v);
    return Block{finite ? v : inf, finite ? v : -inf, d, d};
}

void MinMaxIndex::Block::merge(const Block &b)
{
    finiteMin = std::min(finiteMin, b.finiteMin);
    finiteMax = std::max(finiteMax, b.finiteMax);
    drawnMin = std::min(drawnMin, b.drawnMin);
    drawnMax = std::max(drawnMax, b.drawnMax);
}

void MinMaxIndex::append(double value)
{
    m_values.push_back(value);
    const Block leaf = Block::of(value);
    std::size_t i = m_values.size() - 1;
    for (std::size_t level = 0;; ++level) {
        i /= B;
        if (level == m_levels.size()) {
            // A new top level once the one below holds two units.
            const std::size_t below = unitsBelow(level);
            if (below <= 1)
                break;
            Level top;
            for (std::size_t u = 0; u < below; ++u) {
                const Block b = level == 0 ? Block::of(m_values[u]) : m_levels[level - 1][u];
                if (u % B == 0)
                    top.push_back(b);
                else
                    top.back().merge(b);
            }
            m_levels.push_back(std::move(top));
        } else if (i < m_levels[level].size()) {
            m_levels[level][i].merge(leaf);
        } else {
            m_levels[level].push_back(leaf);
        }
    }
}

void MinMaxIndex::clear()
{
    *this = MinMaxIndex();      // gives the memory back
}

// Hands takeValue() every value and take() every block that together cover
// first..last once: the loose ends at each level, the aligned middle one
// level up.
template <typename TakeValue, typename Take>
void MinMaxIndex::forRange(int first, int last, TakeValue takeValue, Take take) const
{
    first = std::max(first, 0);
    last = std::min(last, size() - 1);
    if (first > last)
        return;
    std::size_t l = std::size_t(first), h = std::size_t(last) + 1;
    while (l < h && l % B != 0)
        takeValue(m_values[l++]);
    while (l < h && h % B != 0)
        takeValue(m_values[--h]);
    l /= B;
    h /= B;
    for (std::size_t level = 0; l < h && level < m_levels.size(); ++level) {
        const Level &blocks = m_levels[level];
        if (level + 1 == m_levels.size()) {
            while (l < h)
                take(blocks[l++]);
            break;
        }
        while (l < h && l % B != 0)
            take(blocks[l++]);
        while (l < h && h % B != 0)
            take(blocks[--h]);
        l /= B;
        h /= B;
    }
}

MinMaxIndex::Extremes MinMaxIndex::finiteExtremes(int first, int last) const
{
    Extremes e;
    forRange(
        first, last,
        [&](double v) {
            if (std::isfinite(v)) {
                e.min = std::min(e.min, v);
                e.max = std::max(e.max, v);
            }
        },
        [&](const Block &b) {
            e.min = std::min(e.min, b.finiteMin);
            e.max = std::max(e.max, b.finiteMax);
        });
    return e;
}

MinMaxIndex::Extremes MinMaxIndex::drawnExtremes(int first, int last) const
{
    Extremes e;
    forRange(
        first, last,
        [&](double v) {
            const double d = drawn(v);
            e.min = std::min(e.min, d);
            e.max = std::max(e.max, d);
        },
        [&](const Block &b) {
            e.min = std::min(e.min, b.drawnMin);
            e.max = std::max(e.max, b.drawnMax);
        });
    return e;
}
