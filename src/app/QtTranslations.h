#pragma once

class QCoreApplication;

namespace itinerary {

// Qt's own texts in Chinese, whatever the system's language: the buttons of message boxes
// ("确定"), the context menus of text fields, the browser engine's texts. Loaded from Qt's
// translations folder; a catalog that is missing leaves those texts in English. False when
// one was missing.
bool installQtTranslations(QCoreApplication &app);

} // namespace itinerary
