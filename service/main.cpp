#include "data/indexcompiler.h"
#include "http/httpserver.h"
#include "index/indexwatch.h"
#include "index/lexicon.h"
#include "serviceoptions.h"
#include "web/associationservice.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

namespace {

int fail(const QString &message)
{
    std::fprintf(stderr, "lexigrove-assocd: %s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("lexigrove-assocd"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LEXIGROVE_VERSION));

    QCommandLineParser parser;
    ServiceOptions::describe(&parser);
    parser.process(app);
    ServiceOptions options;
    QString error;
    if (!options.take(parser, &error)) {
        return fail(error);
    }

    if (!options.compileIndexPath.isEmpty()) {
        return IndexCompiler::compileTo(options.sources, options.compileIndexPath, &error)
                   ? 0
                   : fail(error);
    }
    Lexicon lexicon;
    if (options.raw ? !IndexCompiler::load(options.sources, &lexicon, &error)
                    : !lexicon.open(options.indexPath, &error)) {
        return fail(error);
    }
    QTimer indexCheck;
    if (lexicon.fileHandle() >= 0) {
        IndexWatch::start(lexicon.fileHandle(), options.indexPath);
        QObject::connect(&indexCheck, &QTimer::timeout, &app, [&] {
            if (IndexWatch::changed()) {
                fail(IndexWatch::message(options.indexPath));
                QCoreApplication::exit(1);
            }
        });
        indexCheck.start(1000);
    }
    AssociationService service(&lexicon);
    service.setAllowedOrigin(options.allowOrigin);
    HttpServer server(&service);
    server.setWorkerThreads(options.threads);
    if (!server.listen(options.address, options.port)) {
        return fail(QStringLiteral("cannot listen on %1:%2: %3")
                        .arg(ServiceOptions::urlHost(options.address))
                        .arg(options.port)
                        .arg(server.errorString()));
    }
    // Scripts and tests wait for exactly this line before they send requests.
    std::printf("lexigrove-assocd listening on http://%s:%u\n",
                ServiceOptions::urlHost(server.address()).toLocal8Bit().constData(),
                unsigned(server.port()));
    std::fflush(stdout);
    return app.exec();
}
