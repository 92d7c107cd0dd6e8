#pragma once

#include <QDialog>

class GaugeOptionsWidget;
class QComboBox;
class QPushButton;

// Lets the user choose the interface language (and the gauge, see
// addGaugeChoice); the main window presets
// the combo box, runs the dialog and stores the choice.
class OptionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionDialog(QWidget *parent = nullptr);

    // Runs the dialog over parent for the language (changed in place) and,
    // when a gauge can be chosen, the serial gauge's settings file, which is
    // written at once. Says so when a change needs a restart.
    static void edit(QWidget *parent, QString *language, bool gaugeChoice);

    // Adds the gauge choice below the language; only when a gauge can be
    // chosen, so that the dialog stays as it is otherwise.
    GaugeOptionsWidget *addGaugeChoice();

    QComboBox *combo = nullptr;   // 0 "中文" (zh_CN), 1 "English" (en_US)
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
    GaugeOptionsWidget *gauge = nullptr;
};
