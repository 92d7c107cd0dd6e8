#pragma once

#include <QCoreApplication>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <QVector>

class ItemData;

// What "list" and "show" print about an item: as JSON of stable keys and
// values (numbers in the item's unit at its resolution, English words), or
// as text. The item's readings are in memory.
class ItemReadout
{
    Q_DECLARE_TR_FUNCTIONS(ItemReadout)

public:
    ItemReadout(qint64 id, const QString &group, const ItemData &item);

    // id, group, name, unit, readings, mean, minimum, maximum, standard
    // deviation, rule and verdict: the figures leave overloads out (the
    // count is of all readings), as the summary report does.
    QJsonObject listEntry() const;
    // The same fields tab-separated, "-" for none.
    QString listLine() const;

    // Everything the Statistics tab shows: the figures with and without
    // overloads, the limits, the verdict and each rule, and the details.
    QJsonObject showEntry() const;
    QString showText() const;

private:
    QJsonObject figures(bool withOverloads) const;

    qint64 m_id;
    QString m_group;
    const ItemData &m_item;
    bool m_micrometres;
};

// Rows of texts in columns as wide as their widest text (a Chinese
// character counts two), two spaces apart.
QString alignedRows(const QVector<QStringList> &rows);
