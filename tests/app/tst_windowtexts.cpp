#include "app/widget.h"
#include "charts/histogram.h"
#include "device/dmmdata.h"
#include "data/itemdata.h"
#include "tests/support/testgauge.h"
#include "tests/support/widgetaccess.h"

#include <QAction>
#include <QFile>
#include <QGlyphRun>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QTextLayout>
#include <QTranslator>
#include <QtTest>

// What the window shows reads whole, in English and in Chinese: no
// warnings, the left pane and the table in full, every character drawn from
// a font that has it; and mil readings counted in mils.
class TestWindowTexts : public QObject
{
    Q_OBJECT

    static QStringList &messages() { static QStringList list; return list; }

    static void measure(Widget &w, const QStringList &values, const QString &unit = QStringLiteral("um"))
    {
        testGauge()->setLinkOpen(true);
        testGauge()->emitOpened();
        w.findChild<QAction *>(QStringLiteral("actionStart"))->trigger();
        const QAbstractItemModel *table = w.findChild<QTableView *>(QStringLiteral("tv"))->model();
        const int shown = table->rowCount() + values.size();
        for (const QString &value : values)
            testGauge()->emitDisplay(Reading::make(value, unit, QStringLiteral("NFe"), QDateTime::currentDateTime()));
        // The views show them at their next frame.
        QTRY_COMPARE(table->rowCount(), shown);
    }

    // The left pane's labels show their whole texts, with a gap inside each row.
    static void checkLeftPane(Widget &w)
    {
        auto label = [&w](const char *name) { return w.findChild<QLabel *>(QLatin1String(name)); };
        auto advance = [](const QLabel *l, const QString &text) { return l->fontMetrics().horizontalAdvance(text); };
        for (const char *name : {"lcdNum", "lcdAvg", "lcdMin", "lcdMax", "lcdValue", "lcdBasis", "lcdUnit"})
            // The layouts settle level by level.
            QTRY_VERIFY2(advance(label(name), label(name)->text()) <= label(name)->contentsRect().width(), name);
        for (auto row : {std::make_pair("lcdNum", "lcdAvg"), std::make_pair("lcdMin", "lcdMax")}) {
            const QLabel *left = label(row.first);
            const int gap = label(row.second)->x() - left->x() - advance(left, left->text());
            QVERIFY2(gap >= advance(left, "  "), row.first);
        }
    }

