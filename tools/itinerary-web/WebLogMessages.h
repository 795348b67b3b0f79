#pragma once

#include "WebLog.h"

#include "base/Messages.h"

namespace itinerary::web {

// What the application core would tell an operator outside any request (a journal notice):
// the service has nobody at a screen, so it goes to the log.
class WebLogMessages final : public Messages {
public:
    void showMessage(const QString &text, const QString &title = QString()) override {
        qCWarning(webLog, "%s%s%s", qUtf8Printable(title), title.isEmpty() ? "" : ": ",
                  qUtf8Printable(text));
    }
};

} // namespace itinerary::web
