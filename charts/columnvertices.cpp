#include "charts/columnvertices.h"

#include "charts/stepsearch.h"

#include <algorithm>
#include <cmath>

namespace {

// One pixel column. Inside it the line runs up and down through runs of
// readings on one pixel row; ColumnReducer keeps at most two vertices of a
// run, every vertex of a column that keeps at most eight that way, and of a
// longer column the first run, the first vertex of the second, the lowest
// and highest vertex in between, and the vertices from the last vertex of
// the third run from the end on.
class ColumnThinner
{
public:
    // `out` has room for ten vertices per column.
    ColumnThinner(const MinMaxIndex &values, const ChartAxes &axes, QPoint *out)
        : m_values(values), m_zeroY(axes.zeroY), m_yScale(axes.yScale), m_out(out)
    {
    }
    QPoint *end() const { return m_out; }

    // `memo`: what an earlier rebuild found for this column; updated.
    void column(int x, int first, int last, ColumnMemo::Column *memo);

private:
    using Run = ColumnMemo::Run;

    // The row of a value as drawn (NaN on the zero line, as 0).
    int row(double drawn) const { return StepSearch::truncateToPixel(m_zeroY - m_yScale * drawn); }
    int rowAt(int i) const { return row(MinMaxIndex::drawn(m_values.value(i))); }
    // The run on the row of `from` (of `to`) that starts at `from` (ends at `to`).
    int runLast(int from, int last) const;
    int runFirst(int to, int first) const;
    // Whether the readings after `from` up to `to` stay on its row.
    bool staysOnRow(int from, int to) const;
    // The highest and lowest row of from..to (not empty) and which comes first.
    void findExtremes(int from, int to, ColumnMemo::Column *found) const;
    // The same from what `seen` found for a range a few readings to the left.
    bool shiftExtremes(const ColumnMemo::Column &seen, ColumnMemo::Column *found) const;
    void put(int x, int y) { *m_out++ = QPoint(x, y); }
    // A run keeps one vertex, or two when it holds more than one reading.
    static int keptOf(const Run &r) { return r.last > r.first ? 2 : 1; }
    void putRun(int x, const Run &r)
    {
        put(x, r.y);
        if (r.last > r.first)
            put(x, r.y);
    }

