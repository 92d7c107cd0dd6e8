#pragma once

#include "data/itemdata.h"

#include <QList>
#include <QString>

#include <functional>

// What is known of an item of another installation before its readings
// are read: enough to place it in the tree, show its figures and judge it.
struct TeamItemHead
{
    QString uuid;
    QString inspector;
    QString name;
    Unit unit = Unit::Micrometre;
    ItemStatistics statistics;
    ItemLimits limits;
    ItemDetails details;
    qint64 revision = 0;
    qint64 generation = 0;
};

// Where the item store finds the other installations' items and their
// readings. Both are read off the window's thread; each answer follows on
// the asking thread, later, and only while the source lives.
class TeamSource
{
public:
    virtual ~TeamSource() = default;

    // The items by inspector and then name; false with a reason when they
    // cannot be read.
    using ItemsDone = std::function<void(bool ok, const QList<TeamItemHead> &items, const QString &problem)>;
    virtual void requestItems(const ItemsDone &done) = 0;

    // The item's readings in the order taken, each the very reading its
    // origin holds.
    using ReadingsDone = std::function<void(bool ok, const ReadingSeries &readings, const QString &problem)>;
    virtual void requestReadings(const QString &uuid, const ReadingsDone &done) = 0;
};
