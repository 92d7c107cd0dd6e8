// Floods an item kept in the database file named on the command line with
// live readings (value i / 10 µm for the i-th) and prints the index of each
// reading as the views are told of it, until it is killed.

#include "data/dmmdata.h"
#include "data/itemstore.h"
#include "data/measurementdatabase.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    MeasurementDatabase database;
    if (argc < 2 || !database.open(QString::fromLocal8Bit(argv[1])))
        return 1;
    ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
    store.restore(&database);
    ItemData *item = store.addItem(QStringLiteral("Flood"), ItemData::Measure);
    store.setActive(item);
    QObject::connect(&store, &ItemStore::readingAppended, [item] {
        std::printf("%d\n", item->count() - 1);
        std::fflush(stdout);
    });
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < 10000000 && store.isKept(); ++i)
        store.append(item, Reading::make(QString::number(i / 10.0, 'f', 1), QStringLiteral("um"),
                                         QStringLiteral("Fe"), start.addMSecs(i)));
    return 2;
}
