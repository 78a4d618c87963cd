#include "mainwindow/mainwindow.h"

#include <QApplication>
#include <QLocale>
#include <QTranslator>

int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(lexigrove);

    QApplication app(argc, argv);
    const QString localeName = QLocale::system().name();

    // A missing translation is not an error: the empty translator leaves the English texts.
    QTranslator translator;
    (void)translator.load(QStringLiteral("trans/src_") + localeName);
    QCoreApplication::installTranslator(&translator);

    MainWindow window;
    window.show();
    return app.exec();
}
