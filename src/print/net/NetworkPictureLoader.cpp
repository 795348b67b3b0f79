#include "print/net/NetworkPictureLoader.h"

#include "print/PrintLog.h"
#include "print/PrintRequest.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QMetaEnum>
#include <QMetaObject>
#include <QNetworkAccessManager>
#include <QNetworkCookieJar>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QTimer>
#include <QUrl>

#include <memory>

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

NetworkPictureLoader::~NetworkPictureLoader() {
    // Loads still under way end unanswered: their callers are going too.
    for (QNetworkReply *reply : m_manager->findChildren<QNetworkReply *>())
        reply->disconnect(this);
}

QNetworkCookieJar *NetworkPictureLoader::cookieJar() const {
    return m_manager->cookieJar();
}

void NetworkPictureLoader::begin() {
    if (m_pending++ == 0)
        Q_EMIT loadingChanged(true);
}

void NetworkPictureLoader::answer(const QObject *context, bool hadContext, const Done &done,
                                  const QByteArray &picture) {
    if (!hadContext || context != nullptr)
        done(picture);
    // After the answer: a load it starts keeps the count above zero without a blink.
    if (--m_pending == 0)
        Q_EMIT loadingChanged(false);
}

void NetworkPictureLoader::loadPicture(const QString &address, const QObject *context, Done done) {
    begin();
    if (isWebAddress(address))
        return loadFromWeb(encodeRequestForWire(address), context, std::move(done));
    QByteArray picture;
    if (address.startsWith(u"file:"_s, Qt::CaseInsensitive))
        picture = loadFromFile(QUrl(address).toLocalFile());
    else if (!address.isEmpty())
        picture = loadFromFile(address);
    // From the event loop, as a web answer comes.
    QMetaObject::invokeMethod(
        this,
        [this, guard = QPointer<const QObject>(context), hadContext = context != nullptr,
         done = std::move(done), picture] { answer(guard.data(), hadContext, done, picture); },
        Qt::QueuedConnection);
}

QByteArray NetworkPictureLoader::loadFromFile(const QString &path) {
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

void NetworkPictureLoader::loadFromWeb(const QByteArray &encodedAddress, const QObject *context,
                                       Done done) {
    const QUrl url = QUrl::fromEncoded(encodedAddress, QUrl::StrictMode);
    const QPointer<const QObject> guard(context);
    const bool hadContext = context != nullptr;
    if (!url.isValid()) {
        qCWarning(printLog, "the picture address is not a valid address");
        QMetaObject::invokeMethod(
            this, [this, guard, hadContext, done] { answer(guard.data(), hadContext, done, {}); },
            Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(url);
    if (!m_userAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, m_userAgent);

    QNetworkReply *reply = m_manager->get(request);
    auto *deadline = new QTimer(reply);
    deadline->setSingleShot(true);
    // A coarse timer may fire up to 5 % early; the operator is promised the full timeout.
    deadline->setTimerType(Qt::PreciseTimer);
    // Whether the reply was stopped for being too large or too slow.
    auto tooLarge = std::make_shared<bool>(false);
    auto timedOut = std::make_shared<bool>(false);
    connect(deadline, &QTimer::timeout, reply, [reply, timedOut] {
        *timedOut = true;
        reply->abort();
    });
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply, tooLarge](qint64 received) {
        if (received > MaxPictureBytes && !*tooLarge) {
            *tooLarge = true;
            reply->abort();
        }
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, guard, hadContext, done = std::move(done), tooLarge, timedOut] {
                const QByteArray picture = webAnswer(reply, *tooLarge, *timedOut, m_timeout);
                reply->deleteLater();
                answer(guard.data(), hadContext, done, picture);
            });
    deadline->start(m_timeout);
}

QByteArray NetworkPictureLoader::webAnswer(QNetworkReply *reply, bool tooLarge, bool timedOut,
                                           std::chrono::milliseconds timeout) {
    const QByteArray shown = loggable(reply->url());
    if (tooLarge) {
        qCWarning(printLog, "the answer from %s is larger than %lld bytes", shown.constData(),
                  MaxPictureBytes);
        return QByteArray();
    }
    if (timedOut) {
        qCWarning(printLog, "no answer from %s within %lld ms", shown.constData(),
                  qlonglong(timeout.count()));
        return QByteArray();
    }
    if (reply->error() != QNetworkReply::NoError) {
        // Not errorString(): it quotes the whole address, query and all.
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        qCWarning(printLog, "no picture from %s: %s%s", shown.constData(),
                  QMetaEnum::fromType<QNetworkReply::NetworkError>().valueToKey(reply->error()),
                  status.isValid() ? qPrintable(u", HTTP status "_s + status.toString()) : "");
        return QByteArray();
    }
    const QByteArray answer = reply->readAll();
    const QByteArray picture = pictureOrEmpty(answer);
    if (picture.isEmpty())
        qCWarning(printLog, "the answer from %s is not a picture (%lld bytes)", shown.constData(),
                  qlonglong(answer.size()));
    return picture;
}

} // namespace itinerary
