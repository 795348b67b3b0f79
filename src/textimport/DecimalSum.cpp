#include "textimport/DecimalSum.h"

#include "textimport/TextCutting.h"

namespace itinerary {

void DecimalSum::add(QStringView number) {
    const qsizetype point = number.indexOf(u'.');
    const QStringView whole = point < 0 ? number : number.left(point);
    const QStringView fraction = point < 0 ? QStringView() : number.mid(point + 1);

    if (m_fraction.size() < size_t(fraction.size()))
        m_fraction.resize(size_t(fraction.size()), 0);
    int carry = 0;
    for (qsizetype i = fraction.size() - 1; i >= 0; --i) {
        const int digit = m_fraction[size_t(i)] + (fraction[i].unicode() - u'0') + carry;
        m_fraction[size_t(i)] = char(digit % 10);
        carry = digit / 10;
    }

    // Only the digits the number has, then the carry as far as it runs.
    size_t k = 0;
    for (qsizetype i = whole.size() - 1; i >= 0 || carry != 0; --i, ++k) {
        if (k == m_whole.size())
            m_whole.push_back(0);
        const int addend = i >= 0 ? whole[i].unicode() - u'0' : 0;
        const int digit = m_whole[k] + addend + carry;
        m_whole[k] = char(digit % 10);
        carry = digit / 10;
    }
}

QString DecimalSum::text() const {
    QString out;
    out.reserve(qsizetype(m_whole.size() + m_fraction.size() + 2));
    for (auto it = m_whole.rbegin(); it != m_whole.rend(); ++it)
        out.append(QChar(char16_t(u'0' + *it)));
    if (out.isEmpty())
        out.append(u'0');
    if (!m_fraction.empty()) {
        out.append(u'.');
        for (char d : m_fraction)
            out.append(QChar(char16_t(u'0' + d)));
    }
    return out;
}

qsizetype leadingNumberLength(QStringView text) {
    qsizetype n = 0;
    while (n < text.size() && isAsciiDigit(text[n]))
        ++n;
    if (n == 0)
        return 0;
    if (n + 1 < text.size() && text[n] == u'.' && isAsciiDigit(text[n + 1])) {
        n += 2;
        while (n < text.size() && isAsciiDigit(text[n]))
            ++n;
    }
    return n;
}

} // namespace itinerary
