#include "plugins/serialline/linegrammar.h"

#include "device/dmmdata.h"

#include <QCoreApplication>
#include <QTextCodec>

#include <cmath>

namespace {

const QString DefaultPattern = QStringLiteral(
    "^\\s*(?<value>[-+]?(?:\\d+(?:[.,]\\d*)?|[.,]\\d+|OL))"
    "\\s*(?<unit>um|\\x{00B5}m|\\x{03BC}m|mils?)?"
    "\\s*(?<basis>N?Fe)?\\s*$");

// "um" or "mil" for the unit texts gauges send; empty for any other.
QString unitOf(const QString &text)
{
    const QString t = text.trimmed().toLower();
    if (t == QLatin1String("um") || t == QString::fromUtf8("µm") || t == QString::fromUtf8("μm"))
        return QStringLiteral("um");
    if (t == QLatin1String("mil") || t == QLatin1String("mils"))
        return QStringLiteral("mil");
    return QString();
}

// "+12,50" -> "12.50", ",5" -> "0.5", "7." -> "7"; overloads as "OL"/"-OL".
QString normalisedValue(QString text)
{
    text = text.trimmed();
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    if (text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    if (text.compare(QLatin1String("OL"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("OL");
    if (text.compare(QLatin1String("-OL"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("-OL");
    const bool negative = text.startsWith(QLatin1Char('-'));
    QString digits = negative ? text.mid(1) : text;
    if (digits.startsWith(QLatin1Char('.')))
        digits.prepend(QLatin1Char('0'));
    if (digits.endsWith(QLatin1Char('.')))
        digits.chop(1);
    return negative ? QLatin1Char('-') + digits : digits;
}

} // namespace

LineGrammar::LineGrammar()
{
    setPattern(QString());
}

bool LineGrammar::setPattern(const QString &pattern, QString *error)
{
    QRegularExpression expression(pattern.isEmpty() ? DefaultPattern : pattern,
                                  QRegularExpression::CaseInsensitiveOption);
    if (!expression.isValid()) {
        if (error)
            *error = expression.errorString();
        return false;
    }
    if (!expression.namedCaptureGroups().contains(QStringLiteral("value"))) {
        if (error)
            *error = QCoreApplication::translate("LineGrammar", "it has no group named value");
        return false;
    }
    m_expression = expression;
    return true;
}

LineGrammar::Parsed LineGrammar::parse(const QString &line) const
{
    Parsed parsed;
    const QRegularExpressionMatch match = m_expression.match(line);
    if (!match.hasMatch()) {
        parsed.fault = Fault::Unreadable;
        return parsed;
    }
    parsed.value = normalisedValue(match.captured(QStringLiteral("value")));
    if (parsed.value != QLatin1String("OL") && parsed.value != QLatin1String("-OL")) {
        bool ok = false;
        const double v = parsed.value.toDouble(&ok);
        if (!ok || !std::isfinite(v)) {
            parsed.fault = Fault::Unreadable;
            return parsed;
        }
    }
    const QString unitText = match.captured(QStringLiteral("unit"));
    parsed.unit = unitText.trimmed().isEmpty() ? m_defaultUnit : unitOf(unitText);
    if (parsed.unit.isEmpty()) {
        parsed.fault = Fault::UnknownUnit;
        return parsed;
    }
    const QString basis = match.captured(QStringLiteral("basis")).trimmed();
    if (basis.compare(QLatin1String("Fe"), Qt::CaseInsensitive) == 0)
        parsed.basis = QStringLiteral("Fe");
    else if (basis.compare(QLatin1String("NFe"), Qt::CaseInsensitive) == 0)
        parsed.basis = QStringLiteral("NFe");
    else
        parsed.basis = basis;
    return parsed;
}

DmmData *LineGrammar::read(const QString &line, const QDateTime &time, Fault *fault) const
{
    const Parsed parsed = parse(line);
    if (fault)
        *fault = parsed.fault;
    if (parsed.fault != Fault::None)
        return nullptr;
    return Reading::make(parsed.value, parsed.unit, parsed.basis, time);
}

QString LineGrammar::decode(const QByteArray &bytes)
{
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    return state.invalidChars == 0 ? text : QString::fromLatin1(bytes);
}
