#include "app/optiondialog.h"

#include "app/gaugeoptionswidget.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

OptionDialog::OptionDialog(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Options"));

    combo = new QComboBox;
    combo->addItem(QString::fromUtf8("中文"));
    combo->addItem(QStringLiteral("English"));

    auto *form = new QFormLayout;
    form->addRow(tr("Language"), combo);

    btnOk = new QPushButton(tr("Ok"));
    btnCancel = new QPushButton(tr("Cancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout;
    layout->addLayout(form);
    layout->addLayout(buttons);
    setLayout(layout);

    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

GaugeOptionsWidget *OptionDialog::addGaugeChoice()
{
    if (!gauge) {
        gauge = new GaugeOptionsWidget;
        static_cast<QVBoxLayout *>(layout())->insertWidget(1, gauge);
    }
    return gauge;
}
