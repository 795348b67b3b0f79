#pragma once

#include <QString>
#include <QStringView>

namespace itinerary {

// The verification site's page vocabulary: the query page's three input elements and the
// script that checks and submits its form.
inline constexpr QStringView TicketNumberInputId = u"eticketNoORIn";
inline constexpr QStringView PassengerNameInputId = u"passengerName";
inline constexpr QStringView CaptchaInputId = u"randCode";
inline constexpr QStringView QueryScript = u"validateStatus_info()";

// What the operator is told when the typed query cannot be sent.
inline constexpr QStringView TicketNumberLengthMessage = u"票号位数不正确！";
inline constexpr QStringView CaptchaLengthMessage = u"验证码不正确";
// The page shown lacks one of the inputs or its query script failed.
inline constexpr QStringView QueryPageNotReadyMessage = u"验真网站页面未就绪，请稍后再试";

inline constexpr qsizetype TicketNumberLength = 13;
inline constexpr qsizetype CaptchaLength = 4;

// The ticket number as it is sent: leading and trailing blanks removed, then every "-" (the
// hyphen after the airline prefix). Blanks inside stay and count.
QString cleanTicketNumber(const QString &typed);

// Only the length counts (UTF-16 code units); the characters are not examined.
bool ticketNumberAccepted(const QString &cleaned);
bool captchaAccepted(const QString &trimmed);

} // namespace itinerary
