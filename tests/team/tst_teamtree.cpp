#include "app/widget.h"
#include "device/dmmdata.h"
#include "data/itemstore.h"
#include "data/itemsummary.h"
#include "data/measurementdatabase.h"
#include "team/teamsync.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/postgrescluster.h"
#include "tests/support/seriesfields.h"
#include "tests/support/teamsettingsfor.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeView>
#include <QtTest>

// The other installations' items in the window: under "Team" by inspector,
// with the figures and verdicts of their origin, read-only, following each
// pull.
class TestTeamTree : public QObject
{
    Q_OBJECT

private:
    PostgresCluster cluster;
    QTemporaryDir dir;

    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static QAbstractItemModel *tree(Widget &w) { return w.findChild<QTreeView *>(QStringLiteral("tvItems"))->model(); }
    // "inspector/item" for every node under the Team group.
    static QStringList teamNodes(Widget &w)
    {
        QStringList names;
        QAbstractItemModel *m = tree(w);
        const QModelIndex team = m->index(2, 0);
        for (int i = 0; i < m->rowCount(team); ++i) {
            const QModelIndex inspector = m->index(i, 0, team);
            for (int j = 0; j < m->rowCount(inspector); ++j)
                names << inspector.data().toString() + "/" + m->index(j, 0, inspector).data().toString();
        }
        return names;
    }
    static QModelIndex teamNode(Widget &w, int item)
    {
        return tree(w)->index(item, 0, tree(w)->index(0, 0, tree(w)->index(2, 0)));
    }
    // Everything the Statistics tab and the report say of the item.
    static QVector<QStringList> said(const ItemData &item)
    {
        const ItemSummary summary = summarizeItem(item);
        return reportFigureRows(summary) + reportVerdictRows(summary);
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(cluster.start(), qPrintable(cluster.error()));
        QVERIFY2(cluster.admin({"CREATE DATABASE team"}), qPrintable(cluster.error()));
        QVERIFY(cluster.makeRole(QStringLiteral("ann"), QStringLiteral("ann-pw")));
        QVERIFY(cluster.makeRole(QStringLiteral("ben"), QStringLiteral("ben-pw")));
        QVERIFY(cluster.admin({"GRANT CREATE ON SCHEMA public TO ann"}, QStringLiteral("team")));
        // ben's window finds its password where libpq looks.
        QFile pgpass(dir.filePath(QStringLiteral("pgpass")));
        QVERIFY(pgpass.open(QIODevice::WriteOnly));
        pgpass.write(QStringLiteral("*:*:team:ben:ben-pw\n").toUtf8());
        pgpass.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        pgpass.close();
        qputenv("PGPASSFILE", QFile::encodeName(pgpass.fileName()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
    }

    void othersItemsUnderTeam()
    {
        // ann's installation measures, imports and downloads, and syncs.
        MeasurementDatabase annFile;
        QVERIFY(annFile.open(dir.filePath(QStringLiteral("ann/measurements.sqlite"))));
        ItemStore ann(QStringLiteral("Store Data"), QStringLiteral("Live Data"));
        ann.restore(&annFile);
        const QDateTime noon(QDate(2024, 5, 6), QTime(12, 0), Qt::OffsetFromUTC, 8 * 3600);
        ItemData *deck = ann.addItem(QStringLiteral("Deck 1"), ItemData::Measure);
        for (int n = 0; n < 40; ++n)
            ann.append(deck, ReadingFields::fromText(n % 13 ? QString::number(118 + (n * 37 % 29) * 0.7, 'f', 1)
                                                            : QStringLiteral("OL"),
                                                     "um", "Fe", noon.addSecs(n)));
        ItemLimits limits;
        limits.nominal = 125;
        limits.minimum = 110;
        limits.rule = AcceptanceRule::Iso19840;
        ann.setLimits(deck, limits);
        ItemData *imported = ann.addItem(QStringLiteral("Import1"), ItemData::Import);
        ann.setUnit(imported, Unit::Mil);
        ann.append(imported, seriesOf({ReadingFields::fromText("4.93", "mil", "NFe", noon),
                                       ReadingFields::fromText("5.07", "mil", "NFe", noon.addSecs(9))}), true);
        ann.replaceReadings(ann.storeItem(), seriesOf({ReadingFields::fromText("85.2", "um", "Fe", noon),
                                                       ReadingFields::fromText("OL", "um", "Fe", noon)}));
        ann.flush();
        const TeamSyncJob annSync{teamSettingsFor(cluster, QStringLiteral("team"), QStringLiteral("ann")),
                                  QStringLiteral("ann-pw"), annFile.path(),
                                  dir.filePath(QStringLiteral("ann/team.sqlite"))};
        const TeamSyncReport sent = runTeamSync(annSync);
        QVERIFY2(!sent.fault.isSet(), qPrintable(sent.describe(annSync.settings)));

        // Without a team the tree is as it always was.
        {
            Widget plain;
            QCOMPARE(tree(plain)->rowCount(), 2);
        }
        QVERIFY(teamSettingsFor(cluster, QStringLiteral("team"), QStringLiteral("ben"))
                    .save(TeamSettings::defaultPath()));
        MeasurementDatabase benFile;
        QVERIFY(benFile.open(dir.filePath(QStringLiteral("ben/measurements.sqlite"))));
        Widget w(&benFile);
        const QStringList pulled{"ann/Deck 1", "ann/Import1", "ann/Store Data"};
        QTRY_COMPARE_WITH_TIMEOUT(teamNodes(w), pulled, 30000);
        QCOMPARE(tree(w)->index(2, 0).data().toString(), QStringLiteral("Team"));

        // Made active, each says what it says at its origin.
        const QList<ItemData *> origins{deck, imported, ann.storeItem()};
        for (int i = origins.size() - 1; i >= 0; --i) {
            ItemData *origin = origins[i];
            ann.switchUnit(origin, Unit::Micrometre);
            w.itemSetToActive(teamNode(w, i));
            ItemData *shown = WidgetTestAccess::currentItem(w);
            QTRY_VERIFY(shown && shown->count() == origin->count());
            QCOMPARE(said(*shown), said(*origin));
        }
        QVERIFY(summarizeItem(*deck).judged);

        // Nothing changes them here: the commands are off or say why not,
        // and live readings do not go into them.
        w.findChild<QTreeView *>(QStringLiteral("tvItems"))->setCurrentIndex(teamNode(w, 0));
        for (const char *change : {"actionItemRename", "actionItemDelete", "actionItemLimits", "actionItemDetails"})
            QVERIFY(!action(w, change)->isEnabled());
        DialogAnswerer answerer;
        WidgetTestAccess::items(w)->deleteCurrent();
        WidgetTestAccess::items(w)->renameCurrent();
        QTRY_COMPARE(answerer.count(), 2);
        QCOMPARE(answerer.texts.first(),
                 QStringLiteral("\"Deck 1\" is an item of ann from the team database: it cannot be changed here."));
        ItemStore *store = WidgetTestAccess::store(w);
        ItemData *copy = store->teamItems().first();
        store->renameItem(copy, QStringLiteral("taken"));
        store->setLimits(copy, ItemLimits());
        store->append(copy, ReadingFields::fromText("1", "um", "Fe", noon));
        TestDmmControl *gauge = testGauge();
        gauge->reset();
        gauge->setLinkOpen(true);
        gauge->emitOpened();
        gauge->emitDisplay(Reading::make(QStringLiteral("99"), QStringLiteral("um"), QStringLiteral("Fe"), noon));
        store->flush();
        QCOMPARE(store->activeItem(), copy);
        QCOMPARE(said(*copy), said(*deck));
        QVERIFY(!action(w, "actionStart")->isEnabled());

        // The summary of all items holds them too.
        const QString summary = dir.filePath(QStringLiteral("summary.pdf"));
        answerer.then([](QWidget *dialog) {
            dialog->findChild<QWidget *>(QStringLiteral("rbSummary"))->setProperty("checked", true);
            static_cast<QDialog *>(dialog)->accept();
        });
        answerer.then(DialogAnswerer::file(summary));
        action(w, "actionExport")->trigger();
        WidgetTestAccess::finishWork(w);
        QProcess text;
        text.start(QStringLiteral("pdftotext"), {"-layout", summary, "-"});
        QVERIFY(text.waitForFinished());
        const QString pdf = QString::fromUtf8(text.readAllStandardOutput()).simplified();
        QVERIFY2(pdf.contains(QStringLiteral("Deck 1 40")) && pdf.contains(QStringLiteral("Import1 2")),
                 qPrintable(pdf));

        // A pull that fails leaves the group as it was; the next one brings
        // a rename and a deletion at the origin.
        ann.renameItem(imported, QStringLiteral("Import 1b"));
        ann.removeItem(deck);
        ann.flush();
        QVERIFY(!runTeamSync(annSync).fault.isSet());
        QVERIFY(cluster.stop());
        action(w, "actionTeamSync")->trigger();
        auto *state = w.findChild<QLabel *>(QStringLiteral("lblTeamState"));
        QTRY_VERIFY_WITH_TIMEOUT(state->text().contains("cannot be reached"), 30000);
        QCOMPARE(teamNodes(w), pulled);
        QVERIFY2(cluster.start(), qPrintable(cluster.error()));
        action(w, "actionTeamSync")->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(teamNodes(w), QStringList({"ann/Import 1b", "ann/Store Data"}), 30000);
        QVERIFY(!store->activeItem()); // the deleted one was active
        QFile::remove(TeamSettings::defaultPath());
    }
};

QTEST_MAIN(TestTeamTree)
#include "tst_teamtree.moc"
