#pragma once

#include <QString>
#include <QStringView>

#include <vector>

namespace itinerary {

// An exact sum of non-negative decimal numbers of any length ("[0-9]+(.[0-9]+)?"). Adding a
// number costs its own length plus the carries it causes, so summing many short amounts onto
// a long one stays linear in the text.
class DecimalSum final {
public:
    // Adds `number`, which must have the shape above (checked by the caller).
    void add(QStringView number);
    // The sum as "[0-9]+(.[0-9]+)?", "0" when nothing was added.
    QString text() const;

private:
    std::vector<char> m_whole;    // least significant digit first
    std::vector<char> m_fraction; // tenths first
};

// The length of the number "[0-9]+(.[0-9]+)?" at the very start of `text`, 0 when it does not
// start with one. A point not followed by a digit is not part of the number.
qsizetype leadingNumberLength(QStringView text);

} // namespace itinerary
