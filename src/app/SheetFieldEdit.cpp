#include "app/SheetFieldEdit.h"

#include "sheet/Itinerary.h"

#include <QApplication>
#include <QFocusEvent>

namespace itinerary {

SheetFieldEdit::SheetFieldEdit(Itinerary &sheet, int index, QWidget *parent)
    : QLineEdit(parent)
    , m_sheet(sheet)
    , m_index(index) {
    setObjectName(QStringLiteral("Pt%1").arg(index));
    QLineEdit::setText(sheet.text(index));
    connect(this, &QLineEdit::textEdited, this, &SheetFieldEdit::onEdited);
    connect(&sheet, &Itinerary::textChanged, this, [this](int changed) {
        if (changed == m_index)
            showModelText();
    });
}

void SheetFieldEdit::onEdited(const QString &text) {
    const int caret = m_sheet.operatorEdit(m_index, text, cursorPosition());
    if (QLineEdit::text() != m_sheet.text(m_index))
        QLineEdit::setText(m_sheet.text(m_index));
    setCursorPosition(caret);
}

void SheetFieldEdit::showModelText() {
    const QString modelText = m_sheet.text(m_index);
    if (QLineEdit::text() != modelText)
        QLineEdit::setText(modelText);
    setCursorPosition(m_sheet.caret(m_index));
}

void SheetFieldEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    // Only a move to another control of this window counts: not the window losing
    // activation, not a popup menu, not another window (the import window) taking focus.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    const QWidget *next = QApplication::focusWidget();
    if (next == nullptr || next == this || next->window() != window())
        return;
    m_sheet.leaveField(m_index);
}

} // namespace itinerary
