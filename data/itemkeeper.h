#pragma once

#include "data/itemdata.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>

class JobProgress;

// Where an ItemStore hands every change so that it outlives the process.
// Each call has finished (is durable) when it returns true; on false,
// failure() says why in words for the user and the store stops handing
// changes over. Items are known by the keeper's own ids (never 0).
class ItemKeeper
{
public:
    struct KeptItem
    {
        qint64 id = 0;
        QString name;
        ItemData::DataType type = ItemData::Measure;
        Unit unit = Unit::Micrometre;
        ItemStatistics statistics;
        ItemLimits limits;
        ItemDetails details;
    };

    // A new item as it is to be kept.
    struct NewItem
    {
        qint64 id = 0;
        QString name;
        ItemData::DataType type = ItemData::Import;
        Unit unit = Unit::Micrometre;
        ItemStatistics statistics;
    };

    virtual ~ItemKeeper() = default;

    // Every kept item without its readings, in tree order.
    virtual QList<KeptItem> keptItems() const = 0;
    // The id of the item that was active, or 0.
    virtual qint64 keptActiveItem() const = 0;
    // Asks for the item's readings in arrival order; done follows on the
    // asking thread, at once or later (false when they could not be read).
    using ReadingsDone = std::function<void(bool ok, const ReadingSeries &readings)>;
    virtual void requestReadings(qint64 id, const ReadingsDone &done) = 0;

    // The new item's id, or 0 on failure. It goes after every other item.
    virtual qint64 addItem(const QString &name, ItemData::DataType type, Unit unit) = 0;
    virtual bool removeItem(qint64 id) = 0;
    virtual bool renameItem(qint64 id, const QString &name) = 0;
    virtual bool setUnit(qint64 id, Unit unit) = 0;
    virtual bool setActiveItem(qint64 id) = 0;
    // The item's readings from `first` on, which follow those kept, together
    // with the statistics they lead to, in one step.
    virtual bool appendReadings(qint64 id, const ReadingSeries &readings, int first,
                                const ItemStatistics &statistics) = 0;
    virtual bool clearReadings(qint64 id, const ItemStatistics &statistics) = 0;
    virtual bool setStatistics(qint64 id, const ItemStatistics &statistics) = 0;
    virtual bool setLimits(qint64 id, const ItemLimits &limits) = 0;
    virtual bool setDetails(qint64 id, const ItemDetails &details) = 0;

    // The calls between these two are kept in one step: after a crash
    // either all of them are kept or none. A failure inside undoes the
    // calls made since beginChanges.
    virtual bool beginChanges() = 0;
    virtual bool commitChanges() = 0;

    virtual QString failure() const = 0;

    // Calls done once every change handed over so far is kept: at once for
    // a keeper that keeps before it returns.
    virtual void whenKept(const std::function<void()> &done) { done(); }

    // A new item with its readings, unit and statistics, as one step that
    // a cancelled progress undoes. done(outcome, id) follows on the asking
    // thread, at once or later; the keeper gives the id (item.id is 0).
    enum class Outcome { Kept, Cancelled, Failed };
    using NewItemDone = std::function<void(Outcome outcome, qint64 id)>;
    virtual void keepNewItem(const NewItem &item, const ReadingSeries &readings,
                             const std::shared_ptr<JobProgress> &progress, const NewItemDone &done) = 0;
};
