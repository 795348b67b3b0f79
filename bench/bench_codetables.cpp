// One code lookup of the booking import: an airport and an airline, a code in the table and
// one that is not. Each is called once per segment row and city line of an import. And the
// first use, which reads the compiled-in tables.
#include "textimport/CodeTables.h"

#include <benchmark/benchmark.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

void lookUpAirport(benchmark::State &state, const QString &code) {
    const CodeTables &tables = CodeTables::builtIn();
    for (auto _ : state)
        benchmark::DoNotOptimize(tables.airportCityName(code));
}

void lookUpAirline(benchmark::State &state, const QString &code) {
    const CodeTables &tables = CodeTables::builtIn();
    for (auto _ : state)
        benchmark::DoNotOptimize(tables.airlineShortName(code));
}

void readBuiltInTables(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(CodeTables::readBuiltIn());
}

} // namespace

// SHA stands in the middle of the original table; ZZZ and ZZ are in no table.
BENCHMARK_CAPTURE(lookUpAirport, hit_SHA, u"SHA"_s);
BENCHMARK_CAPTURE(lookUpAirport, miss_ZZZ, u"ZZZ"_s);
BENCHMARK_CAPTURE(lookUpAirline, hit_KY, u" ky"_s);
BENCHMARK_CAPTURE(lookUpAirline, miss_ZZ, u"ZZ"_s);
BENCHMARK(readBuiltInTables)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
