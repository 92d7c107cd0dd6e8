#include "data/readingcells.h"

#include "data/readingseries.h"

#include <QCoreApplication>

namespace ReadingCells {

QVariant cell(const ReadingSeries &readings, int reading, int row, int column, Unit unit)
{
    if (reading < 0 || reading >= readings.size())
        return QVariant();
    switch (column) {
    case NumberColumn:
        return row + 1;
    case TimeColumn:
        return readings.timeText(reading);
    case ValueColumn:
        return readings.textIn(reading, unit);
    case UnitColumn:
        return unit == Unit::Micrometre ? micrometreSymbol() : unitName(unit);
    case BasisColumn:
        return readings.basis(reading);
    default:
        return QVariant();
    }
}

QVariant title(int column)
{
    switch (column) {
    case NumberColumn:
        return QCoreApplication::translate("DataModel", "NO.");
    case TimeColumn:
        return QCoreApplication::translate("DataModel", "Time");
    case ValueColumn:
        return QCoreApplication::translate("DataModel", "Value");
    case UnitColumn:
        return QCoreApplication::translate("DataModel", "Unit");
    case BasisColumn:
        return QCoreApplication::translate("DataModel", "Basis");
    default:
        return QVariant();
    }
}

} // namespace ReadingCells
