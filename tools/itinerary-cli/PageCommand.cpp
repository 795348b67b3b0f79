// itinerary-cli page [FILE...]: runs saved verification result pages through the same
// normaliser, guard and parser as the browser import and prints the sheet as JSON.
#include "CliCommand.h"
#include "CliInput.h"
#include "sheet/SheetJson.h"

#include "base/Messages.h"
#include "sheet/Itinerary.h"
#include "webimport/MarkupNormaliser.h"
#include "webimport/ResultPageParser.h"
#include "webimport/ThirdTable.h"

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

const QString Usage = u"page [FILE...]"_s;

int runPage(const QStringList &arguments) {
    CommandLine line(u"page"_s, Usage);
    line.addPositionalArgument(
        u"FILE"_s, u"saved result pages, imported in turn (- or none: standard input)"_s,
        u"[FILE...]"_s);
    if (const std::optional<int> status = line.parse(arguments))
        return *status;
    QStringList paths = line.positionalArguments();
    if (paths.isEmpty())
        paths.append(QString()); // standard input

    // Every page is read before any is parsed, so an unreadable file yields no half result.
    QStringList pages;
    for (const QString &path : paths) {
        const Result<QString> text = readInputText(path);
        if (!text)
            return line.refuse(text.error());
        pages.append(text.value());
    }

    // One sheet, fresh with the design defaults, takes every page in turn, as the window's
    // sheet takes each page the browser completes.
    Itinerary sheet;
    RecordingMessages messages;
    for (const QString &page : pages) {
        const QString markup = normaliseTagNames(page);
        importResultPage(true, markup, thirdTableInnerMarkup(markup), sheet, messages);
    }
    writeStdout(sheetStateJson(sheet, messages));
    return ExitOk;
}

const CommandRegistration registration{{u"page"_s, Usage, runPage}};

} // namespace

} // namespace itinerary::cli
