// itinerary-cli journal: the print journal's rows, filtered, as CSV or one JSON object a line.
#include "CliCommand.h"

#include "base/OwnerOnlySaveFile.h"
#include "desk/DeskSetup.h"

#include "journal/JournalCsv.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalSettings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>

#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

const QString Usage = u"journal [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--ticket N] [--name TEXT] "
                      "[--csv] [--out FILE] [--database URL | --database-file FILE]"_s;

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
    const QCommandLineOption outOption = line.addOption(
        {u"out"_s,
         u"write the rows to FILE (readable by its owner only) instead of standard output"_s,
         u"FILE"_s});
    const QCommandLineOption databaseOption =
        line.addOption({u"database"_s, QLatin1String(DatabaseOptionHelp), u"URL"_s});
    const QCommandLineOption databaseFileOption =
        line.addOption({u"database-file"_s, QLatin1String(DatabaseFileOptionHelp), u"FILE"_s});
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
    if (const Result<> chosen =
            settings.choose({line.value(databaseOption), line.value(databaseFileOption),
                             DatabaseChoice::environment()});
        !chosen)
        return line.refuse(chosen.error());
    for (const QString &warning : std::as_const(settings.warnings))
        printError(u"journal: "_s + warning);
    if (!settings.problem.isEmpty()) {
        printError(u"journal: "_s + settings.problem);
        return ExitFailed;
    }

    const bool csv = line.isSet(csvOption);
    // The rows carry passengers' names and papers: a file of ours is readable by its owner
    // only from its first byte (a shell redirection would create it with the umask's mode).
    const QString outPath = line.value(outOption);
    std::optional<OwnerOnlySaveFile> outFile;
    if (!outPath.isEmpty() && !(outFile.emplace(outPath), outFile->open())) {
        printError(u"journal: cannot write %1: %2"_s.arg(outPath, outFile->errorString()));
        return ExitFailed;
    }
    const auto send = [&outFile](const QByteArray &bytes) {
        if (!outFile)
            writeStdout(bytes);
        else
            outFile->write(bytes);
    };
    const auto finish = [&]() {
        if (outFile && !outFile->commit()) {
            printError(u"journal: cannot write %1: %2"_s.arg(outPath, outFile->errorString()));
            return ExitFailed;
        }
        return ExitOk;
    };
    // No journal file yet: nothing has been printed on this counter.
    if (!settings.database.isServer() && !QFileInfo::exists(settings.database.sqlitePath)) {
        if (csv)
            send(journalcsv::header());
        return finish();
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
            send(out);
            out.clear();
        }
    }
    send(out);
    return finish();
}

const CommandRegistration registration{{u"journal"_s, Usage, runJournal}};

} // namespace

} // namespace itinerary::cli
