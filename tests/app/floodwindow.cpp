// The program's window keeping its items in measurements.sqlite (in the
// per-user data folder, which follows XDG_DATA_HOME), measuring a flood of
// live readings from the test plug-in (value i / 10 µm for the i-th). Prints
// the number of every table row as the table shows it, until it is killed.

#include "app/widget.h"
#include "device/dmmdata.h"
#include "data/measurementdatabase.h"
#include "tests/support/testgauge.h"

#include <QAction>
#include <QApplication>
#include <QTableView>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vk508m"));
    MeasurementDatabase database;
    if (!database.open())
        return 1;
    Widget window(&database);
    window.show();

    TestDmmControl *gauge = testGauge();
    gauge->reset();
    gauge->setLinkOpen(true);
    gauge->emitOpened();
    window.findChild<QAction *>(QStringLiteral("actionStart"))->trigger();
    QAbstractItemModel *table = window.findChild<QTableView *>(QStringLiteral("tv"))->model();
    QObject::connect(table, &QAbstractItemModel::rowsInserted, [](const QModelIndex &, int first, int last) {
        for (int row = first; row <= last; ++row)
            std::printf("%d\n", row);
        std::fflush(stdout);
    });
    const QDateTime start = QDateTime::currentDateTime();
    for (int i = 0; i < 10000000; ++i) {
        gauge->emitDisplay(Reading::make(QString::number(i / 10.0, 'f', 1), QStringLiteral("um"),
                                         QStringLiteral("Fe"), start.addMSecs(i)));
        QCoreApplication::processEvents();
    }
    return 2;
}
