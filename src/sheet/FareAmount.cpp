#include "sheet/FareAmount.h"

#include "base/AsciiText.h"

#include <QLocale>

#include <cmath>

namespace itinerary {

namespace {

bool isRemovedLetter(QChar c) {
    switch (c.unicode()) {
    case u'F':
    case u'C':
    case u'N':
    case u'Y':
    case u'Q':
    case u'X':
    case u'T':
    case u'O':
        return true;
    default:
        return false;
    }
}

bool isSkippedBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n');
}

// "1,200.00" reads as 1200.00: a comma between a digit and a group of exactly three digits
// that no further digit follows is a thousands separator. Decided on the original positions.
QString dropThousandsSeparators(const QString &text) {
    QString out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char(',') && i > 0 && isAsciiDigit(text.at(i - 1)) && i + 3 < n &&
            isAsciiDigit(text.at(i + 1)) && isAsciiDigit(text.at(i + 2)) &&
            isAsciiDigit(text.at(i + 3)) && (i + 4 >= n || !isAsciiDigit(text.at(i + 4)))) {
            continue;
        }
        out.append(c);
    }
    return out;
}

double readHex(QStringView digits) {
    double value = 0;
    for (QChar c : digits) {
        int d = -1;
        if (isAsciiDigit(c))
            d = c.unicode() - u'0';
        else if (c >= QLatin1Char('A') && c <= QLatin1Char('F'))
            d = c.unicode() - u'A' + 10;
        else if (c >= QLatin1Char('a') && c <= QLatin1Char('f'))
            d = c.unicode() - u'a' + 10;
        if (d < 0)
            break;
        value = value * 16 + d;
    }
    return value;
}

// The longest prefix of `s` that reads as: sign, digits with at most one ".", exponent.
double readDecimal(QStringView s) {
    QByteArray number;
    qsizetype i = 0;
    const qsizetype n = s.size();
    if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
        number.append(char(s[i++].unicode()));
    bool seenPoint = false;
    bool seenDigit = false;
    for (; i < n; ++i) {
        if (isAsciiDigit(s[i])) {
            seenDigit = true;
            number.append(char(s[i].unicode()));
        } else if (s[i] == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
            number.append('.');
        } else {
            break;
        }
    }
    if (!seenDigit)
        return 0;
    if (i < n && (s[i] == QLatin1Char('E') || s[i] == QLatin1Char('D') ||
                  s[i] == QLatin1Char('e') || s[i] == QLatin1Char('d'))) {
        QByteArray exponent("e");
        qsizetype j = i + 1;
        if (j < n && (s[j] == QLatin1Char('+') || s[j] == QLatin1Char('-')))
            exponent.append(char(s[j++].unicode()));
        bool exponentDigits = false;
        for (; j < n && isAsciiDigit(s[j]); ++j) {
            exponentDigits = true;
            exponent.append(char(s[j].unicode()));
        }
        if (exponentDigits)
            number.append(exponent);
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(QLatin1StringView(number), &ok);
    // An overflowing number cannot be read, and unreadable numbers count as 0.
    return ok && std::isfinite(value) ? value : 0.0;
}

} // namespace

double parseFareAmount(const QString &text) {
    QString rest;
    rest.reserve(text.size());
    for (QChar c : text) {
        if (!isRemovedLetter(c) && !isSkippedBlank(c))
            rest.append(c);
    }
    if (rest.isEmpty())
        return 0;
    rest = dropThousandsSeparators(rest);
    if (rest.startsWith(QLatin1String("&H"), Qt::CaseInsensitive))
        return readHex(QStringView(rest).mid(2));
    return readDecimal(rest);
}

QString formatDecimalText(QStringView number, bool negative) {
    const qsizetype point = number.indexOf(QLatin1Char('.'));
    QStringView whole = point < 0 ? number : number.left(point);
    QStringView fraction = point < 0 ? QStringView() : number.mid(point + 1);
    const auto allDigits = [](QStringView v) {
        for (QChar c : v) {
            if (!isAsciiDigit(c))
                return false;
        }
        return true;
    };
    if (whole.isEmpty() || !allDigits(whole) || (point >= 0 && fraction.isEmpty()) ||
        !allDigits(fraction)) {
        return number.toString();
    }

    // Digits as integers in hundredths, rounded half away from zero on the third decimal.
    QString digits = whole.toString();
    const QString cents = (fraction.toString() + QStringLiteral("00")).left(2);
    digits += cents;
    const bool roundUp = fraction.size() > 2 && fraction[2] >= QLatin1Char('5');
    if (roundUp) {
        qsizetype k = digits.size() - 1;
        while (k >= 0 && digits[k] == QLatin1Char('9')) {
            digits[k] = QLatin1Char('0');
            --k;
        }
        if (k < 0)
            digits.prepend(QLatin1Char('1'));
        else
            digits[k] = QChar(char16_t(digits[k].unicode() + 1));
    }
    qsizetype firstNonZero = 0;
    while (firstNonZero < digits.size() - 3 && digits[firstNonZero] == QLatin1Char('0'))
        ++firstNonZero;
    digits = digits.mid(firstNonZero);
    const bool isZero = digits.count(QLatin1Char('0')) == digits.size();
    QString out = digits.left(digits.size() - 2) + QLatin1Char('.') + digits.right(2);
    if (negative && !isZero)
        out.prepend(QLatin1Char('-'));
    return out;
}

QString formatTwoDecimals(double value) {
    if (!std::isfinite(value))
        value = 0;
    // The shortest decimal text that reads back as the value, so a typed 1.005 rounds the
    // way it reads (1.01) rather than the way its binary neighbour would.
    const QString text = QString::number(std::fabs(value), 'f', QLocale::FloatingPointShortest);
    return formatDecimalText(text, value < 0);
}

} // namespace itinerary
