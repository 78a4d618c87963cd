#include "app/startup.h"

#include "dialogs/messagebox.h"
#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QLocale>
#include <QTextDocument>
#include <QTranslator>

namespace Startup {

QString translationFileName(const QString &localeName)
{
    return QStringLiteral("trans/src_") + localeName;
}

bool loadTranslation(QTranslator &translator, const QString &localeName)
{
    return translator.load(translationFileName(localeName), QString(), QString(), QString());
}

void reportServiceFailure(QWidget *window)
{
    // The text comes from the service's own output: bounded, and shown as plain text, so that
    // nothing in it is taken for markup.
    const QString details = qEnvironmentVariable(ServiceFailureVariable).left(2000).trimmed();
    if (details.isEmpty())
        return;
    const QString text = QCoreApplication::translate(
                             "Startup", "The association service did not start, so searches will "
                                        "fail until one answers:\n\n%1")
                             .arg(details);
    MessageBox::warning(window, QCoreApplication::translate("Startup", "Warning"),
                        Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
}

int run()
{
    const QString localeName = QLocale::system().name();
    // A missing translation is no error: the empty translator leaves the English texts.
    QTranslator translator;
    loadTranslation(translator, localeName);
    QCoreApplication::installTranslator(&translator);

    int result = 0;
    {
        MainWindow window;
        window.show();
        reportServiceFailure(&window);
        result = QApplication::exec();
    }
    QCoreApplication::removeTranslator(&translator);
    return result;
}

} // namespace Startup
