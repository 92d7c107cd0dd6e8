#pragma once

#include <QWidget>

class QLabel;
class QTableWidget;
struct DetailLine;
struct ItemSummary;

// The Statistics tab: the item's figures with and without overloads, its
// limits, the verdict in green or red, and each rule with its count.
class StatisticsView : public QWidget
{
    Q_OBJECT

public:
    explicit StatisticsView(QWidget *parent = nullptr);

    void showSummary(const ItemSummary &summary);
    // The item's inspection details under its name, one per line.
    void showDetails(const QVector<DetailLine> &lines);
    // No active item: nothing to show.
    void clear();

private:
    QLabel *m_title;
    QLabel *m_details;
    QTableWidget *m_figures;
    QTableWidget *m_limits;
    QLabel *m_verdict;
    QTableWidget *m_rules;
};
