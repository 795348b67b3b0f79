#include "render/RenderRequestParser.h"

#include "base/TextEncoding.h"

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

RenderRequestParse failure(const QString &text) {
    RenderRequestParse result;
    result.error = text;
    return result;
}

} // namespace

bool percentDecode(QByteArrayView text, QByteArray *out) {
    out->clear();
    out->reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '%') {
            out->append(c);
            continue;
        }
        const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
        const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0)
            return false;
        out->append(char(high * 16 + low));
        i += 2;
    }
    return true;
}

RenderRequestParse parseRenderRequestTarget(QByteArrayView target) {
    // The query starts after the first "?"; a target without one is taken as the query itself.
    const qsizetype question = target.indexOf('?');
    const QByteArrayView query = question >= 0 ? target.sliced(question + 1) : target;

    if (!query.startsWith("l="))
        return failure(u"bad request: no l= at the start of the query"_s);
    const qsizetype firstAmp = query.indexOf('&');
    const QByteArrayView flag = firstAmp >= 0 ? query.sliced(2, firstAmp - 2) : query.sliced(2);
    if (flag != "0" && flag != "1")
        return failure(u"bad request: l must be 0 or 1"_s);

    const qsizetype pStart = query.indexOf("&p=");
    if (pStart < 0)
        return failure(u"bad request: no &p="_s);
    const QByteArrayView afterP = query.sliced(pStart + 3);
    const qsizetype lastAmp = afterP.lastIndexOf('&');
    const QByteArrayView fields = lastAmp >= 0 ? afterP.first(lastAmp) : afterP;

    RenderRequestParse result;
    result.request.intlFlag = flag == "1" ? 1 : 0;
    QByteArray bytes;
    qsizetype start = 0;
    while (true) {
        const qsizetype comma = fields.indexOf(',', start);
        const QByteArrayView piece =
            comma >= 0 ? fields.sliced(start, comma - start) : fields.sliced(start);
        if (!percentDecode(piece, &bytes))
            return failure(
                u"bad request: bad percent-escape in value %1"_s.arg(result.request.values.size()));
        result.request.values.append(decodeUtf8OrGb18030(bytes));
        if (comma < 0)
            break;
        start = comma + 1;
    }
    result.ok = true;
    return result;
}

} // namespace itinerary
