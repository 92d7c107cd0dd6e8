#pragma once

#include <QDialog>

class QComboBox;
class QPushButton;

// Lets the user choose the interface language; the main window presets
// the combo box, runs the dialog and stores the choice.
class OptionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionDialog(QWidget *parent = nullptr);

    QComboBox *combo = nullptr;   // 0 "中文" (zh_CN), 1 "English" (en_US)
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
};
