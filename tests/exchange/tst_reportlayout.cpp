#include "exchange/reportlayout.h"

#include <QtTest>

// Numbers worked out by hand for a 9000 x 13000 paintable area, an initial
// font 100 high, a report font 150 high and the weights 2, 3, 3, 2, 2:
// R = 200, M = 450, X = 8550, P = (13000 - 1000) / 200 = 60,
// PH = 13000 / 3 - 600 = 3733, U = 8100 / 12 = 675.
class TstReportLayout : public QObject
{
    Q_OBJECT

private:
    static const QVector<int> &weights()
    {
        static const QVector<int> w{2, 3, 3, 2, 2};
        return w;
    }
    static ReportLayout layout(int rows, int width = 9000) { return ReportLayout(width, 13000, 100, 150, rows, weights()); }

private slots:
    void quantities();
    void pages_data();
    void pages();
    void rectangles();
    void rulesFollowTheRowsOfEachPage();
    void rightRuleAtXWhenWidthsFallShort();
    void degenerateInputsStayDefined();
    void firstPagePlan_data();
    void firstPagePlan();
};

void TstReportLayout::quantities()
{
    const ReportLayout l = layout(10);
    QCOMPARE(l.rowHeight(), 200);
    QCOMPARE(l.margin(), 450);
    QCOMPARE(l.tableRight(), 8550);
    QCOMPARE(l.rowsPerPage(), 60);
    QCOMPARE(l.pictureHeight(), 3733);
    QCOMPARE(l.columnUnit(), 675.0);
    const int widths[] = {1350, 2025, 2025, 1350, 1350};
    const int lefts[] = {450, 1800, 3825, 5850, 7200};
    for (int c = 0; c < 5; ++c) {
        QCOMPARE(l.columnWidth(c), widths[c]);
        QCOMPARE(l.columnLeft(c), lefts[c]);
    }
}

void TstReportLayout::pages_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("tablePages");
    QTest::addColumn<QVector<int>>("rowsPerTablePage");

    QTest::newRow("no rows: one page 1/1") << 0 << 0 << QVector<int>{};
    QTest::newRow("one row") << 1 << 1 << QVector<int>{1};
    QTest::newRow("n = P") << 60 << 1 << QVector<int>{60};
    QTest::newRow("n = P + 1") << 61 << 2 << QVector<int>{60, 1};
    QTest::newRow("n = 2P") << 120 << 2 << QVector<int>{60, 60};
    QTest::newRow("10,000 rows") << 10000 << 167 << QVector<int>{};
}

void TstReportLayout::pages()
{
    QFETCH(int, rows);
    QFETCH(int, tablePages);
    QFETCH(QVector<int>, rowsPerTablePage);

    const ReportLayout l = layout(rows);
    QCOMPARE(l.tablePageCount(), tablePages);
    QCOMPARE(l.pageCount(), tablePages + 1);
    int covered = 0;
    for (int p = 0; p < tablePages; ++p) {
        QCOMPARE(l.firstRowOfTablePage(p), covered);
        if (!rowsPerTablePage.isEmpty())
            QCOMPARE(l.rowsOnTablePage(p), rowsPerTablePage.at(p));
        covered += l.rowsOnTablePage(p);
    }
    QCOMPARE(covered, rows);
    QCOMPARE(l.rowsOnTablePage(tablePages), 0);
}

void TstReportLayout::rectangles()
{
    const ReportLayout l = layout(61);
    // The page number sits at (P + 4) * R on every page, full or not.
    QCOMPARE(l.pageNumberRect(300), QRect(8250, 12800, 300, 200));
    QCOMPARE(l.stampRect(1000), QRect(7550, 0, 1000, 600));
    QCOMPARE(l.headerRect(0), QRect(450, 600, 1350, 200));
    QCOMPARE(l.headerRect(2), QRect(3825, 600, 2025, 200));
    QCOMPARE(l.cellRect(0, 0), QRect(450, 800, 1350, 200));
    QCOMPARE(l.cellRect(59, 4), QRect(7200, 12600, 1350, 200));
    // The last row's bottom meets the top of the page number.
    QCOMPARE(l.cellRect(59, 4).bottom() + 1, l.pageNumberRect(300).top());
}

