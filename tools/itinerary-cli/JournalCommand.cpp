// itinerary-cli journal: the print journal's rows, filtered, as CSV or one JSON object a line.
#include "CliCommand.h"

#include "journal/JournalCsv.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalSettings.h"
#include "settings/SettingsFile.h"

#include <QCommandLineParser>
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

int usageError(const QString &message) {
    printError(u"journal: "_s + message);
    printError(u"usage: itinerary-cli "_s + Usage);
    return ExitUsage;
}

std::optional<QDate> dateOption(const QCommandLineParser &parser, const QString &name,
                                QString *error) {
    if (!parser.isSet(name))
        return QDate();
    const QDate date = QDate::fromString(parser.value(name), u"yyyy-MM-dd"_s);
    if (!date.isValid()) {
        *error = u"--%1 needs a date YYYY-MM-DD: %2"_s.arg(name, parser.value(name));
        return std::nullopt;
    }
    return date;
}

int runJournal(const QStringList &arguments) {
    // The database drivers are plugins, found through the application object.
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({
        {u"from"_s, u"First print date."_s, u"YYYY-MM-DD"_s},
        {u"to"_s, u"Last print date."_s, u"YYYY-MM-DD"_s},
        {u"ticket"_s, u"E-ticket number (its digits, from the start)."_s, u"N"_s},
        {u"name"_s, u"Beginning of the passenger name."_s, u"TEXT"_s},
        {u"csv"_s, u"CSV (UTF-8 with byte-order mark) instead of JSON lines."_s},
        {u"database"_s, u"postgresql://... or sqlite:///path instead of journal.ini."_s, u"URL"_s},
    });
    if (!parser.parse(QStringList{u"itinerary-cli journal"_s} + arguments))
        return usageError(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return usageError(u"unexpected argument: "_s + parser.positionalArguments().first());

    QString error;
    JournalFilter filter;
    const std::optional<QDate> from = dateOption(parser, u"from"_s, &error);
    const std::optional<QDate> to = from ? dateOption(parser, u"to"_s, &error) : std::nullopt;
    if (!from || !to)
        return usageError(error);
    filter.from = *from;
    filter.to = *to;
    filter.ticketNumber = parser.value(u"ticket"_s);
    filter.namePrefix = parser.value(u"name"_s);

    // The window's journal: journal.ini beside its settings file, unless named here.
    JournalSettings settings = JournalSettings::read(
        QFileInfo(settingsFilePath(QCoreApplication::applicationDirPath(), userSettingsDirectory()))
            .absolutePath());
    if (parser.isSet(u"database"_s)) {
        const std::optional<DatabaseAddress> address =
            DatabaseAddress::parse(parser.value(u"database"_s), &error);
        if (!address)
            return usageError(error);
        settings.database = *address;
        settings.problem.clear();
    }
    if (!settings.problem.isEmpty()) {
        printError(u"journal: "_s + settings.problem);
        return ExitFailed;
    }

    const bool csv = parser.isSet(u"csv"_s);
    // No journal file yet: nothing has been printed on this counter.
    if (!settings.database.isServer() && !QFileInfo::exists(settings.database.sqlitePath)) {
        if (csv)
            writeStdout(journalcsv::header());
        return ExitOk;
    }
    std::unique_ptr<JournalDatabase> database = JournalDatabase::open(
        settings.database, JournalDatabase::Access::ReadOnly, &error, BatchLimits);
    std::optional<QList<JournalEntry>> rows;
    if (database)
        rows = database->entries(filter, &error);
    if (!rows) {
        printError(u"journal: "_s + error);
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
