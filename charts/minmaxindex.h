#pragma once

#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

// An append-only list of values with the smallest and largest value of any
// index range in O(log n), and the first or last index of a range that
// passes a test on the value range of a block, in O(log n) too.
//
// A pyramid of blocks: level 0 holds the extremes of every 16 values,
// level 1 those of every 16 level-0 blocks, and so on up to one block.
// Appending updates one block per level.
//
// Two kinds of extremes are kept: those of the finite values (the value
// axis leaves out what cannot be scaled) and those of the values as drawn,
// where NaN sits on the zero line and counts as 0.
class MinMaxIndex
{
public:
    struct Extremes
    {
        double min = std::numeric_limits<double>::infinity();   // +inf and -inf: none
        double max = -std::numeric_limits<double>::infinity();
    };

    MinMaxIndex();

    void append(double value);
    void clear();
    int size() const { return int(m_values.size()); }
    // The bytes the values and their pyramid hold (for measuring).
    std::size_t heldBytes() const
    {
        std::size_t bytes = m_values.capacity() * sizeof(double);
        for (const Level &level : m_levels)
            bytes += level.capacity() * sizeof(Block);
        return bytes;
    }
    double value(int i) const { return m_values[std::size_t(i)]; }
    static double drawn(double v) { return std::isnan(v) ? 0.0 : v; }
    // Tells one list of values from another, and from itself before clear().
    unsigned long long serial() const { return m_serial; }

    // Over first..last, clipped to the values.
    Extremes finiteExtremes(int first, int last) const;
    Extremes drawnExtremes(int first, int last) const;

    // The first (last) index of first..last whose drawn value v passes
    // test(v, v), or -1. test(lo, hi) is also asked for whole blocks whose
    // drawn values lie between lo and hi, both included, and must hold for a
    // block exactly when it holds for one of its values: tests on a monotone
    // function of the value that look at both ends do.
    template <typename Test> int findFirst(int first, int last, Test test) const;
    template <typename Test> int findLast(int first, int last, Test test) const;

private:
    static const std::size_t B = 16;

    struct Block
    {
        double finiteMin, finiteMax, drawnMin, drawnMax;
        static Block of(double v);
        void merge(const Block &b);
    };
    using Level = std::vector<Block>;

    template <typename TakeValue, typename Take>
    void forRange(int first, int last, TakeValue takeValue, Take take) const;
    template <typename Test> int descendFirst(std::size_t level, std::size_t block, int last, Test test) const;
    template <typename Test> int descendLast(std::size_t level, std::size_t block, int first, Test test) const;
    // What a level's blocks group: the values for level 0, else the blocks
    // of the level below.
    std::size_t unitsBelow(std::size_t level) const
    {
        return level == 0 ? m_values.size() : m_levels[level - 1].size();
    }

    unsigned long long m_serial;
    std::vector<double> m_values;
    std::vector<Level> m_levels;
};

// ---------------------------------------------------------------------------

template <typename Test>
int MinMaxIndex::findFirst(int first, int last, Test test) const
{
    if (first < 0)
        first = 0;
    if (last > size() - 1)
        last = size() - 1;
    if (first > last)
        return -1;
    std::size_t i = std::size_t(first);
    const std::size_t end = std::size_t(last);
    for (const std::size_t blockEnd = std::min(end, (i / B + 1) * B - 1); i <= blockEnd; ++i) {
        const double v = drawn(m_values[i]);
        if (test(v, v))
            return int(i);
    }
    if (i > end)
        return -1;
    // Up the pyramid: the rest of the parent block at each level, then the
    // parent's right neighbours one level higher.
    std::size_t u = i / B, span = B;
    for (std::size_t level = 0; level < m_levels.size(); ++level, span *= B) {
        const Level &blocks = m_levels[level];
        const bool top = level + 1 == m_levels.size();
        const std::size_t parentEnd = (u / B + 1) * B;
        for (; u < blocks.size() && (top || u < parentEnd); ++u) {
            if (u * span > end)
                return -1;
            const Block &b = blocks[u];
            if (test(b.drawnMin, b.drawnMax))
                return descendFirst(level, u, last, test);
        }
        if (top || u >= blocks.size())
            return -1;
        u /= B;
    }
    return -1;
}

template <typename Test>
int MinMaxIndex::descendFirst(std::size_t level, std::size_t block, int last, Test test) const
{
    // The first passing child at each level down; one must pass.
    for (; level > 0; --level) {
        const Level &children = m_levels[level - 1];
        const std::size_t to = std::min((block + 1) * B, children.size());
        std::size_t c = block * B;
        while (c < to && !test(children[c].drawnMin, children[c].drawnMax))
            ++c;
        if (c == to)
            return -1;
        block = c;
    }
    const std::size_t to = std::min((block + 1) * B, m_values.size());
    for (std::size_t i = block * B; i < to && i <= std::size_t(last); ++i) {
        const double v = drawn(m_values[i]);
        if (test(v, v))
            return int(i);
    }
    return -1;
}

template <typename Test>
int MinMaxIndex::findLast(int first, int last, Test test) const
{
    if (first < 0)
        first = 0;
    if (last > size() - 1)
        last = size() - 1;
    if (first > last)
        return -1;
    const std::size_t begin = std::size_t(first);
    std::size_t i = std::size_t(last);
    const std::size_t blockStart = std::max(begin, i / B * B);
    for (;; --i) {
        const double v = drawn(m_values[i]);
        if (test(v, v))
            return int(i);
        if (i == blockStart)
            break;
    }
    if (blockStart == begin)
        return -1;
    // Up the pyramid: the left part of the parent block at each level, then
    // the parent's left neighbours one level higher.
    std::size_t u = blockStart / B, span = B;      // one past the block to look at
    for (std::size_t level = 0; level < m_levels.size(); ++level, span *= B) {
        const Level &blocks = m_levels[level];
        const bool top = level + 1 == m_levels.size();
        const std::size_t parentStart = (u - 1) / B * B;
        for (; u > 0 && (top || u > parentStart); --u) {
            if (u * span - 1 < begin)
                return -1;
            const Block &b = blocks[u - 1];
            if (test(b.drawnMin, b.drawnMax))
                return descendLast(level, u - 1, first, test);
        }
        if (top || u == 0)
            return -1;
        u /= B;
    }
    return -1;
}

template <typename Test>
int MinMaxIndex::descendLast(std::size_t level, std::size_t block, int first, Test test) const
{
    // The last passing child at each level down; one must pass.
    for (; level > 0; --level) {
        const Level &children = m_levels[level - 1];
        const std::size_t from = block * B;
        std::size_t c = std::min(from + B, children.size());
        while (c > from && !test(children[c - 1].drawnMin, children[c - 1].drawnMax))
            --c;
        if (c == from)
            return -1;
        block = c - 1;
    }
    const std::size_t from = std::max(block * B, std::size_t(first));
    for (std::size_t i = std::min((block + 1) * B, m_values.size()); i > from;) {
        --i;
        const double v = drawn(m_values[i]);
        if (test(v, v))
            return int(i);
    }
    return -1;
}
