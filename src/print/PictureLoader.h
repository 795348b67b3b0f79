#pragma once

#include <QByteArray>
#include <QString>

namespace itinerary {

// Fetches a picture from a web address or a local file path. A picture crosses the core as
// its encoded bytes; decoding happens at the edges.
class PictureLoader {
public:
    virtual ~PictureLoader() = default;
    // Blocks the caller until the picture has arrived or the load has failed. The encoded
    // picture, or empty bytes when anything went wrong or what arrived is not a picture.
    virtual QByteArray loadPicture(const QString &address) = 0;
};

} // namespace itinerary
