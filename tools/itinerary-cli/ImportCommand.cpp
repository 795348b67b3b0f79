// itinerary-cli import [--today YYYY-MM-DD] [FILE...]
// Imports booking displays into a fresh sheet, one after the other, and prints the state
// after the last one as one JSON line.
#include "CliCommand.h"
#include "CliInput.h"
#include "SheetJson.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "sheet/Itinerary.h"
#include "textimport/BookingDisplayImport.h"

#include <QDate>
#include <QRegularExpression>

#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

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
    std::optional<QDate> today;
    QStringList files;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            files.append(argument);
        } else if (argument == u"--") {
            optionsEnded = true;
        } else if (argument == u"--today" || argument.startsWith(u"--today=")) {
            QString value;
            if (argument == u"--today") {
                if (i + 1 >= arguments.size()) {
                    printError(u"import: --today needs a date YYYY-MM-DD"_s);
                    return ExitUsage;
                }
                value = arguments[++i];
            } else {
                value = argument.mid(QStringView(u"--today=").size());
            }
            today = parseToday(value);
            if (!today) {
                printError(u"import: not a date YYYY-MM-DD: "_s + value);
                return ExitUsage;
            }
        } else {
            printError(u"import: unknown option: "_s + argument);
            return ExitUsage;
        }
    }
    if (files.isEmpty())
        files.append(QString()); // standard input

    // Every text is read before any is imported: an unreadable file changes nothing.
    QStringList texts;
    for (const QString &file : files) {
        QString error;
        const std::optional<QString> text = readInputText(file, &error);
        if (!text) {
            printError(u"import: "_s + error);
            return ExitUsage;
        }
        texts.append(*text);
    }

    std::unique_ptr<Clock> clock;
    if (today)
        clock = std::make_unique<FixedClock>(*today);
    else
        clock = std::make_unique<SystemClock>();
    Itinerary sheet;
    RecordingMessages messages;
    for (const QString &text : texts)
        importBookingDisplay(text, sheet, messages, *clock);
    writeStdout(sheetStateJson(sheet, messages));
    return ExitOk;
}

const CommandRegistration registration{
    {u"import"_s, u"import [--today YYYY-MM-DD] [FILE...]"_s, runImport}};

} // namespace

} // namespace itinerary::cli
