#pragma once

#include <QDialog>
#include <QString>

namespace Ui {
class dlgExport;
}

// What can be exported.
enum class ExportKind {
    Readings,   // the readings table as a workbook or CSV
    Histogram,  // the histogram as a picture
    Chart,      // the chart as a picture
    Report,     // the PDF report, with an optional scene picture
    Summary,    // the summary of all items as a PDF report
};

// Lets the user pick what to export, and the scene picture of a report.
class dlgExport : public QDialog
{
    Q_OBJECT

public:
    explicit dlgExport(QWidget *parent = nullptr);
    ~dlgExport() override;

    ExportKind exportType() const;

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
    ExportKind m_exportType = ExportKind::Readings;
};
