#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QRegularExpression>
#include <QString>

class DmmData;

// Reads one line of a gauge into a reading. The default grammar takes a
// value with "." or "," as decimal mark, or OL / -OL, then an optional unit
// (um, µm, μm, mil, mils) and an optional basis (Fe, NFe), in any case and
// with blanks around: "  125.4 um Fe", "4,94 mil", "-OL". A custom regular
// expression names its parts with the groups value, unit and basis.
class LineGrammar
{
public:
    enum class Fault { None, Unreadable, UnknownUnit };

    struct Parsed
    {
        Fault fault = Fault::None;
        QString value; // "125.4", "OL" or "-OL"
        QString unit;  // "um" or "mil"
        QString basis; // as sent ("Fe", "NFe"), or empty
    };

    LineGrammar();

    // An empty pattern selects the default grammar. False, with the reason,
    // when the expression is not valid or has no group named value.
    bool setPattern(const QString &pattern, QString *error = nullptr);
    // The unit of lines that carry none: "um" or "mil".
    void setDefaultUnit(const QString &unit) { m_defaultUnit = unit; }

    Parsed parse(const QString &line) const;
    // The reading of a line, or nullptr with the fault; the caller owns it.
    DmmData *read(const QString &line, const QDateTime &time, Fault *fault = nullptr) const;

    // The line's text: UTF-8 when it is valid, else Latin-1 (µ as 0xB5).
    static QString decode(const QByteArray &bytes);

private:
    QRegularExpression m_expression;
    QString m_defaultUnit = QStringLiteral("um");
};
