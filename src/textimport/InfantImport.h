#pragma once

#include "textimport/PassengerOrdinal.h"

#include <QList>
#include <QString>
#include <QStringView>

namespace itinerary {

// An infant of the booking ("XN/IN/" element): its name and the passenger it travels with.
struct InfantElement {
    QString name;
    Ordinal travelsWith = NoOrdinal;
    bool operator==(const InfantElement &) const = default;
};

// Every infant element of `text`, in text order. An element's text runs from "XN/IN/" over
// the lines it wraps onto (WrappedElement.h); the name is that text before its last "/P" (all of it
// without one), with every parenthesised part removed (an unclosed one to the end), trailing blanks
// and continuation marks ("+", "-") dropped, and trimmed like names ("LI/YUANZE (OCT16)/P1" gives
// LI/YUANZE travelling with passenger 1).
QList<InfantElement> readInfants(QStringView text);

} // namespace itinerary
