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

SiteOptionsResult parseSiteOptions(const QStringList &arguments) {
    const SiteCommandLine line;
    QCommandLineParser parser;
    parser.addOptions(line.all());
    SiteOptionsResult result;
    if (!parser.parse(QStringList{u"verification-site"_s} + arguments)) {
        const CommandLineRefusal refusal = commandLineRefusal(parser, arguments, line.all());
        switch (refusal.kind) {
        case CommandLineRefusal::Kind::UnknownOption:
            result.error = u"unknown argument: "_s + refusal.argument;
            break;
        case CommandLineRefusal::Kind::MissingValue:
            result.error = refusal.argument + u" needs a value"_s;
            break;
        case CommandLineRefusal::Kind::UnexpectedValue:
            result.error = refusal.argument + u" takes no value"_s;
            break;
        case CommandLineRefusal::Kind::Other:
            result.error = refusal.argument;
            break;
        }
        return result;
    }
    if (!parser.positionalArguments().isEmpty()) {
        result.error = u"unknown argument: "_s + parser.positionalArguments().constFirst();
        return result;
    }
    SiteOptions &options = result.options;
    options.help = parser.isSet(line.help);
    options.version = parser.isSet(line.version);
    if (parser.isSet(line.listen)) {
        const QString value = parser.value(line.listen);
        const std::optional<ListenAddress> listen = parseListenAddress(value);
        if (!listen) {
            result.error = u"--listen expects ADDR:PORT, not "_s + value;
            return result;
        }
        options.address = listen->address;
        options.port = listen->port;
    }
    if (parser.isSet(line.tickets)) {
        options.ticketsFile = parser.value(line.tickets);
        if (options.ticketsFile.isEmpty()) {
            result.error = u"--tickets needs a file name"_s;
            return result;
        }
    }
    if (parser.isSet(line.fixedCaptcha)) {
        const QString value = parser.value(line.fixedCaptcha);
        if (!isCaptchaCode(value)) {
            result.error =
                u"--fixed-captcha expects four upper-case letters or digits, not "_s + value;
            return result;
        }
        options.fixedCaptcha = value;
    }
    if (parser.isSet(line.perAddress)) {
        bool number = false;
        options.connectionsPerAddress = parser.value(line.perAddress).toInt(&number);
        if (!number || options.connectionsPerAddress < 1) {
            result.error = u"--connections-per-address expects a number of 1 or more, not "_s +
                           parser.value(line.perAddress);
            return result;
        }
    }
    return result;
}

QString siteUsage() {
    const SiteCommandLine line;
    QCommandLineParser parser;
    parser.addOptions(line.all());
    return commandHelpText(Synopsis, Description, parser);
}

} // namespace itinerary::site
