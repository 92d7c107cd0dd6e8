#include "app/widget.h"

#include <QProgressDialog>

void Widget::slotStoreGroupUpdate(int total, int position)
{
    // The dialog deletes itself when closed; the guarded pointer is then null.
    if (downloadCanceled || !progressDialog)
        return;
    progressDialog->setRange(0, total);
    progressDialog->setValue(position - 1);
}

void Widget::slotDownloadProgressCanceled()
{
    downloadCanceled = true;
}
