#pragma once

#include "print/PrintRecorder.h"
#include "render/ReceiptRenderer.h"
#include "textimport/CodeTables.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

namespace itinerary {
class Itinerary;
class Messages;
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

// The product's core as the web counter uses it, put together in this one place: the code
// tables (the built-in ones with the agency's codes.txt), the receipt renderer drawing in
// this process, the print job with its checks and check code, the group's steps, the copy.
// Each call works on a sheet of its own request; the object itself is read-only and shared
// by every thread.
class CounterCore final {
public:
    // `settingsFile` is where the window's info.ini is; the agency's codes.txt sits beside it.
    explicit CounterCore(const QString &settingsFile);

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
    CodeTables m_codes;
    std::shared_ptr<const ReceiptRenderer> m_renderer;
};

} // namespace itinerary::web
