#pragma once

#include <QLine>
#include <QRect>
#include <QVector>

// The page plan of the PDF report, in device units from the top-left corner
// of the paintable area; all divisions are integer divisions except the
// column unit. Page 1 holds the pictures; table page p (from 0) is page
// p + 2 and holds rows p * rowsPerPage() ... onward.
class ReportLayout
{
public:
    // width, height: the paintable area; baseLineHeight: line height of
    // the painter's initial font (sets the row height); lineHeight: line
    // height of the report font; weights: one per table column.
    ReportLayout(int width, int height, int baseLineHeight, int lineHeight, int rowCount,
                 const QVector<int> &weights);

    int width() const { return m_width; }
    int height() const { return m_height; }
    int lineHeight() const { return m_lineHeight; }
    int rowCount() const { return m_rowCount; }
    int columnCount() const { return m_weights.size(); }

    int rowHeight() const { return m_rowHeight; }          // R = 2 * h0
    int margin() const { return m_margin; }                // M = W / 20
    int tableRight() const { return m_width - m_margin; }  // X = W - M
    int rowsPerPage() const { return m_rowsPerPage; }      // P = (H - 5R) / R
    int tablePageCount() const;                            // T
    // N: the front pages, the picture page, the table pages and the last
    // pages of their own (summary, closing block).
    int pageCount() const
    {
        return m_frontPages + (m_picturePage ? 1 : 0) + tablePageCount() + (m_summaryPage ? 1 : 0)
            + (m_closingPage ? 1 : 0);
    }
    // Page numbers from 1: the picture page and table page p (from 0).
    int picturePageNumber() const { return m_frontPages + 1; }
    int tablePageNumber(int page) const { return m_frontPages + (m_picturePage ? 1 : 0) + page + 1; }
    // A table without the page of pictures before it starts on page 1.
    void setPicturePage(bool picturePage) { m_picturePage = picturePage; }
    int pictureHeight() const;                             // PH = H / 3 - 4h
    double columnUnit() const { return m_columnUnit; }     // U = (W - 2M) / S
    int columnWidth(int column) const;                     // w(c) = trunc(U * weight)
    int columnLeft(int column) const;                      // M + sum of the widths before

    // A summary that does not fit under the chart gets a last page of its
    // own, after the table pages.
    void setSummaryPage(bool summaryPage) { m_summaryPage = summaryPage; }
    bool hasSummaryPage() const { return m_summaryPage; }
    // An inspection report's front pages come before the picture page; its
    // closing block gets the last page when there is no room for it under
    // the last table row.
    void setFrontPages(int pages) { m_frontPages = qMax(0, pages); }
    int frontPages() const { return m_frontPages; }
    void setClosingPage(bool closingPage) { m_closingPage = closingPage; }
    bool hasClosingPage() const { return m_closingPage; }
    // Where a block may start under the last table row (one line's gap),
    // and the last position above the page number.
    int belowLastRow() const;
    int bodyBottom() const { return (m_rowsPerPage + 4) * m_rowHeight; }

    int rowsOnTablePage(int page) const;   // min(P, n - p * P)
    int firstRowOfTablePage(int page) const { return page * m_rowsPerPage; }

    // "%1/%2" at the foot of every page, right-aligned at X.
    QRect pageNumberRect(int textWidth) const;
    // Date stamp at the top of a table page, bottom-aligned.
    QRect stampRect(int textWidth) const;
    QRect headerRect(int column) const;
    QRect cellRect(int rowOnPage, int column) const;
    // The grid of a table page: the two header rules, one rule under each
    // row, then the vertical rules at each column's left and at X.
    QVector<QLine> horizontalRules(int page) const;
    QVector<QLine> verticalRules(int page) const;

private:
    int m_width;
    int m_height;
    int m_lineHeight;
    int m_rowCount;
    QVector<int> m_weights;
    int m_rowHeight;
    int m_margin;
    int m_rowsPerPage;
    double m_columnUnit;
    bool m_summaryPage = false;
    int m_frontPages = 0;
    bool m_picturePage = true;
    bool m_closingPage = false;
};

// Where the three blocks of the first page go: each caption's baseline and
// the top of the picture under it. The running position starts at h; a
// block that is left out still leaves its gap of 2h (except the chart,
// which comes last).
struct FirstPagePlan
{
    struct Block
    {
        bool captionShown = false;
        int captionBaseline = 0;
        int pictureTop = 0;
    };
    Block scene;
    Block histogram;
    Block chart;
    // The running position after the chart's caption: where the chart's
    // picture starts, or would start.
    int end = 0;
};

// sceneFileExists: the scene caption is drawn (even if the file is no
// readable picture); the heights are those of the scaled pictures, 0 for
// a missing one; a view's block is shown when its picture is not null.
FirstPagePlan planFirstPage(int lineHeight, bool sceneFileExists, int sceneHeight, bool hasHistogram,
                            int histogramHeight, bool hasChart);
