// itinerary-cli: batch import, render and print for agents and scripts.
#include "CliCommand.h"

#include "BuildConfig.h"
#include "ToolCommandLine.h"

#include <QCommandLineParser>
#include <QStringList>

#include <algorithm>

using namespace itinerary;
using namespace itinerary::cli;
using namespace Qt::StringLiterals;

namespace {

QString usageText() {
    QList<Command> list = registeredCommands();
    std::sort(list.begin(), list.end(),
              [](const Command &a, const Command &b) { return a.name < b.name; });
    QString text = u"usage:\n"_s;
    for (const Command &c : list)
        text += u"  itinerary-cli "_s + c.usage + u'\n';
    text += u"  itinerary-cli --help | --version\n"
            "Each command also takes --help.\n"_s;
    return text;
}

void printUsage(std::FILE *stream) {
    const QByteArray bytes = usageText().toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char *argv[]) {
    // Commands that draw (render, print) need a platform; without a display use offscreen.
    useOffscreenPlatformWithoutDisplay();
    const QStringList arguments = programArguments(argc, argv);

    // Everything from the command's name on belongs to the command.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"this text"_s);
    const QCommandLineOption version(u"version"_s, u"the program's version"_s);
    const QList<QCommandLineOption> options{help, version};
    parser.addOptions(options);
    if (!parser.parse(QStringList{u"itinerary-cli"_s} + arguments)) {
        printError(parser.errorText());
        printUsage(stderr);
        return ExitUsage;
    }
    if (parser.isSet(help)) {
        printUsage(stdout);
        return ExitOk;
    }
    if (parser.isSet(version)) {
        writeStdout("itinerary-cli " ITINERARY_VERSION "\n");
        return ExitOk;
    }
    QStringList commandLine = parser.positionalArguments();
    if (commandLine.isEmpty()) {
        printUsage(stderr);
        return ExitUsage;
    }
    const QString name = commandLine.takeFirst();
    for (const Command &command : registeredCommands()) {
        if (command.name == name)
            return command.run(commandLine);
    }
    printError(u"unknown command: "_s + name);
    printUsage(stderr);
    return ExitUsage;
}
