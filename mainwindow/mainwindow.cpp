#include "mainwindow/mainwindow.h"

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setupUi(this);
    // The form's own size is only a floor: large fonts must not cut widgets off.
    resize(size().expandedTo(minimumSizeHint()));
}
