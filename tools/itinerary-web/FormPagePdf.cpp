#include "FormPagePdf.h"

#include "print/ReceiptPrinter.h"
#include "render/ReceiptLayout.h"

#include <QImage>

#include <cstring>
#include <optional>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

constexpr qreal PointsPerTwip = 1.0 / 20.0;

// A picture as a PDF image mask takes it: rows of whole bytes, the most significant bit
// first, a 1 where ink goes; `rows` are `bytes` from `offset` on.
struct InkBits {
    int width = 0;
    int height = 0;
    QByteArray bytes;
    qsizetype offset = 0;
    QByteArrayView rows() const { return QByteArrayView(bytes).sliced(offset); }
};

// A binary PBM ("P4", "WIDTH HEIGHT", its rows) as the web counter's print job hands it over:
// its rows are the mask as they stand (1 is black). Anything else in its header: nothing.
std::optional<InkBits> pbmInk(const QByteArray &picture) {
    if (!picture.startsWith("P4\n"))
        return std::nullopt;
    const qsizetype sizeEnd = picture.indexOf('\n', 3);
    if (sizeEnd < 0)
        return std::nullopt;
    const QList<QByteArray> size = picture.mid(3, sizeEnd - 3).split(' ');
    bool wide = false, high = false;
    const int width = size.value(0).toInt(&wide);
    const int height = size.value(1).toInt(&high);
    if (size.size() != 2 || !wide || !high || width <= 0 || height <= 0)
        return std::nullopt;
    const qsizetype bytes = (qsizetype(width) + 7) / 8 * height;
    if (picture.size() - sizeEnd - 1 != bytes)
        return std::nullopt;
    return InkBits{width, height, picture, sizeEnd + 1};
}

// Any other picture: dark pixels are ink.
std::optional<InkBits> decodedInk(const QByteArray &picture) {
    QImage image = QImage::fromData(picture);
    if (image.isNull())
        return std::nullopt;
    if (image.format() != QImage::Format_Mono)
        image = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
    // Which of the two colours is ink (both, or neither, for a picture of one colour).
    const auto isInk = [&image](int index) {
        return index < image.colorCount() ? qGray(image.color(index)) < 128 : index == 1;
    };
    const uchar setInk = isInk(1) ? 0xFF : 0x00;
    const uchar clearInk = isInk(0) ? 0xFF : 0x00;
    const int rowBytes = (image.width() + 7) / 8;
    InkBits ink{image.width(), image.height(), QByteArray(qsizetype(rowBytes) * image.height(), 0)};
    char *out = ink.bytes.data();
    for (int y = 0; y < image.height(); ++y, out += rowBytes) {
        const uchar *row = image.constScanLine(y);
        for (int x = 0; x < rowBytes; ++x)
            out[x] = char((row[x] & setInk) | (uchar(~row[x]) & clearInk));
    }
    return ink;
}

// PDF's run-length encoding: a receipt is mostly blank paper, long runs of zero bytes that
// shrink some fifty times in a single pass over the bits (deflate, even at its fastest, took
// a fifth of a print's time).
QByteArray runLengthEncoded(QByteArrayView data) {
    constexpr qsizetype Longest = 128;
    QByteArray out;
    out.reserve(data.size() / 32 + 64);
    const char *bytes = data.data();
    const qsizetype size = data.size();
    qsizetype i = 0;
    while (i < size) {
        qsizetype run = 1;
        // Blank paper is mostly whole runs: each byte equal to the next, compared at once.
        if (i + Longest <= size && std::memcmp(bytes + i, bytes + i + 1, Longest - 1) == 0)
            run = Longest;
        while (i + run < size && run < Longest && bytes[i + run] == bytes[i])
            ++run;
        if (run >= 2) {
            out += char(257 - run); // the next byte, `run` times
            out += bytes[i];
            i += run;
            continue;
        }
        // Bytes as they are, up to where a run begins.
        const qsizetype start = i;
        do
            ++i;
        while (i < size && i - start < Longest && !(i + 1 < size && bytes[i] == bytes[i + 1]));
        out += char(i - start - 1); // the next `i - start` bytes
        out.append(bytes + start, i - start);
    }
    out += char(128); // the end of the data
    return out;
}

QByteArray number(qreal value) {
    QByteArray text = QByteArray::number(value, 'f', 3);
    while (text.endsWith('0'))
        text.chop(1);
    if (text.endsWith('.'))
        text.chop(1);
    return text;
}

// A text string of the document's information: UTF-16 with its byte-order mark, in hex.
QByteArray pdfText(const QString &text) {
    QByteArray utf16("\xFE\xFF", 2);
    for (const QChar c : text) {
        utf16 += char(c.unicode() >> 8);
        utf16 += char(c.unicode() & 0xFF);
    }
    return '<' + utf16.toHex() + '>';
}

