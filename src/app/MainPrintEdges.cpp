#include "app/MainPrintEdges.h"

#include "app/MessageBoxMessages.h"
#include "base/Clock.h"
#include "print/ui/QtReceiptPrinter.h"
#include "settings/StartupValues.h"

namespace itinerary {

MainPrintEdges::MainPrintEdges(const MainPrintSeams &seams, QWidget *window)
    : m_used(seams) {
    if (m_used.messages == nullptr) {
        auto boxes = std::make_unique<MessageBoxMessages>(window);
        boxes->setDefaultTitle(ApplicationTitle.toString());
        m_used.messages = boxes.get();
        m_ownMessages = std::move(boxes);
    }
    if (m_used.printer == nullptr) {
        m_ownPrinter = std::make_unique<QtReceiptPrinter>();
        m_used.printer = m_ownPrinter.get();
    }
    if (m_used.clock == nullptr) {
        m_ownClock = std::make_unique<SystemClock>();
        m_used.clock = m_ownClock.get();
    }
}

MainPrintEdges::~MainPrintEdges() = default;

} // namespace itinerary
