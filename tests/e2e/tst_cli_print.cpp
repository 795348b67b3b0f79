// itinerary-cli print as an agent's script runs it: a group booking printed receipt by
// receipt through the real print path, the lines it reports, and the ways it refuses.
#include "PrintedPages.h"
#include "PrintedPdf.h"
#include "TestPaths.h"
#include "render/Ink.h"

#include "journal/JournalDatabase.h"
#include "journal/JournalTestDatabases.h"
#include "render/ReceiptRenderer.h"
#include "sheet/FieldMap.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

using namespace itinerary;
using namespace itinerary::test;
using namespace Qt::StringLiterals;

namespace {

const QString Cli = QStringLiteral(ITINERARY_BINARY_DIR "/tools/itinerary-cli/itinerary-cli");
const QString NoPicture = u"打印服务没有返回图片，未打印"_s;

struct Run {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

// The tool with its settings in `configHome` (never a real user's), run while this process
// keeps its event loop turning, so that a server of the test can answer it.
Run runCli(const QStringList &arguments, const QString &configHome, const QByteArray &input = {},
           const QList<QPair<QString, QString>> &extraEnvironment = {}) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"XDG_CONFIG_HOME"_s, configHome);
    for (const auto &[name, value] : extraEnvironment)
        environment.insert(name, value);
    process.setProcessEnvironment(environment);
    process.start(Cli, QStringList{u"print"_s} + arguments);
    if (!process.waitForStarted(10000))
        return Run{};
    process.write(input);
    process.closeWriteChannel();
    const QDeadlineTimer deadline(120000);
    while (process.state() != QProcess::NotRunning && !deadline.hasExpired())
        QTest::qWait(20);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
        return Run{};
    }
    return Run{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
               process.readAllStandardOutput(), process.readAllStandardError()};
}

QByteArray readBytes(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

void writeBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The agency's settings as the window saved them (GBK, CR LF, no final line break): 5 mm
// right, 3 mm down.
QByteArray agencySettings() {
    QStringEncoder gbk("GB18030");
    return gbk.encode(u"<setup>\r\n<leftr>5</leftr>\r\n<topb>3</topb>\r\n"
                      "<companycode>08312345</companycode>\r\n"
                      "<companynumber>12345678</companynumber>\r\n"
                      "<companyname>北京华夏旅行社</companyname>\r\n</setup>"_s);
}

// The two passengers' e-ticket numbers, new on every call, so that the printed pages are
// found by title among any others.
QStringList uniqueTickets() {
    static int calls = 0;
    const qint64 base = (QDateTime::currentMSecsSinceEpoch() % 100000000) * 100 + 2 * calls++;
    return {u"784-%1"_s.arg(base % 10000000000LL, 10, 10, QLatin1Char('0')),
            u"784-%1"_s.arg((base + 1) % 10000000000LL, 10, 10, QLatin1Char('0'))};
}

// The two-passenger booking display with these e-ticket numbers: 张三 (P1), 李四 (P2).
QByteArray twoPassengerBooking(const QStringList &tickets) {
    QByteArray text =
        readBytes(QStringLiteral(ITINERARY_TEST_DATA_DIR "/bookings/two_passengers_one_line.txt"));
    text.replace("784-2101234567", tickets.at(0).toLatin1());
    text.replace("784-2101234568", tickets.at(1).toLatin1());
    return text;
}

// A port on which nothing listens.
quint16 closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// Answers the first request with a receipt picture and then stops listening: the service
// of a batch that goes down after the first receipt.
class OneShotService final : public QObject {
public:
    OneShotService() {
        QStringList values(FieldCount);
        values[Field::Name] = u"张三"_s;
        m_png = ReceiptRenderer(ReceiptLayout::defaultLayout()).renderPng(values);
        connect(&m_server, &QTcpServer::newConnection, this, &OneShotService::answer);
        m_server.listen(QHostAddress::LocalHost, 0);
    }
    QString baseUrl() const { return u"http://127.0.0.1:%1/"_s.arg(m_server.serverPort()); }

private:
    void answer() {
        QTcpSocket *socket = m_server.nextPendingConnection();
        m_server.close();
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_request += socket->readAll();
            if (!m_request.contains("\r\n\r\n"))
                return;
            socket->write("HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\n"
                          "Content-Length: " +
                          QByteArray::number(m_png.size()) + "\r\n\r\n" + m_png);
            socket->disconnectFromHost();
        });
    }

    QTcpServer m_server;
    QByteArray m_png;
    QByteArray m_request;
};

qint64 inkIn(const Ink &ink, const QPointF &origin, int field) {
    return ink.inside(fieldBoxOnPage(origin, field, 3));
}

} // namespace

