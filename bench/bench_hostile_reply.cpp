// What a hostile or huge input costs the search, through the main window, against a local server:
//   1. an endless chunked reply at loopback speed: time to the error box, peak memory, the longest
//      stall of the event loop (how long the window could not repaint or take a click);
//   2. Cancel during that transfer: time until the server sees the connection closed;
//   3. a search with a large common list and a full result box: time to the filled box.
// Prints one line per figure; run by hand: build/bench/bench_hostile_reply [list megabytes]
// ("build/bench/bench_hostile_reply 0 huge-chunk": only 1., the reply in one chunk of 2 GB)

#include "dialogs/messagebox.h"
#include "dialogs/waitwindow.h"
#include "mainwindow/mainwindow.h"
#include "search/httpclient.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <cstdio>
#include <cstring>

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

struct Scene
{
    TestSupport::TempEnvironment env;
    TestSupport::TestHttpServer server;
    std::unique_ptr<MainWindow> window;
    QElapsedTimer clock;
    qint64 boxAt = -1;

    Scene()
    {
        server.listen();
        qputenv("LEXIGROVE_SERVICE_URL", server.url().toString().toUtf8());
        QFile list(env.dataDir() + QStringLiteral("/default_blacklist.txt"));
        list.open(QIODevice::WriteOnly);
        list.close();
        MessageBox::setHook([this](MessageBox::Kind, QWidget *, const QString &, const QString &) {
            boxAt = clock.elapsed();
        });
        window = std::make_unique<MainWindow>();
        window->show();
    }
    ~Scene()
    {
        window.reset();
        MessageBox::setHook({});
    }
    void search()
    {
        window->findChild<QLineEdit *>(QStringLiteral("lineEditSearchTerm"))
            ->setText(QStringLiteral("Haus"));
        clock.start();
        QTest::mouseClick(window->findChild<QPushButton *>(QStringLiteral("buttonSearch")),
                          Qt::LeftButton);
    }
    void endless()
    {
        server.setResponse({{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", 0}}, false);
        server.setEndless("ea60\r\n" + QByteArray(60000, 'x') + "\r\n");
    }
    // One chunk announced as 2 GB, its bytes sent for ever.
    void endlessHugeChunk()
    {
        server.setResponse(
            {{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n80000000\r\n", 0}}, false);
        server.setEndless(QByteArray(60000, 'x'));
    }
};

// The longest time between two turns of the event loop while the scene's search runs.
struct LoopWatch
{
    QTimer ticks;
    QElapsedTimer since;
    qint64 longest = 0;
    LoopWatch()
    {
        ticks.setInterval(5);
        QObject::connect(&ticks, &QTimer::timeout,
                         [this] { longest = qMax(longest, since.restart()); });
        since.start();
        ticks.start();
    }
};

void endlessReply(bool hugeChunk)
{
    Scene scene;
    if (hugeChunk)
        scene.endlessHugeChunk();
    else
        scene.endless();
    const long before = peakKilobytes();
    LoopWatch loop;
    scene.search();
    std::printf("endless reply%s: error box after %lld ms, cap %lld MiB; peak memory %ld MB "
                "(before the search %ld MB); longest event loop stall %lld ms\n",
                hugeChunk ? " in one chunk of 2 GB" : "", scene.boxAt,
                HttpClient::MaximumBodySize >> 20, peakKilobytes() / 1024, before / 1024,
                loop.longest);
}

void cancelDuringFastTransfer()
{
    Scene scene;
    scene.endless();
    auto *wait = scene.window->findChild<WaitWindow *>();
    qint64 clickedAt = -1;
    QTimer::singleShot(100, wait->ui.cancelButton, [&] {
        clickedAt = scene.clock.elapsed();
        wait->ui.cancelButton->click();
    });
    LoopWatch loop;
    scene.search();
    const qint64 returnedAt = scene.clock.elapsed();
    while (scene.server.openConnectionCount() > 0 && scene.clock.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    std::printf("Cancel in a fast transfer: clicked %lld ms late, wait window gone %lld ms after "
                "the click, connection closed %lld ms after the click; reply file %s; longest "
                "event loop stall %lld ms\n",
                clickedAt - 100, returnedAt - clickedAt, scene.clock.elapsed() - clickedAt,
                QFile::exists(scene.env.dataDir() + QStringLiteral("/tmp.txt")) ? "kept"
                                                                                : "removed",
                loop.longest);
}

void largeCommonList(int megabytes)
{
    Scene scene;
    QByteArray list;
    for (int i = 0; list.size() < megabytes * 1000000; ++i)
        list += "Wort" + QByteArray::number(i) + ',';
    QFile file(scene.env.dataDir() + QStringLiteral("/default_blacklist.txt"));
    file.open(QIODevice::WriteOnly);
    file.write(list);
    file.close();
    QStringList shown;
    for (int i = 0; i < 5000; ++i)
        shown.append(QStringLiteral("Zeile%1").arg(i));
    scene.window->findChild<QTextEdit *>(QStringLiteral("textEditResults"))
        ->setPlainText(shown.join(u'\n'));
    QByteArray page;
    for (int i = 0; i < 200; ++i)
        page += "<center>ueber <a>Hausboot" + QByteArray::number(i) + "</a></center>\n";
    scene.server.setResponse(TestSupport::TestHttpServer::response(200, page));
    scene.search();
    std::printf("common list of %d MB, 5,000 lines shown, 200 words found: box filled after "
                "%lld ms\n",
                megabytes, scene.clock.elapsed());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 2 && std::strcmp(argv[2], "huge-chunk") == 0) {
        endlessReply(true);
        return 0;
    }
    endlessReply(false);
    cancelDuringFastTransfer();
    largeCommonList(argc > 1 ? std::atoi(argv[1]) : 50);
    return 0;
}
