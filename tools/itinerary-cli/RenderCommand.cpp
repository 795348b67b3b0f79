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

using namespace Qt::StringLiterals;

namespace itinerary::cli {

namespace {

struct RenderArguments {
    bool intl = false; // the request's "l=1"; the printed form is the same for both
    bool grid = false;
    QString layoutPath;
    QString outPath;
    QString inputPath;
};

std::optional<RenderArguments> parseArguments(const QStringList &arguments) {
    RenderArguments parsed;
    bool haveInput = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        const bool hasValue = i + 1 < arguments.size();
        if (a == u"--intl") {
            parsed.intl = true;
        } else if (a == u"--grid") {
            parsed.grid = true;
        } else if ((a == u"--layout" || a == u"--out") && !hasValue) {
            printError(u"render: %1 needs a value"_s.arg(a));
            return std::nullopt;
        } else if (a == u"--layout") {
            parsed.layoutPath = arguments.at(++i);
        } else if (a == u"--out") {
            parsed.outPath = arguments.at(++i);
        } else if (a.startsWith(u"--") || haveInput) {
            printError(u"render: unexpected argument: %1"_s.arg(a));
            return std::nullopt;
        } else {
            parsed.inputPath = a;
            haveInput = true;
        }
    }
    return parsed;
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
    const std::optional<RenderArguments> args = parseArguments(arguments);
    if (!args)
        return ExitUsage;

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

const CommandRegistration registration{
    {u"render"_s, u"render [--intl] [--grid] [--layout FILE] [--out FILE.png] [FILE]"_s,
     runRender}};

} // namespace

} // namespace itinerary::cli
