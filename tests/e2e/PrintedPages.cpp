#include "PrintedPages.h"

#include "PrintedPdf.h"
#include "render/ReceiptLayout.h"
#include "render/ReceiptRenderer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTest>

using namespace Qt::StringLiterals;

namespace itinerary::test {

namespace {
constexpr int TwipsPerInch = 1440;
}

bool haveDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

bool waitForIdleQueue(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        // An lpstat that fails answers "<failed>", which is not an idle queue.
        if (runTool(u"lpstat"_s, {u"-W"_s, u"not-completed"_s, u"-o"_s}).trimmed().isEmpty())
            return true;
        QTest::qWait(200);
    }
    return false;
}

QStringList pdfsNamed(const QStringList &parts) {
    QString pattern = u"*"_s;
    for (const QString &part : parts)
        pattern += part + u'*';
    pattern += u".pdf"_s;
    QStringList paths;
    const QFileInfoList found =
        QDir(QDir::homePath() + u"/PDF"_s).entryInfoList({pattern}, QDir::Files, QDir::Time);
    for (const QFileInfo &info : found)
        paths.append(info.absoluteFilePath());
    return paths;
}

QPointF receiptOrigin(int leftTwips, int topTwips) {
    // The printer as the print job opens it: the default queue, its own page, origin at the
    // printable area's corner.
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setFullPage(false);
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Inch);
    return QPointF((paint.left() + double(leftTwips) / TwipsPerInch) * PrintDpi,
                   (paint.top() + double(topTwips) / TwipsPerInch) * PrintDpi);
}

QRect fieldBoxOnPage(const QPointF &origin, int index, int margin) {
    const FieldPlacement *placement = ReceiptLayout::defaultLayout().placement(index);
    if (placement == nullptr)
        return QRect();
    return ReceiptRenderer::pixelRect(placement->rectMm)
        .translated(origin.toPoint())
        .adjusted(-margin, -margin, margin, margin);
}

PdfCleanup::~PdfCleanup() {
    for (const QString &pdf : std::as_const(m_files))
        QFile::remove(pdf);
}

} // namespace itinerary::test
