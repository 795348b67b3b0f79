#pragma once

#include <QString>

namespace itinerary {

// What the window needs from outside: the compiled-in addresses for the application, or a
// test's own (a site on a free port, a temporary settings directory, a short timeout).
struct Config {
    // Rendering service base address ending in "/"; empty starts the embedded service.
    QString serviceBaseUrl;
    // Verification site home page, ending in "/".
    QString siteHomeUrl;
    // The site's root followed by "newsky/servlet/CallYanServlet?".
    QString captchaUrl;
    // Folder of the settings file info.ini.
    QString settingsDirectory;
    // Picture loads (captcha, rendered receipt) give up after this many milliseconds.
    int loadTimeoutMs = 10000;

    // The values compiled into this build, with the settings folder chosen at run time.
    static Config fromBuild();
    // The captcha servlet address of a site whose home page is `siteHomeUrl`.
    static QString captchaUrlFor(const QString &siteHomeUrl);
};

} // namespace itinerary
