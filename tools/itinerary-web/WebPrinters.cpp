#include "WebPrinters.h"

#include "WebLog.h"

#include "print/PrintRequest.h"
#include "render/ReceiptRenderer.h"
#include "render/RenderRequestParser.h"

#include <QImage>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {
// Spooling a page takes milliseconds; a print system that does not answer is given this.
constexpr int SpoolTimeoutMs = 30'000;
// The queue's own paper, as its PPD names it by default ("*A4" among the PageSize choices),
// so that the print system neither scales nor turns the page; A4 when it cannot be told.
QPageSize queuePaper(const QString &queue) {
    QProcess lpoptions;
    lpoptions.start(u"lpoptions"_s, {u"-p"_s, queue, u"-l"_s});
    if (lpoptions.waitForFinished(SpoolTimeoutMs)) {
        for (const QByteArray &line : lpoptions.readAllStandardOutput().split('\n')) {
            if (!line.startsWith("PageSize/"))
                continue;
            for (const QByteArray &choice : line.mid(line.indexOf(':') + 1).split(' ')) {
                if (!choice.startsWith('*'))
                    continue;
                const QString key = QString::fromLatin1(choice.mid(1));
                for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
                    if (QPageSize::key(QPageSize::PageSizeId(id)) == key)
                        return QPageSize(QPageSize::PageSizeId(id));
                }
            }
        }
    }
    return QPageSize(QPageSize::A4);
}

// A 1-bit picture as a binary PBM: its size, then its rows of whole bytes, 1 for black.
QByteArray pbm(const QImage &mono) {
    const int rowBytes = (mono.width() + 7) / 8;
    QByteArray bytes =
        "P4\n" + QByteArray::number(mono.width()) + ' ' + QByteArray::number(mono.height()) + '\n';
    const qsizetype header = bytes.size();
    bytes.resize(header + qsizetype(rowBytes) * mono.height());
    const bool oneIsBlack = qGray(mono.color(1)) < qGray(mono.color(0));
    char *out = bytes.data() + header;
    for (int y = 0; y < mono.height(); ++y, out += rowBytes) {
        const uchar *row = mono.constScanLine(y);
        for (int x = 0; x < rowBytes; ++x)
            out[x] = char(oneIsBlack ? row[x] : uchar(~row[x]));
    }
    return bytes;
}

} // namespace

void InProcessPictureLoader::loadPicture(const QString &address, const QObject *context,
                                         Done done) {
    Q_UNUSED(context);
    done(picture(address));
}

QByteArray InProcessPictureLoader::picture(const QString &address) const {
    const RenderRequestParse parsed = parseRenderRequestTarget(encodeRequestForWire(address));
    if (!parsed.ok)
        return QByteArray();
    const QImage picture = m_renderer.render(parsed.request.values);
    if (m_bytes == PictureBytes::Bitmap && picture.format() == QImage::Format_Mono &&
        picture.colorCount() == 2)
        return pbm(picture);
    return ReceiptRenderer::encodePng(picture);
}

bool BrowserPagePrinter::printPicture(const QByteArray &picture, int leftTwips, int topTwips) {
    m_pages.append(FormPage{picture, leftTwips, topTwips});
    return true;
}

bool CupsQueuePrinter::printPicture(const QByteArray &picture, int leftTwips, int topTwips) {
    m_failure.clear();
    const QByteArray pdf =
        formPagePdf({FormPage{picture, leftTwips, topTwips}}, m_jobTitle, queuePaper(m_queue));
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
