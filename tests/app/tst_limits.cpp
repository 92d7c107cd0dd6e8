#include "app/widget.h"
#include "views/dlglimits.h"
#include "device/dmmdata.h"
#include "data/itemdata.h"
#include "tests/support/dialoganswerer.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTreeView>
#include <QtTest>

// The Limits command, the Statistics tab and the chart's limit lines in the
// window.
class TestLimits : public QObject
{
    Q_OBJECT

private:
    static QAction *action(Widget &w, const char *name) { return w.findChild<QAction *>(QLatin1String(name)); }
    static QTreeView *tree(Widget &w) { return w.findChild<QTreeView *>(QStringLiteral("tvItems")); }
    static QImage chartPicture(Widget &w) { return w.findChild<QWidget *>(QStringLiteral("chart"))->grab().toImage(); }

    // Fills the dialog's boxes (in the item's unit) and presses OK.
    static DialogAnswerer::Handler setLimits(double nominal, double maximum, int rule, bool *okWithoutNominal)
    {
        return [=](QWidget *dialog) {
            auto box = [dialog](const char *name) { return dialog->findChild<QDoubleSpinBox *>(QLatin1String(name)); };
            auto *ok = dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok);
            dialog->findChild<QComboBox *>(QStringLiteral("cbRule"))->setCurrentIndex(rule);
            *okWithoutNominal = ok->isEnabled();
            box("sbNominal")->setValue(nominal);
            box("sbMaximum")->setValue(maximum);
            ok->click();
        };
    }

private slots:
    void init() { testGauge()->reset(); }
    void cleanup() { QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml")); }

    // OK on limits shown in mils hands back exactly the limits kept; an
    // edited box is taken from the unit shown.
    void untouchedLimitsStayExact()
    {
        ItemLimits kept;
        kept.nominal = 100;
        kept.maximum = 300;
        kept.correction = 12.5;
        kept.rule = AcceptanceRule::Iso19840;
        dlgLimits dialog;
        dialog.setLimits(kept, false);
        QVERIFY(dialog.limits() == kept);
        dialog.findChild<QDoubleSpinBox *>(QStringLiteral("sbMaximum"))->setValue(11.5);
        ItemLimits edited = kept;
        edited.maximum = 11.5 * 25.4;
        QVERIFY(dialog.limits() == edited);
    }

    void limitsVerdictAndLines()
    {
        Widget w;
        w.resize(1000, 600);
        auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        tabs->setCurrentIndex(2);
        const QImage empty = chartPicture(w);

        ItemData *item = WidgetTestAccess::currentItem(w);
        for (const char *value : {"79.9", "100.0", "120.0", "130.0", "OL", "125.0"})
            item->append(ReadingFields::fromText(QLatin1String(value), "um", "Fe", QDateTime(QDate(2024, 1, 2), QTime(3, 4))),
                         true);
        w.itemSetToActive(tree(w)->model()->index(0, 0));
        w.itemSetToActive(tree(w)->currentIndex());
        const QImage plain = chartPicture(w);

        DialogAnswerer answerer;
        bool okWithoutNominal = true;
        answerer.then(setLimits(100, 128, 1, &okWithoutNominal));
        action(w, "actionItemLimits")->trigger();
        QCOMPARE(answerer.titles, QStringList{QStringLiteral("Limits")});
        QVERIFY(!okWithoutNominal);       // ISO 19840 judges by the NDFT
        QCOMPARE(item->limits().nominal, 100.0);
        QCOMPARE(item->limits().rule, AcceptanceRule::Iso19840);

        // Dashed lines in the limits' colours; none once the limits are gone.
        const QImage lined = chartPicture(w);
        QVERIFY(lined != plain);
        int red = 0, green = 0;
        for (int y = 0; y < lined.height(); ++y)
            for (int x = 0; x < lined.width(); ++x) {
                red += lined.pixelColor(x, y) == QColor(210, 0, 0) ? 1 : 0;
                green += lined.pixelColor(x, y) == QColor(0, 140, 0) ? 1 : 0;
            }
        QVERIFY(red > 100 && green > 100);
        const ItemLimits limits = item->limits();
        item->setLimits(ItemLimits());
        w.itemSetToActive(tree(w)->model()->index(0, 0));
        w.itemSetToActive(tree(w)->currentIndex());
        QCOMPARE(chartPicture(w), plain);
        item->setLimits(limits);

        tabs->setCurrentWidget(w.findChild<QWidget *>(QStringLiteral("tabStatistics")));
        auto *verdict = w.findChild<QLabel *>(QStringLiteral("statisticsVerdict"));
        QTRY_VERIFY(verdict->text().startsWith(QStringLiteral("Verdict: Fail")));
        QVERIFY(verdict->text().contains(QStringLiteral("1 reading below 80 % of NDFT")));
        // 130.0 and the "OL" above the range.
        QVERIFY(verdict->text().contains(QStringLiteral("2 readings above the maximum")));
        QCOMPARE(verdict->palette().color(QPalette::WindowText), QColor(200, 0, 0));
        auto *figures = w.findChild<QTableWidget *>(QStringLiteral("statisticsFigures"));
        QCOMPARE(figures->item(0, 1)->text(), QStringLiteral("6"));
        QCOMPARE(figures->item(0, 2)->text(), QStringLiteral("5"));
        QCOMPARE(figures->item(6, 1)->text(), QStringLiteral("1"));

        // Deleting the active item leaves no lines behind.
        tabs->setCurrentIndex(2);
        answerer.then(DialogAnswerer::press(QMessageBox::Yes));
        action(w, "actionItemDelete")->trigger();
        QVERIFY(!WidgetTestAccess::currentItem(w));
        QTRY_COMPARE(chartPicture(w), empty);
    }
};

QTEST_MAIN(TestLimits)
#include "tst_limits.moc"
