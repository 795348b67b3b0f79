// Any bytes as the request target of a print request: the reading never crashes, and what it
// returns holds together.
#include "FuzzTarget.h"

#include "render/RenderRequestParser.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace itinerary;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const RenderRequestParse parsed = parseRenderRequestTarget(bytes);
    if (parsed.ok) {
        if (parsed.request.intlFlag != 0 && parsed.request.intlFlag != 1)
            std::abort();
        // Values come from the text between separators: never more than its commas allow.
        if (parsed.request.values.isEmpty() || parsed.request.values.size() > bytes.count(',') + 1)
            std::abort();
    } else if (parsed.error.isEmpty()) {
        std::abort();
    }

    // Percent-encoding any bytes and decoding them again gives the same bytes.
    QByteArray decoded;
    if (!percentDecode(bytes.toPercentEncoding(), &decoded) || decoded != bytes)
        std::abort();
    return 0;
}
