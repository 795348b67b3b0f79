// The two programs around the renderer: itinerary-cli render and itinerary-render.
#include "BuildConfig.h"
#include "TestPaths.h"

#include "render/ReceiptRenderer.h"
#include "sheet/FieldMap.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

const QString Cli = QStringLiteral(ITINERARY_BINARY_DIR "/tools/itinerary-cli/itinerary-cli");
const QString Service =
    QStringLiteral(ITINERARY_BINARY_DIR "/tools/itinerary-render/itinerary-render");

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

Run run(const QString &program, const QStringList &arguments, const QByteArray &input = {}) {
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(60000);
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               process.readAllStandardOutput(), process.readAllStandardError()};
}

QStringList sheetValues() {
    QStringList values(FieldCount);
    values[Field::Name] = u"张三"_s;
    values[Field::IdNumber] = u"110101199003078515"_s;
    values[Field::RecordCode] = values[Field::RecordCodeMirror] = u"HX4K2M"_s;
    values[Field::Fare] = u"CNY 1240.00"_s;
    values[Field::CheckCode] = u"0042"_s;
    return values;
}

QByteArray importJson(const QStringList &values) {
    QJsonObject object{{u"fields"_s, QJsonArray::fromStringList(values)},
                       {u"passengers"_s, QJsonArray()},
                       {u"current"_s, 0}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

QImage grey(const QByteArray &png) {
    return QImage::fromData(png, "png").convertToFormat(QImage::Format_Grayscale8);
}

QImage expected(const QStringList &values, bool grid = false,
                const ReceiptLayout &layout = ReceiptLayout::defaultLayout()) {
    return ReceiptRenderer(layout)
        .render(values, RenderOptions{grid})
        .convertToFormat(QImage::Format_Grayscale8);
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes) {
    QFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(file.fileName()));
    return file.fileName();
}

const QByteArray SmallLayout =
    R"({"fields":[{"index":0,"x":150,"y":80,"width":50,"height":10,"align":"right"}]})";

// GET over a plain socket; returns the status line and body.
QPair<QByteArray, QByteArray> get(const QUrl &base, const QByteArray &target) {
    QTcpSocket socket;
    socket.connectToHost(base.host(), quint16(base.port()));
    if (!socket.waitForConnected(5000))
        return {};
    socket.write("GET " + target + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    QByteArray all;
    while (socket.waitForReadyRead(10000))
        all += socket.readAll();
    all += socket.readAll();
    const qsizetype end = all.indexOf("\r\n\r\n");
    return {all.first(std::max<qsizetype>(0, all.indexOf("\r\n"))), all.mid(end + 4)};
}

class RunningService final {
public:
    explicit RunningService(
        const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment(),
        const QString &standardErrorFile = {}) {
        m_process.setProcessEnvironment(environment);
        if (!standardErrorFile.isEmpty())
            m_process.setStandardErrorFile(standardErrorFile);
        m_process.start(Service, arguments);
        if (m_process.waitForReadyRead(20000) || m_process.canReadLine())
            m_firstLine = m_process.readLine().trimmed();
    }
    ~RunningService() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    QByteArray firstLine() const { return m_firstLine; }
    QUrl base() const { return QUrl::fromEncoded(m_firstLine, QUrl::StrictMode); }
    QProcess &process() { return m_process; }

private:
    QProcess m_process;
    QByteArray m_firstLine;
};

} // namespace

class TestRenderTools final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void cliRendersTheImportJsonToAFile() {
        QTemporaryDir dir;
        const QStringList values = sheetValues();
        const QString input = writeFile(dir, u"sheet.json"_s, importJson(values));
        const QString out = dir.filePath(u"receipt.png"_s);
        const Run r = run(Cli, {u"render"_s, u"--out"_s, out, input});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.isEmpty());
        QFile file(out);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(grey(file.readAll()) == expected(values));
    }

    void cliVariants_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<bool>("grid");
        QTest::addColumn<QString>("warning");
        const QStringList values = sheetValues();
        const QByteArray list = QJsonDocument(QJsonArray::fromStringList(values)).toJson();
        QStringList padded = values;
        padded[0] = u"  张三  "_s;
        QTest::newRow("list on stdin") << QStringList() << list << values << false << QString();
        QTest::newRow("object on stdin")
            << QStringList() << importJson(values) << values << false << QString();
        QTest::newRow("international")
            << QStringList{u"--intl"_s} << list << values << false << QString();
        QTest::newRow("grid") << QStringList{u"--grid"_s} << list << values << true << QString();
        QTest::newRow("spaces trimmed like the print job")
            << QStringList() << importJson(padded) << values << false << QString();
        QTest::newRow("58 values") << QStringList() << importJson(values.mid(0, 58))
                                   << values.mid(0, 58) << false << u"58 values instead of 59"_s;
        QTest::newRow("gbk bytes")
            << QStringList() << QByteArray("[\"\xD5\xC5\xC8\xFD\"]") << QStringList{u"张三"_s}
            << false << u"1 values instead of 59"_s;
    }
    void cliVariants() {
        QFETCH(QStringList, options);
        QFETCH(QByteArray, input);
        QFETCH(QStringList, values);
        QFETCH(bool, grid);
        QFETCH(QString, warning);
        const Run r = run(Cli, QStringList{u"render"_s} + options, input);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(grey(r.out) == expected(values, grid));
        if (warning.isEmpty())
            QVERIFY2(!r.err.contains("itinerary-cli:"), r.err.constData());
        else
            QVERIFY2(QString::fromUtf8(r.err).contains(warning), r.err.constData());
    }

    void cliUsesALayoutFile() {
        QTemporaryDir dir;
        const QString layoutPath = writeFile(dir, u"layout.json"_s, SmallLayout);
        const Run r = run(Cli, {u"render"_s, u"--layout"_s, layoutPath}, R"(["右边"])");
        QCOMPARE(r.exitCode, 0);
        const ReceiptLayout layout = *ReceiptLayout::fromJson(SmallLayout);
        QVERIFY(grey(r.out) == expected({u"右边"_s}, false, layout));
    }

    void cliFailures_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("not json")       << QStringList{u"render"_s} << QByteArray("{") << 1 << u"not JSON"_s;
        QTest::newRow("no fields")      << QStringList{u"render"_s} << QByteArray(R"({"x":1})") << 1 << u"\"fields\" list"_s;
        QTest::newRow("number value")   << QStringList{u"render"_s} << QByteArray(R"(["a",5])") << 1 << u"value 1 is not a string"_s;
        QTest::newRow("bad layout")     << QStringList{u"render"_s, u"--layout"_s, u"/nonexistent/layout.json"_s} << QByteArray("[]") << 1 << u"cannot read"_s;
        QTest::newRow("unwritable out") << QStringList{u"render"_s, u"--out"_s, u"/nonexistent/dir/r.png"_s} << QByteArray("[]") << 1 << u"cannot write"_s;
        QTest::newRow("unknown option") << QStringList{u"render"_s, u"--colour"_s} << QByteArray("[]") << 2 << u"Unknown option 'colour'."_s;
        QTest::newRow("out no value")   << QStringList{u"render"_s, u"--out"_s} << QByteArray("[]") << 2 << u"Missing value after '--out'."_s;
        QTest::newRow("two inputs")     << QStringList{u"render"_s, u"a.json"_s, u"b.json"_s} << QByteArray("[]") << 2 << u"unexpected argument: b.json"_s;
        QTest::newRow("flag with value") << QStringList{u"render"_s, u"--grid=1"_s} << QByteArray("[]") << 2 << u"Unexpected value after '--grid'."_s;
        QTest::newRow("unknown command") << QStringList{u"draw"_s} << QByteArray() << 2 << u"unknown command: draw"_s;
        // clang-format on
    }
    void cliFailures() {
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run r = run(Cli, arguments, input);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    }

    void serviceProgramPrintsItsAddressFirstAndServes() {
        RunningService service({u"--listen"_s, u"127.0.0.1:0"_s});
        QVERIFY2(service.firstLine().startsWith("http://127.0.0.1:"), service.firstLine());
        QVERIFY(service.firstLine().endsWith('/'));
        QVERIFY(service.base().port() > 0);
        const auto health = get(service.base(), "/health");
        QVERIFY2(health.first.startsWith("HTTP/1.1 200"), health.first);
        QCOMPARE(health.second, QByteArray("ok"));
        const auto picture = get(service.base(), "/Print/print.asp?l=0&p=%E5%BC%A0%E4%B8%89" +
                                                     QByteArray(58, ',') + "&t");
        QVERIFY(grey(picture.second) == expected({u"张三"_s}));

        // systemd stops it with SIGTERM: a clean exit.
        ::kill(pid_t(service.process().processId()), SIGTERM);
        QVERIFY(service.process().waitForFinished(10000));
        QCOMPARE(service.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(service.process().exitCode(), 0);
    }

    // What the journal gets: start, listen address, refusals with the client's address, stop;
    // a line per answered request only when asked for; priorities when it is the journal.
    void serviceLogsForItsAdministrator_data() {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<bool>("journal");
        QTest::addColumn<bool>("perRequest");
        QTest::newRow("default") << QString() << false << false;
        QTest::newRow("asked for") << u"itinerary.render.debug=true"_s << false << true;
        QTest::newRow("into the journal") << QString() << true << false;
    }
    void serviceLogsForItsAdministrator() {
        QFETCH(QString, rules);
        QFETCH(bool, journal);
        QFETCH(bool, perRequest);
        QTemporaryDir dir;
        const QString logFile = writeFile(dir, u"stderr.log"_s, {});
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"QT_LOGGING_RULES"_s);
        environment.remove(u"JOURNAL_STREAM"_s);
        if (!rules.isEmpty())
            environment.insert(u"QT_LOGGING_RULES"_s, rules);
        struct stat file {};
        QCOMPARE(::stat(QFile::encodeName(logFile).constData(), &file), 0);
        if (journal)
            environment.insert(u"JOURNAL_STREAM"_s,
                               u"%1:%2"_s.arg(quint64(file.st_dev)).arg(quint64(file.st_ino)));
        RunningService service({u"--listen"_s, u"127.0.0.1:0"_s}, environment, logFile);
        QVERIFY(get(service.base(), "/health").first.startsWith("HTTP/1.1 200"));
        QVERIFY(get(service.base(), "/nowhere\xE5?abc").first.startsWith("HTTP/1.1 404"));
        ::kill(pid_t(service.process().processId()), SIGTERM);
        QVERIFY(service.process().waitForFinished(10000));
        QFile read(logFile);
        QVERIFY(read.open(QIODevice::ReadOnly));
        const QByteArray log = '\n' + read.readAll();
        const QByteArray info = journal ? "\n<6>" : "\n";
        QVERIFY2(log.contains(info + "itinerary.render: listening on " + service.firstLine()), log);
        QVERIFY2(
            log.contains((journal ? "\n<4>" : "\n") + QByteArray("itinerary.render: refused ")),
            log);
        QVERIFY2(log.contains(": 404 not found <- GET /nowhere%E5?[3 bytes]\n"), log);
        QVERIFY2(
            log.contains(info + "itinerary.render: stopped listening on " + service.firstLine()),
            log);
        QCOMPARE(log.contains(": 200, 2 bytes <- GET /health"), perRequest);
    }

    void serviceProgramUsesALayoutFile() {
        QTemporaryDir dir;
        const QString layoutPath = writeFile(dir, u"layout.json"_s, SmallLayout);
        RunningService service({u"--layout"_s, layoutPath});
        QVERIFY2(service.firstLine().startsWith("http://127.0.0.1:"), service.firstLine());
        const auto picture =
            get(service.base(), "/Print/print.asp?l=0&p=A,B" + QByteArray(57, ',') + "&t");
        const ReceiptLayout layout = *ReceiptLayout::fromJson(SmallLayout);
        QVERIFY(grey(picture.second) == expected({u"A"_s, u"B"_s}, false, layout));
    }

    void serviceListenAddresses_data() {
        QTest::addColumn<QString>("listen");
        QTest::addColumn<QByteArray>("firstLine");
        QTest::newRow("loopback") << u"127.0.0.1:0"_s << QByteArray("http://127.0.0.1:");
        QTest::newRow("localhost") << u"localhost:0"_s << QByteArray("http://127.0.0.1:");
        QTest::newRow("ipv6") << u"[::1]:0"_s << QByteArray("http://[::1]:");
    }
    void serviceListenAddresses() {
        QFETCH(QString, listen);
        QFETCH(QByteArray, firstLine);
        RunningService service({u"--listen"_s, listen});
        QVERIFY2(service.firstLine().startsWith(firstLine), service.firstLine());
    }

    void serviceRefusals_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        // clang-format off
        QTest::newRow("three-part address") << QStringList{u"--listen"_s, u"1.2.3:80"_s} << 2 << u"ADDR:PORT"_s;
        QTest::newRow("six-digit port")     << QStringList{u"--listen"_s, u"127.0.0.1:000080"_s} << 2 << u"ADDR:PORT"_s;
        QTest::newRow("positional")         << QStringList{u"80"_s} << 2 << u"unexpected argument: 80"_s;
        QTest::newRow("bare ipv6")          << QStringList{u"--listen"_s, u"::1:80"_s} << 2 << u"ADDR:PORT"_s;
        QTest::newRow("port too big")       << QStringList{u"--listen"_s, u"127.0.0.1:70000"_s} << 2 << u"ADDR:PORT"_s;
        QTest::newRow("no value")           << QStringList{u"--layout"_s} << 2 << u"Missing value after '--layout'."_s;
        QTest::newRow("unknown option")     << QStringList{u"--port"_s, u"80"_s} << 2 << u"Unknown option 'port'."_s;
        QTest::newRow("bad layout")         << QStringList{u"--layout"_s, u"/nonexistent.json"_s} << 1 << u"cannot read"_s;
        QTest::newRow("foreign address")    << QStringList{u"--listen"_s, u"192.0.2.1:0"_s} << 1 << u"cannot listen"_s;
        QTest::newRow("no connections")     << QStringList{u"--connections-per-address"_s, u"0"_s} << 2 << u"1 or more"_s;
        // clang-format on
    }
    void serviceRefusals() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run r = run(Service, arguments);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    }

    // Help and version go to standard output with status 0, for each program and command.
    void helpAndVersion_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("mentions");
        // clang-format off
        QTest::newRow("service help")    << Service << QStringList{u"--help"_s}                 << QByteArray("usage: itinerary-render [--listen ADDR:PORT] [--layout FILE]") << QByteArray("--layout <FILE>");
        QTest::newRow("service version") << Service << QStringList{u"--version"_s}              << QByteArray("itinerary-render " ITINERARY_VERSION "\n") << QByteArray();
        QTest::newRow("cli help")        << Cli     << QStringList{u"--help"_s}                 << QByteArray("usage:\n  itinerary-cli codes [CODE...]\n  itinerary-cli import [--today YYYY-MM-DD] [FILE...]\n") << QByteArray("itinerary-cli render");
        QTest::newRow("import help")     << Cli     << QStringList{u"import"_s, u"--help"_s}    << QByteArray("usage: itinerary-cli import [--today YYYY-MM-DD] [FILE...]") << QByteArray("--today <YYYY-MM-DD>");
        QTest::newRow("print help")      << Cli     << QStringList{u"print"_s, u"-h"_s}         << QByteArray("usage: itinerary-cli print [--check-code NNNN]") << QByteArray("--service <URL>");
        QTest::newRow("pdf help")        << Cli     << QStringList{u"pdf"_s, u"--help"_s}       << QByteArray("usage: itinerary-cli pdf [--all] [--out FILE]") << QByteArray("--out <FILE>");
        // clang-format on
    }
    void helpAndVersion() {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, mentions);
        const Run r = run(program, arguments);
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.err, QByteArray());
        QVERIFY2(r.out.startsWith(start), r.out.constData());
        QVERIFY2(r.out.contains(mentions), r.out.constData());
    }
};

QTEST_MAIN(TestRenderTools)
#include "tst_rendertools.moc"
