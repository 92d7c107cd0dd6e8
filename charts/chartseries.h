#pragma once

#include "charts/chartpoint.h"
#include "charts/minmaxindex.h"

#include <QString>

#include <functional>
#include <string>
#include <vector>

// The readings of one chart line in flat arrays: the values (with their
// min/max index), and for points handed over as ChartPoint records their
// times of day and read-out tags. The texts are made when a label or the
// read-out needs them.
//
// Values appended on their own cost the chart only their index (about ten
// bytes a reading): their times and tags are asked of whoever holds the
// readings, by index.
class ChartSeries
{
public:
    // The time ("hh:mm:ss") and the read-out tag of the i-th value.
    using Text = std::function<QString(int i)>;

    void append(const ChartPoint &point);
    void append(double value) { m_index.append(value); }
    void setTexts(const Text &timeText, const Text &tag);
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
    Text m_timeSource;
    Text m_tagSource;
    // Of the points handed over as records, in order.
    std::vector<qint32> m_msecsOfDay;   // -1: no valid time
    std::string m_tagText;              // the tags in UTF-8, one after the other
    std::vector<qint64> m_tagEnds;      // where each tag ends in m_tagText
};
