#include "app/MessageBoxMessages.h"

#include <QMessageBox>

namespace itinerary {

void MessageBoxMessages::showMessage(const QString &text, const QString &title) {
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? m_defaultTitle : title, text,
                    QMessageBox::Ok, m_parent);
    // Texts are shown as they are: a page's alert or a file name may hold "<" and ">".
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

} // namespace itinerary
