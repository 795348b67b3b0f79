#pragma once

#include <memory>

class QWidget;

namespace itinerary {

class BrowserControl;
class Clock;
class Messages;
class ReceiptPrinter;

// What a test may put in place of the window's real edges; null means the real one.
struct MainPrintSeams {
    Messages *messages = nullptr;      // modal message boxes
    ReceiptPrinter *printer = nullptr; // the default printer
    const Clock *clock = nullptr;      // the system clock
    // The verification site's browser; null: the engine's, loaded after the first paint.
    BrowserControl *browser = nullptr;
};

// The window's message boxes, printer and clock: a test's, or the real ones made here.
class MainPrintEdges final {
public:
    MainPrintEdges(const MainPrintSeams &seams, QWidget *window);
    ~MainPrintEdges();
    MainPrintEdges(const MainPrintEdges &) = delete;
    MainPrintEdges &operator=(const MainPrintEdges &) = delete;

    Messages &messages() const { return *m_used.messages; }
    ReceiptPrinter &printer() const { return *m_used.printer; }
    const Clock &clock() const { return *m_used.clock; }

private:
    std::unique_ptr<Messages> m_ownMessages;
    std::unique_ptr<ReceiptPrinter> m_ownPrinter;
    std::unique_ptr<const Clock> m_ownClock;
    MainPrintSeams m_used;
};

} // namespace itinerary
