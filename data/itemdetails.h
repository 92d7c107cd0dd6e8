#pragma once

#include <QCoreApplication>
#include <QDate>
#include <QString>
#include <QVector>

// What an inspection report says about where and how an item was measured.
// Every field is optional: an empty text or a null date is not set.
struct ItemDetails
{
    Q_DECLARE_TR_FUNCTIONS(ItemDetails)

public:
    QString project;
    QString structure;      // structure and area
    QString coating;        // coating system
    QString gaugeModel;
    QString gaugeSerial;
    QString probeSerial;
    QDate calibration;      // last calibration or verification
    QString adjustment;     // how the gauge was adjusted
    QString inspector;
    QString notes;

    bool isSet() const;
    // Blanks around every text removed; a text of blanks is not set.
    ItemDetails trimmed() const;
    // The fields a new item takes from the one measured before it: the
    // inspector and the gauge in hand (model, serial numbers, calibration).
    ItemDetails carriedOver() const;

    bool operator==(const ItemDetails &o) const;
    bool operator!=(const ItemDetails &o) const { return !(*this == o); }
};

// A caption and its text, for each field that is set, in the order of the
// dialog; the calibration date as "yyyy-MM-dd".
struct DetailLine
{
    QString caption;
    QString text;
};
QVector<DetailLine> detailLines(const ItemDetails &details);
