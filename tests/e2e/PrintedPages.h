#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>

// The pages that the CUPS-PDF default queue makes of print jobs, as the end-to-end tests
// read them back: found by job title in the home directory's PDF/ folder once the queue is
// idle, rasterised with pdftoppm at the receipt picture's own resolution (300 dpi), so that
// a receipt printed at 11640 x 5970 twips lands pixel for pixel like the picture.
namespace itinerary::test {

inline constexpr int PageDpi = 300;

bool haveDefaultPrinter();

// Waits, bounded, until the queue holds no job that is not completed.
bool waitForIdleQueue(int timeoutMs = 120000);

// The PDF files whose names hold every part in order (the queue writes a title's spaces as
// "_" and its non-ASCII characters as escapes, so ASCII parts are what can be matched).
QStringList pdfsNamed(const QStringList &parts);

// Once the queue is idle, the newest non-empty PDF named by `parts`; empty on timeout.
QString waitForPdf(const QStringList &parts, int timeoutMs = 120000);

// Pages of a PDF as pdfinfo counts them; -1 when it cannot be read.
int pageCount(const QString &pdf);

// The first page, greyscale at PageDpi; null when pdftoppm fails.
QImage firstPage(const QString &pdf);

// Where the receipt's top-left corner lands on the page (pixels at PageDpi) when printed on
// the default printer with these offsets: the printable area's corner moved by them.
QPointF receiptOrigin(int leftTwips, int topTwips);

// The box of field `index` of the default layout on a page whose receipt starts at
// `origin`, grown by `margin` pixels on every side.
QRect fieldBoxOnPage(const QPointF &origin, int index, int margin);

// Removes the PDFs it was given when it goes, so that no run leaves pages behind.
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
