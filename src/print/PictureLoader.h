#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

namespace itinerary {

// Fetches a picture from a web address or a local file path. A picture crosses the core as
// its encoded bytes; decoding happens at the edges.
class PictureLoader {
public:
    // The encoded picture, or empty bytes when anything went wrong or what arrived is not a
    // picture.
    using Done = std::function<void(const QByteArray &picture)>;

    virtual ~PictureLoader() = default;
    // Starts a load and returns at once; `done` is called once when the picture has arrived
    // or the load has failed, unless `context` has gone by then. A real loader answers from
    // the event loop; callers also cope with an answer inside this call.
    virtual void loadPicture(const QString &address, const QObject *context, Done done) = 0;
};

} // namespace itinerary
