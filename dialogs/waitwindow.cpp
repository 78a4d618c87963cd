#include "dialogs/waitwindow.h"

WaitWindow::WaitWindow(QWidget *parent) : QDialog(parent)
{
    ui.setupUi(this);
    resize(size().expandedTo(minimumSizeHint()));
}
