#pragma once

#include "desk/DeskSetup.h"

#include <QString>

namespace itinerary {

// What the window needs from outside: the compiled-in addresses for the application, or a
// test's own (a site on a free port, a temporary settings directory, a short timeout).
struct Config {
    // Rendering service base address ending in "/"; empty starts the embedded service.
    QString serviceBaseUrl;
    // Verification site home page, ending in "/"; empty: no site, and no browser is started.
    QString siteHomeUrl;
    // The site's root followed by "newsky/servlet/CallYanServlet?".
    QString captchaUrl;
    // Folder of the settings file info.ini: the application's folder when it already holds
    // one (a portable installation), otherwise the user's configuration folder.
    QString settingsDirectory;
    // The browser engine module, loaded when the window first needs the site.
    QString browserEngineFile;
    // Picture loads (captcha, rendered receipt) give up after this many milliseconds.
    int loadTimeoutMs = 10000;

    // What the window's application core is built from.
    DeskSetup deskSetup() const;

    // The values compiled into this build, with the settings folder chosen at run time and
    // the browser engine module found beside the program (in the build tree) or in the
    // installed library folder. Needs the application object.
    static Config fromBuild();
    // The captcha servlet address of a site whose home page is `siteHomeUrl`.
    static QString captchaUrlFor(const QString &siteHomeUrl);
};

} // namespace itinerary
