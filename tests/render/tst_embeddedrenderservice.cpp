#include "WireClient.h"

#include "render/EmbeddedRenderService.h"
#include "render/ReceiptRenderer.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTcpSocket>
#include <QTest>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

// A print request of `given` raw values, followed by the empty rest of the sheet's 59.
QByteArray sheetTarget(const QByteArray &values, int given) {
    return "/Print/print.asp?l=0&p=" + values + QByteArray(59 - given, ',') + "&t";
}

bool refusesConnections(quint16 port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    return !socket.waitForConnected(2000);
}

} // namespace

class TestEmbeddedRenderService final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startsOnLoopbackWithAFreePort() {
        EmbeddedRenderService service;
        QVERIFY(!service.isRunning());
        const QUrl url = service.start();
        QVERIFY2(url.isValid(), qPrintable(service.errorString()));
        QCOMPARE(url.scheme(), u"http"_s);
        QCOMPARE(url.host(), u"127.0.0.1"_s);
        QVERIFY(url.port() > 0);
        QCOMPARE(url.path(), u"/"_s);
        QVERIFY(url.toString().endsWith(u'/'));
        QVERIFY(service.isRunning());
        QCOMPARE(service.start(), url); // once
        QCOMPARE(service.baseUrl(), url);
    }

    // The owner's thread blocks in plain socket waits, with no event loop running: the
    // service must answer from its own thread.
    void blockingClientOnTheOwnersThreadDoesNotDeadlock() {
        EmbeddedRenderService service;
        const quint16 port = quint16(service.start().port());
        const WireAnswer health = exchange(port, getRequest("/health"), 5000);
        QCOMPARE(health.status, 200);
        const WireAnswer picture =
            exchange(port, getRequest(sheetTarget("%E5%BC%A0%E4%B8%89", 1)), 10000);
        QCOMPARE(picture.status, 200);
        QCOMPARE(QImage::fromData(picture.body, "png").size(), QSize(2425, 1244));
    }

    // The way the print job loads the picture: an already-encoded address, a local event
    // loop that blocks the caller until the answer is there.
    void loadThroughTheNetworkStack() {
        EmbeddedRenderService service;
        const QUrl base = service.start();
        const QByteArray address = base.toEncoded() +
                                   "Print/print.asp?l=1&p=%E5%BC%A0%E4%B8%89,A&B,%23" +
                                   QByteArray(56, ',') + "&2026-12-07%2010:15:02";
        QNetworkAccessManager network;
        QNetworkReply *reply =
            network.get(QNetworkRequest(QUrl::fromEncoded(address, QUrl::StrictMode)));
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        QCOMPARE(reply->error(), QNetworkReply::NoError);
        QCOMPARE(reply->header(QNetworkRequest::ContentTypeHeader).toString(), u"image/png"_s);
        const QImage picture = QImage::fromData(reply->readAll(), "png");
        const QImage expected =
            ReceiptRenderer(ReceiptLayout::defaultLayout()).render({u"张三"_s, u"A&B"_s, u"#"_s});
        QVERIFY(picture.convertToFormat(QImage::Format_Grayscale8) ==
                expected.convertToFormat(QImage::Format_Grayscale8));
        delete reply;
    }

    void stopClosesThePortAndAllowsARestart() {
        EmbeddedRenderService service;
        const quint16 port = quint16(service.start().port());
        WireClient open(port); // a kept-alive connection while stopping
        QVERIFY(open.send(getRequest("/health")));
        QCOMPARE(open.read().status, 200);
        service.stop();
        QVERIFY(!service.isRunning());
        QVERIFY(service.baseUrl().isEmpty());
        QVERIFY(refusesConnections(port));
        QVERIFY(open.waitForClose(2000));
        service.stop(); // harmless

        const QUrl again = service.start();
        QVERIFY(again.isValid());
        QCOMPARE(exchange(quint16(again.port()), getRequest("/health")).status, 200);
    }

    void stopWhileRendering() {
        EmbeddedRenderService service;
        const quint16 port = quint16(service.start().port());
        QList<WireClient *> clients;
        for (int i = 0; i < 6; ++i) {
            clients.append(new WireClient(port));
            clients.last()->send(getRequest(sheetTarget("A,B,C", 3)));
        }
        service.stop(); // renders under way are dropped, nothing dangles
        QVERIFY(refusesConnections(port));
        for (WireClient *client : std::as_const(clients))
            QVERIFY(client->waitForClose(3000));
        qDeleteAll(clients);
    }

    void destroyingTheObjectStopsIt() {
        quint16 port = 0;
        {
            EmbeddedRenderService service;
            port = quint16(service.start().port());
            QCOMPARE(exchange(port, getRequest("/health")).status, 200);
        }
        QVERIFY(refusesConnections(port));
    }
};

QTEST_MAIN(TestEmbeddedRenderService)
#include "tst_embeddedrenderservice.moc"
