#include "PrintOptions.h"

#include "CliCommand.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

std::optional<QString> serviceBaseAddress(const QString &text) {
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty() ||
        url.hasQuery() || url.hasFragment())
        return std::nullopt;
    QString address = url.toString();
    if (!address.endsWith(u'/'))
        address += u'/';
    return address;
}

CommandArguments<PrintOptions> parsePrintOptions(const QStringList &arguments) {
    CommandLine line(u"print"_s, PrintUsage, true);
    // A value is the next argument even when it starts with "-": "--left -2".
    const QCommandLineOption checkCode = line.addOption(
        {u"check-code"_s, u"the check code of the first form in the printer"_s, u"NNNN"_s});
    const QCommandLineOption left =
        line.addOption({u"left"_s, u"millimetres to the right (default: the settings)"_s, u"MM"_s});
    const QCommandLineOption top =
        line.addOption({u"top"_s, u"millimetres down (default: the settings)"_s, u"MM"_s});
    const QCommandLineOption service = line.addOption(
        {u"service"_s, u"the rendering service's base address (default: the build's)"_s, u"URL"_s});
    line.addPositionalArgument(u"FILE"_s, u"the booking display (-: standard input)"_s, u"FILE"_s);
    if (const std::optional<int> status = line.parse(arguments))
        return CommandArguments<PrintOptions>::failure(*status);

    PrintOptions options;
    const auto valueOf = [&line](const QCommandLineOption &option) -> std::optional<QString> {
        return line.isSet(option) ? std::optional<QString>(line.value(option)) : std::nullopt;
    };
    options.checkCode = valueOf(checkCode);
    options.left = valueOf(left);
    options.top = valueOf(top);
    if (const std::optional<QString> text = valueOf(service)) {
        options.serviceBaseUrl = serviceBaseAddress(*text);
        if (!options.serviceBaseUrl)
            return CommandArguments<PrintOptions>::failure(
                line.refuse(u"not an http address: "_s + *text));
    }
    const QStringList files = line.positionalArguments();
    if (files.size() != 1) {
        return CommandArguments<PrintOptions>::failure(
            line.refuse(files.isEmpty() ? u"a booking FILE (or - for standard input) is needed"_s
                                        : u"one booking FILE only"_s));
    }
    options.bookingPath = files.first();
    return options;
}

} // namespace itinerary::cli