class TestCliPrint final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QFile::exists(Cli), qPrintable(Cli));
        if (!haveDefaultPrinter())
            QFAIL("no default printer: start CUPS with the PDF queue (scripts/common.sh)");
    }

    // Settings from the user's file, the left offset from the command line, the check code
    // advanced from 0042 to 0043, one page per passenger with its own values.
    void printsOneReceiptPerPassenger() {
        QTemporaryDir home;
        const QString iniPath = home.filePath(u"itinerary/itinerary/info.ini"_s);
        writeBytes(iniPath, agencySettings());
        const QStringList tickets = uniqueTickets();
        const QString bookingPath = home.filePath(u"booking.txt"_s);
        writeBytes(bookingPath, twoPassengerBooking(tickets));

        const Run run =
            runCli({u"--check-code"_s, u"0042"_s, u"--left"_s, u"2"_s, bookingPath}, home.path());
        PdfCleanup cleanup;
        QVERIFY(waitForIdleQueue());
        cleanup.addAll(pdfsNamed({tickets.at(0)}) + pdfsNamed({tickets.at(1)}));
        // Nothing of ours on standard error (Qt may warn about the environment there).
        QVERIFY2(!run.err.contains("itinerary-cli:"), run.err.constData());
        QCOMPARE(QString::fromUtf8(run.out),
                 u"1\t张三\t%1\t0042\n2\t李四\t%2\t0043\n"_s.arg(tickets.at(0), tickets.at(1)));
        QVERIFY2(run.exitCode == 0, run.err.constData());
        // Read, never written: the tool leaves the agency's file as it found it.
        QCOMPARE(readBytes(iniPath), agencySettings());
        // Beside it, only the print journal, with a row for each page.
        QCOMPARE(QDir(QFileInfo(iniPath).absolutePath()).entryList(QDir::Files),
                 QStringList({u"info.ini"_s, u"journal.sqlite"_s}));
        QString error;
        auto journal = test::openJournal(
            DatabaseAddress::sqliteFile(home.filePath(u"itinerary/itinerary/journal.sqlite"_s)),
            JournalDatabase::Access::ReadOnly, &error);
        QVERIFY2(journal, qPrintable(error));
        const QList<JournalEntry> rows = journal->entries({}).value();
        QCOMPARE(rows.size(), 2);
        QVERIFY(rows.at(1).printed && rows.at(1).checkCode == u"0043"_s);
        QCOMPARE(rows.at(1).ticketNumber, tickets.at(1));

        QList<QImage> pages;
        for (int n = 0; n < 2; ++n) {
            QTemporaryDir scratch;
            const QString pdf = waitForPdf(tickets.at(n) + u"*004%1"_s.arg(2 + n));
            QVERIFY2(!pdf.isEmpty(), qPrintable(tickets.at(n)));
            const QList<QImage> printed = pdfPages(pdf, scratch.path());
            QCOMPARE(printed.size(), 1);
            pages.append(printed.first());
        }

        // 2 mm right (113 twips) from the command line, 3 mm down (170 twips) from the file.
        const QPointF origin = receiptOrigin(113, 170);
        const QList<int> filled{Field::Name,         Field::IdNumber,  Field::RecordCode,
                                Field::TicketNumber, Field::CheckCode, Field::AgentCode,
                                Field::IssuingUnit,  Field::IssueDate, Field::CompanyNumber};
        const QList<int> empty{Field::Notice, segmentField(3, SegmentColumn::Flight)};
        for (const QImage &page : std::as_const(pages)) {
            const Ink ink(page);
            qint64 inBoxes = 0;
            for (const FieldPlacement &placement : ReceiptLayout::defaultLayout().fields())
                inBoxes += inkIn(ink, origin, placement.index);
            for (int field : filled)
                QVERIFY2(inkIn(ink, origin, field) >= 40, qPrintable(QString::number(field)));
            for (int field : empty)
                QVERIFY2(inkIn(ink, origin, field) == 0, qPrintable(QString::number(field)));
            QVERIFY2(
                ink.total() - inBoxes <= ink.total() / 100,
                qPrintable(u"%1 of %2 dark pixels outside the boxes"_s.arg(ink.total() - inBoxes)
                               .arg(ink.total())));
        }
        // Each page has its passenger and its check code; the agency is the same on both.
        const auto crop = [&origin](const QImage &page, int field) {
            return page.copy(fieldBoxOnPage(origin, field, 3));
        };
        QVERIFY(crop(pages.at(0), Field::Name) != crop(pages.at(1), Field::Name));
        QVERIFY(crop(pages.at(0), Field::CheckCode) != crop(pages.at(1), Field::CheckCode));
        QVERIFY(crop(pages.at(0), Field::IssuingUnit) == crop(pages.at(1), Field::IssuingUnit));
    }

    // Every entry of the list gets a receipt of its own: the child and the infant each with
    // its own fare; every member of a tour group with their own passport and ticket.
    void everyEntryGetsItsOwnReceipt_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QString>("ticketPrefix"); // the fixture's tickets: this, then 1, 2...
        QTest::addColumn<int>("distinctField");
        QTest::newRow("adult, child and infant")
            << u"family_fares.txt"_s
            << QStringList{u"ZHANG/SAN"_s, u"ZHANG/XIAOMING CHD"_s, u"ZHANG/XIAOBAO INF"_s}
            << QStringList{u"110101198001011234"_s, u"110101201501015678"_s, QString()}
            << u"999-210000000"_s << int(Field::Total);
        QTest::newRow("tour group")
            << u"group_tour.txt"_s
            << u"CHEN/JIANGUO CHEN/XIULAN DENG/HAIBO FANG/LIJUAN GAO/ZHIQIANG GUO/MEIHUA "
               "HE/JUNJIE HU/YUFEN"_s.split(u' ')
            << u"EA1000001 EA1000002 EA1000003 EA1000004 EA1000005 EA1000006 EA1000007 "
               "EA1000008"_s.split(u' ')
            << u"781-24001000"_s << int(Field::IdNumber);
    }
    void everyEntryGetsItsOwnReceipt() {
        QFETCH(QString, file);
        QFETCH(QStringList, names);
        QFETCH(QStringList, ids);
        QFETCH(QString, ticketPrefix);
        QFETCH(int, distinctField);
        QTemporaryDir home;
        QStringList tickets;
        QByteArray booking = readBytes(QStringLiteral(ITINERARY_TEST_DATA_DIR "/bookings/") + file);
        for (int n = 1; n <= names.size(); ++n) {
            tickets.append(uniqueTickets().first());
            const int width = 14 - int(ticketPrefix.size());
            booking.replace((ticketPrefix + u"%1"_s.arg(n, width, 10, QLatin1Char('0'))).toLatin1(),
                            tickets.last().toLatin1());
        }
        const Run run = runCli({u"--check-code"_s, u"0042"_s, u"-"_s}, home.path(), booking);
        PdfCleanup cleanup;
        QVERIFY(waitForIdleQueue());
        for (const QString &ticket : std::as_const(tickets))
            cleanup.addAll(pdfsNamed({ticket}));
        QCOMPARE(run.out.count('\n'), names.size());
        QVERIFY2(run.exitCode == 0, run.err.constData());

        // Each receipt's row in the journal: its own passenger, identity number and ticket.
        auto journal = JournalDatabase::open(
            DatabaseAddress::sqliteFile(home.filePath(u"itinerary/itinerary/journal.sqlite"_s)),
            JournalDatabase::Access::ReadOnly);
        QVERIFY2(journal, qPrintable(journal.error()));
        const Result<QList<JournalEntry>> read = (*journal)->entries({});
        QVERIFY2(read, qPrintable(read.error()));
        const QList<JournalEntry> &rows = read.value();
        QCOMPARE(rows.size(), names.size());
        QList<QImage> crops;
        for (int n = 0; n < names.size(); ++n) {
            const JournalEntry &row = rows.at(n);
            QCOMPARE(QStringList({row.passengerName, row.fieldValues.at(Field::IdNumber),
                                  row.ticketNumber, row.checkCode}),
                     QStringList({names.at(n), ids.at(n), tickets.at(n),
                                  u"%1"_s.arg(42 + n, 4, 10, QLatin1Char('0'))}));
            QTemporaryDir scratch;
            const QList<QImage> pages =
                pdfPages(waitForPdf(tickets.at(n) + u"*"_s + row.checkCode), scratch.path());
            QCOMPARE(pages.size(), 1);
            crops.append(pages.first().copy(fieldBoxOnPage(receiptOrigin(0, 0), distinctField, 3)));
            QVERIFY(n == 0 || crops.at(n) != crops.at(n - 1));
        }
    }

    // The service goes down after the first receipt: that line stays, the batch stops with
    // the job's message, and the second form keeps the check code it was not printed with.
    void stopsAtTheFirstFailure() {
        QTemporaryDir home;
        OneShotService service;
        const QStringList tickets = uniqueTickets();
        const Run run =
            runCli({u"--service"_s, service.baseUrl(), u"--check-code"_s, u"0042"_s, u"-"_s},
                   home.path(), twoPassengerBooking(tickets));
        PdfCleanup cleanup;
        QVERIFY(waitForIdleQueue());
        const QStringList first = pdfsNamed({tickets.at(0), u"0042"_s});
        cleanup.addAll(pdfsNamed({tickets.at(0)}) + pdfsNamed({tickets.at(1)}));
        QCOMPARE(QString::fromUtf8(run.out), u"1\t张三\t%1\t0042\n"_s.arg(tickets.at(0)));
        QVERIFY2(run.err.contains(NoPicture.toUtf8()), run.err.constData());
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(first.size(), 1);
        QCOMPARE(pdfsNamed({tickets.at(1)}), QStringList());
    }

    // No print system to reach: the picture is rendered, the tick finds no printer, and the
    // batch stops before its first line.
    void noPrinterStopsBeforeTheFirstLine() {
        QTemporaryDir home;
        const QStringList tickets = uniqueTickets();
        const Run run = runCli({u"--check-code"_s, u"0042"_s, u"-"_s}, home.path(),
                               twoPassengerBooking(tickets),
                               {{u"CUPS_SERVER"_s, home.filePath(u"no-print-system"_s)}});
        QVERIFY2(run.err.contains(u"没有可用的默认打印机"_s.toUtf8()), run.err.constData());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.exitCode, 1);
    }

    void failuresPrintNothing_data() {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("booking");
        QTest::addColumn<QByteArray>("layout"); // beside the settings file, when not empty
        QTest::addColumn<QString>("message");
        const QString down = u"http://127.0.0.1:%1/"_s.arg(closedPort());
        // clang-format off
        QTest::newRow("service down")    << QStringList{u"--service"_s, down, u"--check-code"_s, u"0042"_s} << true  << QByteArray() << NoPicture;
        QTest::newRow("no check code")   << QStringList{}                                                  << true  << QByteArray() << u"请填写验证码!"_s;
        QTest::newRow("check code word") << QStringList{u"--check-code"_s, u"ABCD"_s}                     << true  << QByteArray() << u"验证码不正确"_s;
        QTest::newRow("offset not mm")   << QStringList{u"--check-code"_s, u"0042"_s, u"--top"_s, u"x"_s} << true  << QByteArray() << u"打印位置不正确"_s;
        QTest::newRow("no segment")      << QStringList{u"--check-code"_s, u"0042"_s}                     << false << QByteArray() << u"没有找到航段信息"_s;
        QTest::newRow("broken layout")   << QStringList{u"--check-code"_s, u"0042"_s}                     << true  << QByteArray("{") << u"layout.json: not JSON"_s;
        // clang-format on
    }

    // The job's own message (or why the job could not start) on standard error, exit 1, no
    // line and no page.
    void failuresPrintNothing() {
        QFETCH(QStringList, options);
        QFETCH(bool, booking);
        QFETCH(QByteArray, layout);
        QFETCH(QString, message);
        QTemporaryDir home;
        if (!layout.isEmpty())
            writeBytes(home.filePath(u"itinerary/itinerary/layout.json"_s), layout);
        const QStringList tickets = uniqueTickets();
        const QString bookingPath = home.filePath(u"booking.txt"_s);
        writeBytes(bookingPath,
                   booking ? twoPassengerBooking(tickets) : QByteArray(" 1.WANG/XIAOMING\r\n"));
        const Run run = runCli(options + QStringList{bookingPath}, home.path());
        PdfCleanup cleanup;
        QVERIFY(waitForIdleQueue());
        const QStringList printed = pdfsNamed({tickets.at(0)}) + pdfsNamed({tickets.at(1)});
        cleanup.addAll(printed);
        QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(printed, QStringList());
    }

    void usageErrors_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        const QString booking =
            QStringLiteral(ITINERARY_TEST_DATA_DIR "/bookings/two_passengers_one_line.txt");
        // clang-format off
        QTest::newRow("no file")          << QStringList{}                                         << u"FILE"_s;
        QTest::newRow("two files")        << QStringList{booking, booking}                         << u"one booking FILE"_s;
        QTest::newRow("unknown option")   << QStringList{u"--copies"_s, u"2"_s, booking}           << u"Unknown option 'copies'."_s;
        QTest::newRow("value missing")    << QStringList{booking, u"--check-code"_s}               << u"Missing value after '--check-code'."_s;
        QTest::newRow("not http")         << QStringList{u"--service=ftp://127.0.0.1/"_s, booking} << u"not an http address"_s;
        QTest::newRow("relative service") << QStringList{u"--service"_s, u"Print/"_s, booking}     << u"not an http address"_s;
        QTest::newRow("missing file")     << QStringList{u"/nonexistent/booking.txt"_s}            << u"cannot read"_s;
        // clang-format on
    }

    // Exit 2 before anything is sent or printed.
    void usageErrors() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir home;
        const Run run = runCli(arguments, home.path());
        QVERIFY2(run.err.contains(message.toUtf8()), run.err.constData());
        QCOMPARE(run.out, QByteArray());
        QCOMPARE(run.exitCode, 2);
    }
};

QTEST_MAIN(TestCliPrint)
#include "tst_cli_print.moc"
