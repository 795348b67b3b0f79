#include "app/InputHold.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace itinerary {

namespace {
bool isOperatorInput(const QEvent *event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::InputMethod:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
} // namespace

InputHold::InputHold(QWidget *window)
    : QObject(window)
    , m_window(window) {}

InputHold::~InputHold() {
    if (m_held)
        QCoreApplication::instance()->removeEventFilter(this);
}

void InputHold::setHeld(bool held) {
    if (held == m_held)
        return;
    m_held = held;
    if (held) {
        QCoreApplication::instance()->installEventFilter(this);
        return;
    }
    QCoreApplication::instance()->removeEventFilter(this);
    // Posted, so they come after what the end of the load itself set off.
    for (HeldEvent &waiting : m_events) {
        if (waiting.receiver)
            QCoreApplication::postEvent(waiting.receiver, waiting.event.release());
    }
    m_events.clear();
}

bool InputHold::eventFilter(QObject *watched, QEvent *event) {
    if (!isOperatorInput(event) || !watched->isWidgetType())
        return false;
    if (static_cast<QWidget *>(watched)->window() != m_window)
        return false;
    m_events.push_back(HeldEvent{watched, std::unique_ptr<QEvent>(event->clone())});
    return true;
}

} // namespace itinerary
