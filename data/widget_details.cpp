#include "app/widget.h"
#include "ui_widget.h"

#include "data/dlgdetails.h"
#include "data/itemdata.h"
#include "data/itemstore.h"
#include "data/tvitemmodel.h"

void Widget::on_actionItemDetails_triggered()
{
    const QModelIndex index = ui->tvItems->currentIndex();
    ItemData *item = index.parent().isValid() ? TvItemModel::itemAt(index) : nullptr;
    if (!item || (item->type() != ItemData::Measure && item->type() != ItemData::Import))
        return;
    dlgDetails dialog(this);
    dialog.setDetails(item->details());
    if (dialog.exec() != QDialog::Accepted)
        return;
    itemStore->setDetails(item, dialog.details());
    if (item == currentItem)
        itemFiguresChanged();
}
