// itinerary-cli render: the receipt picture of a sheet, without the service.
#include "CliCommand.h"
#include "CliInput.h"

#include "render/ReceiptRenderer.h"
#include "sheet/FieldMap.h"
#include "sheet/TextRules.h"

#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

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
CommandArguments<RenderArguments> parseArguments(const QStringList &arguments) {
    CommandLine line(u"render"_s, Usage);
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
        return CommandArguments<RenderArguments>::failure(*status);
    const QStringList inputs = line.positionalArguments();
    if (inputs.size() > 1)
        return CommandArguments<RenderArguments>::failure(
            line.refuse(u"unexpected argument: %1"_s.arg(inputs.at(1))));
    return RenderArguments{line.isSet(intl), line.isSet(grid), line.value(layout), line.value(out),
                           inputs.value(0)};
}

// The import's JSON object ({"fields": [59 strings], ...}) or a JSON list of values.
Result<QStringList> readValues(const QString &text) {
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        return Result<QStringList>::failure(
            u"not JSON: %1 at offset %2"_s.arg(parseError.errorString()).arg(parseError.offset));
    }
    QJsonArray list;
    if (document.isArray()) {
        list = document.array();
    } else if (document.isObject() && document.object().value(u"fields"_s).isArray()) {
        list = document.object().value(u"fields"_s).toArray();
    } else {
        return Result<QStringList>::failure(
            u"expected a list of values or an object with a \"fields\" list"_s);
    }
    QStringList values;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!list.at(i).isString())
            return Result<QStringList>::failure(u"value %1 is not a string"_s.arg(i));
        // As the print job sends them: without leading and trailing spaces.
        values.append(trimBlanks(list.at(i).toString()));
    }
    return values;
}

int runRender(const QStringList &arguments) {
    const CommandArguments<RenderArguments> parsed = parseArguments(arguments);
    if (!parsed)
        return parsed.error();
    const RenderArguments *args = &parsed.value();

    // Text is drawn with the fonts of a GUI application (main() picks offscreen without a
    // display).
    int argc = 1;
    char name[] = "itinerary-cli";
    char *argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);

    ReceiptLayout layout = ReceiptLayout::defaultLayout();
    if (!args->layoutPath.isEmpty()) {
        Result<ReceiptLayout> loaded = ReceiptLayout::fromFile(args->layoutPath);
        if (!loaded) {
            printError(u"render: %1"_s.arg(loaded.error()));
            return ExitFailed;
        }
        layout = *std::move(loaded);
    }
    const Result<QString> text = readInputText(args->inputPath);
    if (!text) {
        printError(u"render: %1"_s.arg(text.error()));
        return ExitFailed;
    }
    const Result<QStringList> values = readValues(text.value());
    if (!values) {
        printError(u"render: %1"_s.arg(values.error()));
        return ExitFailed;
    }
    if (values->size() != FieldCount)
        printError(u"render: %1 values instead of %2, drawn as far as they go"_s.arg(values->size())
                       .arg(FieldCount));

    const QByteArray png =
        ReceiptRenderer(layout).renderPng(values.value(), RenderOptions{args->grid});
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
