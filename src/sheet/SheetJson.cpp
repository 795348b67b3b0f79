#include "sheet/SheetJson.h"

#include "base/Messages.h"
#include "sheet/Itinerary.h"

namespace itinerary {

QByteArray jsonString(const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + 2);
    out.append('"');
    for (char ch : utf8) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '"':
            out.append("\\\"");
            break;
        case '\\':
            out.append("\\\\");
            break;
        case '\n':
            out.append("\\n");
            break;
        case '\r':
            out.append("\\r");
            break;
        case '\t':
            out.append("\\t");
            break;
        case '\b':
            out.append("\\b");
            break;
        case '\f':
            out.append("\\f");
            break;
        default:
            if (c < 0x20)
                out.append(QByteArray("\\u00") + QByteArray::number(c, 16).rightJustified(2, '0'));
            else
                out.append(ch);
        }
    }
    out.append('"');
    return out;
}

QByteArray sheetStateJson(const Itinerary &sheet, const RecordingMessages &messages,
                          FareRows fareRows) {
    const auto boolean = [](bool b) { return QByteArray(b ? "true" : "false"); };
    QByteArray out("{\"fields\":[");
    for (int i = 0; i < FieldCount; ++i) {
        if (i > 0)
            out.append(',');
        out.append(jsonString(sheet.text(i)));
    }
    out.append("],\"passengers\":[");
    const PassengerList &list = sheet.passengers();
    for (qsizetype i = 0; sheet.hasPassengerList() && i < list.size(); ++i) {
        if (i > 0)
            out.append(',');
        out.append('[' + jsonString(list[i].name) + ',' + jsonString(list[i].idNumber) + ',' +
                   jsonString(list[i].ticketNumber) + ']');
    }
    out.append("],\"current\":");
    out.append(QByteArray::number(sheet.hasPassengerList() ? sheet.currentPassenger() : 0));
    out.append(",\"prev_enabled\":" + boolean(sheet.previousEnabled()));
    out.append(",\"next_enabled\":" + boolean(sheet.nextEnabled()));
    out.append(",\"messages\":[");
    for (qsizetype i = 0; i < messages.shown().size(); ++i) {
        if (i > 0)
            out.append(',');
        const auto &m = messages.shown()[i];
        out.append('[' + jsonString(m.title) + ',' + jsonString(m.text) + ']');
    }
    out.append(']');
    if (fareRows == FareRows::Included) {
        out.append(",\"fares\":[");
        for (qsizetype i = 0; sheet.hasPassengerList() && i < list.size(); ++i) {
            if (i > 0)
                out.append(',');
            const std::optional<FareRow> &row = list[i].fares;
            out.append(!row ? QByteArray("null")
                            : '[' + jsonString(row->fare) + ',' + jsonString(row->developmentFund) +
                                  ',' + jsonString(row->fuelSurcharge) + ',' +
                                  jsonString(row->otherTaxes) + ',' + jsonString(row->total) + ']');
        }
        out.append(']');
    }
    out.append("}\n");
    return out;
}

} // namespace itinerary
