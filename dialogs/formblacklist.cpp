#include "dialogs/formblacklist.h"

FormBlacklist::FormBlacklist(QWidget *parent) : QDialog(parent)
{
    ui.setupUi(this);
    // A list is one long paragraph with few places to break between words: looking for them
    // takes time that grows with the square of its length (two minutes for 1 MB), breaking
    // anywhere only linear time.
    ui.textEditBlacklist->setWordWrapMode(QTextOption::WrapAnywhere);
    resize(size().expandedTo(minimumSizeHint()));
}
