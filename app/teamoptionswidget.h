#pragma once

#include "team/teamsettings.h"

#include <QWidget>

namespace Ui {
class TeamOptions;
}

// The Team page of the Options dialog: where the team database is, who
// this installation is in it, and a test that says in words what stands in
// the way. The password typed here is kept for this session only.
class TeamOptionsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit TeamOptionsWidget(QWidget *parent = nullptr);
    ~TeamOptionsWidget() override;

    void setSettings(const TeamSettings &settings);
    // The settings as the fields show them.
    TeamSettings settings() const;
    QString password() const;

private:
    void startTest();

    Ui::TeamOptions *ui = nullptr;
};
