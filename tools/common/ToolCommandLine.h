#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// What the programs share around QCommandLineParser: their help text (a refused command line
// is told in the parser's own words).
namespace itinerary {

// "--help": the synopsis line, then the description, then the parser's list of options.
QString commandHelpText(const QString &synopsis, const QString &description,
                        const QCommandLineParser &parser);

// The program's arguments after its name, decoded as the system encodes them.
QStringList programArguments(int argc, char *argv[]);

// Without a display a program that draws uses the offscreen platform.
void useOffscreenPlatformWithoutDisplay();

} // namespace itinerary
