#pragma once

#include "print/PictureLoader.h"

#include <QString>

namespace itinerary {

class Clock;
class Itinerary;

// The receipt picture of a sheet from the rendering service in use: the request a print
// sends (the service's print address, the domestic or international flag, the 59 values
// without their surrounding blanks and a time-stamp), answered asynchronously. Nothing on
// the sheet is checked or changed, so a preview, a copy and a print all ask the same way.
class ReceiptPictures final {
public:
    ReceiptPictures(PictureLoader &loader, const Clock &clock)
        : m_loader(loader)
        , m_clock(clock) {}

    // The rendering service's print address (StartupValues::printUrl).
    QString printUrl() const { return m_printUrl; }
    void setPrintUrl(const QString &printUrl) { m_printUrl = printUrl; }

    // The request address for the sheet as it stands now.
    QString requestAddress(const Itinerary &sheet) const;
    // Asks for the sheet's picture; `done` gets it, empty when the service gave none.
    void load(const Itinerary &sheet, const QObject *context, PictureLoader::Done done) const;

private:
    PictureLoader &m_loader;
    const Clock &m_clock;
    QString m_printUrl;
};

} // namespace itinerary
