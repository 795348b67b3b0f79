#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// The counter page's files (HTML, CSS, JavaScript modules), compiled into the service: what it
// answers for a GET outside the API.
namespace itinerary::web {

struct PageFile {
    QByteArray body;
    QByteArray contentType;
};

// "/" (and "/index.html") is the page itself; "/NAME" one of its files. Nothing for any other
// path: the page's files sit in one folder, so a path with another "/" or a ".." names none.
std::optional<PageFile> counterPageFile(QByteArrayView path);

} // namespace itinerary::web
