#include "views/statisticsview.h"

#include "data/itemdetails.h"
#include "data/itemsummary.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

namespace {

const QColor PassColour(0, 128, 0);
const QColor FailColour(200, 0, 0);

QTableWidget *newTable(const QString &objectName, const QStringList &headers, QWidget *parent)
{
    auto *table = new QTableWidget(0, headers.size(), parent);
    table->setObjectName(objectName);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    // As large as the rows and columns, no larger: the tab shows them whole.
    table->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    table->setSizePolicy(QSizePolicy::Maximum, QSizePolicy::Maximum);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    return table;
}

// One row per summary row: the caption, then its values.
void fill(QTableWidget *table, const QVector<SummaryRow> &rows)
{
    table->clearSpans();
    table->setRowCount(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        table->setItem(r, 0, new QTableWidgetItem(rows.at(r).caption));
        const QStringList &values = rows.at(r).values;
        for (int c = 0; c < values.size() && c + 1 < table->columnCount(); ++c) {
            auto *cell = new QTableWidgetItem(values.at(c));
            cell->setTextAlignment(Qt::AlignCenter);
            table->setItem(r, c + 1, cell);
        }
        // A row with one value fills the row.
        if (values.size() == 1 && table->columnCount() > 2)
            table->setSpan(r, 1, 1, table->columnCount() - 1);
    }
}

} // namespace

StatisticsView::StatisticsView(QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(this))
    , m_details(new QLabel(this))
    , m_figures(newTable(QStringLiteral("statisticsFigures"), {QString(), QString(), QString()}, this))
    , m_limits(newTable(QStringLiteral("statisticsLimits"), {tr("Limit"), tr("Value")}, this))
    , m_verdict(new QLabel(this))
    , m_rules(newTable(QStringLiteral("statisticsRules"), {tr("Rule"), tr("Count"), tr("Result")}, this))
{
    m_title->setObjectName(QStringLiteral("statisticsTitle"));
    m_title->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_details->setObjectName(QStringLiteral("statisticsDetails"));
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_details->setWordWrap(true);
    m_details->hide();
    m_verdict->setObjectName(QStringLiteral("statisticsVerdict"));
    m_verdict->setWordWrap(true);
    QFont bold = m_verdict->font();
    bold.setBold(true);
    m_verdict->setFont(bold);

    // The figures on the left; the limits and the verdict beside them; the
    // rules underneath.
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(m_title, 0, 0, 1, 3);
    layout->addWidget(m_details, 1, 0, 1, 3);
    layout->addWidget(m_figures, 2, 0, 2, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_limits, 2, 1, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_verdict, 3, 1, 1, 2, Qt::AlignTop | Qt::AlignLeft);
    layout->addWidget(m_rules, 4, 0, 1, 3, Qt::AlignTop | Qt::AlignLeft);
    layout->setRowStretch(5, 1);
    layout->setColumnStretch(2, 1);
    clear();
}

void StatisticsView::clear()
{
    m_title->clear();
    m_details->clear();
    m_details->hide();
    m_figures->setRowCount(0);
    m_limits->setRowCount(0);
    m_limits->hide();
    m_verdict->clear();
    m_rules->setRowCount(0);
    m_rules->hide();
}

void StatisticsView::showSummary(const ItemSummary &s)
{
    m_title->setText(tr("%1, readings from %2 to %3").arg(s.name, s.firstReading, s.lastReading));

    m_figures->setHorizontalHeaderLabels(QStringList{QString()} + s.figureColumns);
    fill(m_figures, s.figures + QVector<SummaryRow>{s.overloads});

    m_limits->setVisible(s.limitsSet);
    fill(m_limits, s.limits);

    QString verdict;
    QColor colour = palette().color(QPalette::WindowText);
    if (!s.limitsSet) {
        verdict = tr("No limits set.");
    } else if (!s.judged) {
        verdict = tr("No rule chosen.");
    } else {
        verdict = ItemSummary::tr("Verdict") + QStringLiteral(": ") + ItemSummary::verdictText(s.passed);
        for (const QString &failure : s.failures)
            verdict += QLatin1Char('\n') + failure;
        colour = s.passed ? PassColour : FailColour;
    }
    QPalette verdictPalette = m_verdict->palette();
    verdictPalette.setColor(QPalette::WindowText, colour);
    m_verdict->setPalette(verdictPalette);
    m_verdict->setText(verdict);

    m_rules->setVisible(s.judged);
    fill(m_rules, s.rules);
    for (int r = 0; r < s.rules.size() && r < s.rulesPassed.size(); ++r) {
        if (QTableWidgetItem *result = m_rules->item(r, 2))
            result->setForeground(s.rulesPassed.at(r) ? PassColour : FailColour);
    }
}

void StatisticsView::showDetails(const QVector<DetailLine> &lines)
{
    QStringList texts;
    for (const DetailLine &line : lines)
        texts << tr("%1: %2").arg(line.caption, QString(line.text).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    m_details->setText(texts.join(QLatin1Char('\n')));
    m_details->setVisible(!texts.isEmpty());
}
