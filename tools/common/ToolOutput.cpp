#include "ToolOutput.h"

namespace itinerary {

void writeTo(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

void printProgramError(const char *program, const QString &text) {
    writeTo(stderr, QLatin1String(program) + QLatin1String(": ") + text + QLatin1Char('\n'));
}

} // namespace itinerary
