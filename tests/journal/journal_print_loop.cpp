// A counter that prints COUNT receipts in a row through the real print job and print journal
// (picture and printer are stand-ins): itinerary's printing without paper, for the tests that
// run several counters at once. Usage: journal_print_loop SETTINGS_FOLDER COUNT TAG
#include "journal/PrintJournal.h"
#include "print/PictureLoader.h"
#include "print/PrintJob.h"
#include "print/PrintPosition.h"
#include "print/ReceiptPrinter.h"
#include "sheet/Clock.h"
#include "sheet/FieldMap.h"
#include "sheet/Itinerary.h"
#include "sheet/Messages.h"

#include <QCoreApplication>

using namespace itinerary;

namespace {
class Picture final : public PictureLoader {
public:
    QByteArray LoadPictureFromUrl(const QString &) override { return "\x89PNG"; }
};
class Paper final : public ReceiptPrinter {
public:
    bool printPicture(const QByteArray &, int, int) override { return true; }
};
} // namespace

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    Itinerary sheet;
    PrintPosition position;
    Picture loader;
    Paper printer;
    RecordingMessages messages;
    SystemClock clock;
    PrintJob job(sheet, position, loader, printer, messages, clock);
    PrintJournal journal(JournalSettings::read(args.at(1)), messages);
    job.setRecorder(&journal);
    sheet.setText(Field::RecordCode, QStringLiteral("HX1234"));
    sheet.setText(Field::CheckCode, QStringLiteral("0001"));
    const int count = args.at(2).toInt();
    for (int i = 0; i < count; ++i) {
        sheet.setText(Field::TicketNumber, args.at(3) + QString::number(i));
        job.Command2_Click();
        job.Timer2_Timer();
        QCoreApplication::processEvents();
    }
    return journal.waitUntilSent(30000) ? 0 : 3;
}
