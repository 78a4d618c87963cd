#pragma once

#include <QString>

class QTranslator;
class QWidget;

namespace Startup {

// "trans/src_" + locale name, relative to the working directory on purpose: a translation is
// picked up from where the program is started, not from where it is installed.
QString translationFileName(const QString &localeName);

// Loads the translation for localeName into translator; false when no file was found.
bool loadTranslation(QTranslator &translator, const QString &localeName);

// lexigrove-start names a service that failed to start in this variable: started from the
// desktop menu, the user has no terminal that would show the service's own message.
inline constexpr char ServiceFailureVariable[] = "LEXIGROVE_SERVICE_FAILURE";

// Warns over window when ServiceFailureVariable is set; the program runs on all the same, as the
// user may still reach another service.
void reportServiceFailure(QWidget *window);

// Installs the system locale's translation, shows the main window and runs the event loop
// until it closes. Returns the event loop's value. Needs a QApplication.
int run();

} // namespace Startup
