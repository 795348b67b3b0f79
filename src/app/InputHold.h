#pragma once

#include <QObject>
#include <QPointer>

#include <memory>
#include <vector>

class QEvent;
class QWidget;

namespace itinerary {

// Keeps a window from taking the operator's input while a picture load is under way, as a
// blocked window would, without a nested event loop and without disabling it (which would
// grey it out and move the keyboard focus): the keys and mouse buttons meant for the window
// are held back and delivered, in order, once the hold ends. Shortcuts still work; what
// they start is guarded by the jobs themselves.
class InputHold final : public QObject {
    Q_OBJECT

public:
    explicit InputHold(QWidget *window);
    ~InputHold() override;

    bool isHeld() const { return m_held; }
    void setHeld(bool held);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct HeldEvent {
        QPointer<QObject> receiver;
        std::unique_ptr<QEvent> event;
    };

    QWidget *m_window;
    bool m_held = false;
    std::vector<HeldEvent> m_events;
};

} // namespace itinerary
