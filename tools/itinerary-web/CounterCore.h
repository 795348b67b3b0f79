#pragma once

#include "print/PrintRecorder.h"
#include "render/ReceiptRenderer.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace itinerary {
class Itinerary;
class Messages;
class PrintDesk;
class ReceiptPrinter;
} // namespace itinerary

namespace itinerary::web {

// How a print run ended: every attempt the print job accounted for, in order, and whether
// the run stopped at a receipt it could not print (with the job's message).
struct PrintOutcome {
    QList<PrintAttempt> attempts;
    int printed = 0;
    bool failed = false;
    QString message;
};

// The application core as the web counter uses it, per request. The desk, built once as the
// window builds its own, gives what every counter shares: the import with the agency's code
// tables and the clock, the receipt layout (the agency's layout.json, else the default). Per
// request this adds what the window has once: a print job with its checks and check code
// over the request's sheet, the group's steps, the copy, each drawing the receipt in this
// process with the desk's layout. Each call works on a sheet of its own request; the object
// and the desk are only read, by every thread.
class CounterCore final {
public:
    explicit CounterCore(const PrintDesk &desk);

    const ReceiptLayout &layout() const { return m_renderer->layout(); }

    void importBookingDisplay(const QString &text, Itinerary &sheet, Messages &messages) const;

    // How many receipts a print of the sheet makes: one, or one per passenger-list entry.
    static int receiptCount(const Itinerary &sheet, bool everyEntry);

    // Prints the sheet (or every entry of its passenger list, as "全部打印…" does) through
    // the print job, at the given offsets, on `printer`. The sheet's check code (field 35)
    // must hold the first code; the job advances it as it prints.
    PrintOutcome print(Itinerary &sheet, const QString &leftOffsetMm, const QString &topOffsetMm,
                       ReceiptPrinter &printer, bool everyEntry) const;

    // The receipt picture a print of the sheet would send, as a PNG; empty when none.
    QByteArray previewPng(Itinerary &sheet) const;
    // The marked A4 copy (every entry with `everyEntry`); nothing, with `error`, on failure.
    std::optional<QByteArray> copyPdf(Itinerary &sheet, bool everyEntry, QString *error) const;
    // The calibration page (every box with its number, millimetre rulers) at the offsets.
    QByteArray calibrationPdf(int leftTwips, int topTwips) const;

private:
    const PrintDesk &m_desk;
    std::shared_ptr<const ReceiptRenderer> m_renderer;
};

} // namespace itinerary::web
