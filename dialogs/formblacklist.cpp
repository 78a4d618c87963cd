#include "dialogs/formblacklist.h"

FormBlacklist::FormBlacklist(QWidget *parent) : QDialog(parent)
{
    ui.setupUi(this);
    resize(size().expandedTo(minimumSizeHint()));
}