    const MinMaxIndex &m_values;
    const double m_zeroY;
    const double m_yScale;
    QPoint *m_out;
};

int ColumnThinner::runLast(int from, int last) const
{
    const int y = rowAt(from);
    const int next = m_values.findFirst(from + 1, last, [&](double lo, double hi) {
        return row(lo) != y || row(hi) != y;
    });
    return next < 0 ? last : next - 1;
}

int ColumnThinner::runFirst(int to, int first) const
{
    const int y = rowAt(to);
    const int previous = m_values.findLast(first, to - 1, [&](double lo, double hi) {
        return row(lo) != y || row(hi) != y;
    });
    return previous < 0 ? first : previous + 1;
}

bool ColumnThinner::staysOnRow(int from, int to) const
{
    if (to - from > 8)
        return false;           // not worth checking one by one
    const int y = rowAt(from);
    for (int i = from + 1; i <= to; ++i) {
        if (rowAt(i) != y)
            return false;
    }
    return true;
}

void ColumnThinner::findExtremes(int from, int to, ColumnMemo::Column *found) const
{
    const MinMaxIndex::Extremes e = m_values.drawnExtremes(from, to);
    found->top = row(e.max);
    found->bottom = row(e.min);
    found->bottomFirst = false;
    if (found->top == found->bottom)
        return;
    // The first reading on the top row, and whether one on the bottom row
    // comes before it.
    const int top = found->top, bottom = found->bottom;
    const int atTop = m_values.findFirst(from, to, [&](double, double hi) { return row(hi) <= top; });
    found->bottomFirst = atTop > from && row(m_values.drawnExtremes(from, atTop - 1).min) >= bottom;
}

bool ColumnThinner::shiftExtremes(const ColumnMemo::Column &seen, ColumnMemo::Column *found) const
{
    const int most = 16;        // readings worth looking at one by one
    if (seen.from > seen.to || found->from < seen.from || found->to < seen.to || found->from > seen.to
        || found->from - seen.from > most || found->to - seen.to > most)
        return false;
    // The readings left behind must not be on either extreme row: then the
    // rest still reaches both rows, first reaching the top where it did.
    for (int i = seen.from; i < found->from; ++i) {
        const int r = rowAt(i);
        if (r <= seen.top || r >= seen.bottom)
            return false;
    }
    found->top = seen.top;
    found->bottom = seen.bottom;
    found->bottomFirst = seen.bottomFirst;
    // A reading taken in that goes beyond an extreme row reaches it last.
    for (int i = seen.to + 1; i <= found->to; ++i) {
        const int r = rowAt(i);
        if (r < found->top) {
            found->top = r;
            found->bottomFirst = true;
        } else if (r > found->bottom) {
            found->bottom = r;
            found->bottomFirst = false;
        }
    }
    return true;
}

void ColumnThinner::column(int x, int first, int last, ColumnMemo::Column *memo)
{
    ColumnMemo::Column seen;
    if (memo) {
        seen = *memo;
        memo->first = -1;
    }
    // An earlier rebuild saw this column start and end no later: the runs
    // it found are still runs here, the last two when the new readings at
    // the end stay on the last one's row.
    const bool known = seen.first >= 0 && first >= seen.first && last >= seen.last;
    const bool sameEnd = known && staysOnRow(seen.last, last);

    // The first two runs and the last two.
    const Run one = known && first <= seen.one.last && seen.one.last < seen.last
                        ? Run{first, seen.one.last, seen.one.y}
                        : Run{first, runLast(first, last), rowAt(first)};
    if (one.last == last) {
        putRun(x, one);
        return;
    }
    const Run two = known && one.last == seen.one.last && seen.two.last < seen.last
                        ? seen.two
                        : Run{one.last + 1, runLast(one.last + 1, last), rowAt(one.last + 1)};
    const Run end = sameEnd ? Run{std::max(seen.end.first, first), last, seen.end.y}
                            : Run{runFirst(last, first), last, rowAt(last)};
    if (end.first <= two.last + 1) {                // two or three runs
        putRun(x, one);
        putRun(x, two);
        if (end.first > two.last)
            putRun(x, end);
        return;
    }
    const bool sameNextToEnd = sameEnd && end.first == seen.end.first;
    const Run nextToEnd = sameNextToEnd
                              ? Run{std::max(seen.nextToEnd.first, first), end.first - 1, seen.nextToEnd.y}
                              : Run{runFirst(end.first - 1, first), end.first - 1, rowAt(end.first - 1)};
    if (nextToEnd.first == two.last + 1) {          // four runs
        putRun(x, one);
        putRun(x, two);
        putRun(x, nextToEnd);
        putRun(x, end);
        return;
    }

    // Five runs or more; the third from the end ends before the next-to-last.
    ColumnMemo::Column now;
    now.first = first;
    now.last = last;
    now.one = one;
    now.two = two;
    now.nextToEnd = nextToEnd;
    now.end = end;
    const int thirdLast = nextToEnd.first - 1;
    if (sameNextToEnd && nextToEnd.first == seen.nextToEnd.first) {
        now.thirdY = seen.thirdY;
        now.thirdLong = seen.thirdLong;
    } else {
        now.thirdY = rowAt(thirdLast);
        now.thirdLong = rowAt(thirdLast - 1) == now.thirdY;
    }

    // The column keeps all its vertices when they are at most eight: walk
    // the runs between the second and the third from the end while that
    // can still be.
    int kept = keptOf(one) + keptOf(two) + (now.thirdLong ? 2 : 1) + keptOf(nextToEnd) + keptOf(end);
    Run between[4];
    int count = 0, i = two.last + 1;
    while (kept <= 8 && i < thirdLast) {
        const int runEnd = runLast(i, last);
        if (runEnd >= thirdLast)
            break;                                  // the third run from the end
        between[count++] = Run{i, runEnd, rowAt(i)};
        kept += runEnd > i ? 2 : 1;
        i = runEnd + 1;
    }
    if (kept <= 8) {
        putRun(x, one);
        putRun(x, two);
        for (int r = 0; r < count; ++r)
            putRun(x, between[r]);
        putRun(x, Run{i, thirdLast, now.thirdY});
        putRun(x, nextToEnd);
        putRun(x, end);
        return;
    }

    // Thinned: the first run, the second's first vertex, the extremes in
    // between, the third run from the end's last vertex, the last two runs.
    // In between lies from after the second run's first reading to before
    // the third run from the end's last one. A run's rows are all one, so
    // what the reducer sees of a run (one or two vertices) has the same
    // extremes, first reached at the same reading.
    now.from = two.first + 1;
    now.to = thirdLast - 1;
    if (known && now.from == seen.from && now.to == seen.to) {
        now.top = seen.top;
        now.bottom = seen.bottom;
        now.bottomFirst = seen.bottomFirst;
    } else if (now.from <= now.to && !(known && shiftExtremes(seen, &now))) {
        findExtremes(now.from, now.to, &now);
    }
    putRun(x, one);
    put(x, two.y);
    if (now.from <= now.to) {
        put(x, now.bottomFirst ? now.bottom : now.top);
        if (now.top != now.bottom)
            put(x, now.bottomFirst ? now.top : now.bottom);
    }
    put(x, now.thirdY);
    putRun(x, nextToEnd);
    putRun(x, end);
    if (memo)
        *memo = now;
}

} // namespace

