// The journal from the window: a print attempt of "打印" becomes a row, Ctrl+Shift+J opens the
// journal window, whose filters, reprint, void and CSV export work on both engines.
#include "JournalTestDatabases.h"

#include "app/MainPrint.h"
#include "app/WindowControls.h"
#include "base/Messages.h"
#include "journal/JournalDatabase.h"
#include "journal/JournalEntry.h"
#include "journal/JournalOutbox.h"
#include "journal/PrintJournal.h"
#include "journal/ui/JournalWindow.h"
#include "print/PrintJob.h"
#include "sheet/FieldMap.h"

#include <QAction>
#include <QDateEdit>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSqlQueryModel>
#include <QTableView>
#include <QTemporaryDir>

using namespace itinerary;
using namespace Qt::StringLiterals;
using itinerary::test::ui;

class TestJournalWindow final : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fromTheWindow_data() { test::addEngineRows(); }
    void fromTheWindow() {
        QFETCH(QString, engine);
        QTemporaryDir folder;
        JOURNAL_TEST_DATABASE(address, engine, folder.path());
        Config config;
        config.serviceBaseUrl = u"http://127.0.0.1:9/"_s; // no service: nothing is printed
        config.settingsDirectory = folder.path();
        config.loadTimeoutMs = 2000;
        RecordingMessages messages;
        MainPrintSeams seams;
        seams.messages = &messages;
        MainPrint w(config, seams);
        Itinerary &sheet = w.sheet();
        sheet.setText(Field::Name, u"张三"_s);
        sheet.setText(Field::RecordCode, u"HX1234"_s);
        sheet.setText(Field::TicketNumber, u"784-2101234567"_s);
        sheet.setText(Field::CheckCode, u"0007"_s);
        QTest::mouseClick(ui(w).Command2, Qt::LeftButton);
        QTRY_VERIFY(w.printJob().printEnabled());
        QVERIFY(test::waitUntilSent(w.printJournal(), 10000));
        sheet.setText(Field::Name, u"李四"_s);
        QTest::mouseClick(ui(w).Command2, Qt::LeftButton);
        QTRY_VERIFY(w.printJob().printEnabled());
        QVERIFY(test::waitUntilSent(w.printJournal(), 10000));

        auto *action = w.findChild<QAction *>(u"printJournalAction"_s);
        QCOMPARE(action->shortcut(), QKeySequence(u"Ctrl+Shift+J"_s));
        action->trigger();
        JournalWindow *window = w.journalWindow();
        QVERIFY(window && window->isVisible() && !window->isModal());
        QCOMPARE(window->model()->rowCount(), 2);
        test::control<QLineEdit>(*window, u"nameFilter"_s)->setText(u"张"_s);
        QTest::mouseClick(test::control<QPushButton>(*window, u"searchButton"_s), Qt::LeftButton);
        QCOMPARE(window->model()->rowCount(), 1);
        test::control<QTableView>(*window, u"journalTable"_s)->selectRow(0);

        sheet.setText(Field::CheckCode, u"0042"_s);
        QTest::mouseClick(test::control<QPushButton>(*window, u"loadButton"_s), Qt::LeftButton);
        QCOMPARE(sheet.text(Field::Name), u"张三"_s);
        QCOMPARE(sheet.text(Field::CheckCode), u"0042"_s);

        const QString id = window->selectedEntryId();
        window->askVoidReason = [] { return std::optional<QString>(u"卡纸"_s); };
        QTest::mouseClick(test::control<QPushButton>(*window, u"voidButton"_s), Qt::LeftButton);
        QCOMPARE(window->model()->index(0, 12).data().toString(), u"作废"_s);
        QCOMPARE(window->model()->index(0, 13).data().toString(), u"卡纸"_s);

        const QString csv = folder.filePath(u"out.csv"_s);
        window->askCsvPath = [&](const QString &) { return std::optional<QString>(csv); };
        // Written off the window's thread.
        QSignalSpy exported(window, &JournalWindow::exportFinished);
        QTest::mouseClick(test::control<QPushButton>(*window, u"exportButton"_s), Qt::LeftButton);
        QVERIFY(exported.wait(10000));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count("\r\n"), 2);
        QVERIFY(bytes.contains(u",作废,卡纸,"_s.toUtf8()));
        QVERIFY(bytes.contains(id.toUtf8()));
        QCOMPARE(messages.shown().size(), 3); // the two prints', the export's
    }

    // A row an earlier run kept back reaches the database once the window has been painted;
    // until then the window has not opened the database (it would hold up the first paint).
    void keptRowsAreSentOnceTheWindowIsUp_data() { test::addEngineRows(); }
    void keptRowsAreSentOnceTheWindowIsUp() {
        QFETCH(QString, engine);
        QTemporaryDir folder;
        JOURNAL_TEST_DATABASE(address, engine, folder.path());
        PrintAttempt attempt;
        attempt.time = QDateTime::currentDateTime();
        attempt.fieldValues = QStringList(59, u"张三"_s);
        QVERIFY((*JournalOutbox::open(JournalSettings::read(folder.path()).outboxPath))
                    ->add(JournalEntry::fromAttempt(attempt, u"柜台"_s)));
        QString error;
        Config config;
        config.serviceBaseUrl = u"http://127.0.0.1:9/"_s;
        config.settingsDirectory = folder.path();
        RecordingMessages messages;
        MainPrint w(config, MainPrintSeams{&messages, nullptr, nullptr});
        QVERIFY(address->isServer() || !QFile::exists(address->sqlitePath));
        w.show();
        QTRY_COMPARE_WITH_TIMEOUT(
            [&] {
                auto db = test::openJournal(*address, JournalDatabase::Access::ReadOnly, &error);
                return db && db->hasTables() ? db->count().value_or(-1) : -1;
            }(),
            qint64(1), 10000);
        QVERIFY(messages.shown().isEmpty());
    }
};

QTEST_MAIN(TestJournalWindow)
#include "tst_journalwindow.moc"
