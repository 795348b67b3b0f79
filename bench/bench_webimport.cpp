// A saved result page in the form the browser engine hands it over: tag names normalised,
// the third table taken out, the guard and the parse into a sheet; and each step alone.
#include "base/Messages.h"
#include "base/TextEncoding.h"
#include "sheet/Itinerary.h"
#include "webimport/MarkupNormaliser.h"
#include "webimport/ResultPageParser.h"
#include "webimport/ThirdTable.h"

#include <QFile>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

using namespace itinerary;

namespace {

const QString &resultPage() {
    static const QString page = [] {
        QFile file(QStringLiteral(ITINERARY_RESULT_PAGE));
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read the result page fixture\n");
            std::exit(1);
        }
        return decodeUtf8OrGb18030(file.readAll());
    }();
    return page;
}

} // namespace

static void BM_ResultPageImport(benchmark::State &state) {
    const QString &page = resultPage();
    Itinerary sheet;
    RecordingMessages messages;
    for (auto _ : state) {
        const QString markup = normaliseTagNames(page);
        importResultPage(true, markup, thirdTableInnerMarkup(markup), sheet, messages);
        benchmark::DoNotOptimize(sheet.text(36));
    }
    if (!messages.shown().isEmpty())
        state.SkipWithError("the fixture was not recognised");
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}
BENCHMARK(BM_ResultPageImport)->Unit(benchmark::kMicrosecond);

static void BM_NormaliseTagNames(benchmark::State &state) {
    const QString &page = resultPage();
    for (auto _ : state)
        benchmark::DoNotOptimize(normaliseTagNames(page));
    state.SetBytesProcessed(state.iterations() * page.size() * 2);
}
BENCHMARK(BM_NormaliseTagNames)->Unit(benchmark::kMicrosecond);

static void BM_ThirdTableInnerMarkup(benchmark::State &state) {
    const QString markup = normaliseTagNames(resultPage());
    for (auto _ : state)
        benchmark::DoNotOptimize(thirdTableInnerMarkup(markup));
}
BENCHMARK(BM_ThirdTableInnerMarkup)->Unit(benchmark::kMicrosecond);

static void BM_ParseResultPage(benchmark::State &state) {
    const std::optional<QString> table = thirdTableInnerMarkup(normaliseTagNames(resultPage()));
    Itinerary sheet;
    RecordingMessages messages;
    for (auto _ : state)
        benchmark::DoNotOptimize(readResultTable(table, sheet, messages));
}
BENCHMARK(BM_ParseResultPage)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
