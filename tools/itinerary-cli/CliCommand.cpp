#include "CliCommand.h"

#include "ToolCommandLine.h"

#include <cstdio>

using namespace Qt::StringLiterals;

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

CommandLine::CommandLine(QString command, QString usage, bool usageAfter)
    : m_command(std::move(command))
    , m_usage(std::move(usage))
    , m_usageAfter(usageAfter)
    , m_help({u"h"_s, u"help"_s}, u"this text"_s) {
    addOption(m_help);
}

QCommandLineOption CommandLine::addOption(const QCommandLineOption &option) {
    m_parser.addOption(option);
    m_options.append(option);
    return option;
}

void CommandLine::addPositionalArgument(const QString &name, const QString &description,
                                        const QString &syntax) {
    m_parser.addPositionalArgument(name, description, syntax);
}

std::optional<int> CommandLine::parse(const QStringList &arguments) {
    if (!m_parser.parse(QStringList{u"itinerary-cli"_s} + arguments))
        return refuse(m_parser.errorText());
    if (m_parser.isSet(m_help)) {
        writeStdout(helpText().toUtf8());
        return ExitOk;
    }
    return std::nullopt;
}

int CommandLine::refuse(const QString &text) const {
    printError(m_command + u": "_s + text);
    if (m_usageAfter)
        printError(u"usage: itinerary-cli "_s + m_usage);
    return ExitUsage;
}

QString CommandLine::helpText() const {
    return commandHelpText(u"usage: itinerary-cli "_s + m_usage, QString(), m_parser);
}

void printError(const QString &text) {
    printProgramError("itinerary-cli", text);
}

void writeStdout(const QByteArray &bytes) {
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace itinerary::cli
