// The booking import on a large display: twelve passengers, four segments, one identity
// line and one ticket element per passenger, and the fare line. Target: under 50 µs.
#include "base/Clock.h"
#include "base/Messages.h"
#include "sheet/Itinerary.h"
#include "textimport/BookingDisplayImport.h"

#include <benchmark/benchmark.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

QString element(int number, const QString &content) {
    return u"%1.%2"_s.arg(number, 2).arg(content);
}

QString twoDigits(int n) {
    return u"%1"_s.arg(n, 2, 10, QLatin1Char('0'));
}

QString twelvePassengerDisplay() {
    QStringList lines{
        u" 1.王小明 2.李小红 3.张伟 4.刘洋 5.陈静 6.杨磊 7.赵敏 8.黄强 9.周杰 10.吴芳"_s,
        u"    11.徐涛 12.孙丽 JX8K2P"_s};
    const QStringList segments{u"  CA1501 Y   TU15MAY  PEKSHA HK12  0800 1010          E T3T2"_s,
                               u"  MU5305 Y   TH17MAY  SHACAN HK12  1200 1425          E T2T1"_s,
                               u"  CZ3539 Y   SA19MAY  CANKMG HK12  0950 1200          E T1--"_s,
                               u"  MU5715 Y   MO21MAY  KMGPEK HK12  1405 1735          E --T3"_s};
    int number = 13;
    for (const QString &s : segments)
        lines.append(element(number++, s));
    lines.append(element(number++, u"PEK/T PEK/T 010-65123456/BEIJING HUAXIA TRAVEL ABCDEFG"_s));
    for (int p = 1; p <= 12; ++p) {
        lines.append(element(number++, u"SSR FOID CA HK1 NI3101011988"_s + twoDigits(p) +
                                           u"154321/P"_s + QString::number(p)));
    }
    lines.append(element(
        number++, u"FN/A/FCNY4680.00/SCNY4680.00/C3.00/TCNY200.00CN/TCNY320.00YQ/ACNY5200.00"_s));
    for (int p = 1; p <= 12; ++p) {
        lines.append(
            element(number++, u"TN/999-30000000"_s + twoDigits(p) + u"/P"_s + QString::number(p)));
    }
    lines.append(element(number, u"PEK123"_s));
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

} // namespace

static void BM_ImportBookingDisplay_TwelvePassengersFourSegments(benchmark::State &state) {
    const QString text = twelvePassengerDisplay();
    const FixedClock clock(QDate(2026, 5, 1));
    Itinerary sheet;
    RecordingMessages messages;
    for (auto _ : state) {
        importBookingDisplay(text, sheet, messages, clock);
        benchmark::DoNotOptimize(sheet.text(34));
    }
    if (sheet.passengers().size() != 12 || sheet.passengers().last().idNumber.isEmpty() ||
        sheet.passengers().last().ticketNumber.isEmpty() || sheet.text(51).isEmpty() ||
        !messages.shown().isEmpty())
        state.SkipWithError("the display did not import as expected");
}
BENCHMARK(BM_ImportBookingDisplay_TwelvePassengersFourSegments)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
