#pragma once

#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>

// More on the pages of the CUPS-PDF default queue than PrintedPdf.h gives: which pages of a
// job exist (to show that nothing was printed, and to take them all away), and where the
// fields of a receipt land on a page read at 300 dpi. The receipt picture is 300 dpi and is
// printed at its own size (11640 x 5970 twips), so its pixels are the page's.
namespace itinerary::test {

bool haveDefaultPrinter();

// Waits, bounded, until the queue holds no job that is not completed.
bool waitForIdleQueue(int timeoutMs = 120000);

// The PDF files whose names hold every part, in order, newest first. The queue writes a
// title's spaces as "_" and its non-ASCII characters as escapes, so the parts to match are
// ASCII.
QStringList pdfsNamed(const QStringList &parts);

// Where the receipt's top-left corner lands on a page at 300 dpi when printed on the default
// printer with these offsets: the printable area's corner moved by them.
QPointF receiptOrigin(int leftTwips, int topTwips);

// The box of field `index` of the default layout on a page whose receipt starts at
// `origin`, grown by `margin` pixels on every side.
QRect fieldBoxOnPage(const QPointF &origin, int index, int margin);

// Removes the PDFs it was given when it goes, passed or not, so that no run leaves pages in
// the home directory.
class PdfCleanup final {
public:
    PdfCleanup() = default;
    ~PdfCleanup();
    PdfCleanup(const PdfCleanup &) = delete;
    PdfCleanup &operator=(const PdfCleanup &) = delete;
    void add(const QString &pdf) { m_files.append(pdf); }
    void addAll(const QStringList &pdfs) { m_files.append(pdfs); }

private:
    QStringList m_files;
};

} // namespace itinerary::test
