#include "print/ReceiptPictures.h"

#include "base/Clock.h"
#include "print/PrintRequest.h"
#include "sheet/Itinerary.h"

namespace itinerary {

QString ReceiptPictures::requestAddress(const Itinerary &sheet) const {
    return printRequestAddress(m_printUrl, sheet.intlFlag(), joinFieldValues(sheet), m_clock.now());
}

void ReceiptPictures::load(const Itinerary &sheet, const QObject *context,
                           PictureLoader::Done done) const {
    m_loader.loadPicture(requestAddress(sheet), context, std::move(done));
}

} // namespace itinerary
