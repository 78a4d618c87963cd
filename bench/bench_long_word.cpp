// What one very long word in a reply costs: a search through the main window against a local
// server whose page holds a single word of the given size, then one paint of the window, as the
// user would see it. Prints the time from the click to the painted box and the peak memory of
// the process. One size per run, so that the peak is that size's own; run by hand:
//   build/bench/bench_long_word 1000      (a word of 1,000 KB)
//   build/bench/bench_long_word 50000     (a word of 50,000 KB)

#include "dialogs/messagebox.h"
#include "mainwindow/mainwindow.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <cstdio>
#include <cstdlib>

namespace {

long peakKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const qsizetype kilobytes = argc > 1 ? std::atol(argv[1]) : 1000;

    TestSupport::TempEnvironment env;
    TestSupport::TestHttpServer server;
    server.listen();
    qputenv("LEXIGROVE_SERVICE_URL", server.url().toString().toUtf8());
    QFile list(env.dataDir() + QStringLiteral("/default_blacklist.txt"));
    list.open(QIODevice::WriteOnly);
    list.close();
    int boxes = 0;
    MessageBox::setHook(
        [&boxes](MessageBox::Kind, QWidget *, const QString &, const QString &) { ++boxes; });

    const QByteArray page = "<center>ueber <a>" + QByteArray(kilobytes * 1000, 'x') +
                            "</a></center>\n<center>ueber <a>Dach</a></center>\n";
    server.setResponse(TestSupport::TestHttpServer::response(200, page));
    const long before = peakKilobytes();

    MainWindow window;
    window.show();
    window.findChild<QLineEdit *>(QStringLiteral("lineEditSearchTerm"))
        ->setText(QStringLiteral("Haus"));
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("buttonSearch")),
                      Qt::LeftButton);
    const qint64 filled = clock.elapsed();
    window.grab();
    const qint64 painted = clock.elapsed();
    const auto *results = window.findChild<QTextEdit *>(QStringLiteral("textEditResults"));
    std::printf("word of %lld KB: box filled after %lld ms, painted after %lld ms; %lld "
                "characters shown, %d message boxes; peak memory %ld MB (before the search "
                "%ld MB)\n",
                static_cast<long long>(kilobytes), filled, painted,
                static_cast<long long>(results->toPlainText().size()), boxes,
                peakKilobytes() / 1024, before / 1024);
    MessageBox::setHook({});
    return 0;
}
