// The whole search as the user sees it: from the click on Start Search to the filled result box,
// against a local server that answers at once with a realistic 200-word page.

#include "mainwindow/mainwindow.h"
#include "pipelinepages.h"
#include "support/messagerecorder.h"
#include "support/tempenvironment.h"
#include "support/testhttpserver.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include <benchmark/benchmark.h>

static void clickToFilledBox(benchmark::State &state)
{
    TestSupport::TempEnvironment env;
    TestSupport::MessageRecorder messages;
    QFile blacklist(env.dataDir() + QStringLiteral("/default_blacklist.txt"));
    blacklist.open(QIODevice::WriteOnly);
    blacklist.close();
    TestSupport::TestHttpServer server;
    server.listen();
    const QStringList words = PipelinePages::germanWords(200, 7);
    server.setResponse(
        TestSupport::TestHttpServer::response(200, PipelinePages::realisticPage(words).toUtf8()),
        false);
    qputenv("LEXIGROVE_SERVICE_URL", server.url().toString().toUtf8());

    MainWindow window;
    window.show();
    auto *results = window.findChild<QTextEdit *>(QStringLiteral("textEditResults"));
    auto *keyword = window.findChild<QLineEdit *>(QStringLiteral("lineEditSearchTerm"));
    auto *button = window.findChild<QPushButton *>(QStringLiteral("buttonSearch"));
    keyword->setText(QStringLiteral("Haus"));
    QTest::qWait(50);

    for (auto _ : state) {
        state.PauseTiming();
        results->clear();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        QTest::mouseClick(button, Qt::LeftButton);
        benchmark::DoNotOptimize(results->document()->blockCount());
    }
    if (results->document()->blockCount() < 100 || messages.count() != 0)
        state.SkipWithError(
            qPrintable(QStringLiteral("the search did not fill the box: %1 lines, %2 messages: %3")
                           .arg(results->document()->blockCount())
                           .arg(messages.count())
                           .arg(messages.count() ? messages.last().text : QString())));
    qunsetenv("LEXIGROVE_SERVICE_URL");
}
BENCHMARK(clickToFilledBox)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);
