#pragma once

#include <QString>

class ReadingSeries;

// One reading as a row of the measurements file's readings table. A value
// or text is kept only when it differs from what the micrometre value
// gives (valueMil from valueUm / 25.4, textUm with no decimals, textMil
// with two), which for most readings it does not; a null text is NULL.
struct KeptRow
{
    bool timed = false;
    qint64 time = 0;            // milliseconds since 1970 UTC
    int zone = 0;               // seconds ahead of UTC
    bool hasValueUm = false;
    double valueUm = 0;
    bool hasValueMil = false;
    double valueMil = 0;
    QString textUm;
    QString textMil;
    int overload = 0;
    QString unit;
    QString basis;
};

// The row of the series' i-th reading.
KeptRow keptRowOf(const ReadingSeries &readings, int i);
// Appends the reading a row keeps.
void appendKeptRow(const KeptRow &row, ReadingSeries *readings);
