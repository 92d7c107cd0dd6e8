#pragma once

#include "data/readingseries.h"

#include <QList>

// Every reading of a series, field for field, for comparing in tests.
inline QList<ReadingFields> fieldsOf(const ReadingSeries &series)
{
    QList<ReadingFields> fields;
    for (int i = 0; i < series.size(); ++i)
        fields << series.fields(i);
    return fields;
}

// A series of readings made from their fields.
inline ReadingSeries seriesOf(const QList<ReadingFields> &fields)
{
    ReadingSeries series;
    for (const ReadingFields &f : fields)
        series.append(f);
    return series;
}
