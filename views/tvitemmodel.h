#pragma once

#include <QStandardItemModel>

class ItemData;

// The items tree: every node carries an ItemData (not owned) under
// ItemDataRole and shows its name; the active node is bold and orange.
class TvItemModel : public QStandardItemModel
{
    Q_OBJECT
public:
    enum Role {
        ActiveRole = Qt::UserRole + 1,   // bool, true on the active node only
        ItemDataRole = Qt::UserRole + 2, // ItemData *
    };

    explicit TvItemModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // The node's item, or none.
    static ItemData *itemAt(const QModelIndex &index);

signals:
    void editDataChanged(QModelIndex index);
};
