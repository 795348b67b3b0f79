// itinerary-cli: batch import, render and print for agents and scripts.
#include "CliCommand.h"

#include <QStringList>

#include <algorithm>

using namespace itinerary::cli;

namespace {
void printUsage() {
    QList<Command> list = registeredCommands();
    std::sort(list.begin(), list.end(),
              [](const Command &a, const Command &b) { return a.name < b.name; });
    QString text = QStringLiteral("usage:\n");
    for (const Command &c : list)
        text += QStringLiteral("  itinerary-cli ") + c.usage + QLatin1Char('\n');
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}
} // namespace

int main(int argc, char *argv[]) {
    // Commands that draw (render, print) need a platform; without a display use offscreen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (arguments.isEmpty() || arguments.first() == QLatin1String("--help") ||
        arguments.first() == QLatin1String("-h")) {
        printUsage();
        return arguments.isEmpty() ? ExitUsage : ExitOk;
    }
    const QString name = arguments.takeFirst();
    for (const Command &command : registeredCommands()) {
        if (command.name == name)
            return command.run(arguments);
    }
    printError(QStringLiteral("unknown command: ") + name);
    printUsage();
    return ExitUsage;
}
