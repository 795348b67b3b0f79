// The print journal: the time a print spends on it (SQLite file; server: the outbox), search
// by e-ticket number and by name prefix in a journal of 1,000,000 rows (median of single
// searches), and the CSV export of 30,000 rows, on SQLite and on PostgreSQL (the server at
// ITINERARY_TEST_POSTGRES_URL; its rows are skipped without one). The 1,000,000-row journals
// are made once and kept (SQLite: ITINERARY_BENCH_DIR or the temporary folder; PostgreSQL: the
// database bench_journal_1m).
#include "base/Messages.h"
#include "journal/JournalCsv.h"
#include "journal/JournalDatabase.h"
#include "journal/PrintJournal.h"
#include "sheet/FieldMap.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
constexpr int Rows = 1000000;

PrintAttempt sampleAttempt(int n) {
    PrintAttempt attempt;
    attempt.time = QDateTime::currentDateTime();
    attempt.printed = true;
    attempt.fieldValues = QStringList(FieldCount, u"CA1501"_s);
    attempt.fieldValues[Field::Name] = u"张三"_s;
    attempt.fieldValues[Field::TicketNumber] = u"784-%1"_s.arg(2101234567 + n);
    attempt.checkCode = u"0042"_s;
    attempt.leftOffsetMm = u"0"_s;
    attempt.topOffsetMm = u"0"_s;
    attempt.printerName = u"PDF"_s;
    return attempt;
}

std::optional<DatabaseAddress> server(const QString &name) {
    Result<DatabaseAddress> address =
        DatabaseAddress::parse(qEnvironmentVariable("ITINERARY_TEST_POSTGRES_URL"));
    if (address && !name.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QPSQL"_s, u"bench-admin"_s);
        db.setHostName(address->host);
        db.setPort(address->port);
        db.setUserName(address->user);
        db.setDatabaseName(address->databaseName);
        if (db.open())
            QSqlQuery(db).exec(u"CREATE DATABASE "_s + name); // fails when it exists: fine
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(u"bench-admin"_s);
        address->databaseName = name;
    }
    return address ? std::optional<DatabaseAddress>(*address) : std::nullopt;
}

// The time a print spends on the journal: one attempt recorded.
void BM_RecordAttempt(benchmark::State &state) {
    const bool onServer = state.range(0) == 1;
    QTemporaryDir folder;
    if (onServer) {
        const std::optional<DatabaseAddress> address = server(u"bench_journal_record"_s);
        if (!address)
            return state.SkipWithError("no PostgreSQL server (ITINERARY_TEST_POSTGRES_URL)");
        QFile ini(folder.filePath(u"journal.ini"_s));
        ini.open(QIODevice::WriteOnly);
        ini.write("[journal]\ndatabase=postgresql://" + address->user.toUtf8() + "@" +
                  address->host.toUtf8() + ":" + QByteArray::number(address->port) + "/" +
                  address->databaseName.toUtf8() + "\n");
    }
    RecordingMessages messages;
    PrintJournal journal(JournalSettings::read(folder.path()), messages);
    int n = 0;
    for (auto _ : state) {
        journal.recordPrintAttempt(sampleAttempt(n++));
        QCoreApplication::processEvents();
    }
    QEventLoop sent;
    journal.sendAll(&sent, [&sent](bool) { sent.quit(); });
    QTimer::singleShot(60000, &sent, &QEventLoop::quit);
    sent.exec();
    if (!messages.shown().isEmpty())
        state.SkipWithError(qPrintable(messages.shown().first().text));
}
BENCHMARK(BM_RecordAttempt)->Arg(0)->Arg(1)->ArgName("server")->Unit(benchmark::kMillisecond);

