// The sheet's hot paths: 59 program writes with their change rules, and the fare reader.
#include "sheet/FareAmount.h"
#include "sheet/Itinerary.h"

#include <benchmark/benchmark.h>

using namespace itinerary;

static void BM_FiftyNineWrites(benchmark::State &state) {
    QStringList values;
    for (int i = 0; i < FieldCount; ++i)
        values.append(QStringLiteral("value %1 abc：１２").arg(i));
    QStringList other;
    for (int i = 0; i < FieldCount; ++i)
        other.append(QStringLiteral("other %1 xyz").arg(i));
    Itinerary sheet;
    bool flip = false;
    for (auto _ : state) {
        const QStringList &v = flip ? other : values;
        for (int i = 0; i < FieldCount; ++i)
            sheet.setText(i, v[i]);
        flip = !flip;
        benchmark::DoNotOptimize(sheet.text(58));
    }
}
BENCHMARK(BM_FiftyNineWrites)->Unit(benchmark::kMicrosecond);

static void BM_ParseFareAmount(benchmark::State &state) {
    const QString text = QStringLiteral("CNY 1,234.56");
    for (auto _ : state)
        benchmark::DoNotOptimize(parseFareAmount(text));
}
BENCHMARK(BM_ParseFareAmount);

BENCHMARK_MAIN();
