#pragma once

#include "SiteTicket.h"

#include <QByteArray>
#include <QString>

// The site's HTML pages, UTF-8. Every page carries the query form (the inputs
// "eticketNoORIn", "passengerName", "randCode" and the script validateStatus_info()), so a
// query can follow any page. The pages are written exactly as a browser engine serialises
// them (lower-case tags, <tbody> present, <br> without slash, "&nbsp;" for U+00A0, double-
// quoted attributes, no whitespace the parser would drop), so the markup a reader takes from
// the engine equals the markup served.
namespace itinerary::site {

inline constexpr char QueryPath[] = "/verify";
inline constexpr char CaptchaPath[] = "/newsky/servlet/CallYanServlet";

// Messages of the pages a query can end on besides the result.
QString wrongCaptchaMessage();  // "验证码错误，请重新输入"
QString unknownTicketMessage(); // no ticket with that number and name

QByteArray homePage();
QByteArray messagePage(const QString &message);
// The verification result: "印刷序号" and, as the document's third table element (nested
// ones counted), the result table whose rows and cells the product's result page reader cuts.
QByteArray resultPage(const SiteTicket &ticket);

} // namespace itinerary::site
