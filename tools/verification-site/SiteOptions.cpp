#include "SiteOptions.h"

#include "CaptchaImage.h"

using namespace Qt::StringLiterals;

namespace itinerary::site {

bool parseListenAddress(const QString &text, QHostAddress &address, quint16 &port) {
    const qsizetype colon = text.lastIndexOf(u':');
    if (colon <= 0)
        return false;
    QString host = text.left(colon);
    const QString portText = text.mid(colon + 1);
    if (portText.isEmpty() || portText.size() > 5)
        return false;
    for (const QChar c : portText) {
        if (c < u'0' || c > u'9')
            return false;
    }
    const uint portValue = portText.toUInt();
    if (portValue > 65535)
        return false;
    if (host.startsWith(u'[') && host.endsWith(u']')) {
        host = host.mid(1, host.size() - 2);
        if (!host.contains(u':'))
            return false;
    } else if (host.contains(u':')) {
        return false; // an IPv6 address needs its brackets
    }
    QHostAddress parsed;
    if (host == u"localhost"_s)
        parsed = QHostAddress(QHostAddress::LocalHost);
    else if (!parsed.setAddress(host))
        return false;
    address = parsed;
    port = quint16(portValue);
    return true;
}

SiteOptionsResult parseSiteOptions(const QStringList &arguments) {
    SiteOptionsResult result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments.at(i);
        QString value;
        bool hasValue = false;
        const qsizetype equals = name.indexOf(u'=');
        if (name.startsWith(u"--"_s) && equals > 0) {
            value = name.mid(equals + 1);
            name = name.left(equals);
            hasValue = true;
        }
        if (name == u"--help"_s || name == u"-h"_s) {
            if (hasValue) {
                result.error = u"--help takes no value"_s;
                return result;
            }
            result.options.help = true;
            continue;
        }
        if (name != u"--listen"_s && name != u"--tickets"_s && name != u"--fixed-captcha"_s) {
            result.error = u"unknown argument: "_s + arguments.at(i);
            return result;
        }
        if (!hasValue) {
            if (i + 1 >= arguments.size()) {
                result.error = name + u" needs a value"_s;
                return result;
            }
            value = arguments.at(++i);
        }
        if (name == u"--listen"_s) {
            if (!parseListenAddress(value, result.options.address, result.options.port)) {
                result.error = u"--listen expects ADDR:PORT, not "_s + value;
                return result;
            }
        } else if (name == u"--tickets"_s) {
            if (value.isEmpty()) {
                result.error = u"--tickets needs a file name"_s;
                return result;
            }
            result.options.ticketsFile = value;
        } else {
            if (!isCaptchaCode(value)) {
                result.error =
                    u"--fixed-captcha expects four upper-case letters or digits, not "_s + value;
                return result;
            }
            result.options.fixedCaptcha = value;
        }
    }
    return result;
}

QString siteUsage() {
    return u"usage: verification-site [--listen ADDR:PORT] [--tickets FILE] "
           "[--fixed-captcha CODE] [--help]\n"
           "A local e-ticket verification site for tests and demonstrations.\n"
           "  --listen ADDR:PORT    where to listen (default 127.0.0.1:8090; port 0 picks a\n"
           "                        free one); the base address is printed as the first line\n"
           "  --tickets FILE        the tickets to answer for, a JSON file (default: built-in\n"
           "                        samples with one, two and four segments)\n"
           "  --fixed-captcha CODE  every captcha picture shows CODE (four upper-case letters\n"
           "                        or digits) instead of a random code\n"
           "  --help                this text\n"_s;
}

} // namespace itinerary::site
