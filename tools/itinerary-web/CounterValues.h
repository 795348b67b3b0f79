#pragma once

#include "WebStore.h"

#include <QJsonObject>
#include <QString>

// A counter's values as the API and the command line take them: checked once here, so that
// nothing unusable reaches the database or the print system.
namespace itinerary::web {

// Offsets in millimetres as info.ini keeps them; ApiRefusal 400 when a print cannot use one.
QString checkedOffset(const QString &millimetres);
// Four digits; ApiRefusal 400 otherwise.
QString checkedCheckCode(const QString &code);
// A CUPS queue name (letters, digits, "_", "-", "."; no leading "-"), or empty for none;
// ApiRefusal 400 otherwise.
QString checkedQueue(const QString &queue);
// A user's or a counter's name: 1 to 64 characters, no control characters; 400 otherwise.
QString checkedName(const QString &name);
// "agent", "supervisor" or "admin"; 400 otherwise.
QString checkedRole(const QString &role);

// {"name","checkCode","left","top","queue"}, and "agents" when asked for.
QJsonObject counterJson(const CounterRecord &counter, bool withAgents);

} // namespace itinerary::web
