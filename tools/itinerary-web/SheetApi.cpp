// POST /api/import, POST /api/sheet/leave, POST /api/sheet/step, GET /api/form.
#include "ApiCall.h"
#include "CounterCore.h"
#include "WebSheet.h"

#include "base/Messages.h"
#include "render/ReceiptLayout.h"
#include "sheet/Itinerary.h"
#include "sheet/SheetGeometry.h"

#include <QJsonArray>
#include <QJsonDocument>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

// The window's sheet area and its two passenger buttons, in twips.
constexpr TwipRect SheetArea{0, 0, 13065, 5025};
constexpr TwipRect PreviousButton{4440, 720, 975, 375};
constexpr TwipRect NextButton{5400, 720, 975, 375};

// The request's "sheet" read into `sheet`; 400 with the reason when it is none.
void takeSheet(ApiCall &call, Itinerary &sheet) {
    QString error;
    if (!readSheet(call.body().value(u"sheet"_s), sheet, &error))
        throw ApiRefusal{400, error};
}

HttpResponse import(ApiCall &call) {
    const QString text = call.text(u"text"_s);
    Itinerary sheet;
    // With a sheet, the import runs on it as the window's does; without one, on a fresh
    // sheet, exactly as the command line's import.
    if (call.body().contains(u"sheet"_s))
        takeSheet(call, sheet);
    RecordingMessages messages;
    call.context().core.importBookingDisplay(text, sheet, messages);
    return jsonAnswer(sheetJson(sheet, messages));
}

HttpResponse leave(ApiCall &call) {
    Itinerary sheet;
    takeSheet(call, sheet);
    const QJsonValue field = call.body().value(u"field"_s);
    const int index = field.toInt(-1);
    if (!field.isDouble() || field.toDouble() != index || !isValidField(index))
        throw ApiRefusal{400, refusal::Malformed + u"：field 必须是0到58的整数"_s};
    sheet.leaveField(index);
    return jsonAnswer(sheetJson(sheet, RecordingMessages()));
}

HttpResponse step(ApiCall &call) {
    Itinerary sheet;
    takeSheet(call, sheet);
    const QString to = call.text(u"to"_s);
    if (to == u"next")
        sheet.showNextPassenger();
    else if (to == u"previous")
        sheet.showPreviousPassenger();
    else
        throw ApiRefusal{400, refusal::Malformed + u"：to 必须是 next 或 previous"_s};
    return jsonAnswer(sheetJson(sheet, RecordingMessages()));
}

QJsonObject place(const TwipRect &rect) {
    return QJsonObject{{u"left"_s, rect.left},
                       {u"top"_s, rect.top},
                       {u"width"_s, rect.width},
                       {u"height"_s, rect.height}};
}

QJsonObject with(QJsonObject object, const QJsonObject &more) {
    for (auto it = more.begin(); it != more.end(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

QByteArray formJson() {
    QJsonArray fields;
    for (const FieldInfo &info : fieldTable()) {
        fields.append(
            with(QJsonObject{{u"index"_s, info.index}, {u"default"_s, info.defaultText.toString()}},
                 place(fieldRect(info.index))));
    }
    QJsonArray labels;
    for (const SheetLabel &label : sheetLabels()) {
        labels.append(with(
            QJsonObject{{u"caption"_s, label.caption.toString()}, {u"centred"_s, label.centred}},
            place(label.rect)));
    }
    const QJsonArray buttons{
        with(QJsonObject{{u"action"_s, u"previous"_s}, {u"caption"_s, u"上一位"_s}},
             place(PreviousButton)),
        with(QJsonObject{{u"action"_s, u"next"_s}, {u"caption"_s, u"下一位"_s}}, place(NextButton)),
    };
    QJsonArray focusOrder;
    for (const int index : sheetFocusOrder())
        focusOrder.append(index);
    const QJsonObject form{
        {u"client"_s, QJsonObject{{u"width"_s, SheetArea.width}, {u"height"_s, SheetArea.height}}},
        {u"fields"_s, fields},
        {u"labels"_s, labels},
        {u"buttons"_s, buttons},
        {u"focusOrder"_s, focusOrder},
        {u"paper"_s, QJsonObject{{u"widthMm"_s, qRound(ReceiptWidthMm * 10) / 10.0},
                                 {u"heightMm"_s, qRound(ReceiptHeightMm * 10) / 10.0}}},
    };
    return QJsonDocument(form).toJson(QJsonDocument::Compact);
}

HttpResponse form(ApiCall &) {
    static const QByteArray json = formJson();
    return jsonAnswer(json);
}

} // namespace

QList<Endpoint> sheetEndpoints() {
    return {
        {"POST", "/api/import", Access::Session, import},
        {"POST", "/api/sheet/leave", Access::Session, leave},
        {"POST", "/api/sheet/step", Access::Session, step},
        {"GET", "/api/form", Access::Public, form},
    };
}

} // namespace itinerary::web
