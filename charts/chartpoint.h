#pragma once

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QtGlobal>

// One plotted reading. Made by the caller with new and handed to the chart,
// which owns and deletes it.
struct ChartPoint
{
    int id;             // callers pass -1; not read by the chart
    qintptr handle;     // callers pass -1; not read by the chart
    QDateTime time;     // time-axis labels and the read-out time
    double value;
    QString text;       // display text of the value; kept, not drawn
    QVariant tag;       // shown in the read-out

    ChartPoint(double value, const QString &text, const QDateTime &time,
               int id, qintptr handle, const QVariant &tag)
        : id(id), handle(handle), time(time), value(value), text(text), tag(tag)
    {
    }
};
