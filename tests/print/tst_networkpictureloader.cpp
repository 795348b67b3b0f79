#include "print/PrintRequest.h"
#include "print/net/NetworkPictureLoader.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {
QByteArray pngPicture() {
    QImage image(24, 12, QImage::Format_RGB32);
    image.fill(Qt::white);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A tiny HTTP server on a free loopback port. The path of each request chooses the answer;
// the raw request head is kept for the test to read.
class PictureServer final : public QObject {
public:
    PictureServer() {
        connect(&m_server, &QTcpServer::newConnection, this, &PictureServer::accept);
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString base() const { return u"http://127.0.0.1:%1/"_s.arg(m_server.serverPort()); }
    QList<QByteArray> heads; // request line and headers of every request, in order

private:
    void accept() {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }
    void serve(QTcpSocket *socket) {
        QByteArray &pending = m_pending[socket];
        pending += socket->readAll();
        const qsizetype end = pending.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray head = pending.left(end);
        pending.clear();
        heads.append(head);
        const QByteArray target = head.split(' ').value(1);
        const QByteArray path =
            target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
        if (path == "/silent")
            return; // never answers
        QByteArray status = "200 OK";
        QByteArray type = "image/png";
        QByteArray body = pngPicture();
        if (path == "/text") {
            type = "text/html";
            body = "<html>not a picture</html>";
        } else if (path == "/missing") {
            status = "404 Not Found";
        } else if (path == "/truncated") {
            body = body.left(body.size() / 2);
        }
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: " + type + "\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QTcpSocket *, QByteArray> m_pending;
};

// How the rendering service reads a raw request target: "l" up to the first "&", "p" from
// the first "&p=" to the last "&", values split at "," and only then percent-decoded.
struct ReadRequest {
    QString l;
    QStringList p;
    QString timeStamp;
};
ReadRequest readTarget(const QByteArray &target) {
    const QByteArray query = target.mid(target.indexOf('?') + 1);
    ReadRequest read;
    read.l = QString::fromUtf8(query.mid(2, query.indexOf('&') - 2));
    const qsizetype pStart = query.indexOf("&p=") + 3;
    const qsizetype last = query.lastIndexOf('&');
    for (const QByteArray &value : query.mid(pStart, last - pStart).split(','))
        read.p.append(QString::fromUtf8(QByteArray::fromPercentEncoding(value)));
    read.timeStamp = QString::fromUtf8(QByteArray::fromPercentEncoding(query.mid(last + 1)));
    return read;
}
// Starts a load and waits, bounded, for its answer.
QByteArray load(NetworkPictureLoader &loader, const QString &address) {
    std::optional<QByteArray> answer;
    loader.loadPicture(address, nullptr, [&](const QByteArray &picture) { answer = picture; });
    if (answer)
        return "answered inside the call";
    (void)QTest::qWaitFor([&] { return answer.has_value(); }, 30000);
    return answer.value_or("no answer");
}
} // namespace

class TestNetworkPictureLoader final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void webAnswers_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("picture");
        // The warning logged, after the address (whose query, the passenger's data, is left out).
        QTest::addColumn<QString>("logged");
        QTest::newRow("a picture") << u"picture.png"_s << true << QString();
        QTest::newRow("not a picture")
            << u"text?p=SECRET"_s << false << u"/text is not a picture \\(26 bytes\\)"_s;
        QTest::newRow("error status") << u"missing?p=SECRET"_s << false
                                      << u"/missing: ContentNotFoundError, HTTP status 404"_s;
        QTest::newRow("truncated picture")
            << u"truncated"_s << false << u"/truncated is not a picture \\(\\d+ bytes\\)"_s;
    }
    void webAnswers() {
        QFETCH(QString, path);
        QFETCH(bool, picture);
        QFETCH(QString, logged);
        PictureServer server;
        if (!logged.isEmpty()) {
            QTest::ignoreMessage(
                QtWarningMsg,
                QRegularExpression(u"^[a-z ]+ http://127\\.0\\.0\\.1:\\d+"_s + logged + u'$'));
        }
        NetworkPictureLoader loader;
        const QByteArray result = load(loader, server.base() + path);
        QCOMPARE(result.isEmpty(), !picture);
        if (picture)
            QCOMPARE(result, pngPicture());
    }

    void noAnswerGivesUpAtTheTimeout() {
        PictureServer server;
        NetworkPictureLoader loader;
        QCOMPARE(loader.timeout(), std::chrono::milliseconds(10000));
        loader.setTimeout(std::chrono::milliseconds(300));
        QElapsedTimer elapsed;
        elapsed.start();
        QVERIFY(load(loader, server.base() + u"silent"_s).isEmpty());
        QVERIFY(elapsed.elapsed() >= 295);
        QVERIFY(elapsed.elapsed() < 5000);
        // The loader is usable again afterwards.
        QVERIFY(!load(loader, server.base() + u"picture"_s).isEmpty());
    }

    // The window holds its input while loads run: the loader says when the first starts and
    // the last has ended. A caller that went meanwhile gets no answer.
    void loadsAreCountedAndGoneCallersSkipped() {
        PictureServer server;
        NetworkPictureLoader loader;
        QSignalSpy loading(&loader, &NetworkPictureLoader::loadingChanged);
        auto caller = std::make_unique<QObject>();
        int answers = 0;
        for (const QObject *context : {caller.get(), static_cast<QObject *>(nullptr)})
            loader.loadPicture(server.base() + u"picture"_s, context,
                               [&](const QByteArray &) { ++answers; });
        QVERIFY(loader.isLoading());
        caller.reset();
        QTRY_VERIFY(!loader.isLoading());
        QCOMPARE(answers, 1);
        QCOMPARE(loading.count(), 2);
    }

    void nothingListeningGivesTheEmptyPicture() {
        quint16 port = 0;
        {
            QTcpServer probe;
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        NetworkPictureLoader loader;
        loader.setTimeout(std::chrono::milliseconds(3000));
        QVERIFY(load(loader, u"http://127.0.0.1:%1/x"_s.arg(port)).isEmpty());
    }

    void valuesArriveIntact_data() {
        QTest::addColumn<QString>("value");
        QTest::newRow("hash") << u"#1 A"_s;
        QTest::newRow("ampersand") << u"退改&签"_s;
        QTest::newRow("percent") << u"50%"_s;
        QTest::newRow("plus") << u"a+b"_s;
        QTest::newRow("escape lookalike") << u"%41%zz"_s;
        QTest::newRow("chinese") << u"北京首都国际机场T3"_s;
        QTest::newRow("slash colon question") << u"CNY/1:2?3"_s;
        QTest::newRow("beyond GBK") << u"€😀"_s;
        QTest::newRow("comma") << u"ZHANG,SAN"_s;
        QTest::newRow("comma and escape") << u"%2C,%"_s;
    }
    void valuesArriveIntact() {
        QFETCH(QString, value);
        PictureServer server;
        NetworkPictureLoader loader;
        const QStringList fields{u"HX1"_s, value, u"0042"_s};
        const QDateTime now(QDate(2026, 12, 7), QTime(9, 5, 3));
        const QString address = printRequestAddress(server.base() + u"Print/print.asp"_s, 1,
                                                    joinRequestValues(fields), now);
        QVERIFY(!load(loader, address).isEmpty());
        QCOMPARE(server.heads.size(), 1);
        const QByteArray target = server.heads.at(0).split(' ').value(1);
        QVERIFY2(target.startsWith("/Print/print.asp?l=1&p="), target.constData());
        const ReadRequest read = readTarget(target);
        QCOMPARE(read.l, u"1"_s);
        QCOMPARE(read.p, fields);
        QCOMPARE(read.timeStamp, u"2026/12/7 9:05:03"_s);
    }

    void cookiesOfTheJarAreSent() {
        PictureServer server;
        NetworkPictureLoader loader;
        const QUrl site(server.base());
        loader.cookieJar()->setCookiesFromUrl({QNetworkCookie("JSESSIONID", "s3ss10n")}, site);
        loader.setUserAgent("TestAgent/1.0");
        QVERIFY(!load(loader, server.base() + u"captcha?2026/12/7 9:05:03"_s).isEmpty());
        QCOMPARE(server.heads.size(), 1);
        const QByteArray head = server.heads.at(0);
        QVERIFY2(head.contains("\r\nCookie: JSESSIONID=s3ss10n"), head.constData());
        QVERIFY2(head.contains("\r\nUser-Agent: TestAgent/1.0"), head.constData());
        QVERIFY2(head.startsWith("GET /captcha?2026%2F12%2F7%209%3A05%3A03 HTTP/1.1"),
                 head.constData());
    }

    void localFiles_data() {
        QTest::addColumn<QString>("form"); // "path", "file url", "missing", "not a picture"
        QTest::addColumn<bool>("picture");
        QTest::newRow("path") << u"path"_s << true;
        QTest::newRow("file address") << u"file url"_s << true;
        QTest::newRow("missing file") << u"missing"_s << false;
        QTest::newRow("not a picture") << u"not a picture"_s << false;
        QTest::newRow("empty address") << u"empty"_s << false;
    }
    void localFiles() {
        QFETCH(QString, form);
        QFETCH(bool, picture);
        QTemporaryDir dir;
        const QString png = dir.filePath(u"收据 1.png"_s);
        const QString text = dir.filePath(u"note.txt"_s);
        QFile pngFile(png);
        QVERIFY(pngFile.open(QIODevice::WriteOnly));
        pngFile.write(pngPicture());
        pngFile.close();
        QFile textFile(text);
        QVERIFY(textFile.open(QIODevice::WriteOnly));
        textFile.write("just text");
        textFile.close();
        QString address;
        if (form == u"path"_s)
            address = png;
        else if (form == u"file url"_s)
            address = QUrl::fromLocalFile(png).toString();
        else if (form == u"missing"_s)
            address = dir.filePath(u"none.png"_s);
        else if (form == u"not a picture"_s)
            address = text;
        NetworkPictureLoader loader;
        const QByteArray result = load(loader, address);
        QCOMPARE(result.isEmpty(), !picture);
        if (picture)
            QCOMPARE(result, pngPicture());
    }
};

QTEST_GUILESS_MAIN(TestNetworkPictureLoader)
#include "tst_networkpictureloader.moc"
