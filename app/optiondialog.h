#pragma once

#include <QDialog>
#include <QString>

class GaugeOptionsWidget;
class QComboBox;
class QPushButton;
class QTabWidget;
class TeamOptionsWidget;

// The Options dialog: the interface language on its first page, the gauge
// (see addGaugeChoice) and the team database on pages of their own. The
// main window presets the language, runs the dialog and stores the choice.
class OptionDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionDialog(QWidget *parent = nullptr);

    // What the dialog changed of the team database: its settings (team.conf
    // is written at once) or a password for this session.
    struct TeamChange
    {
        bool settings = false;
        QString password;
    };

    // Runs the dialog over parent for the language (changed in place), the
    // team database and, when a gauge can be chosen, the serial gauge's
    // settings file, which is written at once. Says so when a change needs
    // a restart.
    static TeamChange edit(QWidget *parent, QString *language, bool gaugeChoice);

    // Adds the gauge page; only when a gauge can be chosen, so that the
    // dialog stays as it is otherwise.
    GaugeOptionsWidget *addGaugeChoice();

    QComboBox *combo = nullptr;   // 0 "中文" (zh_CN), 1 "English" (en_US)
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
    QTabWidget *pages = nullptr;
    GaugeOptionsWidget *gauge = nullptr;
    TeamOptionsWidget *team = nullptr;
};
