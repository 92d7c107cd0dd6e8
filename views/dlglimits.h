#pragma once

#include "data/itemlimits.h"

#include <QDialog>

namespace Ui {
class dlgLimits;
}

// Edits an item's acceptance limits in the unit its statistics are shown
// in; 0 ("Not set") leaves a limit out. OK is offered only for limits the
// chosen rule can judge by.
class dlgLimits : public QDialog
{
    Q_OBJECT

public:
    explicit dlgLimits(QWidget *parent = nullptr);
    ~dlgLimits() override;

    // The limits are kept in micrometres; the boxes show them in
    // micrometres (1 decimal) or mils (2 decimals). A box left as it was
    // set hands its limit back exactly, not as converted from the box.
    void setLimits(const ItemLimits &limits, bool micrometres);
    ItemLimits limits() const;

private:
    void checkLimits();

    Ui::dlgLimits *ui;
    bool m_micrometres = true;
    ItemLimits m_given;
    double m_shown[4] = {0, 0, 0, 0};
};
