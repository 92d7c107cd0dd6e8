#include "app/optiondialog.h"

#include "app/gaugeoptionswidget.h"
#include "app/teamoptionswidget.h"
#include "plugins/serialline/serialgaugesettings.h"
#include "team/teamsettings.h"

#include <QComboBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

OptionDialog::OptionDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Options"));

    combo = new QComboBox;
    combo->addItem(QString::fromUtf8("中文"));
    combo->addItem(QStringLiteral("English"));

    auto *general = new QWidget;
    auto *form = new QFormLayout(general);
    form->addRow(tr("Language"), combo);
    pages = new QTabWidget;
    pages->addTab(general, tr("General"));
    team = new TeamOptionsWidget;
    pages->addTab(team, tr("Team"));

    btnOk = new QPushButton(tr("Ok"));
    btnCancel = new QPushButton(tr("Cancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout;
    layout->addWidget(pages);
    layout->addLayout(buttons);
    setLayout(layout);

    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

GaugeOptionsWidget *OptionDialog::addGaugeChoice()
{
    if (!gauge) {
        gauge = new GaugeOptionsWidget;
        pages->insertTab(1, gauge, tr("Gauge"));
    }
    return gauge;
}

OptionDialog::TeamChange OptionDialog::edit(QWidget *parent, QString *language, bool gaugeChoice)
{
    OptionDialog dialog(parent);
    dialog.combo->setCurrentIndex(*language == QLatin1String("zh_CN") ? 0 : 1);
    // The gauge and the team are kept in files of their own, beside
    // options.xml's four elements.
    const QString gaugePath = SerialGaugeSettings::defaultPath();
    SerialGaugeSettings gaugeBefore;
    if (gaugeChoice) {
        gaugeBefore = SerialGaugeSettings::load(gaugePath);
        dialog.addGaugeChoice()->setSettings(gaugeBefore);
    }
    const QString teamPath = TeamSettings::defaultPath();
    const TeamSettings teamBefore = TeamSettings::load(teamPath);
    dialog.team->setSettings(teamBefore);
    TeamChange change;
    if (dialog.exec() != QDialog::Accepted)
        return change;
    const QString old = *language;
    *language = dialog.combo->currentIndex() == 0 ? QStringLiteral("zh_CN") : QStringLiteral("en_US");
    bool restart = *language != old;
    if (dialog.gauge) {
        const SerialGaugeSettings gauge = dialog.gauge->settings();
        QString error;
        if (gauge != gaugeBefore && !gauge.save(gaugePath, &error)) {
            QMessageBox::critical(parent, QString(),
                                  tr("The gauge settings could not be written to %1: %2")
                                      .arg(QDir::toNativeSeparators(gaugePath), error),
                                  QMessageBox::Ok);
        } else if (gauge.enabled != gaugeBefore.enabled) {
            // The plug-ins are bound at start-up; the line settings are
            // read again at each Connect.
            restart = true;
        }
    }
    const TeamSettings team = dialog.team->settings();
    QString error;
    if (team != teamBefore && !team.save(teamPath, &error)) {
        QMessageBox::critical(parent, QString(),
                              tr("The team settings could not be written to %1: %2")
                                  .arg(QDir::toNativeSeparators(teamPath), error),
                              QMessageBox::Ok);
    } else {
        change.settings = team != teamBefore;
    }
    change.password = dialog.team->password();
    if (restart) {
        QMessageBox::information(parent, QStringLiteral("VK508M"),
                                 tr("Changes will take effect when you restart application."), QMessageBox::Ok);
    }
    return change;
}
