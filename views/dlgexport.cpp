#include "views/dlgexport.h"
#include "ui_dlgexport.h"

#include <QFileDialog>

dlgExport::dlgExport(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::dlgExport)
{
    ui->setupUi(this);
    m_exportType = ExportKind::Readings;
    ui->rbTable->setChecked(true);
    ui->wgtScene->hide();
}

dlgExport::~dlgExport()
{
    delete ui;
}

ExportKind dlgExport::exportType() const
{
    return m_exportType;
}

QString dlgExport::sceneFileName() const
{
    return ui->edtSceneName->text().trimmed();
}

void dlgExport::setSceneFileName(const QString &name)
{
    ui->edtSceneName->setText(name);
}

void dlgExport::on_rbTable_toggled(bool checked)
{
    if (checked)
        m_exportType = ExportKind::Readings;
}

void dlgExport::on_rbHistogram_toggled(bool checked)
{
    if (checked)
        m_exportType = ExportKind::Histogram;
}

void dlgExport::on_rbChart_toggled(bool checked)
{
    if (checked)
        m_exportType = ExportKind::Chart;
}

void dlgExport::on_rbPdf_toggled(bool checked)
{
    if (checked)
        m_exportType = ExportKind::Report;
    ui->wgtScene->setVisible(checked);
}

void dlgExport::on_rbSummary_toggled(bool checked)
{
    if (checked)
        m_exportType = ExportKind::Summary;
}

void dlgExport::on_btnScenePic_clicked()
{
    // A cancelled browse gives an empty name: the report goes without a
    // scene picture.
    const QString name = QFileDialog::getOpenFileName(this, tr("Please select a scene picture."), QString(),
                                                      QStringLiteral("Images(*.png *.xpm *.jpg)"));
    setSceneFileName(name);
}
