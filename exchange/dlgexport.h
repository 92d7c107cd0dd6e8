#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class dlgExport;
}

// Lets the user pick what to export: the readings table as a workbook (0),
// the histogram (1) or the chart (2) as a picture, or a PDF report (3) with
// an optional scene picture, or the summary of all items as a PDF
// report (4).
class dlgExport : public QDialog
{
    Q_OBJECT

public:
    explicit dlgExport(QWidget *parent = nullptr);
    ~dlgExport() override;

    int exportType() const;

    // The scene picture for the report: whatever the scene field shows,
    // trimmed, so the name the user sees is the name that is used.
    QString sceneFileName() const;
    void setSceneFileName(const QString &name);

private slots:
    void on_rbTable_toggled(bool checked);
    void on_rbHistogram_toggled(bool checked);
    void on_rbChart_toggled(bool checked);
    void on_rbPdf_toggled(bool checked);
    void on_rbSummary_toggled(bool checked);
    void on_btnScenePic_clicked();

private:
    Ui::dlgExport *ui;
    int m_exportType = 0;
};
