#include "webimport/QueryChecks.h"

#include "sheet/TextRules.h"

namespace itinerary {

QString cleanTicketNumber(const QString &typed) {
    return trimBlanks(typed).remove(u'-');
}

bool ticketNumberAccepted(const QString &cleaned) {
    return cleaned.size() == TicketNumberLength;
}

bool captchaAccepted(const QString &trimmed) {
    return trimmed.size() == CaptchaLength;
}

} // namespace itinerary
