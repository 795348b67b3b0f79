#include "SiteOptions.h"

#include "CaptchaImage.h"
#include "ListenAddress.h"
#include "ToolCommandLine.h"

#include <QCommandLineParser>

using namespace Qt::StringLiterals;

namespace itinerary::site {

namespace {

const QString Synopsis = u"usage: verification-site [--listen ADDR:PORT] [--tickets FILE] "
                         "[--fixed-captcha CODE] [--connections-per-address N] [--help] "
                         "[--version]"_s;
const QString Description = u"A local e-ticket verification site for tests and demonstrations."_s;

struct SiteCommandLine {
    QCommandLineOption listen{u"listen"_s,
                              u"where to listen (default 127.0.0.1:8090; port 0 picks a free "
                              "one); the base address is printed as the first line"_s,
                              u"ADDR:PORT"_s};
    QCommandLineOption tickets{u"tickets"_s,
                               u"the tickets to answer for, a JSON file (default: built-in "
                               "samples with one, two and four segments)"_s,
                               u"FILE"_s};
    QCommandLineOption fixedCaptcha{u"fixed-captcha"_s,
                                    u"every captcha picture shows CODE (four upper-case letters "
                                    "or digits) instead of a random code"_s,
                                    u"CODE"_s};
    QCommandLineOption perAddress{u"connections-per-address"_s,
                                  u"connections one client address may hold open at once "
                                  "(default %1)"_s.arg(HttpLimits().maxConnectionsPerAddress),
                                  u"N"_s};
    QCommandLineOption help{{u"h"_s, u"help"_s}, u"this text"_s};
    QCommandLineOption version{u"version"_s, u"the program's version"_s};

    QList<QCommandLineOption> all() const {
        return {listen, tickets, fixedCaptcha, perAddress, help, version};
    }
};

} // namespace

Result<SiteOptions> parseSiteOptions(const QStringList &arguments) {
    using Parsed = Result<SiteOptions>;
    const SiteCommandLine line;
    QCommandLineParser parser;
    parser.addOptions(line.all());
    if (!parser.parse(QStringList{u"verification-site"_s} + arguments))
        return Parsed::failure(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return Parsed::failure(u"unknown argument: "_s + parser.positionalArguments().constFirst());
    SiteOptions options;
    options.help = parser.isSet(line.help);
    options.version = parser.isSet(line.version);
    if (parser.isSet(line.listen)) {
        const QString value = parser.value(line.listen);
        const std::optional<ListenAddress> listen = parseListenAddress(value);
        if (!listen)
            return Parsed::failure(u"--listen expects ADDR:PORT, not "_s + value);
        options.address = listen->address;
        options.port = listen->port;
    }
    if (parser.isSet(line.tickets)) {
        options.ticketsFile = parser.value(line.tickets);
        if (options.ticketsFile.isEmpty())
            return Parsed::failure(u"--tickets needs a file name"_s);
    }
    if (parser.isSet(line.fixedCaptcha)) {
        const QString value = parser.value(line.fixedCaptcha);
        if (!isCaptchaCode(value))
            return Parsed::failure(
                u"--fixed-captcha expects four upper-case letters or digits, not "_s + value);
        options.fixedCaptcha = value;
    }
    if (parser.isSet(line.perAddress)) {
        bool number = false;
        options.connectionsPerAddress = parser.value(line.perAddress).toInt(&number);
        if (!number || options.connectionsPerAddress < 1)
            return Parsed::failure(
                u"--connections-per-address expects a number of 1 or more, not "_s +
                parser.value(line.perAddress));
    }
    return options;
}

QString siteUsage() {
    const SiteCommandLine line;
    QCommandLineParser parser;
    parser.addOptions(line.all());
    return commandHelpText(Synopsis, Description, parser);
}

} // namespace itinerary::site
