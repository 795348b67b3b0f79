#include "Ink.h"
#include "WireClient.h"

#include "base/TextEncoding.h"
#include "print/PrintRequest.h"
#include "render/EmbeddedRenderService.h"
#include "render/ReceiptRenderer.h"
#include "sheet/FieldMap.h"

#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>

#include <atomic>
#include <memory>
#include <numeric>
#include <vector>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

ServiceLimits testLimits() {
    ServiceLimits limits;
    limits.requestTimeout = 1500ms;
    limits.idleTimeout = 2500ms;
    limits.lingerTimeout = 1000ms;
    return limits;
}

// The print job's request, as it goes on the wire.
QByteArray printTarget(const QStringList &values, int flag = 0) {
    return encodeRequestForWire(printRequestAddress(u"/Print/print.asp"_s, qint16(flag),
                                                    joinRequestValues(values),
                                                    QDateTime(QDate(2026, 12, 7), QTime(10, 15))));
}

// The values of a sheet: `values` first, the rest of the 59 empty.
QStringList sheet(QStringList values) {
    values.resize(FieldCount);
    return values;
}

// A raw field list of the values given, followed by the empty rest of the sheet's.
QByteArray rawSheet(const QByteArray &fields, int given) {
    return fields + QByteArray(FieldCount - given, ',');
}

QStringList numbered(int count) {
    QStringList values;
    for (int i = 0; i < count; ++i)
        values.append(u"%1"_s.arg(i));
    return values;
}

QImage grey(const QImage &image) {
    return image.convertToFormat(QImage::Format_Grayscale8);
}

} // namespace

class TestRenderService final : public QObject {
    Q_OBJECT

    EmbeddedRenderService m_service{ReceiptLayout::defaultLayout(), testLimits()};
    ReceiptRenderer m_renderer{ReceiptLayout::defaultLayout()};
    quint16 m_port = 0;

    void verifyStillAnswering() {
        const WireAnswer health = exchange(m_port, getRequest("/health"));
        QCOMPARE(health.status, 200);
        QCOMPARE(health.body, QByteArray("ok"));
    }

private Q_SLOTS:
    void initTestCase() {
        const QUrl url = m_service.start();
        QVERIFY2(url.isValid(), qPrintable(m_service.errorString()));
        m_port = quint16(url.port());
    }

    void cleanup() { verifyStillAnswering(); }

