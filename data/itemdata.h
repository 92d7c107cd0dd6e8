#pragma once

#include "data/itemdetails.h"
#include "data/itemlimits.h"
#include "data/readingseries.h"
#include "data/runningspread.h"

#include <QMetaType>

#include <memory>
#include <QObject>
#include <QString>

// Count and ready-made texts of an item's running statistics.
struct ItemStatistics
{
    int num = 0;
    QString avg = QStringLiteral("0");
    QString min = QStringLiteral("0");
    QString max = QStringLiteral("0");
};

// A named collection of readings. Owns its readings and keeps their
// statistics. The figures are counted in micrometres whatever the item
// shows, so a unit change never changes a count, a mean or a verdict; only
// the texts are written in the item's display unit.
class ItemData : public QObject
{
    Q_OBJECT
public:
    // Team: an item of another installation, from the team database; never
    // measured into, downloaded into or changed here.
    enum DataType { LiveData = 0, Measure = 1, Import = 2, StoreData = 3, Team = 4 };
    Q_ENUM(DataType)

    ItemData(const QString &name, ItemData::DataType type, QObject *parent = nullptr);
    ~ItemData() override;

    // With recalc the statistics follow at once.
    void append(const ReadingFields &reading, bool recalc);
    void append(const ReadingSeries &readings, bool recalc);

    // Full pass over all readings; the texts in the item's current unit.
    void calcStatistics();
    // Drops every reading; the unit stays.
    void clear();

    const ReadingSeries &readings() const { return m_readings; }
    int count() const { return m_readings.size(); }
    const ItemStatistics *statistics() const { return m_statistics; }
    DataType type() const { return m_type; }

    // The unit the item shows its readings in: micrometres from the start.
    Unit unit() const { return m_unit; }
    // Does not touch the statistics: the texts stay until the next pass.
    void setUnit(Unit unit) { m_unit = unit; }
    // Sets the unit and, when it changes, rewrites the statistics texts in
    // it, so they never describe the readings in another unit than shown.
    void switchUnit(Unit unit);
    bool isMicrometre() const { return m_unit == Unit::Micrometre; }
    QString name() const { return m_name; }
    void setName(const QString &name) { m_name = name; }

    QString formatValue(double value) const;
    // The same rules with the decimals of micrometres (1) or mils (2).
    static QString formatValue(double value, bool micrometres);

    // Spread of the readings the statistics counted, in micrometres: all
    // of them (an overload with value 0, as for the average), and the
    // readings that are no overloads. Kept up with the statistics, at no
    // cost per reading beyond constant time.
    const RunningSpread &spreadOfAll() const { return m_all; }
    const RunningSpread &spreadOfThicknesses() const { return m_thicknesses; }
    int overloadCount() const { return m_all.count - m_thicknesses.count; }
    // The unit the statistics texts are written in; before any pass, the
    // item's unit.
    bool statisticsInMicrometres() const { return m_textsWritten ? m_textsInUm : isMicrometre(); }

    const ItemLimits &limits() const { return m_limits; }
    void setLimits(const ItemLimits &limits) { m_limits = limits; }

    const ItemDetails &details() const { return m_details; }
    void setDetails(const ItemDetails &details) { m_details = details; }

    // A copy to read on another thread while this item goes on: its
    // readings as a snapshot, its figures and texts as they are.
    std::unique_ptr<ItemData> snapshot() const;

    // Takes a statistics record kept from an earlier session as it was,
    // even when its readings are not loaded yet. The next pass counts
    // every reading afresh.
    void restoreStatistics(const ItemStatistics &statistics);

private:
    void resetRunning();
    // Folds the readings not yet counted into the running figures and
    // rewrites the texts. Same order and operations as a full pass, so the
    // doubles (and texts) are identical to one.
    void catchUp();

    QString m_name;
    ReadingSeries m_readings;
    ItemStatistics *m_statistics;
    Unit m_unit = Unit::Micrometre;
    DataType m_type;

    // Running figures over the first m_counted readings, in micrometres.
    int m_counted = 0;
    bool m_textsWritten = false;
    bool m_textsInUm = false;
    double m_sum = 0;
    double m_minimum = 0;
    double m_maximum = 0;
    RunningSpread m_all;
    RunningSpread m_thicknesses;

    ItemLimits m_limits;
    ItemDetails m_details;
};

Q_DECLARE_METATYPE(ItemData *)
