#include "app/startup.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

// Answered before any window system is touched, so that both work without a display.
bool printedInformation(int argc, char *argv[])
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-v") == 0) {
            std::printf("lexigrove %s\n", LEXIGROVE_VERSION);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::printf("Usage: lexigrove [Qt options]\n"
                        "Finds German words associated with a keyword, in a window.\n"
                        "The association service is asked at http://127.0.0.1:%d, or at the\n"
                        "address in LEXIGROVE_SERVICE_URL; lexigrove-start starts it as well.\n\n"
                        "  -h, --help     print this help and exit\n"
                        "  -v, --version  print the version and exit\n",
                        LEXIGROVE_SERVICE_PORT);
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    if (printedInformation(argc, argv)) {
        return 0;
    }
    Q_INIT_RESOURCE(lexigrove);
    QApplication app(argc, argv);
    return Startup::run();
}