// A journal of 1,000,000 rows over 100 days (10,000 a day), made in the database itself.
JournalDatabase *bigJournal(bool onServer) {
    static std::unique_ptr<JournalDatabase> journals[2];
    std::unique_ptr<JournalDatabase> &journal = journals[onServer ? 1 : 0];
    if (journal)
        return journal.get();
    std::optional<DatabaseAddress> address;
    if (onServer) {
        address = server(u"bench_journal_1m"_s);
    } else {
        const QString folder = qEnvironmentVariable("ITINERARY_BENCH_DIR", QDir::tempPath());
        address = DatabaseAddress::sqliteFile(folder + u"/itinerary-bench-journal-1m.sqlite"_s);
    }
    if (!address)
        return nullptr;
    Result<std::unique_ptr<JournalDatabase>> opened =
        JournalDatabase::open(*address, JournalDatabase::Access::ReadWrite);
    if (!opened)
        return nullptr;
    journal = *std::move(opened);
    if (journal->count().value_or(-1) == Rows)
        return journal.get();
    QSqlQuery query(journal->connection());
    query.exec(u"DELETE FROM print_journal"_s);
    const QString values =
        u"'[\"旅客' || x || '\",\"NI110101199001011234\",\"\",\"HX1234\",\"HX1234\""_s +
        QString(u",\"CA1501\""_s).repeated(54) + u"]'"_s;
    const QString columns =
        u"entry_id, printed_at, counter_name, printed, message, check_code, ticket_number, "
        "ticket_key, passenger_name, name_key, record_code, total, international, left_offset, "
        "top_offset, printer_name, field_values"_s;
    const QString select =
        u"SELECT 'bench-' || x, %1 || '.000+08:00', '柜台1', 1, '', '0042', "
        "'784-' || (2100000000 + x), '784' || (2100000000 + x), '旅客' || x, '旅客' || x, "
        "'HX1234', 'CNY 1830.00', 0, '0', '0', 'PDF', %2"_s;
    bool ok;
    if (onServer) {
        // Made in one statement: longer than the journal's own statement limit.
        ok = query.exec(u"SET statement_timeout = 0"_s) &&
             query.exec(u"INSERT INTO print_journal (%1) %2 FROM generate_series(1, %3) AS x"_s.arg(
                 columns,
                 select.arg(u"to_char(timestamp '2026-01-01' + (x * 8.64) * interval '1 second', "
                            "'YYYY-MM-DD\"T\"HH24:MI:SS')"_s,
                            values),
                 QString::number(Rows))) &&
             query.exec(u"ANALYZE print_journal"_s);
    } else {
        ok = query.exec(
                 u"WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < %3) "
                 "INSERT INTO print_journal (%1) %2 FROM c"_s.arg(
                     columns,
                     select.arg(u"strftime('%Y-%m-%dT%H:%M:%S', '2026-01-01', "
                                "'+' || (x * 864 / 100) || ' seconds')"_s,
                                values),
                     QString::number(Rows))) &&
             query.exec(u"ANALYZE"_s);
    }
    if (!ok) {
        qWarning("%s", qPrintable(query.lastError().text()));
        journal.reset();
    }
    return journal.get();
}

void search(benchmark::State &state, const std::function<JournalFilter(int)> &filterFor,
            int expected) {
    JournalDatabase *journal = bigJournal(state.range(0) == 1);
    if (journal == nullptr)
        return state.SkipWithError("no database for the 1,000,000-row journal");
    int n = 0;
    QList<double> us;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const auto rows = journal->entries(filterFor(n++));
        us.append(timer.nsecsElapsed() / 1000.0);
        if (!rows || rows->size() != expected)
            return state.SkipWithError(
                qPrintable(u"%1 rows: %2"_s.arg(rows ? rows->size() : -1).arg(rows.error())));
    }
    std::sort(us.begin(), us.end());
    state.counters["median_us"] = us.at(us.size() / 2);
}

void BM_SearchTicket(benchmark::State &state) {
    search(
        state,
        [](int n) {
            return JournalFilter{{}, {}, u"784-%1"_s.arg(2100000000 + 1 + (n * 7919) % Rows), {}};
        },
        1);
}
BENCHMARK(BM_SearchTicket)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("server")
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

// "旅客12345" also finds 旅客123450 to 旅客123459: 11 rows.
void BM_SearchNamePrefix(benchmark::State &state) {
    search(
        state,
        [](int n) {
            return JournalFilter{{}, {}, {}, u"旅客%1"_s.arg(10001 + (n * 7919) % 89998)};
        },
        11);
}
BENCHMARK(BM_SearchNamePrefix)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("server")
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

// Three days of the big journal as CSV.
void BM_CsvExport30000(benchmark::State &state) {
    JournalDatabase *journal = bigJournal(state.range(0) == 1);
    if (journal == nullptr)
        return state.SkipWithError("no database for the 1,000,000-row journal");
    const JournalFilter days{QDate(2026, 1, 2), QDate(2026, 1, 4), {}, {}};
    for (auto _ : state) {
        const auto rows = journal->entries(days);
        if (!rows || rows->size() != 30000)
            return state.SkipWithError(
                qPrintable(u"%1 rows: %2"_s.arg(rows ? rows->size() : -1).arg(rows.error())));
        benchmark::DoNotOptimize(journalcsv::document(*rows));
    }
}
BENCHMARK(BM_CsvExport30000)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("server")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
