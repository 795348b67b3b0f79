#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace itinerary::cli {

// Exit statuses shared by every command.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFailed = 1;
inline constexpr int ExitUsage = 2;

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

// Writes "itinerary-cli: <text>" and a newline to standard error.
void printError(const QString &text);
// Writes UTF-8 bytes to standard output, unbuffered by Qt.
void writeStdout(const QByteArray &bytes);

} // namespace itinerary::cli