    // Glyph 0 is the empty box a font draws for a character it lacks.
    static void checkGlyphs(QString text, const QFont &font)
    {
        QTextLayout layout(text.remove(QLatin1Char('&')), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        for (const QGlyphRun &run : layout.glyphRuns())
            if (run.glyphIndexes().contains(0))
                messages() << QStringLiteral("no glyph in ") + text;
    }

private slots:
    void init() { testGauge()->reset(); }
    void cleanup() { QFile::remove(QCoreApplication::applicationDirPath() + QStringLiteral("/options.xml")); }

    void windowReadsWhole_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::newRow("English") << QString();
        QTest::newRow("Chinese") << QStringLiteral(VK_HOME "/zh_CN.qm");
    }
    void windowReadsWhole()
    {
        QFETCH(QString, catalog);
        QTranslator translator;
        QVERIFY(catalog.isEmpty() || (translator.load(catalog) && QCoreApplication::installTranslator(&translator)));
        messages().clear();
        const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &,
                                                                    const QString &text) {
            // The offscreen platform cannot pass size hints to a window manager.
            if (type != QtDebugMsg && type != QtInfoMsg && !text.contains(QLatin1String("propagateSizeHints")))
                messages() << text;
        });
        {
            Widget w;
            w.show();
            w.resize(1000, 600);
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            auto *tabs = w.findChild<QTabWidget *>(QStringLiteral("tabWidget"));
            for (int i = tabs->count() - 1; i >= 0; --i, w.grab())
                tabs->setCurrentIndex(i);
            QStringList values{"OL", "-OL"};
            for (int i = 0; i < 120; ++i)
                values << QString::number(100 + i * 9.5, 'f', 1);
            measure(w, values);
            checkLeftPane(w);
            // As wide as Qt's own measure of the texts, no wider than that or the header.
            auto *table = w.findChild<QTableView *>(QStringLiteral("tv"));
            for (int c = 0; c < 5; ++c) {
                const int needed = static_cast<QAbstractItemView *>(table)->sizeHintForColumn(c);
                QVERIFY(table->columnWidth(c) >= needed);
                QVERIFY(table->columnWidth(c) <= qMax(needed, table->horizontalHeader()->sectionSizeHint(c)));
            }
            measure(w, {"48.21"}, QStringLiteral("mil"));
            checkLeftPane(w);

            for (const QObject *o : w.findChildren<QObject *>()) {
                const auto *widget = qobject_cast<const QWidget *>(o);
                for (const char *property : {"text", "title"})
                    checkGlyphs(o->property(property).toString(), widget ? widget->font() : w.font());
                if (auto *view = qobject_cast<const QAbstractItemView *>(o)) {
                    const QAbstractItemModel *model = view->model();
                    for (int c = 0; c < model->columnCount(); ++c)
                        checkGlyphs(model->headerData(c, Qt::Horizontal).toString(), view->font());
                    for (const QModelIndex &i : model->match(model->index(0, 0), Qt::DisplayRole, QString(), -1,
                                                             Qt::MatchContains | Qt::MatchRecursive))
                        checkGlyphs(i.data().toString(), view->font());
                }
            }
            for (int i = 0; i < tabs->count(); ++i)
                checkGlyphs(tabs->tabText(i), tabs->tabBar()->font());
            // The plots' titles are painted in the default font.
            for (const char *source : {"Thickness", "Thickness(mil)", "Time", "Rate"})
                checkGlyphs(QCoreApplication::translate("ActiveItemView", source), QFont());
        }
        qInstallMessageHandler(previous);
        QCoreApplication::removeTranslator(&translator);
        QVERIFY2(messages().isEmpty(), qPrintable(messages().join(QLatin1Char('\n'))));
    }

    void milItemCountsInMils()
    {
        Widget w;
        auto *histogram = w.findChild<Histogram *>(QStringLiteral("Histogram1"));
        auto rows = [histogram] {       // upper edge and count of each row
            QStringList list;
            for (const HistogramBin *bin : histogram->bins())
                list << QStringLiteral("%1:%2").arg(bin->range->upper, 0, 'f', 2).arg(bin->count());
            return list.mid(1, 5).join(QLatin1Char(' '));
        };
        QCOMPARE(rows(), QStringLiteral("250.00:0 500.00:0 750.00:0 1000.00:0 1250.00:0"));
        measure(w, {"5.00", "15.00", "25.00", "35.00", "45.00", "9.84"}, QStringLiteral("mil"));
        const QString mils = QStringLiteral("9.84:2 19.69:1 29.53:1 39.37:1 49.21:1");
        QCOMPARE(rows(), mils);
        QCOMPARE(histogramRangeLabel(8, 10, *histogram->bins().at(8)->range, 2), QStringLiteral("(68.90,78.74]"));
        // Rebuilt from the item: still in mils; in micrometres the ranges go back.
        w.findChild<QAction *>(QStringLiteral("actionStop"))->trigger();
        QCOMPARE(rows(), mils);
        // The views follow a change of unit made in the store.
        WidgetTestAccess::store(w)->switchUnit(WidgetTestAccess::currentItem(w), Unit::Micrometre);
        QCOMPARE(rows(), QStringLiteral("250.00:2 500.00:1 750.00:1 1000.00:1 1250.00:1"));
    }
};

QTEST_MAIN(TestWindowTexts)
#include "tst_windowtexts.moc"
