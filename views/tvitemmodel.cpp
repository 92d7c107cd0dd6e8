#include "views/tvitemmodel.h"

#include "data/itemdata.h"

#include <QColor>
#include <QFont>

TvItemModel::TvItemModel(QObject *parent)
    : QStandardItemModel(parent)
{
}

QVariant TvItemModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return QStandardItemModel::data(index, role);

    switch (role) {
    case Qt::DisplayRole: {
        // The item's name, whatever the node's text; a node without an item
        // (the team and its inspectors) shows its text.
        const ItemData *item = itemAt(index);
        return item ? item->name() : QStandardItemModel::data(index, role);
    }
    case Qt::FontRole: {
        const QVariant stored = QStandardItemModel::data(index, role);
        QFont font = stored.userType() == QMetaType::QFont ? stored.value<QFont>() : QFont();
        font.setWeight(QStandardItemModel::data(index, ActiveRole).toBool() ? QFont::Bold
                                                                            : QFont::Normal);
        return font;
    }
    case Qt::ForegroundRole:
        if (QStandardItemModel::data(index, ActiveRole).toBool())
            return QColor(QStringLiteral("#d57d00"));
        return QStandardItemModel::data(index, role);
    default:
        return QStandardItemModel::data(index, role);
    }
}

bool TvItemModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const QVariant shown = data(index, Qt::DisplayRole);
    const bool result = QStandardItemModel::setData(index, value, role);
    if (role == Qt::EditRole && value != shown)
        emit editDataChanged(index);
    return result;
}

ItemData *TvItemModel::itemAt(const QModelIndex &index)
{
    return qvariant_cast<ItemData *>(index.data(ItemDataRole));
}
