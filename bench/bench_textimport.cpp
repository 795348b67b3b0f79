// The booking import on large displays. Twelve passengers, four segments, one identity line
// and one ticket element per passenger, and the fare line: under 25 µs. A group of forty
// (four of them children) with four infants, passports, per-passenger fare elements and a
// cancelled flight: under 100 µs. A tour group of sixty as a program fetched it, screen rows
// joined: no slower per passenger than the twelve ("per_passenger", seconds).
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

// Forty passengers (37-40 children), infants travelling with 1-4, three flights and a
// cancelled one, an identity element per adult and a document element per child, ticket
// lines for all, and three fare elements: adults, children ("/P37/38/39/40"), infants.
QString groupDisplay() {
    QStringList lines;
    QString names;
    for (int p = 1; p <= 40; ++p) {
        names += u"%1.GROUP/MEMBER%2 "_s.arg(p, 2).arg(QChar(u'A' + (p - 1) % 26));
        if (p % 6 == 0 || p == 40) {
            lines.append(names.trimmed());
            names.clear();
        }
    }
    lines.last() += u" KX7Q2M"_s;
    int number = 41;
    const QStringList segments{u"  CA1501 Y   TU15MAY  PEKSHA HX40  0800 1010          E T3T2"_s,
                               u"  CA1519 Y   TU15MAY  PEKSHA HK40  1000 1210          E T3T2"_s,
                               u"  MU5305 Y   TH17MAY  SHACAN HK40  1200 1425          E T2T1"_s,
                               u"  CZ3101 Y   SA19MAY  CANPEK HK40  0900 1210          E T2T2"_s};
    for (const QString &s : segments)
        lines.append(element(number++, s));
    for (int p = 1; p <= 36; ++p) {
        lines.append(element(
            number++,
            u"SSR FOID CA HK1 NI1101011980010%1/P%2"_s.arg(p, 5, 10, QLatin1Char('0')).arg(p)));
    }
    for (int p = 37; p <= 40; ++p) {
        lines.append(element(number++, u"SSR DOCS CA HK1 P/CHN/E000000%1/CHN/01JAN16/M/01JAN30/"
                                       "GROUP/MEMBER/P%1"_s.arg(p)));
    }
    for (int i = 1; i <= 4; ++i) {
        lines.append(
            element(number++, u"XN/IN/GROUP/BABY%1 INF(JAN26)/P%2"_s.arg(QChar(u'A' + i)).arg(i)));
    }
    lines.append(element(number++, u"FN/A/FCNY1130.00/SCNY1130.00/C3.00/TCNY50.00CN/TCNY80.00YQ/"
                                   "ACNY1260.00"_s));
    lines.append(element(number++, u"FN/A/FCNY570.00/SCNY570.00/C0.00/TEXEMPTCN/TCNY40.00YQ/"
                                   "ACNY610.00/P37/38/39/40"_s));
    lines.append(element(number++, u"FN/A/IN/FCNY110.00/SCNY110.00/C0.00/TEXEMPTCN/TEXEMPTYQ/"
                                   "ACNY110.00/P1/2/3/4"_s));
    for (int p = 1; p <= 40; ++p) {
        lines.append(
            element(number++, u"TN/999-30000000"_s + twoDigits(p) + u"/P"_s + QString::number(p)));
    }
    for (int i = 1; i <= 4; ++i) {
        lines.append(element(number++, u"TN/IN/999-30000001"_s + twoDigits(i) + u"/P"_s +
                                           QString::number(i)));
    }
    lines.append(element(number, u"PEK123"_s));
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

// A tour group of sixty (six of them children) as a program that fetches displays delivers
// it: the group's line with the record code, names cut at the ends of rows, two flights, and
// every passport element padded to the screen's 80 columns with its ticket element joined on
// the same line; the fare elements of adults and children.
QString tourGroupDisplay() {
    QString names;
    for (int p = 1; p <= 60; ++p)
        names += u"%1.TOUR/MEMBER%2 "_s.arg(p).arg(QChar(u'A' + (p - 1) % 26));
    QStringList lines{u" 0.60ZJTUAN NM60 KQ4M7X"_s};
    for (qsizetype at = 0; at < names.size(); at += 80)
        lines.append(names.mid(at, 80));
    int number = 61;
    lines.append(
        element(number++, u"  MU5041 Y   SA20JUN  PVGICN HK60  0905 1210          E T1 1"_s));
    lines.append(
        element(number++, u"  MU5042 Y   SA27JUN  ICNPVG HK60  1330 1445          E  1T1"_s));
    for (int p = 1; p <= 60; ++p) {
        const QString docs =
            element(number++, u"SSR DOCS MU HK1 P/CHN/EA10%1/CHN/12MAR65/M/"
                              "20AUG30/TOUR/MEMBER/P%2"_s.arg(p, 5, 10, QLatin1Char('0'))
                                  .arg(p));
        lines.append(docs.leftJustified(80) +
                     element(number++, u"SSR TKNE MU HK1 PVGICN 5041 Y20JUN 78124001%1/1/P%2"_s
                                           .arg(p, 5, 10, QLatin1Char('0'))
                                           .arg(p)));
    }
    lines.append(element(number++, u"FN/A/FCNY2350.00/SCNY2350.00/C0.00/XCNY506.00/TCNY90.00CN/"
                                   "TCNY280.00YQ/TCNY136.00XT/ACNY2856.00"_s));
    lines.append(element(number++, u"FN/A/FCNY1180.00/SCNY1180.00/C0.00/XCNY416.00/TCNY280.00YQ/"
                                   "TCNY136.00XT/ACNY1596.00/P55/56/57/58/59/60"_s));
    lines.append(element(number, u"SHA777"_s));
    return lines.join(u"\r\n"_s) + u"\r\n"_s;
}

// Seconds per passenger, beside the time per import.
void countPassengers(benchmark::State &state, qsizetype passengers) {
    state.counters["per_passenger"] =
        benchmark::Counter(double(passengers), benchmark::Counter::kIsIterationInvariantRate |
                                                   benchmark::Counter::kInvert);
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
    countPassengers(state, 12);
    if (sheet.passengers().size() != 12 || sheet.passengers().last().idNumber.isEmpty() ||
        sheet.passengers().last().ticketNumber.isEmpty() || sheet.text(51).isEmpty() ||
        !messages.shown().isEmpty())
        state.SkipWithError("the display did not import as expected");
}
BENCHMARK(BM_ImportBookingDisplay_TwelvePassengersFourSegments)->Unit(benchmark::kMicrosecond);

static void BM_ImportBookingDisplay_FortyPassengersInfantsOwnFares(benchmark::State &state) {
    const QString text = groupDisplay();
    const FixedClock clock(QDate(2026, 5, 1));
    Itinerary sheet;
    RecordingMessages messages;
    for (auto _ : state) {
        importBookingDisplay(text, sheet, messages, clock);
        benchmark::DoNotOptimize(sheet.text(34));
    }
    const PassengerList &list = sheet.passengers();
    if (list.size() != 44 || list[39].idNumber.isEmpty() || list[43].ticketNumber.isEmpty() ||
        !list[39].fares || list[39].fares->total != u"CNY 610.00" || !list[43].fares ||
        list[43].fares->total != u"CNY 110.00" || sheet.text(7) != u"CA1519" ||
        !messages.shown().isEmpty())
        state.SkipWithError("the display did not import as expected");
}
BENCHMARK(BM_ImportBookingDisplay_FortyPassengersInfantsOwnFares)->Unit(benchmark::kMicrosecond);

static void BM_ImportBookingDisplay_SixtyMemberTourGroupJoinedRows(benchmark::State &state) {
    const QString text = tourGroupDisplay();
    const FixedClock clock(QDate(2026, 5, 1));
    Itinerary sheet;
    RecordingMessages messages;
    for (auto _ : state) {
        importBookingDisplay(text, sheet, messages, clock);
        benchmark::DoNotOptimize(sheet.text(34));
    }
    countPassengers(state, 60);
    const PassengerList &list = sheet.passengers();
    if (list.size() != 60 || sheet.text(3) != u"KQ4M7X" || list[59].idNumber != u"EA1000060" ||
        list[59].ticketNumber != u"781-2400100060" || list[0].name != u"TOUR/MEMBERA" ||
        !list[59].fares || list[59].fares->total != u"CNY 1596.00" || !messages.shown().isEmpty())
        state.SkipWithError("the display did not import as expected");
}
BENCHMARK(BM_ImportBookingDisplay_SixtyMemberTourGroupJoinedRows)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
