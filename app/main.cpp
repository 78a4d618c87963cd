#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    Q_INIT_RESOURCE(lexigrove);
    QApplication app(argc, argv);
    return Startup::run();
}
