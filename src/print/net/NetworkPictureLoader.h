#pragma once

#include "print/PictureLoader.h"

#include <QByteArray>
#include <QObject>

#include <chrono>

class QNetworkAccessManager;
class QNetworkCookieJar;

namespace itinerary {

// Loads pictures for the window (the rendered receipt, the verification site's captcha)
// from web addresses ("http:", "https:") and local files (a path or a "file:" address).
//
// The load blocks the caller in a local event loop that takes no user input, as the window
// has nothing to offer until the picture is there; other events (timers, sockets of a
// service in the same process) keep running. It gives up after the timeout. Web addresses
// go on the wire with their query percent-encoded (see encodeRequestForWire), never through
// a parser that would read "#" as a fragment. Anything that does not decode as a picture
// gives the empty result.
class NetworkPictureLoader final : public QObject, public PictureLoader {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds DefaultTimeout{10000};
    // Answers larger than this are not pictures of a receipt; the load stops there.
    static constexpr qint64 MaxPictureBytes = 64 * 1024 * 1024;

    explicit NetworkPictureLoader(QObject *parent = nullptr);

    QByteArray loadPicture(const QString &address) override;

    std::chrono::milliseconds timeout() const { return m_timeout; }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // The cookies sent with web loads; the browser adapter copies the site's cookies here
    // so that the captcha request carries the page's session.
    QNetworkCookieJar *cookieJar() const;

    // Sent as the User-Agent header when not empty (some sites check it).
    void setUserAgent(const QByteArray &userAgent) { m_userAgent = userAgent; }

private:
    QByteArray loadFromWeb(const QByteArray &encodedAddress);
    static QByteArray loadFromFile(const QString &path);

    QNetworkAccessManager *m_manager;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
    QByteArray m_userAgent;
};

// The bytes when they decode as a picture, empty bytes otherwise.
QByteArray pictureOrEmpty(const QByteArray &bytes);

} // namespace itinerary
