#pragma once

// Reading back what the CUPS-PDF queue printed: tests that print give their jobs unique
// titles, wait for the queue to finish, and look at the page at 300 dpi.

#include <QDeadlineTimer>
#include <QDir>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTest>

namespace itinerary::test {

inline constexpr int PrintDpi = 300;

// Standard output of a tool, or "<failed>" when it fails or takes over a minute.
inline QString runTool(const QString &program, const QStringList &arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        return QStringLiteral("<failed>");
    return QString::fromLocal8Bit(process.readAllStandardOutput());
}

// The PDF that the CUPS-PDF queue made of the job with this title, once the queue is idle.
inline QString waitForPdf(const QString &title) {
    const QDir pdfDir(QDir::homePath() + QStringLiteral("/PDF"));
    const QDeadlineTimer deadline(120000);
    while (!deadline.hasExpired()) {
        const bool queueIdle =
            runTool(QStringLiteral("lpstat"),
                    {QStringLiteral("-W"), QStringLiteral("not-completed"), QStringLiteral("-o")})
                .trimmed()
                .isEmpty();
        const QFileInfoList found = pdfDir.entryInfoList(
            {QStringLiteral("*") + title + QStringLiteral("*.pdf")}, QDir::Files, QDir::Time);
        if (queueIdle && !found.isEmpty() && found.first().size() > 0)
            return found.first().absoluteFilePath();
        QTest::qWait(200);
    }
    return QString();
}

// The pages of a PDF at 300 dpi in grey, written into `scratch`.
inline QList<QImage> pdfPages(const QString &pdf, const QString &scratch) {
    const QString prefix = scratch + QStringLiteral("/page");
    if (runTool(QStringLiteral("pdftoppm"),
                {QStringLiteral("-r"), QString::number(PrintDpi), QStringLiteral("-gray"),
                 QStringLiteral("-png"), pdf, prefix}) == QStringLiteral("<failed>"))
        return {};
    QList<QImage> pages;
    const QFileInfoList files =
        QDir(scratch).entryInfoList({QStringLiteral("page*.png")}, QDir::Files, QDir::Name);
    for (const QFileInfo &file : files)
        pages.append(QImage(file.absoluteFilePath()).convertToFormat(QImage::Format_Grayscale8));
    return pages;
}

// The bounding box of the dark pixels of a page.
inline QRect darkBox(const QImage &page) {
    QRect box;
    for (int y = 0; y < page.height(); ++y) {
        const uchar *line = page.constScanLine(y);
        for (int x = 0; x < page.width(); ++x) {
            if (line[x] < 128)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace itinerary::test
