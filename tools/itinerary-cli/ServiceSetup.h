#pragma once

#include "render/ReceiptLayout.h"

#include <QString>

#include <memory>
#include <optional>

namespace itinerary {
class EmbeddedRenderService;
}

namespace itinerary::cli {

// The settings file of the window. The programs are installed side by side, so the
// window's application directory is this program's own: a portable installation's info.ini
// there is used, otherwise the one in the user's configuration directory.
QString windowSettingsFile();

// The agency's receipt layout, layout.json beside the settings file, or the default layout
// when there is none. Nothing, after reporting why as "<command>: ...", when the file
// cannot be used: a form printed with a layout other than the agency's would be spoilt.
std::optional<ReceiptLayout> agencyLayout(const QString &iniPath, const QString &command);

// Starts the rendering service inside this process with `layout`. Its base address, or
// empty after reporting why.
QString startEmbeddedService(std::unique_ptr<EmbeddedRenderService> &service,
                             const ReceiptLayout &layout, const QString &command);

} // namespace itinerary::cli
