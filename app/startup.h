#pragma once

#include <QString>

class QTranslator;

namespace Startup {

// "trans/src_" + locale name, relative to the working directory on purpose: a translation is
// picked up from where the program is started, not from where it is installed.
QString translationFileName(const QString &localeName);

// Loads the translation for localeName into translator; false when no file was found.
bool loadTranslation(QTranslator &translator, const QString &localeName);

// Installs the system locale's translation, shows the main window and runs the event loop
// until it closes. Returns the event loop's value. Needs a QApplication.
int run();

} // namespace Startup
