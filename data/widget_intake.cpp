#include "app/widget.h"

#include "data/dmmdata.h"

// Until items exist, every delivered reading is declined and deleted at once.

void Widget::slotDmmDisplay(DmmData *data)
{
    delete data;
}

void Widget::slotDisplayStore(DmmData *data)
{
    delete data;
}

void Widget::slotDisplayStoreData(QList<DmmData *> datas)
{
    qDeleteAll(datas);
}

ItemData *Widget::storeDataItem() const
{
    return nullptr;
}
