#include "print/net/NetworkPictureLoader.h"

#include "print/PrintRequest.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

namespace itinerary {

using namespace Qt::StringLiterals;

namespace {
bool isWebAddress(const QString &address) {
    return address.startsWith(u"http://"_s, Qt::CaseInsensitive) ||
           address.startsWith(u"https://"_s, Qt::CaseInsensitive);
}
} // namespace

QByteArray pictureOrEmpty(const QByteArray &bytes) {
    if (bytes.isEmpty())
        return QByteArray();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    // Decoding the whole picture is the only sure test; a valid header alone may hide a
    // truncated body.
    const QImage image = reader.read();
    return image.isNull() ? QByteArray() : bytes;
}

NetworkPictureLoader::NetworkPictureLoader(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this)) {
    m_manager->setCookieJar(new QNetworkCookieJar(m_manager));
}

QNetworkCookieJar *NetworkPictureLoader::cookieJar() const {
    return m_manager->cookieJar();
}

QByteArray NetworkPictureLoader::loadPicture(const QString &address) {
    if (address.isEmpty())
        return QByteArray();
    if (isWebAddress(address))
        return loadFromWeb(encodeRequestForWire(address));
    if (address.startsWith(u"file:"_s, Qt::CaseInsensitive))
        return loadFromFile(QUrl(address).toLocalFile());
    return loadFromFile(address);
}

QByteArray NetworkPictureLoader::loadFromFile(const QString &path) {
    if (path.isEmpty())
        return QByteArray();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPictureBytes)
        return QByteArray();
    return pictureOrEmpty(file.readAll());
}

QByteArray NetworkPictureLoader::loadFromWeb(const QByteArray &encodedAddress) {
    const QUrl url = QUrl::fromEncoded(encodedAddress, QUrl::StrictMode);
    if (!url.isValid())
        return QByteArray();
    QNetworkRequest request(url);
    if (!m_userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);

    QNetworkReply *reply = m_manager->get(request);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the operator is promised the full timeout.
    deadline.setTimerType(Qt::PreciseTimer);
    bool tooLarge = false;
    connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(reply, &QNetworkReply::downloadProgress, &loop,
            [&loop, &tooLarge](qint64 received, qint64) {
                if (received > MaxPictureBytes) {
                    tooLarge = true;
                    loop.quit();
                }
            });
    deadline.start(m_timeout);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);

    QByteArray picture;
    if (reply->isFinished() && !tooLarge && reply->error() == QNetworkReply::NoError)
        picture = pictureOrEmpty(reply->readAll());
    if (!reply->isFinished())
        reply->abort();
    // Not inside one of the reply's signals, so it can go at once; nested loads would
    // otherwise pile replies up until the outer event loop runs.
    delete reply;
    return picture;
}

} // namespace itinerary
