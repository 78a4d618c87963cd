// The main window's slots that open the blacklist editor and the About window.

#include "mainwindow/mainwindow.h"

#include "dialogs/formblacklist.h"
#include "io/iofunc.h"
#include "ui_aboutwindow.h"

bool MainWindow::buttonEdit()
{
    // No parent: the editor is a window of its own, and modal for the whole program.
    FormBlacklist editor;
    editor.ui.textEditBlacklist->setText(ioFunc->readFile(blacklistPath, QIODevice::ReadOnly));
    if (editor.exec() != QDialog::Accepted)
        return false;
    return ioFunc->writeFile(blacklistPath, editor.ui.textEditBlacklist->toPlainText(),
                             QIODevice::WriteOnly);
}

void MainWindow::about()
{
    QDialog dialog(this);
    Ui_AboutWindow form;
    form.setupUi(&dialog);
    dialog.resize(dialog.size().expandedTo(dialog.minimumSizeHint()));
    dialog.exec();
}
