// Group printing from the window: "全部打印…" for a booking of 30 passengers through the
// embedded rendering service to the default printer, timed from the menu action to the last
// job handed to the print system (the run's end). The 100 ms between each request and its
// print make about 3 s the floor. Run it with the CUPS-PDF queue as the default printer; the
// queue's PDFs of each run are removed once the queue is idle, outside the timing.
// And "另存为PDF…" with "全部旅客" for the same booking, timed from the file dialog's accept
// to the finished file.
#include "app/Config.h"
#include "app/MainPrint.h"
#include "base/Clock.h"
#include "base/Messages.h"
#include "print/GroupPrint.h"
#include "print/ui/QtReceiptPrinter.h"
#include "textimport/BookingDisplayImport.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>

using namespace itinerary;
using namespace Qt::StringLiterals;

namespace {

constexpr int Passengers = 30;

// A booking display naming 30 passengers, each with a ticket, on one flight.
QString groupBooking() {
    QString names;
    QString tickets;
    for (int i = 1; i <= Passengers; ++i) {
        const QString name =
            u"LI/%1%2"_s.arg(QChar(u'A' + (i - 1) / 26)).arg(QChar(u'A' + (i - 1) % 26));
        names += u" %1.%2"_s.arg(i).arg(name);
        tickets += u"%1.TN/999-30000000%2/P%3\r\n"_s.arg(Passengers + 2 + i)
                       .arg(i, 2, 10, QChar(u'0'))
                       .arg(i);
    }
    return names + u" JX8K2P\r\n"_s +
           u"%1.  CA1501 Y   TU15MAY  PEKSHA HK30  0800 1010          E T3T2\r\n"_s.arg(Passengers +
                                                                                        1) +
           u"%1.FN/A/FCNY1130.00/SCNY1130.00/C3.00/TCNY50.00CN/TCNY80.00YQ/ACNY1260.00\r\n"_s.arg(
               Passengers + 2) +
           tickets;
}

bool queueIdle() {
    QProcess lpstat;
    lpstat.start(u"lpstat"_s, {u"-W"_s, u"not-completed"_s, u"-o"_s});
    return lpstat.waitForFinished(60000) && lpstat.exitCode() == 0 &&
           lpstat.readAllStandardOutput().trimmed().isEmpty();
}

// Waits for the queue, then removes the run's PDFs; the number removed.
int removePrinted(const QString &title) {
    for (int i = 0; i < 1200 && !queueIdle(); ++i)
        QThread::msleep(100);
    const QDir pdfs(QDir::homePath() + u"/PDF"_s);
    int removed = 0;
    for (const QString &name : pdfs.entryList({u"*"_s + title + u"*.pdf"_s}, QDir::Files))
        removed += QFile::remove(pdfs.filePath(name)) ? 1 : 0;
    return removed;
}

void BM_GroupOf30ToTheQueue(benchmark::State &state) {
    QTemporaryDir settings;
    Config config;
    config.settingsDirectory = settings.path();
    RecordingMessages messages;
    QtReceiptPrinter printer;
    MainPrint window(config, MainPrintSeams{&messages, &printer, nullptr, nullptr});
    window.show();
    auto *printAll = window.findChild<QAction *>(u"printAllAction"_s);
    const QString booking = groupBooking();
    int pages = 0;
    for (auto _ : state) {
        const QString title =
            u"itinerary-bench-group-%1"_s.arg(QDateTime::currentMSecsSinceEpoch());
        printer.setJobTitle(title);
        importBookingDisplay(booking, window.sheet(), messages, SystemClock());
        window.sheet().setText(35, u"0001"_s);
        StepsOutcome outcome;
        QEventLoop loop;
        QObject::connect(&window.groupPrint(), &GroupPrint::finished, &loop,
                         [&](const StepsOutcome &ended) {
                             outcome = ended;
                             loop.quit();
                         });
        QElapsedTimer elapsed;
        elapsed.start();
        printAll->trigger();
        loop.exec();
        state.SetIterationTime(double(elapsed.nsecsElapsed()) / 1e9);
        pages += removePrinted(title);
        if (outcome.done != Passengers || !messages.shown().isEmpty()) {
            state.SkipWithError("the group did not print: is CUPS-PDF the default printer?");
            break;
        }
    }
    state.counters["receipts"] = Passengers;
    state.counters["pdf_pages_removed"] = pages;
}

BENCHMARK(BM_GroupOf30ToTheQueue)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_CopyOf30ToPdf(benchmark::State &state) {
    QTemporaryDir settings;
    QTemporaryDir out;
    Config config;
    config.settingsDirectory = settings.path();
    RecordingMessages messages;
    MainPrint window(config, MainPrintSeams{&messages, nullptr, nullptr, nullptr});
    window.show();
    auto *savePdf = window.findChild<QAction *>(u"savePdfAction"_s);
    const QString booking = groupBooking();
    qint64 bytes = 0;
    int run = 0;
    for (auto _ : state) {
        importBookingDisplay(booking, window.sheet(), messages, SystemClock());
        savePdf->trigger();
        auto *files = window.findChild<QFileDialog *>(u"pdfFileDialog"_s);
        const QString path = out.filePath(u"copy-%1.pdf"_s.arg(++run));
        files->selectFile(path);
        files->findChild<QCheckBox *>(u"everyPassenger"_s)->setChecked(true);
        QElapsedTimer elapsed;
        elapsed.start();
        static_cast<QDialog *>(files)->accept();
        // The file appears whole: it is written aside and renamed.
        while (!QFileInfo::exists(path) && messages.shown().isEmpty())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        state.SetIterationTime(double(elapsed.nsecsElapsed()) / 1e9);
        bytes = QFileInfo(path).size();
        if (!messages.shown().isEmpty()) {
            state.SkipWithError(qPrintable(messages.shown().first().text));
            break;
        }
    }
    state.counters["pages"] = Passengers;
    state.counters["pdf_kib"] = double(bytes) / 1024;
}

BENCHMARK(BM_CopyOf30ToPdf)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
