// The verification-site program: its first line of output, its exit statuses and messages.
#include "CaptchaImage.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr int StartTimeoutMs = 30000;

QString program() {
    return QStringLiteral(VERIFICATION_SITE_PROGRAM);
}

QByteArray fetch(QNetworkAccessManager &manager, const QUrl &url, const QByteArray &post = {}) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/x-www-form-urlencoded"_ba);
    std::unique_ptr<QNetworkReply> reply(post.isNull() ? manager.get(request)
                                                       : manager.post(request, post));
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    if (!reply->isFinished() && !finished.wait(10000))
        return QByteArray();
    return reply->readAll();
}

// A running site; stopped when it goes out of scope.
class RunningSite final {
public:
    explicit RunningSite(
        const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment()) {
        m_process.setProcessEnvironment(environment);
        m_process.start(program(), arguments);
    }
    ~RunningSite() {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished(5000);
    }

    // The first line of standard output, without its line end.
    QString firstLine() {
        QDeadlineTimer deadline(StartTimeoutMs);
        while (!m_process.canReadLine() && !deadline.hasExpired() &&
               m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(100);
        }
        return QString::fromUtf8(m_process.readLine()).chopped(1);
    }

private:
    QProcess m_process;
};

struct Finished {
    int exitCode = -1;
    QString out;
    QString err;
};

Finished runToEnd(const QStringList &arguments) {
    QProcess process;
    process.start(program(), arguments);
    Finished f;
    if (!process.waitForFinished(StartTimeoutMs))
        return f;
    f.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    f.out = QString::fromUtf8(process.readAllStandardOutput());
    f.err = QString::fromUtf8(process.readAllStandardError());
    return f;
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(content);
    return path;
}

const QByteArray OneTicket = R"({"tickets": [{"ticketNumber": "8801234567890",
    "passengerName": "赵六", "cities": [{"name": "海口美兰"}, {"name": "三亚凤凰"}],
    "segments": [{"carrier": "海航", "flight": "HU7001"}]}]})";

} // namespace

class TestSiteProcess final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Without any display the program switches itself to the offscreen platform, which the
    // captcha's text drawing needs.
    void printsItsBaseAddressFirstAndAnswers_data() {
        QTest::addColumn<bool>("withPlatform");
        QTest::newRow("offscreen platform set") << true;
        QTest::newRow("no display at all") << false;
    }
    void printsItsBaseAddressFirstAndAnswers() {
        QFETCH(bool, withPlatform);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (!withPlatform) {
            for (const QString &name : {u"QT_QPA_PLATFORM"_s, u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s})
                environment.remove(name);
        }
        RunningSite site({u"--listen"_s, u"127.0.0.1:0"_s, u"--fixed-captcha"_s, u"AB12"_s},
                         environment);
        const QString line = site.firstLine();
        QVERIFY2(
            QRegularExpression(u"^http://127\\.0\\.0\\.1:[1-9][0-9]*/$"_s).match(line).hasMatch(),
            qPrintable(line));
        const QUrl base(line);
        QNetworkAccessManager manager;
        QVERIFY(fetch(manager, base).contains("id=\"eticketNoORIn\""));
        QCOMPARE(fetch(manager, base.resolved(QUrl(u"newsky/servlet/CallYanServlet?1"_s))),
                 itinerary::site::captchaPng(u"AB12"_s));
        const QByteArray page =
            fetch(manager, base.resolved(QUrl(u"verify"_s)),
                  "eticketNoORIn=9992101234567&passengerName=%E7%8E%8B%E5%B0%8F%E6%98%8E"
                  "&randCode=AB12");
        QVERIFY(page.contains("印刷序号"));
    }

    void answersForATicketsFile() {
        QTemporaryDir dir;
        const QString file = writeFile(dir, u"tickets.json"_s, OneTicket);
        RunningSite site(
            {u"--listen=127.0.0.1:0"_s, u"--tickets"_s, file, u"--fixed-captcha=AB12"_s});
        const QUrl base(site.firstLine());
        QVERIFY(base.isValid());
        QNetworkAccessManager manager;
        fetch(manager, base);
        fetch(manager, base.resolved(QUrl(u"newsky/servlet/CallYanServlet?"_s)));
        const QByteArray page = fetch(manager, base.resolved(QUrl(u"verify"_s)),
                                      "eticketNoORIn=8801234567890&passengerName=%E8%B5%B5%E5%85%AD"
                                      "&randCode=AB12");
        QVERIFY(page.contains("HU7001"));
    }

    void helpGoesToStandardOutput() {
        const Finished f = runToEnd({u"--help"_s});
        QCOMPARE(f.exitCode, 0);
        QVERIFY(f.out.startsWith(u"usage: verification-site [--listen ADDR:PORT]"_s));
        QCOMPARE(f.err, QString());
    }

    void usageErrorsExitWithTwo_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("unknown option")
            << QStringList{u"--bogus"_s} << u"Unknown option 'bogus'."_s;
        QTest::newRow("bad address") << QStringList{u"--listen"_s, u"nowhere"_s}
                                     << u"--listen expects ADDR:PORT, not nowhere"_s;
        QTest::newRow("bad captcha")
            << QStringList{u"--fixed-captcha"_s, u"ab12"_s} << u"--fixed-captcha expects four"_s;
        QTest::newRow("missing file")
            << QStringList{u"--tickets"_s, u"@missing@"_s} << u"missing.json: cannot be read"_s;
        QTest::newRow("not JSON") << QStringList{u"--tickets"_s, u"@notjson@"_s}
                                  << u"notjson.json: not valid JSON at byte"_s;
        QTest::newRow("wrong shape")
            << QStringList{u"--tickets"_s, u"@shape@"_s}
            << u"shape.json: ticket 1: \"ticketNumber\" must be 13 digits"_s;
    }
    void usageErrorsExitWithTwo() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir dir;
        writeFile(dir, u"notjson.json"_s, "{\"tickets\": [");
        writeFile(dir, u"shape.json"_s, QByteArray(OneTicket).replace("8801234567890", "88012"));
        for (QString &argument : arguments) {
            if (argument.startsWith(u'@'))
                argument = dir.filePath(argument.mid(1, argument.size() - 2) + u".json"_s);
        }
        const Finished f = runToEnd(arguments);
        QCOMPARE(f.exitCode, 2);
        QCOMPARE(f.out, QString()); // no base address: nothing is listening
        QVERIFY2(f.err.startsWith(u"verification-site: "_s), qPrintable(f.err));
        QVERIFY2(f.err.contains(message), qPrintable(f.err));
    }

    void busyPortExitsWithOne() {
        QTcpServer taken;
        QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
        const Finished f = runToEnd({u"--listen"_s, u"127.0.0.1:%1"_s.arg(taken.serverPort())});
        QCOMPARE(f.exitCode, 1);
        QCOMPARE(f.out, QString());
        QVERIFY2(f.err.contains(u"verification-site: cannot listen on 127.0.0.1 port %1"_s.arg(
                     taken.serverPort())),
                 qPrintable(f.err));
    }
};

QTEST_MAIN(TestSiteProcess)
#include "tst_siteprocess.moc"
