#pragma once

#include "print/PictureLoader.h"

#include <QByteArray>
#include <QObject>

#include <chrono>

class QNetworkAccessManager;
class QNetworkCookieJar;
class QNetworkReply;

namespace itinerary {

// Loads pictures (the rendered receipt, the verification site's captcha) from web addresses
// ("http:", "https:") and local files (a path or a "file:" address), asynchronously: the
// answer comes from the event loop, never inside the call, and a load gives up after the
// timeout. Web addresses go on the wire with their query percent-encoded (see
// encodeRequestForWire), never through a parser that would read "#" as a fragment. Anything
// that does not decode as a picture gives the empty result.
class NetworkPictureLoader final : public QObject, public PictureLoader {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds DefaultTimeout{10000};
    // Answers larger than this are not pictures of a receipt; the load stops there.
    static constexpr qint64 MaxPictureBytes = 64 * 1024 * 1024;

    explicit NetworkPictureLoader(QObject *parent = nullptr);
    ~NetworkPictureLoader() override;

    void loadPicture(const QString &address, const QObject *context, Done done) override;

    // Whether a load is under way.
    bool isLoading() const { return m_pending > 0; }

    std::chrono::milliseconds timeout() const { return m_timeout; }
    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // The cookies sent with web loads; the browser adapter copies the site's cookies here
    // so that the captcha request carries the page's session.
    QNetworkCookieJar *cookieJar() const;

    // Sent as the User-Agent header when not empty (some sites check it).
    void setUserAgent(const QByteArray &userAgent) { m_userAgent = userAgent; }

Q_SIGNALS:
    // The first load has started, or the last one has ended (after its answer was given).
    void loadingChanged(bool loading);

private:
    void loadFromWeb(const QByteArray &encodedAddress, const QObject *context, Done done);
    static QByteArray loadFromFile(const QString &path);
    static QByteArray webAnswer(QNetworkReply *reply, bool tooLarge, bool timedOut,
                                std::chrono::milliseconds timeout);
    void begin();
    // Gives `picture` to `done` when `context` is still there, then counts the load out.
    void answer(const QObject *context, bool hadContext, const Done &done,
                const QByteArray &picture);

    QNetworkAccessManager *m_manager;
    std::chrono::milliseconds m_timeout = DefaultTimeout;
    QByteArray m_userAgent;
    int m_pending = 0;
};

// The bytes when they decode as a picture, empty bytes otherwise.
QByteArray pictureOrEmpty(const QByteArray &bytes);

} // namespace itinerary