bool thinsWithIndex(const ChartAxes &axes)
{
    return axes.yScale > 0 && std::isfinite(axes.yScale);
}

void appendThinnedVertices(const MinMaxIndex &values, int first, int last, const ChartAxes &axes,
                           const QRect &plot, QVector<QPoint> *out, ColumnMemo *memo)
{
    const int start = std::max(first, 0);
    const int end = std::min(last, values.size() - 1);
    if (end < start)
        return;
    const int count = end - start + 1;
    if (memo) {
        // What it knows holds for these values on these rows only.
        if (memo->values != &values || memo->serial != values.serial() || memo->zeroY != axes.zeroY
            || memo->yScale != axes.yScale) {
            memo->columns.clear();
            memo->values = &values;
            memo->serial = values.serial();
            memo->zeroY = axes.zeroY;
            memo->yScale = axes.yScale;
        }
        memo->columns.resize(std::size_t(std::max(plot.width(), 0)) + 1);
    }
    // The same arithmetic as forEachChartVertex: x never decreases with k.
    auto columnOf = [&](int k) { return StepSearch::truncateToPixel(k * axes.xScale + plot.left()); };
    // At most ten vertices for each pixel column.
    const qint64 columns = std::min<qint64>(count, qint64(columnOf(count - 1)) - columnOf(0) + 1);
    const int base = out->size();
    out->resize(int(base + 10 * columns));
    ColumnThinner thinner(values, axes, out->data() + base);
    // The first reading right of column x, after reading k in it: where the
    // arithmetic puts it when it checks out, else found by bisection.
    auto nextColumn = [&](int k, int x) {
        if (k + 1 == count || columnOf(k + 1) > x)
            return k + 1;
        const double guess = std::ceil((x + 1 - plot.left()) / axes.xScale);
        if (guess > k + 1 && guess <= count) {
            const int g = int(guess);
            if (columnOf(g - 1) == x && (g == count || columnOf(g) > x))
                return g;
        }
        int next = k + 1, beyond = count;
        while (next < beyond) {
            const int mid = next + (beyond - next) / 2;
            if (columnOf(mid) > x)
                beyond = mid;
            else
                next = mid + 1;
        }
        return next;
    };
    for (int k = 0; k < count;) {
        const int x = columnOf(k);
        const int next = nextColumn(k, x);
        const std::size_t slot = std::size_t(x - plot.left());
        ColumnMemo::Column *known = memo && x >= plot.left() && slot < memo->columns.size()
                                        ? &memo->columns[slot] : nullptr;
        thinner.column(x, start + k, start + next - 1, known);
        k = next;
    }
    out->resize(int(thinner.end() - out->constData()));
}
