#pragma once

#include "data/datasources.h"

#include <QHostAddress>
#include <QString>

class QCommandLineParser;

// The command line of lexigrove-assocd.
struct ServiceOptions
{
    static constexpr quint16 defaultPort = 27431; // where the desktop program looks by default

    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = defaultPort;
    QString indexPath;              // the compiled index to serve from
    QString compileIndexPath;       // when set: compile the raw data into this file and stop
    bool raw = false;               // serve from the raw data, compiled in memory at start
    int threads = defaultThreads(); // workers answering queries
    QByteArray allowOrigin;         // whose browser scripts may read the API; none when empty
    DataSources sources = DataSources::debian();

    // Declares the options, with their help texts, on the parser.
    static void describe(QCommandLineParser *parser);
    // Takes the values from a parser that has processed the arguments; false with a message in
    // *error for a value that makes no sense.
    bool take(const QCommandLineParser &parser, QString *error);
    bool takeOrigin(const QString &text, QString *error);

    // Where the index is looked for when none is named: beside the executable (a build
    // folder), then where the package installs it. The first that exists, else the last.
    static QString defaultIndexPath();
    static QString installedIndexPath();
    static int defaultThreads();

    // "ADDR:PORT", with an IPv6 address in brackets; "localhost" stands for 127.0.0.1.
    static bool parseListen(const QString &text, QHostAddress *address, quint16 *port);
    // The address as it goes into a URL.
    static QString urlHost(const QHostAddress &address);
};
