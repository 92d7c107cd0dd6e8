#include "views/readingsview.h"

#include "data/datamodel.h"
#include "views/readingscolumnfit.h"

#include <QHeaderView>
#include <QTableView>

void setupReadingsView(QTableView *view, DataModel *model)
{
    view->setModel(model);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    view->horizontalHeader()->setSectionsClickable(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    // The columns follow their texts, which depend on the font and language.
    new ReadingsColumnFit(view);
}
