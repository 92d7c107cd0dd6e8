#include "views/dlgdetails.h"
#include "ui_dlgdetails.h"

namespace {

// The date edit's lowest date stands for "not set".
const QDate NotSet(1970, 1, 1);

} // namespace

dlgDetails::dlgDetails(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::dlgDetails)
{
    ui->setupUi(this);
    ui->dteCalibration->setMinimumDate(NotSet);
    ui->dteCalibration->setSpecialValueText(tr("Not set"));
    setDetails(ItemDetails());
}

dlgDetails::~dlgDetails()
{
    delete ui;
}

void dlgDetails::setDetails(const ItemDetails &d)
{
    ui->edtProject->setText(d.project);
    ui->edtStructure->setText(d.structure);
    ui->edtCoating->setText(d.coating);
    ui->edtGaugeModel->setText(d.gaugeModel);
    ui->edtGaugeSerial->setText(d.gaugeSerial);
    ui->edtProbeSerial->setText(d.probeSerial);
    ui->dteCalibration->setDate(d.calibration.isValid() && d.calibration > NotSet ? d.calibration : NotSet);
    ui->edtAdjustment->setText(d.adjustment);
    ui->edtInspector->setText(d.inspector);
    ui->txtNotes->setPlainText(d.notes);
}

ItemDetails dlgDetails::details() const
{
    ItemDetails d;
    d.project = ui->edtProject->text();
    d.structure = ui->edtStructure->text();
    d.coating = ui->edtCoating->text();
    d.gaugeModel = ui->edtGaugeModel->text();
    d.gaugeSerial = ui->edtGaugeSerial->text();
    d.probeSerial = ui->edtProbeSerial->text();
    const QDate date = ui->dteCalibration->date();
    d.calibration = date > NotSet ? date : QDate();
    d.adjustment = ui->edtAdjustment->text();
    d.inspector = ui->edtInspector->text();
    d.notes = ui->txtNotes->toPlainText();
    return d.trimmed();
}
