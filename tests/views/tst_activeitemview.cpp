#include "charts/chartline.h"
#include "charts/dmmchart.h"
#include "charts/histogram.h"
#include "views/activeitemview.h"
#include "data/datamodel.h"
#include "data/itemstore.h"
#include "views/statisticsview.h"

#include <QLabel>
#include <QTabWidget>
#include <QTableView>
#include <QtTest>

// The views of the active item on bare widgets, following the store.
class TestActiveItemView : public QObject
{
    Q_OBJECT

private:
    struct Views
    {
        QTabWidget tabs;
        QTableView *table = new QTableView;
        Histogram *histogram = new Histogram;
        DMMChart *chart = new DMMChart;
        StatisticsView *statistics = new StatisticsView;
        QLabel value, basis, unit, num, avg, min, max;

        Views()
        {
            tabs.addTab(table, QString());
            tabs.addTab(histogram, QString());
            tabs.addTab(chart, QString());
            tabs.addTab(statistics, QString());
        }
        ActiveItemWidgets widgets()
        {
            return {&tabs, table, histogram, chart, statistics, statistics, &value, &basis, &unit,
                    &num,  &avg,  &min,      &max};
        }
        int chartPoints() const { return chart->lines().isEmpty() ? 0 : chart->lines().at(0)->points.size(); }
    };

    static ReadingFields reading(const char *value, const QString &unit = QStringLiteral("um"))
    {
        return ReadingFields::fromText(QString::fromLatin1(value), unit, QStringLiteral("NFe"),
                                       QDateTime(QDate(2024, 3, 1), QTime(8, 5, 9)));
    }
    static ReadingSeries readings(const QList<ReadingFields> &list)
    {
        ReadingSeries series;
        for (const ReadingFields &r : list)
            series.append(r);
        return series;
    }
    // Values the histogram counted, and how many in its second range
    // (above 0 up to 250 µm, or its mil equivalent).
    static QVector<int> counted(const Histogram *histogram)
    {
        return {histogram->valueCount(), histogram->counts().value(1)};
    }

private slots:
    void followsTheStoreWhoeverChangesTheItem()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        Views views;
        ActiveItemView view(&store, views.widgets());
        QCOMPARE(views.tabs.tabText(2), QStringLiteral("Chart"));

        ItemData *item = store.addItem(QStringLiteral("Measure1"), ItemData::Measure);
        store.append(item, reading("120.5"));
        QCOMPARE(view.readings()->rowCount(), 0);
        store.setActive(item);
        QCOMPARE(view.item(), item);
        QCOMPARE(view.readings()->rowCount(), 1);
        QCOMPARE(counted(views.histogram), QVector<int>({1, 1}));

        // A live reading lands in every view and the read-out, at the
        // next frame.
        store.append(item, reading("98.0"));
        QCOMPARE(view.readings()->rowCount(), 1);
        QTRY_COMPARE(view.readings()->rowCount(), 2);
        QCOMPARE(views.chartPoints(), 2);
        QCOMPARE(views.value.text(), QStringLiteral("98.0"));
        QCOMPARE(views.basis.text(), QStringLiteral("NFe"));
        QCOMPARE(views.num.text(), QStringLiteral("Num:2"));
        QCOMPARE(views.max.text(), QStringLiteral("Max:120.5"));

        // A new unit rebuilds the views in it: 120.5 µm is 4.74 mil.
        store.setUnit(item, Unit::Mil);
        QCOMPARE(views.chart->yTitle(), QStringLiteral("Thickness(mil)"));
        QCOMPARE(views.unit.text(), QStringLiteral("mil"));
        QCOMPARE(counted(views.histogram), QVector<int>({2, 2}));
        QCOMPARE(views.chartPoints(), 2);
        QCOMPARE(views.chart->lines().at(0)->points.value(0), 120.5 / 25.4);
        QCOMPARE(views.chart->lines().at(0)->points.tag(0), QStringLiteral("4.74mil NFe"));

        // Limits set elsewhere reach the Statistics tab once it is shown.
        views.tabs.setCurrentWidget(views.statistics);
        ItemLimits limits;
        limits.minimum = 100;
        store.setLimits(item, limits);
        QTRY_VERIFY(!views.statistics->findChild<QLabel *>()->text().isEmpty());

        // The active item deleted: the views let go of its readings.
        store.removeItem(item);
        QCOMPARE(view.item(), nullptr);
        QCOMPARE(view.readings()->rowCount(), 0);
        QCOMPARE(views.histogram->valueCount(), 0);
        QCOMPARE(views.chartPoints(), 0);
        view.resetLabels();
        QCOMPARE(views.unit.text(), QString::fromUtf8("μm"));
        QCOMPARE(views.num.text(), QStringLiteral("Num:0"));
    }

    void downloadReplacesStoreDataInMicrometres()
    {
        ItemStore store(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        Views views;
        ActiveItemView view(&store, views.widgets());
        store.setActive(store.storeItem());
        store.append(store.storeItem(), readings({reading("50.0"), reading("2.00", QStringLiteral("mil"))}), true);
        QTRY_COMPARE(view.readings()->rowCount(), 2);
        QCOMPARE(counted(views.histogram), QVector<int>({2, 2}));
        QCOMPARE(views.chart->lines().at(0)->points.value(1), 50.8);

        store.replaceReadings(store.storeItem(), readings({reading("61.0")}));
        QCOMPARE(view.readings()->rowCount(), 1);
        QCOMPARE(views.chartPoints(), 1);
        QCOMPARE(views.avg.text(), QStringLiteral("Avg:61.0"));
    }
};

QTEST_MAIN(TestActiveItemView)
#include "tst_activeitemview.moc"
