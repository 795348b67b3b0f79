#include "SitePages.h"

#include "CaptchaImage.h"
#include "HtmlText.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace itinerary::site {

namespace {

// The script checks that the page holds its form and the three inputs, trims the values
// and submits. It leaves judging the values to the site, which always answers with a page:
// a query that silently stays on the page would leave a caller waiting for a page load.
QString pageScript() {
    return uR"js(
function showNote(text) {
  var note = document.getElementById("queryNote");
  if (note) note.textContent = text;
}
function refreshCaptcha(image) {
  image.src = "/newsky/servlet/CallYanServlet?" + new Date().getTime();
}
function validateStatus_info() {
  var form = document.getElementById("queryForm");
  var ids = ["eticketNoORIn", "passengerName", "randCode"];
  if (!form) {
    showNote("查询页面不完整，请刷新后重试");
    return false;
  }
  for (var i = 0; i !== ids.length; i++) {
    var input = document.getElementById(ids[i]);
    if (!input) {
      showNote("查询页面不完整，请刷新后重试");
      return false;
    }
    input.value = input.value.replace(/^\s+|\s+$/g, "");
  }
  showNote("正在查询，请稍候");
  form.submit();
  return true;
}
)js"_s;
}

QString pageStyle() {
    return uR"css(
body { font-family: sans-serif; font-size: 14px; margin: 16px; }
table { border-collapse: collapse; }
.frame td { padding: 4px; }
.banner { font-size: 20px; font-weight: bold; }
.note { color: #b00000; min-height: 18px; }
.result { margin-top: 12px; }
.result td { border: 1px solid #999999; padding: 2px 4px; vertical-align: top; }
.result td[data-label]::before { content: attr(data-label) "："; color: #666666; }
.serial { font-weight: bold; }
.footnote td { border: none; color: #666666; font-size: 12px; }
)css"_s;
}

QString pageStart() {
    return u"<!DOCTYPE html>\n<html lang=\"zh-CN\"><head><meta charset=\"utf-8\">"
           "<title>电子客票验真</title><style>"_s +
           pageStyle() + u"</style><script>"_s + pageScript() + u"</script></head><body>\n"_s;
}

QString pageEnd() {
    // Nothing after </html>: the engine would move trailing text into the body.
    return u"\n</body></html>"_s;
}

QString inputRow(const QString &label, const QString &id, int maxLength, const QString &extra) {
    return u"<tr><td>%1</td><td><input type=\"text\" id=\"%2\" name=\"%2\" maxlength=\"%3\" "
           "autocomplete=\"off\">%4</td></tr>\n"_s.arg(label, id, QString::number(maxLength),
                                                       extra);
}

// Table 0 of every page, with the query form's table nested in it as table 1.
QString queryFrame(const QString &note) {
    const QString captcha =
        u" <img id=\"captchaImage\" src=\"%1?0\" width=\"%2\" height=\"%3\" alt=\"验证码\" "
        "title=\"看不清？点击更换\" onclick=\"refreshCaptcha(this)\">"_s.arg(
            QLatin1StringView(CaptchaPath), QString::number(CaptchaSize.width()),
            QString::number(CaptchaSize.height()));
    return u"<table class=\"frame\"><tbody><tr><td class=\"banner\">电子客票验真</td></tr>"
           "<tr><td><form id=\"queryForm\" method=\"post\" action=\""_s +
           QLatin1StringView(QueryPath) +
           u"\" accept-charset=\"utf-8\"><table class=\"query\"><tbody>\n"_s +
           inputRow(u"电子客票号码"_s, u"eticketNoORIn"_s, 20, QString()) +
           inputRow(u"旅客姓名"_s, u"passengerName"_s, 40, QString()) +
           inputRow(u"验证码"_s, u"randCode"_s, CaptchaLength, captcha) +
           u"<tr><td></td><td><button type=\"button\" onclick=\"validateStatus_info()\">查询"
           "</button></td></tr>\n</tbody></table></form><div id=\"queryNote\" class=\"note\">"_s +
           escapeHtmlText(note) + u"</div></td></tr></tbody></table>"_s;
}

QString labelledCell(const QString &label, int columns, const QString &content) {
    return u"<td data-label=\"%1\" colspan=\"%2\">%3</td>"_s.arg(escapeHtmlAttribute(label),
                                                                 QString::number(columns), content);
}

// A box whose style ends in "px": the result page reader finds values right after it.
QString box(int width, int height, const QString &content) {
    return u"<div style=\"width:%1px;height:%2px\">%3</div>"_s.arg(
        QString::number(width), QString::number(height), content);
}

// One segment column: every segment's (or city line's) value, separated by <br>.
QString columnCell(int width, const QStringList &values) {
    QStringList escaped;
    for (const QString &value : values)
        escaped.append(escapeHtmlText(value));
    const int height = 20 * int(values.size());
    return u"<td>"_s + box(width, height, escaped.join(u"<br>"_s)) + u"</td>"_s;
}

QString segmentRow(const SiteTicket &ticket) {
    QStringList marks, cities, airports;
    for (qsizetype i = 0; i < ticket.cities.size(); ++i) {
        marks.append(i == 0 ? u"自"_s : u"至"_s);
        cities.append(ticket.cities.at(i).name);
        airports.append(ticket.cities.at(i).airport);
    }
    QStringList carrier, flight, bookingClass, date, time, fareBasis, notBefore, notAfter, baggage;
    for (const SiteSegment &s : ticket.segments) {
        carrier.append(s.carrier);
        flight.append(s.flight);
        bookingClass.append(s.bookingClass);
        date.append(s.date);
        time.append(s.time);
        fareBasis.append(s.fareBasis);
        notBefore.append(s.notValidBefore);
        notAfter.append(s.notValidAfter);
        baggage.append(s.baggage);
    }
    // Cells 0..11; the reader takes 1 (city) and 3..8 and 11.
    return u"<tr>"_s + columnCell(24, marks) + columnCell(150, cities) + columnCell(40, airports) +
           columnCell(50, carrier) + columnCell(70, flight) + columnCell(40, bookingClass) +
           columnCell(90, date) + columnCell(50, time) + columnCell(60, fareBasis) +
           columnCell(90, notBefore) + columnCell(90, notAfter) + columnCell(50, baggage) +
           u"</tr>\n"_s;
}

QString headerRow() {
    static const QStringList headers{QString(),         u"航段信息"_s,     u"机场"_s,
                                     u"承运人"_s,       u"航班号"_s,       u"舱位等级"_s,
                                     u"日期"_s,         u"时间"_s,         u"客票级别"_s,
                                     u"客票生效日期"_s, u"有效截止日期"_s, u"免费行李"_s};
    QString row = u"<tr>"_s;
    for (const QString &header : headers)
        row += u"<td>"_s + header + u"</td>"_s;
    return row + u"</tr>\n"_s;
}

// The third table of the result page. Rows, in order: print serial, passenger, segment
// headers, segments, amounts, ticket data, a footnote holding a nested table.
QString resultTable(const SiteTicket &t) {
    QString table = u"<table class=\"result\"><tbody>\n"_s;
    table += u"<tr><td colspan=\"12\" class=\"serial\">印刷序号："_s +
             escapeHtmlText(t.printSerial) + u"</td></tr>\n"_s;
    table += u"<tr>"_s +
             labelledCell(u"旅客姓名"_s, 3, box(160, 24, escapeHtmlText(t.passengerName))) +
             labelledCell(u"有效身份证件号码"_s, 4, escapeHtmlText(t.idNumber)) +
             labelledCell(u"签注"_s, 5, escapeHtmlText(t.endorsement)) + u"</tr>\n"_s;
    table += headerRow();
    table += segmentRow(t);
    table += u"<tr>"_s + labelledCell(u"票价"_s, 3, escapeHtmlText(t.fare)) +
             labelledCell(u"民航发展基金"_s, 2, escapeHtmlText(t.developmentFund)) +
             labelledCell(u"燃油附加费"_s, 2, escapeHtmlText(t.fuelSurcharge)) +
             labelledCell(u"其他税费"_s, 2, escapeHtmlText(t.otherTaxes)) +
             labelledCell(u"合计"_s, 3, escapeHtmlText(t.total)) + u"</tr>\n"_s;
    table += u"<tr>"_s +
             labelledCell(u"电子客票号码"_s, 3, box(150, 24, escapeHtmlText(t.ticketNumber))) +
             labelledCell(u"验证码"_s, 2, escapeHtmlText(t.checkCode)) +
             labelledCell(u"提示信息"_s, 5, escapeHtmlText(t.notice)) +
             labelledCell(u"保险"_s, 2, escapeHtmlText(t.insurance)) + u"</tr>\n"_s;
    table += u"<tr><td colspan=\"12\"><table class=\"footnote\"><tbody><tr><td>说明</td>"
             "<td>验真结果仅供参考，以承运人系统记录为准</td></tr></tbody></table></td></tr>\n"_s;
    return table + u"</tbody></table>"_s;
}

} // namespace

QString wrongCaptchaMessage() {
    return u"验证码错误，请重新输入"_s;
}

QString unknownTicketMessage() {
    return u"未查询到相关客票信息，请核对电子客票号码和旅客姓名"_s;
}

QByteArray homePage() {
    return (pageStart() + queryFrame(QString()) + pageEnd()).toUtf8();
}

QByteArray messagePage(const QString &message) {
    return (pageStart() + queryFrame(message) + pageEnd()).toUtf8();
}

QByteArray resultPage(const SiteTicket &ticket) {
    return (pageStart() + queryFrame(QString()) + u"\n"_s + resultTable(ticket) + pageEnd())
        .toUtf8();
}

} // namespace itinerary::site
