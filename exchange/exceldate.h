#pragma once

#include <QDateTime>
#include <QString>

// Dates as spreadsheet serial numbers: days since the system's epoch, the
// time of day as the fraction. The 1900 system keeps the spreadsheet's
// historic leap day 1900-02-29 (serial 60), so serials below 61 are one day
// off the plain day count; the 1904 system counts from 1904-01-01.
namespace ExcelDate {

enum class System { Date1900, Date1904 };

// Serial of a date and time, in whole seconds. False for times the
// spreadsheet cannot hold (before its epoch, after 9999-12-31, invalid).
bool toSerial(const QDateTime &time, System system, double *serial);

// Serial of a date-and-time text (see parseDateTimeText), without going
// through a local time.
bool textToSerial(const QString &text, System system, double *serial);

// Date and time of a serial, rounded to the nearest second, as local time
// (given as the local offset from UTC, which is the same moment and wall
// clock, and much faster to make).
// Invalid for negative or too large serials. The non-existent 1900-02-29
// reads as 1900-02-28.
QDateTime fromSerial(double serial, System system);

// Reads a date-and-time text as a date cell takes it: "yyyy-MM-dd hh:mm:ss"
// and its near relatives ("/" separators, "T", no seconds, date only, one
// digit month, day or hour). Fractions of a second are rounded away.
// Invalid when the text is none of these.
QDateTime parseDateTimeText(const QString &text);

// The local time of a date and second of day. A time skipped by a
// daylight-saving change is taken as the nearest time that exists.
QDateTime localTime(const QDate &date, int secondOfDay);

// Whether a number format shows a date or time: the built-in date formats,
// or a format string with a date or time token (y, m, d, h, s) outside
// quoted text, escapes and bracketed colour or locale tags.
bool isDateFormat(int formatIndex, const QString &formatString);

} // namespace ExcelDate
