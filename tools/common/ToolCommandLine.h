#pragma once

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

// What the programs share around QCommandLineParser: their help text and the reason a
// command line was refused, in the programs' own words.
namespace itinerary {

// Why QCommandLineParser::parse() refused a command line.
struct CommandLineRefusal {
    enum class Kind {
        UnknownOption,   // `argument` is the unknown option as written ("--colour", "-x")
        MissingValue,    // `argument` is the option that needs a value ("--out")
        UnexpectedValue, // `argument` is the flag that was given one ("--help")
        Other,           // `argument` is the parser's own text
    };
    Kind kind = Kind::Other;
    QString argument;
};

// Explains a failed parse of `arguments` (without the program name) by `parser`, which was
// given exactly `options`.
CommandLineRefusal commandLineRefusal(const QCommandLineParser &parser,
                                      const QStringList &arguments,
                                      const QList<QCommandLineOption> &options);

// "--help": the synopsis line, then the description, then the parser's list of options.
QString commandHelpText(const QString &synopsis, const QString &description,
                        const QCommandLineParser &parser);

// Without a display a program that draws uses the offscreen platform.
void useOffscreenPlatformWithoutDisplay();

} // namespace itinerary
