#include "http/HttpMessage.h"

namespace itinerary {

QByteArray HttpRequest::path() const {
    const qsizetype question = target.indexOf('?');
    return question < 0 ? target : target.first(question);
}

QByteArray HttpRequest::query() const {
    const qsizetype question = target.indexOf('?');
    return question < 0 ? QByteArray() : target.sliced(question + 1);
}

QByteArrayList HttpRequest::headerValues(QByteArrayView name) const {
    QByteArrayList values;
    for (const auto &[headerName, value] : headers) {
        if (name.compare(headerName, Qt::CaseInsensitive) == 0)
            values.append(value);
    }
    return values;
}

HttpResponse HttpResponse::text(int status, const QByteArray &text) {
    return HttpResponse{status, "text/plain; charset=utf-8", text + '\n', {}};
}

} // namespace itinerary
