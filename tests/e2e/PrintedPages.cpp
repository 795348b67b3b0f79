#include "PrintedPages.h"

#include "render/ReceiptLayout.h"
#include "render/ReceiptRenderer.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace itinerary::test {

namespace {
constexpr int TwipsPerInch = 1440;

std::optional<QByteArray> runTool(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return std::nullopt;
    return process.readAllStandardOutput();
}

QDir pdfDirectory() {
    return QDir(QDir::homePath() + u"/PDF"_s);
}
} // namespace

bool haveDefaultPrinter() {
    return !QPrinterInfo::defaultPrinter().isNull();
}

bool waitForIdleQueue(int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        const std::optional<QByteArray> jobs =
            runTool(u"lpstat"_s, {u"-W"_s, u"not-completed"_s, u"-o"_s});
        if (jobs && jobs->trimmed().isEmpty())
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
    const QFileInfoList found = pdfDirectory().entryInfoList({pattern}, QDir::Files, QDir::Time);
    for (const QFileInfo &info : found)
        paths.append(info.absoluteFilePath());
    return paths;
}

QString waitForPdf(const QStringList &parts, int timeoutMs) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (waitForIdleQueue(int(std::max<qint64>(deadline.remainingTime(), 0)))) {
            const QStringList found = pdfsNamed(parts);
            if (!found.isEmpty() && QFileInfo(found.first()).size() > 0)
                return found.first();
        }
        QTest::qWait(200);
    }
    return QString();
}

int pageCount(const QString &pdf) {
    const std::optional<QByteArray> info = runTool(u"pdfinfo"_s, {pdf});
    if (!info)
        return -1;
    static const QRegularExpression pages(u"^Pages:\\s+(\\d+)$"_s,
                                          QRegularExpression::MultilineOption);
    const QRegularExpressionMatch match = pages.match(QString::fromUtf8(*info));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

QImage firstPage(const QString &pdf) {
    QTemporaryDir scratch;
    const QString prefix = scratch.filePath(u"page"_s);
    if (!runTool(u"pdftoppm"_s, {u"-r"_s, QString::number(PageDpi), u"-gray"_s, u"-png"_s,
                                 u"-singlefile"_s, pdf, prefix}))
        return QImage();
    return QImage(prefix + u".png"_s).convertToFormat(QImage::Format_Grayscale8);
}

QPointF receiptOrigin(int leftTwips, int topTwips) {
    // The printer as the print job opens it: the default queue, its own page, origin at the
    // printable area's corner.
    QPrinter printer(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    printer.setFullPage(false);
    const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Inch);
    return QPointF((paint.left() + double(leftTwips) / TwipsPerInch) * PageDpi,
                   (paint.top() + double(topTwips) / TwipsPerInch) * PageDpi);
}

QRect fieldBoxOnPage(const QPointF &origin, int index, int margin) {
    const FieldPlacement *placement = ReceiptLayout::defaultLayout().placement(index);
    if (placement == nullptr)
        return QRect();
    // The picture is 300 dpi and printed at its own size, so its pixels are the page's.
    return ReceiptRenderer::pixelRect(placement->rectMm)
        .translated(origin.toPoint())
        .adjusted(-margin, -margin, margin, margin);
}

PdfCleanup::~PdfCleanup() {
    for (const QString &pdf : std::as_const(m_files))
        QFile::remove(pdf);
}

} // namespace itinerary::test
