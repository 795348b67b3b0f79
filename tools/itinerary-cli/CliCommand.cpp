#include "CliCommand.h"

#include <cstdio>

namespace itinerary::cli {

namespace {
QList<Command> &commands() {
    static QList<Command> list;
    return list;
}
} // namespace

CommandRegistration::CommandRegistration(Command command) {
    commands().append(std::move(command));
}

const QList<Command> &registeredCommands() {
    return commands();
}

void printError(const QString &text) {
    const QByteArray line = "itinerary-cli: " + text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}

void writeStdout(const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace itinerary::cli
