#include "pipelinepages.h"

#include "search/wordpipeline.h"

#include <QApplication>
#include <QTextEdit>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

WordPipeline::Settings searchSettings()
{
    WordPipeline::Settings settings;
    settings.keyword = u"Haus"_s;
    settings.quantity = 200;
    settings.userBlacklist = u"bau,gratis, versand"_s;
    settings.readCommonList = [] {
        return u"und,oder,der,die,das,ein,eine,nicht,mit,von,zu,auf,für,ist,im,dem,sich,des,"
               u"Sex,gratis,kostenlos,billig,Werbung,Angebot,Rabatt,www,http,com,de"_s;
    };
    return settings;
}

void processPage(benchmark::State &state, const QString &page, const QString &shown)
{
    const WordPipeline::Settings settings = searchSettings();
    qsizetype words = 0;
    for (auto _ : state) {
        const QStringList extracted = WordPipeline::extractWords(page);
        const WordPipeline::Result result = WordPipeline::process(extracted, shown, settings);
        words = extracted.size();
        benchmark::DoNotOptimize(result.count);
    }
    state.counters["matches"] = double(words);
    state.counters["MB"] = double(page.size()) / 1e6;
    state.SetBytesProcessed(state.iterations() * page.size());
}

void BM_ProcessRealisticPage(benchmark::State &state)
{
    static const QString page = PipelinePages::realisticPage(PipelinePages::germanWords(200, 1));
    static const QString shown = PipelinePages::germanWords(200, 2).join(u'\n');
    processPage(state, page, shown);
}

// The two halves of the realistic case, to see where the time goes.
void BM_ExtractRealisticPage(benchmark::State &state)
{
    const QString page = PipelinePages::realisticPage(PipelinePages::germanWords(200, 1));
    for (auto _ : state)
        benchmark::DoNotOptimize(WordPipeline::extractWords(page));
}

void BM_FilterRealisticWords(benchmark::State &state)
{
    const QStringList words = PipelinePages::germanWords(200, 1);
    const QString shown = PipelinePages::germanWords(200, 2).join(u'\n');
    const WordPipeline::Settings settings = searchSettings();
    for (auto _ : state)
        benchmark::DoNotOptimize(WordPipeline::process(words, shown, settings));
}

void BM_ProcessDensePage(benchmark::State &state)
{
    static const QString page = PipelinePages::densePage(100000, 100);
    processPage(state, page, QString());
}

void BM_ProcessHostilePage(benchmark::State &state)
{
    static const QString page = PipelinePages::hostilePage(10000000);
    processPage(state, page, QString());
}

// Not a target, but the worst case for finding the groups: one match over the whole page.
void BM_ExtractHostilePageWithLateTerminator(benchmark::State &state)
{
    static const QString page = PipelinePages::hostilePage(10000000) + u"</a></center>"_s;
    for (auto _ : state)
        benchmark::DoNotOptimize(WordPipeline::extractWords(page));
}

void BM_FilterBlacklist(benchmark::State &state)
{
    const QStringList words = PipelinePages::germanWords(int(state.range(0)), 3);
    QStringList parts = PipelinePages::germanWords(int(state.range(1)), 4);
    for (QString &part : parts)
        part = part.left(4);
    const QString list = parts.join(u',');
    for (auto _ : state)
        benchmark::DoNotOptimize(WordPipeline::filterBlacklist(words, list));
}

// The box holds 5,000 lines; a search adds 200 words, and the box is refilled in one batch.
QStringList fiveThousandLines()
{
    const QStringList shown = PipelinePages::germanWords(5000, 5);
    WordPipeline::Settings settings = searchSettings();
    return WordPipeline::process(PipelinePages::germanWords(200, 6), shown.join(u'\n'), settings)
        .words;
}

void BM_FillBoxInOneBatch(benchmark::State &state)
{
    const QStringList words = fiveThousandLines();
    QTextEdit box;
    box.show();
    box.setPlainText(PipelinePages::germanWords(5000, 5).join(u'\n'));
    QCoreApplication::processEvents();
    for (auto _ : state) {
        box.setPlainText(WordPipeline::resultText(words));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(WordPipeline::lineCount(box.toPlainText()));
    }
    state.counters["lines"] = double(box.document()->blockCount());
}

// Everything after the page is read, with 5,000 lines in the box: merge, filters and fill.
void BM_ProcessAndFillFullBox(benchmark::State &state)
{
    static const QString page = PipelinePages::realisticPage(PipelinePages::germanWords(200, 6));
    const WordPipeline::Settings settings = searchSettings();
    QTextEdit box;
    box.show();
    const QString fiveThousand = PipelinePages::germanWords(5000, 5).join(u'\n');
    for (auto _ : state) {
        state.PauseTiming();
        box.setPlainText(fiveThousand);
        QCoreApplication::processEvents();
        state.ResumeTiming();
        const WordPipeline::Result result =
            WordPipeline::process(WordPipeline::extractWords(page), box.toPlainText(), settings);
        box.setPlainText(WordPipeline::resultText(result.words));
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(WordPipeline::lineCount(box.toPlainText()));
    }
}

// For comparison: the box filled paragraph by paragraph.
void BM_FillBoxByAppending(benchmark::State &state)
{
    const QStringList words = fiveThousandLines();
    QTextEdit box;
    box.show();
    for (auto _ : state) {
        box.clear();
        for (const QString &word : words) {
            if (!word.isEmpty())
                box.append(word);
        }
        QCoreApplication::processEvents();
    }
    state.counters["lines"] = double(box.document()->blockCount());
}

} // namespace

BENCHMARK(BM_ProcessRealisticPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExtractRealisticPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FilterRealisticWords)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ProcessDensePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessHostilePage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractHostilePageWithLateTerminator)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FilterBlacklist)->Args({5000, 100})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillBoxInOneBatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProcessAndFillFullBox)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FillBoxByAppending)->Unit(benchmark::kMillisecond)->Iterations(3);

int main(int argc, char **argv)
{
    // The box benchmarks need widgets, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
