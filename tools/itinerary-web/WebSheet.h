#pragma once

#include <QByteArray>
#include <QJsonValue>
#include <QString>

namespace itinerary {
class Itinerary;
class RecordingMessages;
} // namespace itinerary

namespace itinerary::web {

// Reads a sheet object of the API into `sheet` (a fresh one): "fields" must be 59 strings;
// "passengers", "fares", "current", "prev_enabled", "next_enabled" and "intl" may be
// missing. Every field passes the sheet's change rule on the way in, as typing does. False,
// with `error` in Chinese for the operator, when the value is no such object.
bool readSheet(const QJsonValue &value, Itinerary &sheet, QString *error);

// The sheet as the API answers it: the object `itinerary-cli import` prints (fare rows
// included), with "intl" added.
QByteArray sheetJson(const Itinerary &sheet, const RecordingMessages &messages);

} // namespace itinerary::web
