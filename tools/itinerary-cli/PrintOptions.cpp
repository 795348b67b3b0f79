#include "PrintOptions.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {
const QString CheckCodeOption = u"--check-code"_s;
const QString LeftOption = u"--left"_s;
const QString TopOption = u"--top"_s;
const QString ServiceOption = u"--service"_s;

std::optional<QString> *target(PrintOptions &options, const QString &name) {
    if (name == CheckCodeOption)
        return &options.checkCode;
    if (name == LeftOption)
        return &options.left;
    if (name == TopOption)
        return &options.top;
    if (name == ServiceOption)
        return &options.serviceBaseUrl;
    return nullptr;
}
} // namespace

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

std::optional<PrintOptions> parsePrintOptions(const QStringList &arguments, QString *error) {
    PrintOptions options;
    QStringList files;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || argument == u"-" || !argument.startsWith(u'-')) {
            files.append(argument);
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = equals < 0 ? argument : argument.left(equals);
        std::optional<QString> *value = target(options, name);
        if (value == nullptr) {
            *error = u"unknown option: "_s + argument;
            return std::nullopt;
        }
        if (equals >= 0) {
            *value = argument.mid(equals + 1);
        } else if (i + 1 < arguments.size()) {
            // The next argument is the value even when it starts with "-": "--left -2".
            *value = arguments.at(++i);
        } else {
            *error = name + u" needs a value"_s;
            return std::nullopt;
        }
    }
    if (options.serviceBaseUrl) {
        const std::optional<QString> base = serviceBaseAddress(*options.serviceBaseUrl);
        if (!base) {
            *error = u"not an http address: "_s + *options.serviceBaseUrl;
            return std::nullopt;
        }
        options.serviceBaseUrl = base;
    }
    if (files.size() != 1) {
        *error = files.isEmpty() ? u"a booking FILE (or - for standard input) is needed"_s
                                 : u"one booking FILE only"_s;
        return std::nullopt;
    }
    options.bookingPath = files.first();
    return options;
}

} // namespace itinerary::cli
