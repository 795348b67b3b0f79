#include "ToolCommandLine.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace itinerary {

namespace {

// The option name an argument gives ("--out=x" gives "out", "-x" gives "x"); empty for a
// positional argument.
QString optionName(const QString &argument) {
    if (argument == u"-" || !argument.startsWith(u'-'))
        return QString();
    const QString name = argument.sliced(argument.startsWith(u"--") ? 2 : 1);
    const qsizetype equals = name.indexOf(u'=');
    return equals < 0 ? name : name.first(equals);
}

const QCommandLineOption *findOption(const QList<QCommandLineOption> &options,
                                     const QString &name) {
    for (const QCommandLineOption &option : options) {
        if (option.names().contains(name))
            return &option;
    }
    return nullptr;
}

} // namespace

CommandLineRefusal commandLineRefusal(const QCommandLineParser &parser,
                                      const QStringList &arguments,
                                      const QList<QCommandLineOption> &options) {
    using Kind = CommandLineRefusal::Kind;
    const QStringList unknown = parser.unknownOptionNames();
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (optionsEnded || argument == u"--") {
            optionsEnded = true;
            continue;
        }
        const QString name = optionName(argument);
        if (name.isEmpty())
            continue;
        // Single-dash words are read as several short options: the first unknown one counts.
        if (!argument.startsWith(u"--") && name.size() > 1) {
            for (const QChar c : name) {
                if (unknown.contains(QString(c)))
                    return {Kind::UnknownOption, argument};
            }
            continue;
        }
        if (unknown.contains(name))
            return {Kind::UnknownOption, argument};
        const QCommandLineOption *option = findOption(options, name);
        if (option == nullptr)
            continue;
        const bool takesValue = !option->valueName().isEmpty();
        const bool hasInlineValue = argument.contains(u'=');
        if (takesValue && !hasInlineValue) {
            if (i + 1 >= arguments.size())
                return {Kind::MissingValue, argument};
            ++i; // the value, whatever it looks like
        } else if (!takesValue && hasInlineValue) {
            return {Kind::UnexpectedValue, argument.first(argument.indexOf(u'='))};
        }
    }
    return {Kind::Other, parser.errorText()};
}

QString commandHelpText(const QString &synopsis, const QString &description,
                        const QCommandLineParser &parser) {
    const QString qtHelp = parser.helpText();
    const qsizetype options = qtHelp.indexOf(u"\nOptions:\n"_s);
    QString text = synopsis + u'\n';
    if (!description.isEmpty())
        text += u'\n' + description + u'\n';
    if (options >= 0)
        text += qtHelp.sliced(options);
    return text;
}

void useOffscreenPlatformWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

} // namespace itinerary
