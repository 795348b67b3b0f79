#include "WebPrinters.h"

#include "WebLog.h"

#include "print/PrintRequest.h"
#include "render/ReceiptRenderer.h"
#include "render/RenderRequestParser.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {
// Spooling a page takes milliseconds; a print system that does not answer is given this.
constexpr int SpoolTimeoutMs = 30'000;
} // namespace

QByteArray InProcessPictureLoader::loadPicture(const QString &address) {
    const RenderRequestParse parsed = parseRenderRequestTarget(encodeRequestForWire(address));
    if (!parsed.ok)
        return QByteArray();
    return m_renderer.renderPng(parsed.request.values);
}

bool BrowserPagePrinter::printPicture(const QByteArray &picture, int leftTwips, int topTwips) {
    m_pages.append(FormPage{picture, leftTwips, topTwips});
    return true;
}

bool CupsQueuePrinter::printPicture(const QByteArray &picture, int leftTwips, int topTwips) {
    m_failure.clear();
    const QByteArray pdf = formPagePdf({FormPage{picture, leftTwips, topTwips}}, m_jobTitle);
    if (pdf.isEmpty()) {
        m_failure = u"the picture to print cannot be decoded"_s;
        return false;
    }
    // The queue name was checked when the counter was saved (no option can hide in it); no
    // file named: lp reads the page from standard input.
    QProcess lp;
    lp.start(u"lp"_s, {u"-d"_s, m_queue, u"-t"_s, m_jobTitle});
    if (!lp.waitForStarted(SpoolTimeoutMs)) {
        m_failure = u"lp cannot be started: "_s + lp.errorString();
        return false;
    }
    lp.write(pdf);
    lp.closeWriteChannel();
    if (!lp.waitForFinished(SpoolTimeoutMs)) {
        lp.kill();
        lp.waitForFinished();
        m_failure = u"lp did not finish"_s;
        return false;
    }
    if (lp.exitStatus() != QProcess::NormalExit || lp.exitCode() != 0) {
        m_failure = QString::fromLocal8Bit(lp.readAllStandardError()).trimmed();
        return false;
    }
    return true;
}

} // namespace itinerary::web
