#pragma once

#include "charts/chartpoint.h"
#include "charts/minmaxindex.h"

#include <QString>

#include <string>
#include <vector>

// The readings of one chart line in flat arrays: the values (with their
// min/max index), the times of day and the read-out tags. A reading costs a
// few dozen bytes instead of a record with its own strings; the texts are
// made when a label or the read-out needs them.
class ChartSeries
{
public:
    void append(const ChartPoint &point);
    void clear();

    int size() const { return m_index.size(); }
    bool isEmpty() const { return size() == 0; }
    double value(int i) const { return m_index.value(i); }
    // "hh:mm:ss", as the reading's time formats itself; empty when it has none.
    QString timeText(int i) const;
    // The tag as text.
    QString tag(int i) const;
    const MinMaxIndex &index() const { return m_index; }

private:
    MinMaxIndex m_index;
    std::vector<qint32> m_msecsOfDay;   // -1: no valid time
    std::string m_tagText;              // the tags in UTF-8, one after the other
    std::vector<qint64> m_tagEnds;      // where each tag ends in m_tagText
};
