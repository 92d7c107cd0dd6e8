#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers modal dialogs while a test triggers a command that opens them:
// each dialog that becomes the active modal widget is recorded and handed
// to the next queued handler (the default one closes it), so no dialog is
// left hanging.
class DialogAnswerer : public QObject
{
public:
    using Handler = std::function<void(QWidget *dialog)>;

    DialogAnswerer()
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

    // Queues a handler for the next dialog.
    void then(const Handler &handler) { m_handlers << handler; }

    // Presses the message box button with the given role (Ok, Yes, No...).
    static Handler press(QMessageBox::StandardButton button)
    {
        return [button](QWidget *dialog) {
            if (auto *box = qobject_cast<QMessageBox *>(dialog)) {
                if (QAbstractButton *b = box->button(button)) {
                    b->click();
                    return;
                }
            }
            closeDialog(dialog);
        };
    }

    // The dialog puts a selected name into its edit only while the edit
    // has no focus, which the shown dialog may have given it already: the
    // name is typed there as well.
    static void pick(QFileDialog *dialog, const QString &path)
    {
        dialog->selectFile(path);
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
    }
    // Picks path in a file dialog and accepts it.
    static Handler file(const QString &path)
    {
        return [path](QWidget *dialog) {
            auto *fileDialog = qobject_cast<QFileDialog *>(dialog);
            if (!fileDialog)
                return closeDialog(dialog);
            pick(fileDialog, path);
            static_cast<QDialog *>(fileDialog)->accept();
        };
    }

    static void closeDialog(QWidget *dialog)
    {
        if (auto *d = qobject_cast<QDialog *>(dialog))
            d->reject();
        else
            dialog->close();
    }

    // Texts of the message boxes seen so far, titles of other dialogs, and
    // the object names of the actions of each popup menu (which is closed).
    QStringList texts;
    QStringList titles;
    QList<QStringList> menus;
    int count() const { return texts.size(); }

private:
    void poll()
    {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            QStringList names;
            for (QAction *action : menu->actions())
                names << action->objectName();
            menus << names;
            menu->close();
            return;
        }
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == m_last)
            return;
        m_last = dialog;
        auto *box = qobject_cast<QMessageBox *>(dialog);
        texts << (box ? box->text() : QString());
        titles << dialog->windowTitle();
        const Handler handler = m_handlers.isEmpty() ? Handler(closeDialog) : m_handlers.takeFirst();
        handler(dialog);
        m_last = nullptr;
    }

    QTimer m_timer;
    QList<Handler> m_handlers;
    QWidget *m_last = nullptr;
};