    // Requests as they arrive: the picture must be exactly the values' picture.
    void picturesOfRequests_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QStringList>("values");
        const QStringList chinese =
            sheet({u"张三丰"_s, u"110101199003078515"_s, u"不得签转"_s, u"HX4K2M"_s});
        const QStringList tricky =
            sheet({u"A&B"_s, u"#1"_s, u"CNY +100"_s, u"100%"_s, u"a/b: c"_s});
        const QStringList commas = sheet({u"ZHANG,SAN"_s, u","_s, u"%2C,%"_s, u"ABC"_s});
        QTest::newRow("chinese") << printTarget(chinese) << chinese;
        QTest::newRow("international") << printTarget(chinese, 1) << chinese;
        QTest::newRow("ampersand hash plus percent") << printTarget(tricky) << tricky;
        QTest::newRow("commas inside values") << printTarget(commas) << commas;
        QTest::newRow("59 values") << printTarget(numbered(59)) << numbered(59);
        QTest::newRow("gbk percent-encoded")
            << "/Print/print.asp?l=0&p=" + rawSheet("%D5%C5%C8%FD,x", 2) + "&t"
            << sheet({u"张三"_s, u"x"_s});
        QTest::newRow("gbk raw bytes")
            << "/Print/print.asp?l=0&p=" + rawSheet(encodeGb18030(u"张三"_s) + ",y", 2) + "&t"
            << sheet({u"张三"_s, u"y"_s});
        QTest::newRow("invalid utf-8 and gbk")
            << "/Print/print.asp?l=0&p=" + rawSheet("%FF%FE%80,z", 2) + "&t"
            << sheet({decodeUtf8OrGb18030("\xFF\xFE\x80"), u"z"_s});
        QTest::newRow("plus stays plus")
            << "/Print/print.asp?l=0&p=" + rawSheet("a+b", 1) + "&t" << sheet({u"a+b"_s});
        QTest::newRow("no time-stamp")
            << "/Print/print.asp?l=0&p=" + rawSheet("a,b", 2) << sheet({u"a"_s, u"b"_s});
    }
    void picturesOfRequests() {
        QFETCH(QByteArray, target);
        QFETCH(QStringList, values);
        const WireAnswer answer = exchange(m_port, getRequest(target));
        QCOMPARE(answer.status, 200);
        QCOMPARE(answer.header("Content-Type"), QByteArray("image/png"));
        const QImage picture = QImage::fromData(answer.body, "png");
        QCOMPARE(picture.size(), QSize(2425, 1244));
        QCOMPARE(picture.dotsPerMeterX(), 11811);
        QVERIFY(grey(picture) == grey(m_renderer.render(values)));
    }

    void textInTheRightBoxes() {
        // A comma inside a value leaves every later value in its own box.
        QStringList values(FieldCount);
        values[Field::Name] = u"ZHANG,SAN"_s;
        values[Field::IdNumber] = u"110101199003078515"_s;
        values[Field::CheckCode] = u"0042"_s;
        const WireAnswer answer = exchange(m_port, getRequest(printTarget(values)));
        QCOMPARE(answer.status, 200);
        const Ink ink(QImage::fromData(answer.body, "png"));
        const ReceiptLayout &layout = ReceiptLayout::defaultLayout();
        qint64 inked = 0;
        for (const FieldPlacement &p : layout.fields()) {
            const qint64 n = ink.inside(ReceiptRenderer::pixelRect(p.rectMm));
            QVERIFY2((n > 0) == !values[p.index].isEmpty(), qPrintable(QString::number(p.index)));
            inked += n;
        }
        QCOMPARE(ink.total(), inked);
    }

    // Malformed requests: a 4xx with a short text, never a crash.
    void refusedRequests_data() {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("text");
        const QByteArray longLine = "/Print/print.asp?l=0&p=" + QByteArray(70 * 1024, 'A') + "&t";
        QByteArray manyHeaders;
        for (int i = 0; i < 200; ++i)
            manyHeaders += "X-Flood-" + QByteArray::number(i) + ": 1\r\n";
        // clang-format off
        QTest::newRow("no query")        << getRequest("/Print/print.asp") << 400 << QByteArray("no l=");
        QTest::newRow("no p")            << getRequest("/Print/print.asp?l=0&t") << 400 << QByteArray("no &p=");
        QTest::newRow("bad flag")        << getRequest("/Print/print.asp?l=9&p=a&t") << 400 << QByteArray("l must be 0 or 1");
        QTest::newRow("bad escape")      << getRequest("/Print/print.asp?l=0&p=a,%ZZ&t") << 400 << QByteArray("percent-escape");
        QTest::newRow("lone percent")    << getRequest("/Print/print.asp?l=0&p=100%&t") << 400 << QByteArray("percent-escape");
        QTest::newRow("unknown path")    << getRequest("/print.asp?l=0&p=a&t") << 404 << QByteArray("not found");
        QTest::newRow("58 values")       << getRequest(printTarget(numbered(58))) << 400 << QByteArray("58 values instead of 59");
        QTest::newRow("60 values")       << getRequest(printTarget(numbered(60))) << 400 << QByteArray("60 values instead of 59");
        QTest::newRow("70 KiB line")     << getRequest(longLine) << 414 << QByteArray("request line too long");
        QTest::newRow("header flood")    << getRequest("/health", manyHeaders) << 431 << QByteArray("too many header lines");
        QTest::newRow("huge header")     << getRequest("/health", "X-Big: " + QByteArray(70 * 1024, 'b') + "\r\n") << 431 << QByteArray("header lines too large");
        QTest::newRow("header over all") << getRequest("/health", "X-Big: " + QByteArray(200 * 1024, 'b') + "\r\n") << 431 << QByteArray("header lines too large");
        QTest::newRow("post")            << QByteArray("POST /Print/print.asp HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello") << 405 << QByteArray("only GET");
        QTest::newRow("head")            << QByteArray("HEAD /health HTTP/1.1\r\n\r\n") << 405 << QByteArray("only GET");
        QTest::newRow("body")            << QByteArray("GET /health HTTP/1.1\r\nContent-Length: 5\r\n\r\nhello") << 413 << QByteArray("body");
        QTest::newRow("chunked body")    << QByteArray("GET /health HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n") << 413 << QByteArray("body");
        QTest::newRow("garbage")         << QByteArray("\x16\x03\x01\x02\xfc\x03\x03\r\n\r\n") << 400 << QByteArray("malformed request line");
        QTest::newRow("nul in target")   << QByteArray("GET /he\0alth HTTP/1.1\r\n\r\n", 25) << 400 << QByteArray("malformed request line");
        QTest::newRow("no version")      << QByteArray("GET /health\r\n\r\n") << 400 << QByteArray("malformed request line");
        QTest::newRow("http 2")          << QByteArray("GET /health HTTP/2.0\r\n\r\n") << 400 << QByteArray("malformed request line");
        QTest::newRow("space in target") << QByteArray("GET /Print/print.asp?l=0&p=a b&t HTTP/1.1\r\n\r\n") << 400 << QByteArray("malformed request line");
        QTest::newRow("control char")    << QByteArray("GET /health\x01 HTTP/1.1\r\n\r\n") << 400 << QByteArray("malformed request line");
        QTest::newRow("bad header")      << QByteArray("GET /health HTTP/1.1\r\nno colon here\r\n\r\n") << 400 << QByteArray("malformed header line");
        QTest::newRow("empty lines")     << QByteArray(20, '\n') << 400 << QByteArray("malformed request line");
        QTest::newRow("nul in header")   << QByteArray("GET /health HTTP/1.1\r\nX: a\0b\r\n\r\n", 32) << 400 << QByteArray("malformed header line");
        // clang-format on
    }
    void refusedRequests() {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QByteArray, text);
        const WireAnswer answer = exchange(m_port, request);
        QCOMPARE(answer.status, status);
        QVERIFY2(answer.body.contains(text), answer.body.constData());
        QVERIFY(answer.body.size() < 200);
        QVERIFY(answer.header("Content-Type").startsWith("text/plain"));
    }

    void megabyteRequestLineIsRefusedOrCut() {
        WireClient client(m_port);
        // The client may still be writing when the service answers; it must not matter.
        client.send("GET /Print/print.asp?l=0&p=" + QByteArray(1024 * 1024, 'A') +
                    "&t HTTP/1.1\r\n\r\n");
        const WireAnswer answer = client.read();
        QVERIFY(answer.status == 414 || answer.status == 0);
        QVERIFY(client.waitForClose(5000));
    }

    void slowClientIsCutOffWithoutBlockingOthers() {
        WireClient slow(m_port);
        const QByteArray request = getRequest("/health");
        QElapsedTimer clock;
        clock.start();
        WireAnswer answer;
        int sent = 0;
        // One byte every 100 ms: the request would take seconds, past the 1.5 s deadline.
        while (sent < request.size() && slow.send(request.mid(sent, 1))) {
            ++sent;
            // Meanwhile another client is served at once.
            if (sent == 5)
                QCOMPARE(exchange(m_port, getRequest("/health")).status, 200);
            QThread::msleep(100);
            if (clock.elapsed() > 1700)
                break;
        }
        answer = slow.read(3000);
        QCOMPARE(answer.status, 408);
        QVERIFY(slow.waitForClose(3000));
        QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    }

    void requestInPiecesIsReadWhole() {
        // A request that arrives in many pieces, split inside escapes and inside the path.
        const QStringList values = sheet({u"张三"_s, u"A&B"_s, u"#%+"_s});
        const QByteArray request = getRequest(printTarget(values));
        WireClient client(m_port);
        for (qsizetype at = 0; at < request.size(); at += 7) {
            QVERIFY(client.send(request.mid(at, 7)));
            QThread::msleep(5);
        }
        const WireAnswer answer = client.read();
        QCOMPARE(answer.status, 200);
        QVERIFY(grey(QImage::fromData(answer.body, "png")) == grey(m_renderer.render(values)));
    }

    void keepAliveAndPipelinedAnswersInOrder() {
        const QStringList first = sheet({u"FIRST"_s});
        const QStringList second = sheet({QString(), u"SECOND"_s});
        WireClient client(m_port);
        // Three requests in one write: the answers must come in request order, although the
        // health check is ready long before the pictures.
        QVERIFY(client.send(getRequest(printTarget(first)) + getRequest("/health") +
                            getRequest(printTarget(second))));
        const WireAnswer a = client.read();
        const WireAnswer b = client.read();
        const WireAnswer c = client.read();
        QCOMPARE(a.status, 200);
        QVERIFY(grey(QImage::fromData(a.body, "png")) == grey(m_renderer.render(first)));
        QCOMPARE(b.body, QByteArray("ok"));
        QVERIFY(grey(QImage::fromData(c.body, "png")) == grey(m_renderer.render(second)));
        // The connection stays open for more.
        QVERIFY(client.send(getRequest("/health")));
        QCOMPARE(client.read().status, 200);
    }

    void strayEmptyLineDoesNotTimeOutAKeptAliveConnection() {
        WireClient client(m_port);
        QVERIFY(client.send(getRequest("/health") + "\r\n"));
        QCOMPARE(client.read().status, 200);
        // Open past the request deadline (1.5 s), within the idle time.
        QVERIFY(!client.waitForClose(1800));
        QVERIFY(client.send(getRequest("/health")));
        QCOMPARE(client.read().status, 200);
    }

    void connectionCloseIsHonoured() {
        WireClient client(m_port);
        QVERIFY(client.send(getRequest("/health", "Connection: close\r\n")));
        QCOMPARE(client.read().status, 200);
        QVERIFY(client.waitForClose(2000));

        WireClient old(m_port);
        QVERIFY(old.send("GET /health HTTP/1.0\r\n\r\n"));
        QCOMPARE(old.read().status, 200);
        QVERIFY(old.waitForClose(2000));
    }

    void clientLeavingDuringARenderIsHarmless() {
        for (int i = 0; i < 8; ++i) {
            WireClient client(m_port);
            QVERIFY(client.send(getRequest(printTarget(numbered(59)))));
        } // closed at once, before the picture is ready
        QCOMPARE(exchange(m_port, getRequest("/health")).status, 200);
    }

    void idleConnectionIsClosed() {
        WireClient idle(m_port);
        QVERIFY(idle.connected());
        QVERIFY(idle.waitForClose(5000));
    }

    void thirtyTwoConcurrentClients() {
        const QByteArray request = getRequest(printTarget(numbered(59)));
        QList<int> clients(32);
        std::iota(clients.begin(), clients.end(), 0);
        QThreadPool pool;
        pool.setMaxThreadCount(int(clients.size()));
        const QList<int> failures = QtConcurrent::blockingMapped(&pool, clients, [&](int) {
            int failed = 0;
            WireClient client(m_port);
            for (int i = 0; i < 3; ++i) {
                if (!client.send(request))
                    return 3 - i + failed;
                const WireAnswer answer = client.read(60000);
                if (answer.status != 200 || !answer.body.startsWith("\x89PNG"))
                    ++failed;
            }
            return failed;
        });
        QCOMPARE(std::accumulate(failures.begin(), failures.end(), 0), 0);
    }

    // Back-pressure: with no room for another render, a print request is answered 503 at once
    // and the connection goes on.
    void busyServiceAnswers503() {
        ServiceLimits limits = testLimits();
        limits.maxRendersInFlight = 0;
        EmbeddedRenderService busy(ReceiptLayout::defaultLayout(), limits);
        WireClient client(quint16(busy.start().port()));
        QVERIFY(client.send(getRequest(printTarget(numbered(59))) + getRequest("/health")));
        const WireAnswer refused = client.read();
        QCOMPARE(refused.status, 503);
        QVERIFY2(refused.body.contains("busy, try again"), refused.body.constData());
        QCOMPARE(client.read().body, QByteArray("ok"));
    }

    void connectionsBeyondTheLimitAreRefused_data() {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("perAddress");
        QTest::addColumn<QString>("thirdFrom");
        QTest::addColumn<bool>("served");
        QTest::newRow("all connections") << 2 << 32 << u"127.0.0.2"_s << false;
        QTest::newRow("one address") << 256 << 2 << u"127.0.0.1"_s << false;
        QTest::newRow("another address") << 256 << 2 << u"127.0.0.2"_s << true;
    }
    void connectionsBeyondTheLimitAreRefused() {
        QFETCH(int, total);
        QFETCH(int, perAddress);
        QFETCH(QString, thirdFrom);
        QFETCH(bool, served);
        ServiceLimits limits = testLimits();
        limits.maxConnections = total;
        limits.maxConnectionsPerAddress = perAddress;
        EmbeddedRenderService small(ReceiptLayout::defaultLayout(), limits);
        const quint16 port = quint16(small.start().port());
        WireClient a(port), b(port);
        QVERIFY(a.send(getRequest("/health")) && b.send(getRequest("/health")));
        QCOMPARE(a.read().status, 200);
        QCOMPARE(b.read().status, 200);
        WireClient c(port, QHostAddress(thirdFrom));
        c.send(getRequest("/health"));
        QCOMPARE(c.read(2000).status, served ? 200 : 0);
        QCOMPARE(c.waitForClose(1000), !served);
    }

    void silentConnectionIsClosedSoonerThanAnIdleOne_data() {
        QTest::addColumn<bool>("answered");
        QTest::newRow("never sent a byte") << false;
        QTest::newRow("kept alive after an answer") << true;
    }
    void silentConnectionIsClosedSoonerThanAnIdleOne() {
        QFETCH(bool, answered);
        ServiceLimits limits = testLimits();
        limits.firstByteTimeout = 500ms;
        EmbeddedRenderService service(ReceiptLayout::defaultLayout(), limits);
        WireClient client(quint16(service.start().port()));
        if (answered) {
            QVERIFY(client.send(getRequest("/health")));
            QCOMPARE(client.read().status, 200);
        }
        QCOMPARE(client.waitForClose(1500), !answered);
        QVERIFY(client.waitForClose(3000));
    }

    // A client that pipelines more requests than are worked on at once waits for its answers
    // instead of being cut off, and its requests do not crowd out another client's.
    void pipelinedRequestsAreAllAnsweredInOrder_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("receipts"); // otherwise /health and a 404 in turn
        QTest::addColumn<int>("queue");
        QTest::newRow("17 receipts") << 17 << true << 256;
        QTest::newRow("200 quick answers") << 200 << false << 256;
        QTest::newRow("40 receipts, room for 8") << 40 << true << 8;
    }
    void pipelinedRequestsAreAllAnsweredInOrder() {
        QFETCH(int, count);
        QFETCH(bool, receipts);
        QFETCH(int, queue);
        ServiceLimits limits = testLimits();
        limits.maxRendersInFlight = queue;
        EmbeddedRenderService service(ReceiptLayout::defaultLayout(), limits);
        const quint16 port = quint16(service.start().port());
        QByteArray requests;
        QByteArrayList expected;
        for (int i = 0; i < count; ++i) {
            QStringList values = numbered(FieldCount);
            values[Field::CheckCode] = QString::number(i);
            const QByteArray quick = i % 2 ? "/x" : "/health";
            requests += getRequest(receipts ? printTarget(values) : quick);
            expected.append(receipts ? m_renderer.renderPng(values)
                                     : QByteArray(i % 2 ? "not found\n" : "ok"));
        }
        WireClient client(port);
        QVERIFY(client.send(requests));
        QCOMPARE(exchange(port, getRequest(printTarget(numbered(FieldCount)))).status, 200);
        for (int i = 0; i < count; ++i)
            QVERIFY2(client.read(30000).body == expected.at(i), qPrintable(QString::number(i)));
    }

    // The receipts of clients that have gone are not drawn.
    void rendersOfClientsThatLeftAreSkipped() {
        static std::atomic<int> skipped{0};
        QLoggingCategory::setFilterRules(u"itinerary.render.debug=true"_s);
        const QtMessageHandler previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
                skipped += text.contains(u"its client has gone"_s) ? 1 : 0;
            });
        {
            std::vector<std::unique_ptr<WireClient>> clients;
            for (int i = 0; i < 20; ++i) {
                clients.push_back(std::make_unique<WireClient>(m_port));
                QVERIFY(clients.back()->send(
                    QByteArray(getRequest(printTarget(numbered(59)))).repeated(3)));
            }
        } // all leave at once
        // Drawn after every receipt queued before it has been drawn or skipped.
        QCOMPARE(exchange(m_port, getRequest(printTarget(numbered(59))), 60000).status, 200);
        qInstallMessageHandler(previous);
        QLoggingCategory::setFilterRules(QString());
        QVERIFY2(skipped >= 30, qPrintable(QString::number(skipped)));
    }

    // A client refused again and again gets one line, and the count of the rest.
    void refusalsAreLoggedOncePerClientAndCounted() {
        static QStringList warnings;
        EmbeddedRenderService service(ReceiptLayout::defaultLayout(), testLimits());
        const quint16 port = quint16(service.start().port());
        const QtMessageHandler previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &, const QString &text) {
                if (type == QtWarningMsg)
                    warnings.append(text);
            });
        for (int i = 0; i < 20; ++i)
            QCOMPARE(exchange(port, "nonsense\r\n\r\n").status, 400);
        service.stop();
        qInstallMessageHandler(previous);
        QCOMPARE(warnings.size(), 2);
        QVERIFY2(warnings.at(0).startsWith(u"refused 127.0.0.1:"_s), qPrintable(warnings.at(0)));
        QCOMPARE(warnings.at(1), u"127.0.0.1: 19 more refusals since its previous line"_s);
    }
};

QTEST_MAIN(TestRenderService)
#include "tst_renderservice.moc"
