// A PDF report of 10,000 readings with a histogram and a chart picture of
// window size on the first page (418 pages in all).

#include "exchange/pdfcolumn.h"
#include "exchange/pdfreport.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QImage>
#include <QStandardItemModel>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int Rows = 10000;

QImage viewPicture(const QColor &colour)
{
    QImage picture(800, 400, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(colour);
    for (int x = 0; x < 800; x += 8)
        painter.drawLine(x, 400, x + 4, 400 - (x * 7) % 380);
    return picture;
}

void BM_PdfReport(benchmark::State &state)
{
    QTemporaryDir dir;
    QStandardItemModel table(Rows, 5);
    for (int r = 0; r < Rows; ++r) {
        table.setData(table.index(r, 0), r + 1);
        table.setData(table.index(r, 1), QStringLiteral("2026-12-07 10:%1:%2").arg(r / 60 % 60, 2, 10, QLatin1Char('0'))
                                             .arg(r % 60, 2, 10, QLatin1Char('0')));
        table.setData(table.index(r, 2), r % 50 ? QString::number(80 + r % 40 + 0.1 * (r % 10), 'f', 1)
                                                : QStringLiteral("   -OL"));
        table.setData(table.index(r, 3), QString::fromUtf8("μm"));
        table.setData(table.index(r, 4), QStringLiteral("Fe"));
    }
    QList<PdfColumn *> columns;
    columns << new PdfColumn{QStringLiteral("No."), 2} << new PdfColumn{QStringLiteral("Time"), 3}
            << new PdfColumn{QStringLiteral("Value"), 3} << new PdfColumn{QStringLiteral("Unit"), 2}
            << new PdfColumn{QStringLiteral("Basis"), 2};
    const QImage histogram = viewPicture(Qt::blue);
    const QImage chart = viewPicture(Qt::red);
    const QString file = dir.filePath(QStringLiteral("report.pdf"));

    for (auto _ : state) {
        if (!writePdfReport(file, table, columns, QString(), histogram, chart, nullptr))
            state.SkipWithError("the report could not be written");
    }
    state.counters["rows"] = Rows;
    state.counters["bytes"] = QFileInfo(file).size();
    qDeleteAll(columns);
}
BENCHMARK(BM_PdfReport)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