// The file's objects, numbered from 1 in the order they are begun, and their offsets.
class PdfFile {
public:
    PdfFile() { m_out = "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n"; }

    void object(int number, const QByteArray &body) {
        if (m_offsets.size() < number)
            m_offsets.resize(number);
        m_offsets[number - 1] = m_out.size();
        m_out += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
    }
    void stream(int number, const QByteArray &dictionary, const QByteArray &data) {
        object(number, "<< " + dictionary + " /Length " + QByteArray::number(data.size()) +
                           " >>\nstream\n" + data + "\nendstream");
    }
    QByteArray finish(const QByteArray &trailer) {
        const qsizetype xref = m_out.size();
        m_out += "xref\n0 " + QByteArray::number(m_offsets.size() + 1) + "\n0000000000 65535 f \n";
        for (const qsizetype offset : std::as_const(m_offsets))
            m_out += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
        m_out += "trailer\n<< /Size " + QByteArray::number(m_offsets.size() + 1) + ' ' + trailer +
                 " >>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
        return m_out;
    }

private:
    QByteArray m_out;
    QList<qsizetype> m_offsets;
};

} // namespace

QByteArray formPagePdf(const QList<FormPage> &pages, const QString &title) {
    return formPagePdf(pages, title,
                       QPageSize(QSizeF(ReceiptWidthMm, ReceiptHeightMm), QPageSize::Millimeter,
                                 QString(), QPageSize::ExactMatch));
}

QByteArray formPagePdf(const QList<FormPage> &pages, const QString &title, const QPageSize &paper) {
    QList<InkBits> inks;
    for (const FormPage &page : pages) {
        std::optional<InkBits> ink = pbmInk(page.picture);
        if (!ink)
            ink = decodedInk(page.picture);
        if (!ink)
            return QByteArray();
        inks.append(std::move(*ink));
    }
    if (inks.isEmpty() || !paper.isValid())
        return QByteArray();

    // Objects: 1 the catalogue, 2 the page tree, 3 the information, then per page its
    // page, its contents and its picture.
    const QSizeF size = paper.size(QPageSize::Point);
    const QByteArray mediaBox = "[0 0 " + number(size.width()) + ' ' + number(size.height()) + ']';
    const qreal receiptWidth = ReceiptWidthTwips * PointsPerTwip;
    const qreal receiptHeight = ReceiptHeightTwips * PointsPerTwip;
    PdfFile pdf;
    QByteArray kids;
    for (qsizetype i = 0; i < inks.size(); ++i)
        kids += (i > 0 ? " " : "") + QByteArray::number(4 + 3 * i) + " 0 R";
    pdf.object(1, "<< /Type /Catalog /Pages 2 0 R >>");
    pdf.object(2, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(inks.size()) +
                      " >>");
    pdf.object(3,
               "<< /Title " + pdfText(title) + " /Creator " + pdfText(u"行程单打印软件"_s) + " >>");
    for (qsizetype i = 0; i < inks.size(); ++i) {
        const int page = int(4 + 3 * i);
        const InkBits &ink = inks.at(i);
        // The receipt from the page's top-left corner at the offsets, stretched to its size in
        // twips; PDF counts upwards from the bottom.
        const qreal left = pages.at(i).leftTwips * PointsPerTwip;
        const qreal bottom = size.height() - pages.at(i).topTwips * PointsPerTwip - receiptHeight;
        pdf.object(page, "<< /Type /Page /Parent 2 0 R /MediaBox " + mediaBox +
                             " /Resources << /XObject << /Receipt " + QByteArray::number(page + 2) +
                             " 0 R >> >> /Contents " + QByteArray::number(page + 1) + " 0 R >>");
        pdf.stream(page + 1, QByteArray(),
                   "q 0 g " + number(receiptWidth) + " 0 0 " + number(receiptHeight) + ' ' +
                       number(left) + ' ' + number(bottom) + " cm /Receipt Do Q");
        // A stencil: ink where a bit is 1, the paper shows through elsewhere.
        pdf.stream(page + 2,
                   "/Type /XObject /Subtype /Image /Width " + QByteArray::number(ink.width) +
                       " /Height " + QByteArray::number(ink.height) +
                       " /ImageMask true /BitsPerComponent 1 /Decode [1 0]"
                       " /Filter /RunLengthDecode",
                   runLengthEncoded(ink.rows()));
    }
    return pdf.finish("/Root 1 0 R /Info 3 0 R");
}

} // namespace itinerary::web
