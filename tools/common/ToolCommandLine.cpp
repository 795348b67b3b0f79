#include "ToolCommandLine.h"

#include <QtGlobal>

using namespace Qt::StringLiterals;

namespace itinerary {

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

QStringList programArguments(int argc, char *argv[]) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    return arguments;
}

void useOffscreenPlatformWithoutDisplay() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

} // namespace itinerary
