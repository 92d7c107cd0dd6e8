#pragma once

#include <QDateTime>
#include <QString>

// The date-and-time texts of one readings file. Besides the table's own
// "yyyy-MM-dd hh:mm:ss" and its near relatives, it reads the forms a
// spreadsheet writes when it saves the file again in another locale:
// day-first dates with dots ("05.03.2024 14:30:00"), and dates with slashes
// or dashes ("3/5/2024 14:30", "05/03/2024 2:30 PM"), with or without
// seconds. Whether a slashed date is day-first or month-first is decided
// once for the whole file, from the texts only one order can read
// (month-first when none or as many say otherwise).
class TimeTexts
{
public:
    // Whether reading the text depends on the order of day and month.
    static bool needsOrder(const QString &text);
    // Every text of the file that needsOrder is seen once before the first
    // of them is read.
    void observe(const QString &text);
    // The local time of a text; an empty text gives a null time. False for
    // a text that is not a readable time.
    bool read(const QString &text, QDateTime *time) const;

private:
    int m_dayFirst = 0;
    int m_monthFirst = 0;
};
