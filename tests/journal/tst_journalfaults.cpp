// The journal when its database fails: printing goes on, the operator is told once, and
// every row arrives later, none twice.
#include "JournalTestDatabases.h"

#include "base/Clock.h"
#include "base/Messages.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalOutbox.h"
#include "journal/PrintJournal.h"
#include "print/PictureLoader.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptPrinter.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"

#include <QRegularExpression>
#include <QTemporaryDir>

#include <pwd.h>
#include <unistd.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

// One counter: the print job writing to the journal named in `folder`.
struct Counter {
    explicit Counter(const QString &folder)
        : journal(std::make_unique<PrintJournal>(JournalSettings::read(folder), messages)) {
        job.setRecorder(journal.get());
        sheet.setText(Field::RecordCode, u"HX1234"_s);
        sheet.setText(Field::CheckCode, u"0001"_s);
    }
    void print(int count) {
        for (int i = 0; i < count; ++i) {
            sheet.setText(Field::TicketNumber, prefix + QString::number(++printed));
            job.requestPrint();
            job.printArmedReceipt();
        }
    }
    void restart(const QString &folder) {
        job.setRecorder(nullptr);
        journal.reset();
        journal = std::make_unique<PrintJournal>(JournalSettings::read(folder), messages);
        job.setRecorder(journal.get());
    }
    Itinerary sheet;
    PrintPosition position;
    test::AnyPictures loader;
    test::Paper printer;
    RecordingMessages messages;
    SystemClock clock;
    PrintJob job{sheet, position, loader, printer, messages, clock};
    std::unique_ptr<PrintJournal> journal;
    int printed = 0;
    QString prefix = u"784-"_s;
};

// Rows, and rows with distinct e-ticket numbers.
std::pair<qint64, qint64> countRows(const DatabaseAddress &address) {
    QString error;
    auto db = test::openJournal(address, JournalDatabase::Access::ReadOnly, &error);
    QSqlQuery query(db->connection());
    if (!query.exec(u"SELECT COUNT(*), COUNT(DISTINCT ticket_number) FROM print_journal"_s) ||
        !query.next())
        return {-1, -1};
    return {query.value(0).toLongLong(), query.value(1).toLongLong()};
}

// Root writes to any file: the read-only case runs as "nobody" while it lasts.
struct AsNobodyWhenRoot {
    AsNobodyWhenRoot() {
        if (geteuid() != 0)
            return;
        const passwd *nobody = getpwnam("nobody");
        active = nobody && setegid(nobody->pw_gid) == 0 && seteuid(nobody->pw_uid) == 0;
    }
    ~AsNobodyWhenRoot() {
        if (active && (seteuid(0) != 0 || setegid(0) != 0))
            qFatal("cannot become root again");
    }
    bool active = false;
};

struct ServerBackAtEnd { // even when the test fails
    ~ServerBackAtEnd() { test::controlTestServer("ITINERARY_TEST_POSTGRES_START"); }
};
} // namespace

class TestJournalFaults final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void serverStoppedWhileTwentyPrint() {
        QTemporaryDir folder;
        JOURNAL_TEST_DATABASE(address, u"postgresql"_s, folder.path());
        Counter counter(folder.path());
        counter.print(7);
        QVERIFY(test::waitUntilSent(*counter.journal, 10000));
        {
            ServerBackAtEnd serverBack;
            QVERIFY(test::controlTestServer("ITINERARY_TEST_POSTGRES_STOP"));
            counter.print(13);
            QVERIFY(!test::waitUntilSent(*counter.journal, 10000));
            QCOMPARE(counter.printer.pages, 20);
            QCOMPARE(counter.messages.shown().size(), 1);
            QVERIFY2(counter.messages.shown().first().text.startsWith(
                         u"打印记录暂存本机：无法连接记录数据库"_s),
                     qPrintable(counter.messages.shown().first().text));
        }
        counter.restart(folder.path()); // start-up sends what waits
        QVERIFY(test::waitUntilSent(*counter.journal, 20000));
        QCOMPARE(countRows(*address), std::make_pair(qint64(20), qint64(20)));

