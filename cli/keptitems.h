#pragma once

#include "data/itemkeeper.h"
#include "data/measurementdatabase.h"

#include <QCoreApplication>
#include <QList>
#include <QString>

#include <memory>

class ItemData;

// The kept items as the command line reads them: measurements.sqlite opened
// only to read, without the lock the window holds, so that they can be read
// while the window keeps them. Every read sees the file as it was at the
// first one.
class KeptItems
{
    Q_DECLARE_TR_FUNCTIONS(KeptItems)

public:
    // The items under the tree's two groups, "Store Data" first.
    bool open(const QString &path = MeasurementDatabase::defaultPath());
    const QList<ItemKeeper::KeptItem> &items() const { return m_items; }

    // The item named by its id, its name, or "group/name". None when no
    // item or several have that name; problem() then says so (and lists
    // them) and *several tells which.
    const ItemKeeper::KeptItem *find(const QString &name, bool *several);

    // The item with its readings in memory and its figures counted from
    // them; none when they cannot be read (see problem()).
    std::unique_ptr<ItemData> load(const ItemKeeper::KeptItem &kept);

    // The group an item is shown under: "Store Data" or "Live Data".
    static QString groupOf(const ItemKeeper::KeptItem &item);

    QString problem() const { return m_problem; }

private:
    MeasurementDatabase m_database;
    QList<ItemKeeper::KeptItem> m_items;
    QString m_problem;
};
