#pragma once

#include <QString>

#include <optional>

class QSqlQuery;

// A reading exactly as measurements.sqlite keeps it, so that it travels
// through the team database without a digit changing. An empty value is
// NULL in the file and stands for what the others derive.
struct StoredReading
{
    int seq = 0;                     // its place in the item, from 0
    std::optional<qint64> time;      // milliseconds since 1970 UTC; none: no time
    std::optional<int> zone;         // the time's offset from UTC in seconds
    std::optional<double> valueUm;   // none: no number
    std::optional<double> valueMil;  // none: valueUm / 25.4
    std::optional<QString> textUm;   // none: valueUm with no decimals
    std::optional<QString> textMil;  // none: valueMil with two decimals
    int overload = 0;
    QString unit;
    QString basis;

    bool operator==(const StoredReading &o) const
    {
        return seq == o.seq && time == o.time && zone == o.zone && valueUm == o.valueUm && valueMil == o.valueMil
            && textUm == o.textUm && textMil == o.textMil && overload == o.overload && unit == o.unit
            && basis == o.basis;
    }
    bool operator!=(const StoredReading &o) const { return !(*this == o); }

    // The columns seq, time, zone, value_um, value_mil, text_um, text_mil,
    // overload, unit, basis of the query's current row, from column first on.
    static StoredReading fromRow(const QSqlQuery &query, int first = 0);
    // Binds the same columns to the query's placeholders from index first on.
    void bind(QSqlQuery &query, int first = 0) const;
};
