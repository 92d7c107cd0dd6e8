#pragma once

#include "data/itemdata.h"
#include "data/itemdetails.h"
#include "data/itemlimits.h"

#include <QString>

// An item as the team database holds it: what the item store keeps of it,
// who sent it from where, and the counters a sync compares. Times are
// milliseconds since 1970 UTC.
struct TeamItem
{
    QString uuid;
    QString installation;
    QString inspector;  // as the sending installation's team settings name the inspector
    QString owner;      // the database role that wrote it; empty before it is sent
    ItemData::DataType type = ItemData::Measure;
    QString name;
    QString unit;
    ItemStatistics statistics;
    ItemLimits limits;
    ItemDetails details;
    qint64 made = 0;
    qint64 changed = 0;
    qint64 revision = 0;   // counted up by every change of the item
    qint64 generation = 0; // counted up whenever its readings are cleared or replaced
    int readingCount = 0;
};
