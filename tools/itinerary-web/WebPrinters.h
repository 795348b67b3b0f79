#pragma once

#include "FormPagePdf.h"

#include "print/PictureLoader.h"
#include "print/PrintRecorder.h"
#include "print/ReceiptPrinter.h"

#include <QList>
#include <QString>

namespace itinerary {
class ReceiptRenderer;
}

namespace itinerary::web {

// How the in-process picture is handed over: as the rendering service answers (a PNG), or,
// for pages that only go into the counter's PDF, as a binary PBM, whose rows the PDF takes
// as they are (no compression on the way in, no decoding on the way out).
enum class PictureBytes { Png, Bitmap };

// The rendering service's answer without the network: the print address read as the service
// reads it, the picture drawn in this process.
class InProcessPictureLoader final : public PictureLoader {
public:
    InProcessPictureLoader(const ReceiptRenderer &renderer, PictureBytes bytes)
        : m_renderer(renderer)
        , m_bytes(bytes) {}
    // Answers inside the call: the picture is drawn on the caller's thread.
    void loadPicture(const QString &address, const QObject *context, Done done) override;

private:
    QByteArray picture(const QString &address) const;

    const ReceiptRenderer &m_renderer;
    PictureBytes m_bytes;
};

// The counter's browser as the printer: every page the print job prints is kept, and sent
// to the browser as one PDF when the job is done.
class BrowserPagePrinter final : public ReceiptPrinter {
public:
    bool printPicture(const QByteArray &picture, int leftTwips, int topTwips) override;
    const QList<FormPage> &pages() const { return m_pages; }

private:
    QList<FormPage> m_pages;
};

// A CUPS queue on the server as the printer: each page goes to the queue as a PDF of the
// queue's own paper with the receipt from its top-left corner at the offsets, through the
// print system's own command.
class CupsQueuePrinter final : public ReceiptPrinter {
public:
    CupsQueuePrinter(const QString &queue, const QString &jobTitle)
        : m_queue(queue)
        , m_jobTitle(jobTitle) {}
    bool printPicture(const QByteArray &picture, int leftTwips, int topTwips) override;
    QString printerName() const override { return m_queue; }
    // The print system's refusal of the last page, for the log; empty after a page it took.
    QString failure() const { return m_failure; }

private:
    QString m_queue;
    QString m_jobTitle;
    QString m_failure;
};

// Keeps every attempt the print job accounts for; the caller stores them with its user.
class AttemptList final : public PrintRecorder {
public:
    void recordPrintAttempt(const PrintAttempt &attempt) override { m_attempts.append(attempt); }
    const QList<PrintAttempt> &attempts() const { return m_attempts; }

private:
    QList<PrintAttempt> m_attempts;
};

} // namespace itinerary::web
