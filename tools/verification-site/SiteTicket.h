#pragma once

#include <QList>
#include <QString>

namespace itinerary::site {

// One line of the result page's city column: where a segment departs, or the final arrival.
struct SiteCity {
    QString name;    // as shown, e.g. "北京首都T3"
    QString airport; // three-letter code shown beside it; may be empty
    bool operator==(const SiteCity &) const = default;
};

// One flight of a ticket, as the result page shows it.
struct SiteSegment {
    QString carrier;
    QString flight;
    QString bookingClass;
    QString date;
    QString time;
    QString fareBasis;
    QString notValidBefore;
    QString notValidAfter;
    QString baggage;
    bool operator==(const SiteSegment &) const = default;
};

// A ticket the site knows. Texts are plain text as displayed (U+00A0 where the page shows a
// non-breaking space); the page writer escapes them.
struct SiteTicket {
    QString ticketNumber; // 13 characters, no hyphen
    QString passengerName;
    QString idNumber;
    QString endorsement;
    QString printSerial;
    QList<SiteCity> cities; // one more than segments
    QList<SiteSegment> segments;
    QString fare;
    QString developmentFund;
    QString fuelSurcharge;
    QString otherTaxes;
    QString total;
    QString checkCode;
    QString notice;
    QString insurance;
    bool operator==(const SiteTicket &) const = default;
};

} // namespace itinerary::site
