#pragma once

#include <QObject>
#include <QVector>

class QTableView;

// Keeps the columns of a readings table as wide as their texts need: the
// header's text and the widest cell's. Only the rows that arrive are
// measured, and of a large batch an even sample that includes its last row
// (the largest number; the other columns share one format), so a reading
// costs the same however long the table is.
class ReadingsColumnFit : public QObject
{
    Q_OBJECT
public:
    // Follows the view's model from now on; a child of the view.
    explicit ReadingsColumnFit(QTableView *view);

private:
    void remeasure();
    void measureRows(int first, int last);
    void apply();

    QTableView *m_view;
    QVector<int> m_widest;      // widest cell text per column, in pixels
};
