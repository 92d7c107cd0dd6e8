#pragma once

#include <QWidget>

// Placeholder: the histogram widget (replaced by the real one).
class Histogram : public QWidget
{
    Q_OBJECT
public:
    explicit Histogram(QWidget *parent = nullptr) : QWidget(parent) {}
};