        // A row that reached the server but was still in the outbox (a crash between the
        // two) is sent again and stored once.
        QString error;
        auto db = test::openJournal(*address, JournalDatabase::Access::ReadOnly, &error);
        const JournalEntry sent = db->entries({}).value().first();
        QVERIFY((*JournalOutbox::open(counter.journal->settings().outboxPath))->add(sent));
        counter.print(1);
        QVERIFY(test::waitUntilSent(*counter.journal, 10000));
        QCOMPARE(countRows(*address), std::make_pair(qint64(21), qint64(21)));
        QCOMPARE(counter.messages.shown().size(), 1);
    }

    void readOnlyFile() {
        QTemporaryDir folder;
        QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7777));
        const DatabaseAddress address =
            DatabaseAddress::sqliteFile(folder.filePath(u"journal.sqlite"_s));
        Counter counter(folder.path());
        counter.print(1);
        counter.journal.reset();
        QVERIFY(QFile::setPermissions(address.sqlitePath, QFileDevice::ReadOwner |
                                                              QFileDevice::ReadGroup |
                                                              QFileDevice::ReadOther));
        {
            AsNobodyWhenRoot nobody;
            counter.restart(folder.path());
            // The operator is told once; the log has a line for each row kept aside.
            for (int i = 0; i < 3; ++i)
                QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^打印记录暂存本机："_s));
            counter.print(3);
            QCOMPARE(counter.printer.pages, 4);
            QCOMPARE(counter.messages.shown().size(), 1);
            QVERIFY2(counter.messages.shown().first().text.startsWith(u"打印记录暂存本机："_s),
                     qPrintable(counter.messages.shown().first().text));
            counter.journal.reset();
        }
        QVERIFY(QFile::setPermissions(address.sqlitePath,
                                      QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QCOMPARE(countRows(address), std::make_pair(qint64(1), qint64(1)));
        counter.restart(folder.path());
        counter.print(1); // the next print brings the kept rows along
        QCOMPARE(countRows(address), std::make_pair(qint64(5), qint64(5)));
        QCOMPARE(counter.messages.shown().size(), 1);
    }

    void threeCountersAtOnce_data() {
        test::addEngineRows(); // the SQLite counters share one file
    }
    // Three processes (this program, as a counter) print 100 receipts each into one database at
    // the same moment.
    void threeCountersAtOnce() {
        QFETCH(QString, engine);
        QTemporaryDir folders[3];
        JOURNAL_TEST_DATABASE(address, engine, folders[0].path());
        const bool server = address->isServer();
        QList<std::shared_ptr<QProcess>> counters;
        for (int n = 0; n < 3; ++n) {
            if (server && n > 0)
                QFile::copy(folders[0].filePath(u"journal.ini"_s),
                            folders[n].filePath(u"journal.ini"_s));
            counters.append(std::make_shared<QProcess>());
            counters.last()->start(
                QCoreApplication::applicationFilePath(),
                {u"--print-loop"_s, folders[server ? n : 0].path(), u"%1-"_s.arg(n)});
        }
        for (const auto &process : std::as_const(counters)) {
            QVERIFY(process->waitForFinished(120000));
            // A locked local file keeps some rows back for the next start.
            QVERIFY2(process->exitCode() == 0 || !server,
                     process->readAllStandardError().constData());
        }
        Counter startUp(folders[0].path());
        QVERIFY(test::waitUntilSent(*startUp.journal, 10000));
        QCOMPARE(countRows(*address), std::make_pair(qint64(300), qint64(300)));
    }
};

// Also a counter of its own for threeCountersAtOnce: --print-loop FOLDER PREFIX prints 100
// receipts into the journal named in FOLDER.
int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    if (argc == 4 && QByteArrayView(argv[1]) == "--print-loop") {
        Counter counter(QString::fromLocal8Bit(argv[2]));
        counter.prefix = QString::fromLocal8Bit(argv[3]);
        counter.print(100);
        return test::waitUntilSent(*counter.journal, 30000) ? 0 : 3;
    }
    TestJournalFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_journalfaults.moc"
