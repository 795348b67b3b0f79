// The receipt picture: drawing and encoding alone (also with values far too long for their
// boxes), request to picture over loopback through the embedded service (median and 99th
// percentile), and receipts per second with 2 and 8 clients at once. Loops are bounded by Google
// Benchmark's iteration counts.
#include "render/EmbeddedRenderService.h"
#include "render/ReceiptRenderer.h"
#include "render/SampleReceipt.h"
#include "sheet/FieldMap.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTcpSocket>
#include <QThread>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <vector>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

QStringList receiptValues() {
    return test::sampleReceiptValues();
}

// The request as the print job sends it.
QByteArray printRequest() {
    const QString query = u"l=0&p=%1&2026-12-07 10:15:02"_s.arg(receiptValues().join(u','));
    return "GET /Print/print.asp?" + query.toUtf8().toPercentEncoding("=&,") +
           " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
}

// A kept-alive connection that sends one request and reads its whole answer, blocking.
class Client final {
public:
    explicit Client(quint16 port) {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_socket.waitForConnected(5000);
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    }
    // The size of the picture, 0 on failure.
    qsizetype get(const QByteArray &request) {
        m_socket.write(request);
        QByteArray buffer;
        qsizetype headerEnd = -1;
        qsizetype length = -1;
        while (true) {
            if (!m_socket.waitForReadyRead(10000))
                return 0;
            buffer += m_socket.readAll();
            if (headerEnd < 0 && (headerEnd = buffer.indexOf("\r\n\r\n")) >= 0) {
                if (!buffer.startsWith("HTTP/1.1 200"))
                    return 0;
                const qsizetype at = buffer.indexOf("Content-Length: ");
                length = buffer.mid(at + 16, buffer.indexOf('\r', at) - at - 16).toLongLong();
            }
            if (headerEnd >= 0 && buffer.size() >= headerEnd + 4 + length)
                return length;
        }
    }

private:
    QTcpSocket m_socket;
};

EmbeddedRenderService &service() {
    static EmbeddedRenderService instance;
    static const bool started = !instance.start().isEmpty();
    if (!started)
        qFatal("the rendering service did not start: %s", qPrintable(instance.errorString()));
    return instance;
}

quint16 servicePort() {
    return quint16(service().baseUrl().port());
}

void BM_DrawAndEncode(benchmark::State &state) {
    const ReceiptRenderer renderer(ReceiptLayout::defaultLayout());
    const QStringList values = receiptValues();
    renderer.renderPng(values); // fonts loaded
    qsizetype size = 0;
    for (auto _ : state)
        size = renderer.renderPng(values).size();
    state.counters["png_bytes"] = double(size);
}
BENCHMARK(BM_DrawAndEncode)->Unit(benchmark::kMillisecond)->Iterations(200);

// The same receipt with every value a thousand characters long, far more than any box shows.
void BM_DrawAndEncodeLongValues(benchmark::State &state) {
    const ReceiptRenderer renderer(ReceiptLayout::defaultLayout());
    QStringList values = receiptValues();
    for (QString &value : values)
        value = (value.isEmpty() ? u"X"_s : value + u' ').repeated(1000).left(1000);
    renderer.renderPng(values); // fonts loaded
    for (auto _ : state)
        benchmark::DoNotOptimize(renderer.renderPng(values).size());
}
BENCHMARK(BM_DrawAndEncodeLongValues)->Unit(benchmark::kMillisecond)->Iterations(100);

void BM_RequestToPicture(benchmark::State &state) {
    const QByteArray request = printRequest();
    Client client(servicePort());
    client.get(request); // warm
    std::vector<double> ms;
    qsizetype size = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        size = client.get(request);
        ms.push_back(clock.nsecsElapsed() / 1e6);
        if (size == 0)
            state.SkipWithError("request failed");
    }
    std::sort(ms.begin(), ms.end());
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
    state.counters["png_bytes"] = double(size);
}
BENCHMARK(BM_RequestToPicture)->Unit(benchmark::kMillisecond)->Iterations(500)->UseRealTime();

// Each iteration: `clients` connections at once, each asking for 20 receipts.
void BM_ReceiptsPerSecond(benchmark::State &state) {
    const int clients = int(state.range(0));
    constexpr int PerClient = 20;
    const QByteArray request = printRequest();
    const quint16 port = servicePort();
    std::atomic<int> done{0};
    std::atomic<int> failed{0};
    for (auto _ : state) {
        std::vector<QThread *> threads;
        for (int c = 0; c < clients; ++c) {
            threads.push_back(QThread::create([&] {
                Client client(port);
                for (int i = 0; i < PerClient; ++i) {
                    if (client.get(request) > 0)
                        ++done;
                    else
                        ++failed;
                }
            }));
            threads.back()->start();
        }
        for (QThread *t : threads) {
            t->wait();
            delete t;
        }
    }
    state.counters["receipts_per_s"] =
        benchmark::Counter(double(done.load()), benchmark::Counter::kIsRate);
    state.counters["failed"] = double(failed.load());
}
BENCHMARK(BM_ReceiptsPerSecond)
    ->Arg(2)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    service().stop();
    return 0;
}
