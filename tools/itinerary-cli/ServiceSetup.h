#pragma once

#include "render/ReceiptLayout.h"

#include <QString>

#include <memory>
#include <optional>

namespace itinerary {
class EmbeddedRenderService;
}

namespace itinerary::cli {

// The agency's receipt layout, layout.json beside the settings file, or the default layout
// when there is none. Nothing, after reporting why as "<command>: ...", when the file
// cannot be used: a form printed with a layout other than the agency's would be spoilt.
std::optional<ReceiptLayout> agencyLayout(const QString &iniPath, const QString &command);

// Starts the rendering service inside this process with `layout`. Its base address, or
// empty after reporting why.
QString startEmbeddedService(std::unique_ptr<EmbeddedRenderService> &service,
                             const ReceiptLayout &layout, const QString &command);

} // namespace itinerary::cli
