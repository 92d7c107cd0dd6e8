#include "views/savedialog.h"

#include "exchange/savedfile.h"

#include <QFileDialog>
#include <QRegularExpression>

QString filterSuffix(const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
    return pattern.match(filter).captured(1);
}

namespace {

// The default suffix is the selected filter's at the moment the name is
// taken, however the filter was chosen.
class SaveFileDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        setDefaultSuffix(filterSuffix(selectedNameFilter()));
        QFileDialog::accept();
    }
};

} // namespace

QString askSaveFileName(QWidget *parent, const QString &caption, const QString &directory, const QString &filters,
                        QString *selectedFilter)
{
    SaveFileDialog dialog(parent, caption, directory, filters);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(filterSuffix(dialog.selectedNameFilter()));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog](const QString &filter) { dialog.setDefaultSuffix(filterSuffix(filter)); });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    const QString filter = dialog.selectedNameFilter();
    if (selectedFilter)
        *selectedFilter = filter;
    return withDefaultSuffix(dialog.selectedFiles().constFirst(), filterSuffix(filter));
}
