#include "app/MessageBoxMessages.h"

#include <QMessageBox>

namespace itinerary {

void MessageBoxMessages::showMessage(const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? m_defaultTitle : title, text,
                    QMessageBox::Ok, m_parent);
    box.exec();
}

} // namespace itinerary
