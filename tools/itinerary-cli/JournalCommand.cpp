// itinerary-cli journal: the print journal's rows, filtered, as CSV or one JSON object a line.
#include "CliCommand.h"

#include "desk/DeskSetup.h"

#include "journal/JournalCsv.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

const QString Usage = u"journal [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--ticket N] [--name TEXT] "
                      "[--csv] [--database URL]"_s;

// A script may read months of rows: a minute per statement rather than the counter's seconds.
constexpr DatabaseLimits BatchLimits{5, 60000};

// A date option as YYYY-MM-DD; an invalid QDate when the option is not given.
std::optional<QDate> dateOption(const CommandLine &line, const QCommandLineOption &option) {
    if (!line.isSet(option))
        return QDate();
    const QDate date = QDate::fromString(line.value(option), u"yyyy-MM-dd"_s);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

int runJournal(const QStringList &arguments) {
    CommandLine line(u"journal"_s, Usage, true);
    const QCommandLineOption fromOption =
        line.addOption({u"from"_s, u"first print date"_s, u"YYYY-MM-DD"_s});
    const QCommandLineOption toOption =
        line.addOption({u"to"_s, u"last print date"_s, u"YYYY-MM-DD"_s});
    const QCommandLineOption ticketOption =
        line.addOption({u"ticket"_s, u"e-ticket number (its digits, from the start)"_s, u"N"_s});
    const QCommandLineOption nameOption =
        line.addOption({u"name"_s, u"beginning of the passenger name"_s, u"TEXT"_s});
    const QCommandLineOption csvOption =
        line.addOption({u"csv"_s, u"CSV (UTF-8 with byte-order mark) instead of JSON lines"_s});
    const QCommandLineOption databaseOption = line.addOption(
        {u"database"_s, u"postgresql://... or sqlite:///path instead of journal.ini"_s, u"URL"_s});
    if (const std::optional<int> status = line.parse(arguments))
        return *status;
    if (!line.positionalArguments().isEmpty())
        return line.refuse(u"unexpected argument: "_s + line.positionalArguments().first());

    const std::optional<QDate> from = dateOption(line, fromOption);
    if (!from)
        return line.refuse(u"--from needs a date YYYY-MM-DD: "_s + line.value(fromOption));
    const std::optional<QDate> to = dateOption(line, toOption);
    if (!to)
        return line.refuse(u"--to needs a date YYYY-MM-DD: "_s + line.value(toOption));
    JournalFilter filter;
    filter.from = *from;
    filter.to = *to;
    filter.ticketNumber = line.value(ticketOption);
    filter.namePrefix = line.value(nameOption);

    // The database drivers are plugins, found through the application object.
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    // The window's journal: journal.ini beside its settings file, unless named here.
    JournalSettings settings = JournalSettings::read(DeskSetup::fromBuild().settingsDirectory);
    if (line.isSet(databaseOption)) {
        const Result<DatabaseAddress> address = DatabaseAddress::parse(line.value(databaseOption));
        if (!address)
            return line.refuse(address.error());
        settings.database = *address;
        settings.problem.clear();
    }
    if (!settings.problem.isEmpty()) {
        printError(u"journal: "_s + settings.problem);
        return ExitFailed;
    }

    const bool csv = line.isSet(csvOption);
    // No journal file yet: nothing has been printed on this counter.
    if (!settings.database.isServer() && !QFileInfo::exists(settings.database.sqlitePath)) {
        if (csv)
            writeStdout(journalcsv::header());
        return ExitOk;
    }
    const Result<std::unique_ptr<JournalDatabase>> database =
        JournalDatabase::open(settings.database, JournalDatabase::Access::ReadOnly, BatchLimits);
    const Result<QList<JournalEntry>> rows =
        database ? (*database)->entries(filter)
                 : Result<QList<JournalEntry>>::failure(database.error());
    if (!rows) {
        printError(u"journal: "_s + rows.error());
        return ExitFailed;
    }
    QByteArray out = csv ? journalcsv::header() : QByteArray();
    for (const JournalEntry &entry : std::as_const(*rows)) {
        out += csv ? journalcsv::line(entry)
                   : QJsonDocument(entry.toJson()).toJson(QJsonDocument::Compact) + '\n';
        if (out.size() > 1 << 16) {
            writeStdout(out);
            out.clear();
        }
    }
    writeStdout(out);
    return ExitOk;
}

const CommandRegistration registration{{u"journal"_s, Usage, runJournal}};

} // namespace

} // namespace itinerary::cli
