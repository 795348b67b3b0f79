// itinerary-cli render: the receipt picture of a sheet, without the service.
#include "CliCommand.h"
#include "CliInput.h"

#include "render/ReceiptRenderer.h"
#include "sheet/FieldMap.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <variant>

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

const QString Usage = u"render [--intl] [--grid] [--layout FILE] [--out FILE.png] [FILE]"_s;

struct RenderArguments {
    bool intl = false; // the request's "l=1"; the printed form is the same for both
    bool grid = false;
    QString layoutPath;
    QString outPath;
    QString inputPath;
};

// The arguments, or the exit status when the command ends here (help, usage error).
std::variant<RenderArguments, int> parseArguments(const QStringList &arguments) {
    CommandLine line(u"render"_s, Usage, {u"unexpected argument: %1"_s, u"%1 needs a value"_s});
    const QCommandLineOption intl =
        line.addOption({u"intl"_s, u"an international sheet (the same printed form)"_s});
    const QCommandLineOption grid = line.addOption(
        {u"grid"_s, u"draw every field's box with its index, for calibrating a printer"_s});
    const QCommandLineOption layout = line.addOption(
        {u"layout"_s, u"receipt layout (JSON) instead of the built-in one"_s, u"FILE"_s});
    const QCommandLineOption out = line.addOption(
        {u"out"_s, u"where the PNG goes (default: standard output)"_s, u"FILE.png"_s});
    line.addPositionalArgument(
        u"FILE"_s,
        u"the sheet as JSON: the import's object or a list of 59 values (default: standard "
        "input)"_s,
        u"[FILE]"_s);
    if (const std::optional<int> status = line.parse(arguments))
        return *status;
    const QStringList inputs = line.positionalArguments();
    if (inputs.size() > 1)
        return line.refuse(u"unexpected argument: %1"_s.arg(inputs.at(1)));
    return RenderArguments{line.isSet(intl), line.isSet(grid), line.value(layout), line.value(out),
                           inputs.value(0)};
}

// The import's JSON object ({"fields": [59 strings], ...}) or a JSON list of values.
std::optional<QStringList> readValues(const QString &text, QString *error) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error =
            u"not JSON: %1 at offset %2"_s.arg(parseError.errorString()).arg(parseError.offset);
        return std::nullopt;
    }
    QJsonArray list;
    if (document.isArray()) {
        list = document.array();
    } else if (document.isObject() && document.object().value(u"fields"_s).isArray()) {
        list = document.object().value(u"fields"_s).toArray();
    } else {
        *error = u"expected a list of values or an object with a \"fields\" list"_s;
        return std::nullopt;
    }
    QStringList values;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!list.at(i).isString()) {
            *error = u"value %1 is not a string"_s.arg(i);
            return std::nullopt;
        }
        // As the print job sends them: without leading and trailing spaces.
        QString value = list.at(i).toString();
        qsizetype start = 0;
        qsizetype end = value.size();
        while (start < end && value.at(start) == u' ')
            ++start;
        while (end > start && value.at(end - 1) == u' ')
            --end;
        values.append(value.sliced(start, end - start));
    }
    return values;
}

int runRender(const QStringList &arguments) {
    const std::variant<RenderArguments, int> parsed = parseArguments(arguments);
    if (const int *status = std::get_if<int>(&parsed))
        return *status;
    const RenderArguments *args = &std::get<RenderArguments>(parsed);

    // Text is drawn with the fonts of a GUI application (main() picks offscreen without a
    // display).
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    ReceiptLayout layout = ReceiptLayout::defaultLayout();
    QString error;
    if (!args->layoutPath.isEmpty()) {
        std::optional<ReceiptLayout> loaded = ReceiptLayout::fromFile(args->layoutPath, &error);
        if (!loaded) {
            printError(u"render: %1"_s.arg(error));
            return ExitFailed;
        }
        layout = std::move(*loaded);
    }
    const std::optional<QString> text = readInputText(args->inputPath, &error);
    if (!text) {
        printError(u"render: %1"_s.arg(error));
        return ExitFailed;
    }
    const std::optional<QStringList> values = readValues(*text, &error);
    if (!values) {
        printError(u"render: %1"_s.arg(error));
        return ExitFailed;
    }
    if (values->size() != FieldCount)
        printError(u"render: %1 values instead of %2, drawn as far as they go"_s.arg(values->size())
                       .arg(FieldCount));

    const QByteArray png = ReceiptRenderer(layout).renderPng(*values, RenderOptions{args->grid});
    if (png.isEmpty()) {
        printError(u"render: the picture could not be encoded"_s);
        return ExitFailed;
    }
    if (args->outPath.isEmpty()) {
        writeStdout(png);
        return ExitOk;
    }
    QSaveFile out(args->outPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(png) != png.size() || !out.commit()) {
        printError(u"render: cannot write %1: %2"_s.arg(args->outPath, out.errorString()));
        return ExitFailed;
    }
    return ExitOk;
}

const CommandRegistration registration{{u"render"_s, Usage, runRender}};

} // namespace

} // namespace itinerary::cli
