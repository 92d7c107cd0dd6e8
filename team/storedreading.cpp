#include "team/storedreading.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

// A text that is there, even when empty: QVariant calls an empty text of
// some drivers null, and a null one would be bound as NULL.
QString textOf(const QSqlQuery &query, int column)
{
    const QString text = query.value(column).toString();
    return text.isNull() ? QString(QLatin1String("")) : text;
}

// Asks the driver, which knows NULL from an empty text.
template <typename T>
std::optional<T> optionalOf(const QSqlQuery &query, int column)
{
    if (query.isNull(column))
        return std::nullopt;
    return query.value(column).value<T>();
}

template <>
std::optional<QString> optionalOf<QString>(const QSqlQuery &query, int column)
{
    if (query.isNull(column))
        return std::nullopt;
    return textOf(query, column);
}

template <typename T>
QVariant variantOf(const std::optional<T> &value, QVariant::Type nullType)
{
    return value ? QVariant::fromValue(*value) : QVariant(nullType);
}

} // namespace

StoredReading StoredReading::fromRow(const QSqlQuery &query, int first)
{
    StoredReading r;
    r.seq = query.value(first).toInt();
    r.time = optionalOf<qint64>(query, first + 1);
    r.zone = optionalOf<int>(query, first + 2);
    r.valueUm = optionalOf<double>(query, first + 3);
    r.valueMil = optionalOf<double>(query, first + 4);
    r.textUm = optionalOf<QString>(query, first + 5);
    r.textMil = optionalOf<QString>(query, first + 6);
    r.overload = query.value(first + 7).toInt();
    r.unit = textOf(query, first + 8);
    r.basis = textOf(query, first + 9);
    return r;
}

void StoredReading::bind(QSqlQuery &query, int first) const
{
    query.bindValue(first, seq);
    query.bindValue(first + 1, variantOf(time, QVariant::LongLong));
    query.bindValue(first + 2, variantOf(zone, QVariant::Int));
    query.bindValue(first + 3, variantOf(valueUm, QVariant::Double));
    query.bindValue(first + 4, variantOf(valueMil, QVariant::Double));
    query.bindValue(first + 5, variantOf(textUm, QVariant::String));
    query.bindValue(first + 6, variantOf(textMil, QVariant::String));
    query.bindValue(first + 7, overload);
    query.bindValue(first + 8, unit);
    query.bindValue(first + 9, basis);
}
