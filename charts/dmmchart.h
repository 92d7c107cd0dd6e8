#pragma once

#include <QFrame>

// Placeholder: the time chart widget (replaced by the real one).
class DMMChart : public QFrame
{
    Q_OBJECT
public:
    explicit DMMChart(QWidget *parent = nullptr) : QFrame(parent) {}
};
