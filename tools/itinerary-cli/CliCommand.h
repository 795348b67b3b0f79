#pragma once

#include "ToolOutput.h"
#include "base/Result.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace itinerary::cli {

// A command's arguments as it understood them, or the exit status it ends with at once
// (after its help, or after telling what is wrong with the command line).
template <typename Arguments> using CommandArguments = Result<Arguments, int>;

// A command creates the application object it needs (none, QCoreApplication or
// QGuiApplication) itself.
using CommandFunction = std::function<int(const QStringList &arguments)>;

struct Command {
    QString name;
    QString usage; // one line: "import [--today YYYY-MM-DD] [FILE...]"
    CommandFunction run;
};

// Registers a command at static-initialisation time; each *Command.cpp holds one:
//   static const CommandRegistration reg{{u"import"_s, u"..."_s, runImport}};
struct CommandRegistration {
    explicit CommandRegistration(Command command);
};

const QList<Command> &registeredCommands();

// A command's own command line, read with QCommandLineParser: its options (each also as
// "--option=value"), "--help", and its positional arguments, in any order; "--" ends the
// options and "-" is a positional argument (standard input).
class CommandLine final {
public:
    // `usageAfter`: the command's usage line follows every refusal.
    CommandLine(QString command, QString usage, bool usageAfter = false);

    // Adds an option and gives it back, for isSet() and value() after the parse.
    QCommandLineOption addOption(const QCommandLineOption &option);
    void addPositionalArgument(const QString &name, const QString &description,
                               const QString &syntax);

    // Nothing when the command goes on; otherwise the exit status it ends with: ExitOk after
    // its help on standard output, ExitUsage after the refusal (the parser's own words) on
    // standard error.
    std::optional<int> parse(const QStringList &arguments);

    bool isSet(const QCommandLineOption &option) const { return m_parser.isSet(option); }
    QString value(const QCommandLineOption &option) const { return m_parser.value(option); }
    QStringList positionalArguments() const { return m_parser.positionalArguments(); }

    // Writes "itinerary-cli: <command>: <text>" (and the usage line when the command asks
    // for it) to standard error and returns ExitUsage.
    int refuse(const QString &text) const;

    QString helpText() const;

private:
    QString m_command;
    QString m_usage;
    bool m_usageAfter;
    QCommandLineParser m_parser;
    QList<QCommandLineOption> m_options;
    QCommandLineOption m_help;
};

// Writes "itinerary-cli: <text>" and a newline to standard error.
void printError(const QString &text);
// Writes UTF-8 bytes to standard output, unbuffered by Qt.
void writeStdout(const QByteArray &bytes);

} // namespace itinerary::cli
