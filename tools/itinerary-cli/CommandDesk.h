#pragma once

#include "desk/PrintDesk.h"

#include <QString>

#include <memory>
#include <optional>

namespace itinerary::cli {

// A command's application core: the window's settings folder and rendering service (or the
// one `serviceBaseUrl` names), built as the window builds it. Nothing, after reporting why
// as "<command>: ...", when the command cannot go on: an agency layout.json that cannot be
// used (a form printed or copied with another layout would be spoilt; `layoutRequired`:
// also when a service elsewhere draws the receipts), or an embedded rendering service that
// did not start. Lines of codes.txt that are no entry are reported too. Needs the
// QGuiApplication.
std::unique_ptr<PrintDesk> openCommandDesk(const QString &command,
                                           const std::optional<QString> &serviceBaseUrl,
                                           bool layoutRequired, const DeskEdges &edges);

} // namespace itinerary::cli
