#pragma once

#include <QImage>

// Each function paints one icon of the program on a fresh transparent (or, for the flags, opaque)
// canvas of the icon's final pixel size.
namespace Icons {

QImage editCut();
QImage editCopy();
QImage editPaste();
QImage fileNew();
QImage fileSave();
QImage fileSaveAs();
QImage exit();
QImage help();
QImage search();
QImage plugin();
QImage flagGermany();
QImage flagUnitedStates();

} // namespace Icons
