#pragma once

#include "team/scopedconnection.h"
#include "team/storedreading.h"
#include "team/teamitem.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

// Reads measurements.sqlite for the team, through a read-only connection of
// the calling thread, while the window keeps writing it (the write-ahead
// log lets a reader and the writer pass).
class MeasurementsReader
{
public:
    explicit MeasurementsReader(const QString &path);

    // False with problem() when the file cannot be read or has no team ids.
    bool open();
    // From here to endSnapshot() every read sees the file as it was at the
    // first one, however the window changes it meanwhile.
    bool beginSnapshot();
    void endSnapshot();

    QString path() const { return m_path; }
    QString installation() const { return m_installation; }
    // The items the window keeps (measured, imported, the gauge's memory),
    // in tree order, without installation and inspector.
    bool readItems(QList<TeamItem> *items);
    // The item's number of readings, and its generation.
    bool countReadings(const QString &uuid, int *count);
    bool readGeneration(const QString &uuid, qint64 *generation);
    // Up to limit readings of the item from seq `from` on, in order.
    bool readReadings(const QString &uuid, int from, int limit, QVector<StoredReading> *readings);
    QString problem() const { return m_problem; }

private:
    bool failed(const QString &problem);

    QString m_path;
    ScopedConnection m_connection;
    QSqlDatabase &m_db;
    QString m_installation;
    QString m_problem;
};
