#include "app/startup.h"

#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QLocale>
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
        result = QApplication::exec();
    }
    QCoreApplication::removeTranslator(&translator);
    return result;
}

} // namespace Startup
