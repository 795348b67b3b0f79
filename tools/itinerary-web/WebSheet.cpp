#include "WebSheet.h"

#include "sheet/SheetJson.h"

#include "base/Messages.h"
#include "sheet/Itinerary.h"

#include <QJsonArray>
#include <QJsonObject>

#include <limits>

using namespace Qt::StringLiterals;

namespace itinerary::web {

namespace {

const QString NotASheet = u"请求格式不正确：票面必须是59个文本"_s;
const QString BadPassengers = u"请求格式不正确：旅客名单必须是[姓名,证件号,票号]的列表"_s;
const QString BadFares = u"请求格式不正确：票价行必须是null或5个文本"_s;
const QString BadFlags = u"请求格式不正确：current、prev_enabled、next_enabled或intl无效"_s;

std::optional<QStringList> strings(const QJsonValue &value, qsizetype count) {
    if (!value.isArray() || value.toArray().size() != count)
        return std::nullopt;
    QStringList texts;
    for (const QJsonValue &item : value.toArray()) {
        if (!item.isString())
            return std::nullopt;
        texts.append(item.toString());
    }
    return texts;
}

bool readPassengers(const QJsonObject &object, PassengerList *list, QString *error) {
    const QJsonValue passengers = object.value(u"passengers"_s);
    if (passengers.isUndefined() || passengers.isNull())
        return true;
    if (!passengers.isArray() || passengers.toArray().size() > std::numeric_limits<qint16>::max()) {
        *error = BadPassengers;
        return false;
    }
    for (const QJsonValue &entry : passengers.toArray()) {
        const std::optional<QStringList> texts = strings(entry, 3);
        if (!texts) {
            *error = BadPassengers;
            return false;
        }
        list->append(Passenger{texts->at(0), texts->at(1), texts->at(2)});
    }
    const QJsonValue fares = object.value(u"fares"_s);
    if (fares.isUndefined() || fares.isNull())
        return true;
    if (!fares.isArray() || fares.toArray().size() > list->size()) {
        *error = BadFares;
        return false;
    }
    const QJsonArray rows = fares.toArray();
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.at(i).isNull())
            continue;
        const std::optional<QStringList> texts = strings(rows.at(i), 5);
        if (!texts) {
            *error = BadFares;
            return false;
        }
        (*list)[i].fares =
            FareRow{texts->at(0), texts->at(1), texts->at(2), texts->at(3), texts->at(4)};
    }
    return true;
}

// A member that must be a boolean, or absent.
std::optional<bool> flag(const QJsonObject &object, const QString &name) {
    const QJsonValue value = object.value(name);
    if (value.isUndefined())
        return false;
    if (!value.isBool())
        return std::nullopt;
    return value.toBool();
}

} // namespace

bool readSheet(const QJsonValue &value, Itinerary &sheet, QString *error) {
    const QJsonObject object = value.toObject();
    const std::optional<QStringList> fields =
        value.isObject() ? strings(object.value(u"fields"_s), FieldCount) : std::nullopt;
    if (!fields) {
        *error = NotASheet;
        return false;
    }
    PassengerList passengers;
    if (!readPassengers(object, &passengers, error))
        return false;
    const QJsonValue current = object.value(u"current"_s);
    const QJsonValue intl = object.value(u"intl"_s);
    const std::optional<bool> previous = flag(object, u"prev_enabled"_s);
    const std::optional<bool> next = flag(object, u"next_enabled"_s);
    const bool currentOk =
        current.isUndefined() ||
        (current.isDouble() && current.toDouble() == current.toInt(-1) && current.toInt() >= 0 &&
         (current.toInt() == 0 || current.toInt() < passengers.size()));
    const bool intlOk =
        intl.isUndefined() || (intl.isDouble() && (intl.toInt(-1) == 0 || intl.toInt(-1) == 1));
    if (!previous || !next || !currentOk || !intlOk) {
        *error = BadFlags;
        return false;
    }

    if (!passengers.isEmpty())
        sheet.setPassengers(passengers);
    sheet.setCurrentPassenger(qint16(current.toInt(0)));
    sheet.setPreviousEnabled(*previous);
    sheet.setNextEnabled(*next);
    sheet.setIntlFlag(qint16(intl.toInt(0)));
    // The record code's mirror first, so that the record code itself (field 3) is the last
    // to write both, as the mirror rule runs from the code into the mirror.
    sheet.setText(Field::RecordCodeMirror, fields->at(Field::RecordCodeMirror));
    for (int i = 0; i < FieldCount; ++i) {
        if (i != Field::RecordCodeMirror)
            sheet.setText(i, fields->at(i));
    }
    return true;
}

QByteArray sheetJson(const Itinerary &sheet, const RecordingMessages &messages) {
    QByteArray json = sheetStateJson(sheet, messages, FareRows::Included).trimmed();
    json.chop(1); // the closing brace
    return json + ",\"intl\":" + QByteArray::number(sheet.intlFlag()) + '}';
}

} // namespace itinerary::web
