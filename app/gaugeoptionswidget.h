#pragma once

#include "plugins/serialline/linegrammar.h"
#include "plugins/serialline/linesplitter.h"
#include "plugins/serialline/serialgaugesettings.h"

#include <QWidget>

class QSerialPort;
class QTimer;

namespace Ui {
class GaugeOptions;
}

// The gauge part of the Options dialog: the simulated gauge or a serial
// gauge with its port and line settings, and a test that shows the next
// line the gauge sends.
class GaugeOptionsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit GaugeOptionsWidget(QWidget *parent = nullptr);
    ~GaugeOptionsWidget() override;

    void setSettings(const SerialGaugeSettings &settings);
    // The settings as the fields show them.
    SerialGaugeSettings settings() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startTest();
    void testRead();
    void stopTest(const QString &result);
    void showTestResult(const LineSplitter::Line &line);

    Ui::GaugeOptions *ui = nullptr;
    SerialGaugeSettings m_loaded;
    QSerialPort *m_testPort = nullptr;
    QTimer *m_testTimer = nullptr;
    LineSplitter m_splitter;
    LineGrammar m_grammar;
};
