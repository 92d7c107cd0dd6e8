#include "views/dlglimits.h"
#include "ui_dlglimits.h"

#include "data/readingrecord.h"

#include <QPushButton>

namespace {

// Thicknesses above this read as overloads in either unit.
constexpr double Largest = 1250;

QList<QDoubleSpinBox *> boxes(Ui::dlgLimits *ui)
{
    return {ui->sbNominal, ui->sbMinimum, ui->sbMaximum, ui->sbCorrection};
}

} // namespace

dlgLimits::dlgLimits(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::dlgLimits)
{
    ui->setupUi(this);
    for (QDoubleSpinBox *box : boxes(ui)) {
        box->setSpecialValueText(tr("Not set"));
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, &dlgLimits::checkLimits);
    }
    connect(ui->cbRule, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &dlgLimits::checkLimits);
    setLimits(ItemLimits(), true);
}

dlgLimits::~dlgLimits()
{
    delete ui;
}

void dlgLimits::setLimits(const ItemLimits &limits, bool micrometres)
{
    m_micrometres = micrometres;
    const double perMicrometre = micrometres ? 1.0 : 1.0 / MicrometresPerMil;
    const QString suffix = micrometres ? QString::fromUtf8(" μm") : QStringLiteral(" mil");
    const double values[] = {limits.nominal, limits.minimum, limits.maximum, limits.correction};
    const QList<QDoubleSpinBox *> all = boxes(ui);
    for (int i = 0; i < all.size(); ++i) {
        QDoubleSpinBox *box = all.at(i);
        box->setDecimals(micrometres ? 1 : 2);
        box->setRange(0, Largest);
        box->setSingleStep(micrometres ? 1.0 : 0.1);
        box->setSuffix(suffix);
        box->setValue(values[i] * perMicrometre);
        m_shown[i] = box->value();
    }
    m_given = limits;
    ui->cbRule->setCurrentIndex(int(limits.rule));
    checkLimits();
}

ItemLimits dlgLimits::limits() const
{
    const double toMicrometres = m_micrometres ? 1.0 : MicrometresPerMil;
    auto limit = [&](int i, double given) {
        const double value = boxes(ui).at(i)->value();
        return value == m_shown[i] ? given : value * toMicrometres;
    };
    ItemLimits limits;
    limits.nominal = limit(0, m_given.nominal);
    limits.minimum = limit(1, m_given.minimum);
    limits.maximum = limit(2, m_given.maximum);
    limits.correction = limit(3, m_given.correction);
    limits.rule = AcceptanceRule(qBound(0, ui->cbRule->currentIndex(), 2));
    return limits;
}

void dlgLimits::checkLimits()
{
    const ItemLimits l = limits();
    QString hint;
    if (l.minimum > 0 && l.maximum > 0 && l.minimum > l.maximum)
        hint = tr("The minimum is above the maximum.");
    else if (l.rule == AcceptanceRule::Iso19840 && !(l.nominal > 0))
        hint = tr("ISO 19840 needs the nominal thickness (NDFT).");
    else if (l.rule == AcceptanceRule::SspcPa2 && !(l.minimum > 0 && l.maximum > 0))
        hint = tr("SSPC-PA 2 needs the minimum and the maximum.");
    ui->lblHint->setText(hint);
    ui->lblHint->setVisible(!hint.isEmpty());
    if (QPushButton *ok = ui->buttonBox->button(QDialogButtonBox::Ok))
        ok->setEnabled(l.isComplete());
}
