// itinerary-cli codes [CODE...]
// The names the import prints for airport and airline codes, and where each comes from:
// one line "CODE<TAB>NAME<TAB>SOURCE" per code, SOURCE "built-in", "codes.txt" or "none"
// (the code is in no table; NAME is then what the import prints for it). Without codes,
// every entry of the tables the import uses, airports first.
#include "AgencyCodeTables.h"
#include "CliCommand.h"

#include "desk/DeskSetup.h"
#include "sheet/TextRules.h"
#include "textimport/AgencyCodes.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

const QString Usage = u"codes [CODE...]"_s;

QString sourceName(const std::optional<CodeSource> &source) {
    if (!source)
        return u"none"_s;
    return *source == CodeSource::AgencyFile ? QString::fromLatin1(AgencyCodesFileName)
                                             : u"built-in"_s;
}

QByteArray entryLine(const QString &code, const CodeLookup &lookup) {
    return (code + u'\t' + lookup.name + u'\t' + sourceName(lookup.source) + u'\n').toUtf8();
}

QByteArray everyEntry(const CodeTables &codes) {
    QByteArray out;
    for (const CodeTable *table : {&codes.airports(), &codes.airlines()}) {
        for (const CodeEntry &entry : table->entries())
            out += entryLine(entry.code, CodeLookup{entry.name, entry.source});
    }
    return out;
}

int runCodes(const QStringList &arguments) {
    CommandLine commandLine(u"codes"_s, Usage);
    commandLine.addPositionalArgument(
        u"CODE"_s, u"an airport (three letters) or airline (two characters) code; none: all"_s,
        u"[CODE...]"_s);
    if (const std::optional<int> status = commandLine.parse(arguments))
        return *status;
    const QStringList requested = commandLine.positionalArguments();
    for (const QString &code : requested) {
        if (code.size() != 2 && code.size() != 3)
            return commandLine.refuse(u"not a two- or three-character code: "_s + code);
    }

    // For the settings folder, where the agency's codes are.
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    const QCoreApplication app(argc, argv);
    const CodeTables codes = agencyCodeTables(u"codes"_s, DeskSetup::fromBuild());
    if (requested.isEmpty()) {
        writeStdout(everyEntry(codes));
        return ExitOk;
    }
    QByteArray out;
    for (const QString &code : requested) {
        // Looked up as the import looks up the columns of a segment line.
        const bool airport = code.size() == 3;
        out += entryLine(toUpperSimple(code), airport ? codes.airport(code) : codes.airline(code));
    }
    writeStdout(out);
    return ExitOk;
}

const CommandRegistration registration{{u"codes"_s, Usage, runCodes}};

} // namespace

} // namespace itinerary::cli
