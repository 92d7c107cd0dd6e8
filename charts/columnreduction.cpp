#include "charts/columnreduction.h"

void ColumnReducer::add(const QPoint &p)
{
    const int n = m_run.size();
    if (n > 0 && p.x() != m_run.last().x()) {
        flush();
    } else if (n >= 2 && p == m_run.at(n - 1) && p == m_run.at(n - 2)) {
        return;                 // a third copy adds nothing
    }
    m_run.append(p);
}

void ColumnReducer::flush()
{
    const QVector<QPoint> &r = m_run;
    const int n = r.size();
    int a = 1;                  // end of the first move
    while (a < n && r.at(a).y() == r.at(a - 1).y())
        ++a;
    // The last move is kept with the move before it: how the line's very last
    // segment is capped depends on the segment before it.
    int b = n - 1;              // start of the move before the last one
    for (int moves = 0; moves < 2 && b > 0;) {
        --b;
        if (r.at(b).y() != r.at(b + 1).y())
            ++moves;
    }
    if (n <= 8 || a >= n || b <= a) {
        m_out->append(r);
        m_run.clear();
        return;
    }
    for (int i = 0; i <= a; ++i)
        m_out->append(r.at(i));
    int low = a + 1, high = a + 1;
    for (int i = a + 2; i < b; ++i) {
        if (r.at(i).y() < r.at(low).y())
            low = i;
        if (r.at(i).y() > r.at(high).y())
            high = i;
    }
    if (low < b) {
        const int first = qMin(low, high), second = qMax(low, high);
        m_out->append(r.at(first));
        if (second != first)
            m_out->append(r.at(second));
    }
    for (int i = b; i < n; ++i)
        m_out->append(r.at(i));
    m_run.clear();
}

void ColumnReducer::finish()
{
    if (!m_run.isEmpty())
        flush();
}

QVector<QPoint> reduceByColumn(const QVector<QPoint> &vertices)
{
    QVector<QPoint> out;
    {
        ColumnReducer reducer(&out);
        for (const QPoint &p : vertices)
            reducer.add(p);
    }
    return out;
}

void dropRepeatedVertices(QVector<QPoint> *vertices)
{
    const int n = vertices->size();
    if (n <= 3)
        return;
    QPoint *v = vertices->data();
    int kept = 2;
    for (int i = 2; i < n - 1; ++i) {
        if (v[i] != v[kept - 1])
            v[kept++] = v[i];
    }
    v[kept++] = v[n - 1];
    vertices->resize(kept);
}
