#pragma once

#include "data/itemdetails.h"

#include <QDialog>

namespace Ui {
class dlgDetails;
}

// Edits an item's inspection details. Every field may stay empty; the
// calibration date shows "Not set" until a date is chosen.
class dlgDetails : public QDialog
{
    Q_OBJECT

public:
    explicit dlgDetails(QWidget *parent = nullptr);
    ~dlgDetails() override;

    void setDetails(const ItemDetails &details);
    // The texts as typed, without blanks around them.
    ItemDetails details() const;

private:
    Ui::dlgDetails *ui;
};
