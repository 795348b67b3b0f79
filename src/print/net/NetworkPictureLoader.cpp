#include "print/net/NetworkPictureLoader.h"

#include "print/PrintLog.h"
#include "print/PrintRequest.h"

#include <QBuffer>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMetaEnum>
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

// The address as the log shows it: without its query, which carries the passenger's data.
QByteArray loggable(const QUrl &url) {
    return url.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment)
        .toEncoded();
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
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(printLog, "cannot read the picture file %s: %s", qUtf8Printable(path),
                  qUtf8Printable(file.errorString()));
        return QByteArray();
    }
    if (file.size() > MaxPictureBytes) {
        qCWarning(printLog, "the picture file %s is larger than %lld bytes", qUtf8Printable(path),
                  MaxPictureBytes);
        return QByteArray();
    }
    const QByteArray picture = pictureOrEmpty(file.readAll());
    if (picture.isEmpty())
        qCWarning(printLog, "the file %s is not a picture", qUtf8Printable(path));
    return picture;
}

QByteArray NetworkPictureLoader::loadFromWeb(const QByteArray &encodedAddress) {
    const QUrl url = QUrl::fromEncoded(encodedAddress, QUrl::StrictMode);
    if (!url.isValid()) {
        qCWarning(printLog, "the picture address is not a valid address");
        return QByteArray();
    }
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
    const QByteArray shown = loggable(url);
    if (tooLarge) {
        qCWarning(printLog, "the answer from %s is larger than %lld bytes", shown.constData(),
                  MaxPictureBytes);
    } else if (!reply->isFinished()) {
        qCWarning(printLog, "no answer from %s within %lld ms", shown.constData(),
                  qlonglong(m_timeout.count()));
    } else if (reply->error() != QNetworkReply::NoError) {
        // Not errorString(): it quotes the whole address, query and all.
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        qCWarning(printLog, "no picture from %s: %s%s", shown.constData(),
                  QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply->error()),
                  status.isValid() ? qPrintable(u", HTTP status "_s + status.toString()) : "");
    } else {
        const QByteArray answer = reply->readAll();
        picture = pictureOrEmpty(answer);
        if (picture.isEmpty())
            qCWarning(printLog, "the answer from %s is not a picture (%lld bytes)",
                      shown.constData(), qlonglong(answer.size()));
    }
    if (!reply->isFinished())
        reply->abort();
    // Not inside one of the reply's signals, so it can go at once; nested loads would
    // otherwise pile replies up until the outer event loop runs.
    delete reply;
    return picture;
}

} // namespace itinerary
