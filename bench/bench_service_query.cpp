// Query time of the association service with the full Debian data, inside the process.
// Run: bench_service_query [--benchmark_filter=...]; the index from LEXIGROVE_INDEX, else the
// one the build made. The query benchmarks run once per keyword of the list below, so that the
// median and the worst case over keywords can be read off. openIndex and compileIndex time the
// two ways to start.

#include "data/datasources.h"
#include "data/indexcompiler.h"
#include "index/lexicon.h"
#include "query/associator.h"
#include "web/associationservice.h"
#include "web/pagerenderer.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QString>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

QString setting(const char *variable, const QString &fallback)
{
    const QByteArray value = qgetenv(variable);
    return value.isEmpty() ? fallback : QString::fromLocal8Bit(value);
}

QString indexPath()
{
    return setting("LEXIGROVE_INDEX", QStringLiteral(LEXIGROVE_BUILD_INDEX));
}

const Lexicon &lexicon()
{
    static const Lexicon opened = [] {
        Lexicon l;
        QString error;
        if (!l.open(indexPath(), &error)) {
            std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
            std::exit(1);
        }
        return l;
    }();
    return opened;
}

// Nouns, verbs, adjectives, short and long, frequent and rare, and a few that are not words.
const QStringList &keywords()
{
    static const QStringList list = {QStringLiteral("Haus"),
                                     QStringLiteral("laufen"),
                                     QStringLiteral("schnell"),
                                     QStringLiteral("Liebe"),
                                     QStringLiteral("Baum"),
                                     QStringLiteral("gehen"),
                                     QStringLiteral("schön"),
                                     QStringLiteral("Auto"),
                                     QStringLiteral("Wasser"),
                                     QStringLiteral("rot"),
                                     QStringLiteral("essen"),
                                     QStringLiteral("Arbeit"),
                                     QStringLiteral("Zeit"),
                                     QStringLiteral("Geld"),
                                     QStringLiteral("groß"),
                                     QStringLiteral("klein"),
                                     QStringLiteral("Straße"),
                                     QStringLiteral("Freund"),
                                     QStringLiteral("Computer"),
                                     QStringLiteral("Sonne"),
                                     QStringLiteral("Weg"),
                                     QStringLiteral("Schule"),
                                     QStringLiteral("sprechen"),
                                     QStringLiteral("Bahnhof"),
                                     QStringLiteral("Kindergartenplatz"),
                                     QStringLiteral("xqzt"),
                                     QStringLiteral("e"),
                                     QStringLiteral("Ei"),
                                     QStringLiteral("Licht"),
                                     QStringLiteral("Musik"),
                                     QStringLiteral("Buch"),
                                     QStringLiteral("Hund")};
    return list;
}

void openIndex(benchmark::State &state)
{
    for (auto _ : state) {
        Lexicon l;
        QString error;
        benchmark::DoNotOptimize(l.open(indexPath(), &error));
    }
}
BENCHMARK(openIndex)->Unit(benchmark::kMillisecond)->Iterations(10);

void compileIndex(benchmark::State &state)
{
    for (auto _ : state) {
        Lexicon l;
        QString error;
        benchmark::DoNotOptimize(IndexCompiler::load(DataSources::debian(), &l, &error));
    }
}
BENCHMARK(compileIndex)->Unit(benchmark::kMillisecond)->Iterations(1);

// One query for one keyword of the list (the argument is its index): associations only.
void associate(benchmark::State &state)
{
    const Associator associator(&lexicon());
    const QString keyword = keywords().at(state.range(0));
    state.SetLabel(keyword.toStdString());
    for (auto _ : state) {
        benchmark::DoNotOptimize(associator.associate(keyword, 200));
    }
}
BENCHMARK(associate)->DenseRange(0, 31)->Unit(benchmark::kMicrosecond);

// The same with the HTML page, as the service computes it when its cache misses.
void associateAndRender(benchmark::State &state)
{
    const Associator associator(&lexicon());
    const QString keyword = keywords().at(state.range(0));
    state.SetLabel(keyword.toStdString());
    for (auto _ : state) {
        const auto result = associator.associate(keyword, 200);
        benchmark::DoNotOptimize(PageRenderer::html(keyword, result, lexicon()));
    }
}
BENCHMARK(associateAndRender)->DenseRange(0, 31)->Unit(benchmark::kMicrosecond);

// The whole request handling of the service with its cache, without the network.
void handleCached(benchmark::State &state)
{
    AssociationService service(&lexicon());
    HttpRequest request;
    request.method = "POST";
    request.path = AssociationService::path;
    request.body = "eingabe=Haus&anzahl=200";
    for (auto _ : state) {
        benchmark::DoNotOptimize(service.handle(request));
    }
}
BENCHMARK(handleCached)->Unit(benchmark::kMicrosecond);

// Every keyword of the hub cue list (LEXIGROVE_CUES, else ../shared/eval/hub-cues.txt) once,
// through a fresh service as the classic path asks for 200 words: each request is the first for
// its keyword, as in a service that has just started, so neither the cache nor the processor's
// caches hold its data. The counters give the median and the 99th percentile in microseconds.
void handleUncachedCues(benchmark::State &state)
{
    QFile file(setting("LEXIGROVE_CUES", QStringLiteral(LEXIGROVE_CUES)));
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("no cue list");
        return;
    }
    QList<QByteArray> cues;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.trimmed().isEmpty() && !line.startsWith('#')) {
            cues.append(line.trimmed().toPercentEncoding());
        }
    }
    std::vector<double> micros;
    for (auto _ : state) {
        AssociationService service(&lexicon());
        HttpRequest request;
        request.method = "GET";
        request.path = AssociationService::path;
        for (const QByteArray &cue : cues) {
            request.query = "anzahl=200&eingabe=" + cue;
            QElapsedTimer timer;
            timer.start();
            benchmark::DoNotOptimize(service.handle(request));
            micros.push_back(double(timer.nsecsElapsed()) / 1000);
        }
    }
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
    state.counters["max_us"] = micros.back();
}
BENCHMARK(handleUncachedCues)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
