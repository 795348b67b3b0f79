#include "MalformedRequests.h"

#include "ReceiptRequests.h"
#include "base/TextEncoding.h"
#include "render/WireClient.h"

#include <QElapsedTimer>
#include <QThread>

#include <memory>

using namespace Qt::StringLiterals;
using itinerary::test::WireAnswer;
using itinerary::test::WireClient;

namespace itinerary::load {

namespace {

constexpr int CutOff = 0; // no answer: the service closed the connection

struct Case {
    const char *name;
    QByteArray request;
    QList<int> allowed; // statuses; 200 must carry the receipt picture
};

QStringList numbered(int count) {
    QStringList values;
    for (int i = 0; i < count; ++i)
        values.append(QString::number(i));
    return values;
}

// A print request whose field list starts with `fields`, two values, and goes on with the
// empty rest of the sheet's 59.
QByteArray sheet(const QByteArray &fields) {
    return "/Print/print.asp?l=0&p=" + fields + QByteArray(57, ',') + "&t";
}

QList<Case> cases() {
    QByteArray headerFlood;
    for (int i = 0; i < 10'000; ++i)
        headerFlood += "X-Flood-" + QByteArray::number(i) + ": " + QByteArray(20, 'f') + "\r\n";
    const QByteArray megabyte = "/Print/print.asp?l=0&p=" + QByteArray(1024 * 1024, 'A') + "&t";
    const QByteArray gbk = encodeGb18030(u"张三,北京"_s);
    // clang-format off
    return {
        {"no query",                getRequest("/Print/print.asp"), {400}},
        {"no p",                    getRequest("/Print/print.asp?l=0&t"), {400}},
        {"empty query",             getRequest("/Print/print.asp?"), {400}},
        {"58 values",               getRequest(printTarget(numbered(58))), {400}},
        {"60 values",               getRequest(printTarget(numbered(60))), {400}},
        {"bad escape %ZZ",          getRequest("/Print/print.asp?l=0&p=a,%ZZ,b&t"), {400}},
        {"truncated escape %4",     getRequest("/Print/print.asp?l=0&p=a,%4&t"), {400}},
        {"lone percent",            getRequest("/Print/print.asp?l=0&p=100%&t"), {400}},
        {"invalid utf-8 escaped",   getRequest(sheet("%FF%FE%C0%80,x")), {200}},
        {"invalid utf-8 raw",       getRequest(sheet("\xFF\xFE\xC0\x80,x")), {200}},
        {"gbk escaped",             getRequest(sheet(gbk.toPercentEncoding(","))), {200}},
        {"gbk raw",                 getRequest(sheet(gbk)), {200}},
        {"invalid gbk raw",         getRequest(sheet("\x81\x30\xFE\xFF\x80,y")), {200}},
        {"1 MiB request line",      getRequest(megabyte), {414, CutOff}},
        {"flood of headers",        getRequest("/health", false, headerFlood), {431, CutOff}},
        {"1 MiB header",            getRequest("/health", false, "X-Big: " + QByteArray(1024 * 1024, 'b') + "\r\n"), {431, CutOff}},
    };
    // clang-format on
}

QString describe(const WireAnswer &answer) {
    if (answer.status == CutOff)
        return u"cut off"_s;
    QString text = QString::number(answer.status);
    if (answer.status == 200)
        return text + (isReceiptPicture(answer.body) ? u" picture"_s : u" (not the picture)"_s);
    return text + u" \""_s + QString::fromUtf8(answer.body.trimmed().left(60)) + u'"';
}

bool acceptable(const WireAnswer &answer, const QList<int> &allowed) {
    if (!allowed.contains(answer.status))
        return false;
    return answer.status != 200 || isReceiptPicture(answer.body);
}

// One byte a second until the service answers or cuts the connection: it must not wait for
// ever on a client that never finishes its request.
WireAnswer slowClient(quint16 port, qint64 *seconds) {
    QElapsedTimer clock;
    clock.start();
    WireClient client(port);
    const QByteArray request = getRequest("/health");
    WireAnswer answer;
    for (qsizetype sent = 0; sent < request.size() && clock.elapsed() < 30'000; ++sent) {
        if (!client.send(request.mid(sent, 1)))
            break;
        answer = client.read(1000); // the pause between bytes, watching for an answer
        if (answer.status != CutOff || answer.closedByServer)
            break;
    }
    *seconds = clock.elapsed() / 1000;
    return answer;
}

} // namespace

MalformedReport sendMalformedRequests(quint16 port) {
    MalformedReport report;
    WireAnswer slowAnswer;
    qint64 slowSeconds = 0;
    std::unique_ptr<QThread> slow(
        QThread::create([&] { slowAnswer = slowClient(port, &slowSeconds); }));
    slow->start();

    for (const Case &c : cases()) {
        const WireAnswer answer = itinerary::test::exchange(port, c.request, 15'000);
        const QString line = u"%1: %2"_s.arg(QLatin1StringView(c.name), describe(answer));
        report.lines.append(line);
        if (acceptable(answer, c.allowed))
            ++report.passed;
        else
            report.failures.append(line);
    }

    slow->wait();
    const QString line =
        u"one byte a second: %1 after %2 s"_s.arg(describe(slowAnswer)).arg(slowSeconds);
    report.lines.append(line);
    if (acceptable(slowAnswer, {408, CutOff}) && slowSeconds < 20)
        ++report.passed;
    else
        report.failures.append(line);
    return report;
}

bool serviceAnswers(quint16 port, QString *problem) {
    const WireAnswer health = itinerary::test::exchange(port, getRequest("/health"));
    if (health.status != 200 || health.body != "ok") {
        *problem = u"/health: "_s + describe(health);
        return false;
    }
    const WireAnswer picture =
        itinerary::test::exchange(port, getRequest(printTarget(receiptValues(0))));
    if (!acceptable(picture, {200})) {
        *problem = u"print request: "_s + describe(picture);
        return false;
    }
    return true;
}

} // namespace itinerary::load
