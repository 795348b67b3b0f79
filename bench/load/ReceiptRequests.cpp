#include "ReceiptRequests.h"

#include "render/SampleReceipt.h"
#include "sheet/FieldMap.h"

using namespace Qt::StringLiterals;

namespace itinerary::load {

QStringList receiptValues(int serial) {
    // Every request differs, and carries the characters the wire encoding must protect.
    QStringList values = test::sampleReceiptValues();
    for (int row = 0; row < SegmentRowCount; ++row)
        values[segmentField(row, SegmentColumn::Flight)] = u"CA150%1"_s.arg(row);
    values[Field::TicketNumber] = u"999-%1"_s.arg(2345678901LL + serial);
    values[Field::CheckCode] = u"%1"_s.arg(serial % 10000, 4, 10, QLatin1Char('0'));
    values[Field::Notice] = u"退改签收费 A&B #1 100%"_s;
    return values;
}

QByteArray printTarget(const QStringList &values, int intlFlag) {
    // As the print job sends them: a comma inside a value is escaped like the rest.
    QByteArrayList fields;
    for (const QString &value : values)
        fields.append(value.toUtf8().toPercentEncoding("=&"));
    return "/Print/print.asp?l=" + QByteArray::number(intlFlag) + "&p=" + fields.join(',') +
           "&2026-12-07%2010%3A15%3A02";
}

QByteArray getRequest(const QByteArray &target, bool close, const QByteArray &extraHeaders) {
    return "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\n" +
           (close ? QByteArray("Connection: close\r\n") : QByteArray()) + extraHeaders + "\r\n";
}

bool isReceiptPicture(const QByteArray &body) {
    // The signature, then the IHDR chunk with the width and height, big-endian.
    static const QByteArray header = QByteArray::fromHex("89504e470d0a1a0a0000000d49484452");
    if (body.size() < 24 || !body.startsWith(header))
        return false;
    const auto number = [&body](qsizetype at) {
        quint32 n = 0;
        for (qsizetype i = at; i < at + 4; ++i)
            n = (n << 8) | quint8(body.at(i));
        return n;
    };
    return number(16) == 2425 && number(20) == 1244;
}

} // namespace itinerary::load
