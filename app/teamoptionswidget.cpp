#include "app/teamoptionswidget.h"
#include "ui_teamoptions.h"

#include "team/teamcheck.h"

#include <QPointer>
#include <QThread>

#include <memory>

TeamOptionsWidget::TeamOptionsWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::TeamOptions)
{
    ui->setupUi(this);
    connect(ui->chkEnabled, &QCheckBox::toggled, ui->grpServer, &QWidget::setEnabled);
    connect(ui->btnTest, &QPushButton::clicked, this, &TeamOptionsWidget::startTest);
    setSettings(TeamSettings());
}

TeamOptionsWidget::~TeamOptionsWidget()
{
    delete ui;
}

void TeamOptionsWidget::setSettings(const TeamSettings &s)
{
    ui->chkEnabled->setChecked(s.enabled);
    ui->grpServer->setEnabled(s.enabled);
    ui->edtHost->setText(s.host);
    ui->spnPort->setValue(s.port);
    ui->edtDatabase->setText(s.database);
    ui->edtUser->setText(s.user);
    ui->cbSslMode->setCurrentIndex(std::max(0, TeamSettings::sslModes().indexOf(s.sslMode)));
    ui->edtInspector->setText(s.inspector);
    ui->spnInterval->setValue(s.interval);
}

TeamSettings TeamOptionsWidget::settings() const
{
    TeamSettings s;
    s.enabled = ui->chkEnabled->isChecked();
    s.host = ui->edtHost->text().trimmed();
    s.port = ui->spnPort->value();
    s.database = ui->edtDatabase->text().trimmed();
    s.user = ui->edtUser->text().trimmed();
    s.sslMode = TeamSettings::sslModes().value(ui->cbSslMode->currentIndex(), s.sslMode);
    s.inspector = ui->edtInspector->text().trimmed();
    s.interval = ui->spnInterval->value();
    return s;
}

QString TeamOptionsWidget::password() const
{
    return ui->edtPassword->text();
}

void TeamOptionsWidget::startTest()
{
    TeamSettings s = settings();
    s.enabled = true;
    if (!s.isUsable()) {
        ui->lblTest->setText(tr("Fill in the host, the database and the user first."));
        return;
    }
    ui->btnTest->setEnabled(false);
    ui->lblTest->setText(tr("Connecting to %1 ...").arg(s.host));
    // The check waits for the server on a thread of its own; the page may
    // be gone when it ends.
    auto result = std::make_shared<QString>();
    const QString password = ui->edtPassword->text();
    QThread *thread = QThread::create([s, password, result] { *result = TeamCheck::run(s, password).describe(s); });
    QPointer<TeamOptionsWidget> page(this);
    connect(thread, &QThread::finished, thread, [page, thread, result] {
        thread->deleteLater();
        if (!page)
            return;
        page->ui->btnTest->setEnabled(true);
        page->ui->lblTest->setText(*result);
    });
    thread->start();
}
