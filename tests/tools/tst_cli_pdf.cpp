// itinerary-cli pdf as a script runs it: a copy of the booking's receipts through the
// embedded rendering service, read back with pdfinfo, and the ways it refuses.
#include "PrintedPdf.h"
#include "TestPaths.h"

#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString Cli = QStringLiteral(ITINERARY_BINARY_DIR "/tools/itinerary-cli/itinerary-cli");
const QString Booking =
    QStringLiteral(ITINERARY_TEST_DATA_DIR "/bookings/two_passengers_one_line.txt");

quint16 closedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}
} // namespace

class TestCliPdf final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void copies_data() {
        QTest::addColumn<QStringList>("arguments"); // OUT: a file in the working directory
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("file"); // written in the working directory; empty: none
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("error");
        const QString down = u"http://127.0.0.1:%1/"_s.arg(closedPort());
        // clang-format off
        QTest::newRow("the first passenger") << QStringList{u"--out"_s, u"OUT"_s, Booking}            << 0 << u"out.pdf"_s         << 1 << QString();
        QTest::newRow("every passenger")     << QStringList{Booking, u"--all"_s, u"--out=OUT"_s}      << 0 << u"out.pdf"_s         << 2 << QString();
        QTest::newRow("default name")        << QStringList{u"--all"_s, Booking}                      << 0 << u"HXYZ12-张三.pdf"_s << 2 << QString();
        QTest::newRow("service down")        << QStringList{u"--service"_s, down, u"--out"_s, u"OUT"_s, Booking} << 1 << QString() << 0
                                             << u"打印服务没有返回图片，未保存PDF"_s;
        QTest::newRow("no booking")          << QStringList{u"--all"_s}                               << 2 << QString() << 0 << u"BOOKING-FILE"_s;
        QTest::newRow("two bookings")        << QStringList{Booking, Booking}                         << 2 << QString() << 0 << u"one BOOKING-FILE"_s;
        QTest::newRow("unknown option")      << QStringList{u"--copies"_s, Booking}                   << 2 << QString() << 0 << u"copies"_s;
        QTest::newRow("out without a name")  << QStringList{Booking, u"--out"_s}                      << 2 << QString() << 0 << u"out"_s;
        QTest::newRow("not http")            << QStringList{u"--service=ftp://127.0.0.1/"_s, Booking} << 2 << QString() << 0 << u"not an http address"_s;
        QTest::newRow("missing booking")     << QStringList{u"/nonexistent/booking.txt"_s}            << 2 << QString() << 0 << u"cannot read"_s;
        // clang-format on
    }
    void copies() {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, file);
        QFETCH(int, pages);
        QFETCH(QString, error);
        QTemporaryDir work;
        arguments.replaceInStrings(u"OUT"_s, work.filePath(u"out.pdf"_s));
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(u"XDG_CONFIG_HOME"_s, work.filePath(u"config"_s));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(work.path());
        process.start(Cli, QStringList{u"pdf"_s} + arguments);
        QVERIFY(process.waitForFinished(60000));
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(error.isEmpty() ? !err.contains(u"itinerary-cli:"_s) : err.contains(error),
                 qPrintable(err));
        QCOMPARE(process.exitCode(), exitCode);
        const QStringList written = QDir(work.path()).entryList({u"*.pdf"_s}, QDir::Files);
        QCOMPARE(written, file.isEmpty() ? QStringList() : QStringList{file});
        if (file.isEmpty())
            return;
        QVERIFY(QString::fromUtf8(process.readAllStandardOutput()).endsWith(file + u'\n'));
        const QString info = itinerary::test::runTool(u"pdfinfo"_s, {work.filePath(file)});
        QVERIFY2(info.contains(u"Pages:           %1\n"_s.arg(pages)), qPrintable(info));
        QVERIFY2(info.contains(u"842 x 595 pts (A4)"_s), qPrintable(info));
        // The passenger's data: readable by its owner only, whatever the umask.
        QCOMPARE(int(QFile::permissions(work.filePath(file)) & 0x0077), 0);
    }
};

QTEST_GUILESS_MAIN(TestCliPdf)
#include "tst_cli_pdf.moc"
