#pragma once

#include <QString>

#include <optional>

namespace itinerary {

// The number syntax of the check code and the print offsets: blanks (U+0020) around, an
// optional sign, ASCII digits with an optional decimal point (digits on at least one side of
// it), an optional exponent. Nothing for any other text, and for a value too large for a
// double.
std::optional<double> parseGeneralNumber(const QString &text);

// The shortest general form of a number, with up to 15 significant digits: 13, 1000, 1.5,
// -0.7, 1e+20.
QString formatGeneralNumber(double value);

} // namespace itinerary
