#include "app/gaugeoptionswidget.h"
#include "ui_gaugeoptions.h"

#include "plugins/serialline/portopening.h"

#include <QEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSerialPort>
#include <QSerialPortInfo>
#include <QTimer>

namespace {

constexpr int TestTimeoutMs = 5000;

const QStringList Parities = {QStringLiteral("none"), QStringLiteral("even"), QStringLiteral("odd")};
const QStringList FlowControls = {QStringLiteral("none"), QStringLiteral("hardware"), QStringLiteral("software")};

QString hex16(quint16 value)
{
    return QStringLiteral("%1").arg(value, 4, 16, QLatin1Char('0'));
}

} // namespace

GaugeOptionsWidget::GaugeOptionsWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::GaugeOptions)
    , m_testTimer(new QTimer(this))
{
    ui->setupUi(this);
    // The line under Test wraps; a tab's page does not ask its label for
    // the height of the wrapped text, so the label asks for it itself.
    ui->lblTest->installEventFilter(this);
    auto *hex = new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9A-Fa-f]{1,4}")), this);
    ui->edtVendorId->setValidator(hex);
    ui->edtProductId->setValidator(hex);
    ui->cbBaudRate->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[1-9][0-9]{0,7}")), this));

    // An empty port: the gauge is found by its USB identifiers.
    ui->cbPort->addItem(QString());
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports)
        ui->cbPort->addItem(info.systemLocation());
    ui->cbPort->lineEdit()->setPlaceholderText(tr("found by its USB vendor and product ID"));

    connect(ui->cbGauge, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            [this](int index) { ui->grpSerial->setEnabled(index == 1); });
    connect(ui->btnTest, &QPushButton::clicked, this, &GaugeOptionsWidget::startTest);
    m_testTimer->setSingleShot(true);
    connect(m_testTimer, &QTimer::timeout, this, [this] {
        stopTest(tr("Nothing arrived within %1 seconds. Check the cable, the port and the baud rate.")
                     .arg(TestTimeoutMs / 1000));
    });
    setSettings(SerialGaugeSettings());
}

GaugeOptionsWidget::~GaugeOptionsWidget()
{
    delete ui;
}

void GaugeOptionsWidget::setSettings(const SerialGaugeSettings &s)
{
    m_loaded = s;
    ui->cbGauge->setCurrentIndex(s.enabled ? 1 : 0);
    ui->grpSerial->setEnabled(s.enabled);
    ui->cbPort->setEditText(s.port);
    ui->edtVendorId->setText(hex16(s.vendorId));
    ui->edtProductId->setText(hex16(s.productId));
    ui->cbBaudRate->setEditText(QString::number(s.baudRate));
    ui->cbDataBits->setCurrentIndex(s.dataBits - 5);
    ui->cbParity->setCurrentIndex(std::max(0, Parities.indexOf(s.parity)));
    ui->cbStopBits->setCurrentIndex(s.stopBits == 2 ? 1 : 0);
    ui->cbFlowControl->setCurrentIndex(std::max(0, FlowControls.indexOf(s.flowControl)));
    ui->cbDefaultUnit->setCurrentIndex(s.defaultUnit == QLatin1String("mil") ? 1 : 0);
    ui->edtPattern->setText(s.pattern);
    ui->edtStoreRequest->setText(s.storeRequest);
    ui->edtStoreEnd->setText(s.storeEnd);
}

SerialGaugeSettings GaugeOptionsWidget::settings() const
{
    SerialGaugeSettings s = m_loaded;
    s.enabled = ui->cbGauge->currentIndex() == 1;
    s.port = ui->cbPort->currentText().trimmed();
    bool ok = false;
    const uint vendor = ui->edtVendorId->text().toUInt(&ok, 16);
    if (ok)
        s.vendorId = quint16(vendor);
    const uint product = ui->edtProductId->text().toUInt(&ok, 16);
    if (ok)
        s.productId = quint16(product);
    const int baud = ui->cbBaudRate->currentText().toInt(&ok);
    if (ok && baud > 0)
        s.baudRate = baud;
    s.dataBits = ui->cbDataBits->currentIndex() + 5;
    s.parity = Parities.value(ui->cbParity->currentIndex(), Parities.first());
    s.stopBits = ui->cbStopBits->currentIndex() + 1;
    s.flowControl = FlowControls.value(ui->cbFlowControl->currentIndex(), FlowControls.first());
    s.defaultUnit = ui->cbDefaultUnit->currentIndex() == 1 ? QStringLiteral("mil") : QStringLiteral("um");
    s.pattern = ui->edtPattern->text();
    s.storeRequest = ui->edtStoreRequest->text();
    s.storeEnd = ui->edtStoreEnd->text();
    return s;
}

void GaugeOptionsWidget::startTest()
{
    stopTest(QString());
    const SerialGaugeSettings s = settings();
    QString error;
    if (!m_grammar.setPattern(s.pattern, &error)) {
        ui->lblTest->setText(tr("The line pattern cannot be used (%1).").arg(error));
        return;
    }
    m_grammar.setDefaultUnit(s.defaultUnit);
    m_testPort = new QSerialPort(this);
    const QString path = gaugePortPath(s);
    QString failure;
    if (!openGaugePort(*m_testPort, path, s, &failure)) {
        stopTest(failure);
        return;
    }
    m_splitter.clear();
    connect(m_testPort, &QSerialPort::readyRead, this, &GaugeOptionsWidget::testRead);
    ui->btnTest->setEnabled(false);
    ui->lblTest->setText(tr("Waiting for a line from %1 ...").arg(path));
    m_testTimer->start(TestTimeoutMs);
}

void GaugeOptionsWidget::testRead()
{
    const QList<LineSplitter::Line> lines = m_splitter.feed(m_testPort->readAll());
    if (!lines.isEmpty())
        showTestResult(lines.first());
}

void GaugeOptionsWidget::showTestResult(const LineSplitter::Line &line)
{
    if (line.kind == LineSplitter::Kind::TooLong) {
        stopTest(tr("A line longer than %1 bytes arrived. Check the baud rate.").arg(LineSplitter::MaxLineBytes));
        return;
    }
    if (line.kind == LineSplitter::Kind::Noise) {
        stopTest(tr("Bytes that are not text arrived. Check the baud rate, data bits, parity and stop bits."));
        return;
    }
    const QString text = LineGrammar::decode(line.text);
    const LineGrammar::Parsed parsed = m_grammar.parse(text);
    if (parsed.fault != LineGrammar::Fault::None) {
        stopTest(tr("Received \"%1\", which is not a reading. Set a line pattern for this gauge.").arg(text));
        return;
    }
    const QString unit = parsed.unit == QLatin1String("um") ? QString::fromUtf8("μm") : parsed.unit;
    stopTest(tr("Received \"%1\": %2 %3 %4").arg(text, parsed.value, unit, parsed.basis).trimmed());
}

void GaugeOptionsWidget::stopTest(const QString &result)
{
    m_testTimer->stop();
    if (m_testPort) {
        m_testPort->close();
        m_testPort->deleteLater();
        m_testPort = nullptr;
    }
    ui->btnTest->setEnabled(true);
    if (!result.isEmpty())
        ui->lblTest->setText(result);
}

bool GaugeOptionsWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->lblTest && event->type() == QEvent::Resize) {
        const int wrapped = ui->lblTest->heightForWidth(ui->lblTest->width());
        if (wrapped > 0 && wrapped != ui->lblTest->minimumHeight())
            ui->lblTest->setMinimumHeight(wrapped);
    }
    return QWidget::eventFilter(watched, event);
}
