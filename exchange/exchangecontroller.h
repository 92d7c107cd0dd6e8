#pragma once

#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <functional>

class QWidget;
class ActiveItemView;
class ItemStore;
class ItemsController;
struct PdfColumn;

// Readings in and out of the program: the Export dialog and what it
// chooses (workbook or CSV, pictures, the item's report, the summary of all
// items), and Import, which makes a new item from a file. Failures are
// shown; nothing is reported as done that was not.
class ExchangeController : public QObject
{
    Q_OBJECT

public:
    // Everything given outlives the controller; the dialogs open over dialogParent.
    ExchangeController(ItemStore *store, ItemsController *items, ActiveItemView *view, QWidget *dialogParent,
                       QObject *parent = nullptr);
    ~ExchangeController() override;

    // The scene picture the last report was made with.
    QString sceneFileName() const { return m_sceneFileName; }
    void setSceneFileName(const QString &name) { m_sceneFileName = name; }

    // Asks what to export, then exports it.
    void exportChosen();
    void exportReadings();
    void exportPicture(const std::function<QPixmap()> &picture, const QString &caption);
    void exportReport(const QString &sceneFileName);
    // The summary of every item that has readings.
    void exportSummary();
    void importReadings();

private:
    void showFailure(const QString &reason);
    void showSuccess();

    ItemStore *m_store;
    ItemsController *m_items;
    ActiveItemView *m_view;
    QWidget *m_dialogParent;
    QList<PdfColumn *> m_pdfColumns;
    QString m_sceneFileName;
};
