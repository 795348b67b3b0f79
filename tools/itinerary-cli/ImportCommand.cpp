// itinerary-cli import [--today YYYY-MM-DD] [FILE...]
// Imports booking displays into a fresh sheet, one after the other, and prints the state
// after the last one as one JSON line. Airports and airlines are named as the window names
// them: the built-in tables with the agency's codes.txt.
#include "AgencyCodeTables.h"
#include "CliCommand.h"
#include "CliInput.h"
#include "sheet/SheetJson.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "desk/DeskSetup.h"
#include "sheet/Itinerary.h"
#include "textimport/BookingDisplayImport.h"

#include <QCoreApplication>
#include <QDate>
#include <QRegularExpression>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

const QString Usage = u"import [--today YYYY-MM-DD] [FILE...]"_s;

// Only the full form is accepted, so "2026-1-5" or a trailing word is a usage error rather
// than a silently different day.
std::optional<QDate> parseToday(const QString &text) {
    static const QRegularExpression shape(u"^[0-9]{4}-[0-9]{2}-[0-9]{2}$"_s);
    if (!shape.match(text).hasMatch())
        return std::nullopt;
    const QDate date = QDate::fromString(text, u"yyyy-MM-dd"_s);
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

int runImport(const QStringList &arguments) {
    CommandLine line(u"import"_s, Usage);
    const QCommandLineOption todayOption = line.addOption(
        {u"today"_s, u"the day the dates without a year are read from (default: today)"_s,
         u"YYYY-MM-DD"_s});
    line.addPositionalArgument(u"FILE"_s,
                               u"booking displays, imported in turn (- or none: standard input)"_s,
                               u"[FILE...]"_s);
    if (const std::optional<int> status = line.parse(arguments))
        return *status;

    std::optional<QDate> today;
    if (line.isSet(todayOption)) {
        const QString value = line.value(todayOption);
        today = parseToday(value);
        if (!today)
            return line.refuse(u"not a date YYYY-MM-DD: "_s + value);
    }
    QStringList files = line.positionalArguments();
    if (files.isEmpty())
        files.append(QString()); // standard input

    // Every text is read before any is imported: an unreadable file changes nothing.
    QStringList texts;
    for (const QString &file : files) {
        const Result<QString> text = readInputText(file);
        if (!text)
            return line.refuse(text.error());
        texts.append(text.value());
    }

    // For the settings folder, where the agency's codes are.
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    const CodeTables codes = agencyCodeTables(u"import"_s, DeskSetup::fromBuild());

    std::unique_ptr<Clock> clock;
    if (today)
        clock = std::make_unique<FixedClock>(*today);
    else
        clock = std::make_unique<SystemClock>();
    Itinerary sheet;
    RecordingMessages messages;
    for (const QString &text : texts)
        importBookingDisplay(text, sheet, messages, *clock, codes);
    writeStdout(sheetStateJson(sheet, messages, FareRows::Included));
    return ExitOk;
}

const CommandRegistration registration{{u"import"_s, Usage, runImport}};

} // namespace

} // namespace itinerary::cli
