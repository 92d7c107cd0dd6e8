#include "data/readingsview.h"

#include "data/datamodel.h"

#include <QHeaderView>
#include <QTableView>

void setupReadingsView(QTableView *view, DataModel *model)
{
    view->setModel(model);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    view->horizontalHeader()->setSectionsClickable(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    const int widths[] = {80, 150, 100, 80, 80};
    for (int column = 0; column < 5; ++column)
        view->setColumnWidth(column, widths[column]);
}