void TstReportLayout::rulesFollowTheRowsOfEachPage()
{
    const ReportLayout l = layout(61);

    const QVector<QLine> full = l.horizontalRules(0);
    QCOMPARE(full.size(), 62);
    QCOMPARE(full.at(0), QLine(450, 600, 8550, 600));
    QCOMPARE(full.at(1), QLine(450, 800, 8550, 800));
    QCOMPARE(full.at(2), QLine(450, 1000, 8550, 1000));
    QCOMPARE(full.last(), QLine(450, 12800, 8550, 12800));
    QCOMPARE(l.horizontalRules(1),
             (QVector<QLine>{QLine(450, 600, 8550, 600), QLine(450, 800, 8550, 800), QLine(450, 1000, 8550, 1000)}));

    const int xs[] = {450, 1800, 3825, 5850, 7200, 8550};
    const QVector<QLine> tall = l.verticalRules(0);
    const QVector<QLine> shortPage = l.verticalRules(1);
    QCOMPARE(tall.size(), 6);
    QCOMPARE(shortPage.size(), 6);
    for (int i = 0; i < 6; ++i) {
        QCOMPARE(tall.at(i), QLine(xs[i], 600, xs[i], 12800));
        // On the short last page the rules end under its only row.
        QCOMPARE(shortPage.at(i), QLine(xs[i], 600, xs[i], 1000));
    }
}

void TstReportLayout::rightRuleAtXWhenWidthsFallShort()
{
    // W = 9001: M = 450, X = 8551, U = 8101 / 12 = 675.083...; the truncated
    // widths add up to 8100, one short of W - 2M.
    const ReportLayout l = layout(5, 9001);
    QCOMPARE(l.tableRight(), 8551);
    QCOMPARE(l.columnWidth(0), 1350);
    QCOMPARE(l.columnWidth(1), 2025);
    QCOMPARE(l.columnLeft(4) + l.columnWidth(4), 8550);
    QCOMPARE(l.verticalRules(0).last(), QLine(8551, 600, 8551, 1800));
    QCOMPARE(l.horizontalRules(0).first(), QLine(450, 600, 8551, 600));
}

void TstReportLayout::degenerateInputsStayDefined()
{
    // A page shorter than five rows still prints one row per page instead
    // of dividing by zero; columns without weight get no width.
    const ReportLayout l(9000, 900, 100, 150, 3, QVector<int>{0, 0});
    QCOMPARE(l.rowsPerPage(), 1);
    QCOMPARE(l.tablePageCount(), 3);
    QCOMPARE(l.columnUnit(), 0.0);
    QCOMPARE(l.columnWidth(1), 0);
}

void TstReportLayout::firstPagePlan_data()
{
    QTest::addColumn<bool>("sceneExists");
    QTest::addColumn<int>("sceneHeight");
    QTest::addColumn<bool>("hasHistogram");
    QTest::addColumn<bool>("hasChart");
    // Caption baselines and picture tops, -1 where the block is left out.
    QTest::addColumn<QVector<int>>("expected");

    // h = 150, PH = 3733.
    QTest::newRow("all three") << true << 3733 << true << true
                               << QVector<int>{150, 300, 4333, 4483, 8516, 8666};
    QTest::newRow("no scene file: its gap stays") << false << 0 << true << true
                                                  << QVector<int>{-1, -1, 450, 600, 4633, 4783};
    QTest::newRow("unreadable scene: caption only") << true << 0 << true << true
                                                    << QVector<int>{150, 300, 600, 750, 4783, 4933};
    QTest::newRow("null histogram: its gap stays") << true << 3733 << false << true
                                                   << QVector<int>{150, 300, -1, -1, 4633, 4783};
    QTest::newRow("null chart") << false << 0 << true << false << QVector<int>{-1, -1, 450, 600, -1, -1};
}

void TstReportLayout::firstPagePlan()
{
    QFETCH(bool, sceneExists);
    QFETCH(int, sceneHeight);
    QFETCH(bool, hasHistogram);
    QFETCH(bool, hasChart);
    QFETCH(QVector<int>, expected);

    const int ph = layout(0).pictureHeight();
    const FirstPagePlan plan = planFirstPage(150, sceneExists, sceneHeight, hasHistogram, hasHistogram ? ph : 0, hasChart);
    const FirstPagePlan::Block blocks[] = {plan.scene, plan.histogram, plan.chart};
    for (int b = 0; b < 3; ++b) {
        const bool shown = expected.at(2 * b) >= 0;
        QCOMPARE(blocks[b].captionShown, shown);
        if (shown) {
            QCOMPARE(blocks[b].captionBaseline, expected.at(2 * b));
            QCOMPARE(blocks[b].pictureTop, expected.at(2 * b + 1));
        }
    }
}

QTEST_APPLESS_MAIN(TstReportLayout)
#include "tst_reportlayout.moc"
