#include "print/CheckCode.h"

#include "print/GeneralNumber.h"

namespace itinerary {

QString nextCheckCode(double value) {
    const double next = value + 1;
    // The serial number behind the code wraps from ...9999 to ...0000; cutting "10000" to
    // four characters would give "1000", a code no form carries next.
    if (next == 10000)
        return QStringLiteral("0000");
    const QString t = formatGeneralNumber(next);
    switch (t.size()) {
    case 1:
        return QStringLiteral("000") + t;
    case 2:
        return QStringLiteral("00") + t;
    case 3:
        return QLatin1Char('0') + t;
    case 4:
        return t;
    case 5:
        return t.left(4);
    default:
        return QString();
    }
}

} // namespace itinerary
