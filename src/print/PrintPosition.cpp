#include "print/PrintPosition.h"

#include "print/GeneralNumber.h"
#include "print/PrintOffsets.h"

namespace itinerary {

PrintPosition::PrintPosition(QObject *parent)
    : QObject(parent) {}

void PrintPosition::setLeftr(const QString &text) {
    if (m_leftr == text)
        return;
    m_leftr = text;
    Q_EMIT leftrChanged(m_leftr);
}

void PrintPosition::setTopb(const QString &text) {
    if (m_topb == text)
        return;
    m_topb = text;
    Q_EMIT topbChanged(m_topb);
}

QString PrintPosition::nudged(const QString &text, int change) {
    // An offset the print cannot use (empty, not a number, beyond the printer's range)
    // starts again from 0 rather than staying stuck where no print can follow it.
    const double value = offsetTwips(text) ? *parseGeneralNumber(text) : 0.0;
    return formatGeneralNumber(value + change);
}

void PrintPosition::cmdtoleft_Click() {
    setLeftr(nudged(m_leftr, -1));
}

void PrintPosition::cmdtoright_Click() {
    setLeftr(nudged(m_leftr, +1));
}

void PrintPosition::cmdtotop_Click() {
    setTopb(nudged(m_topb, -1));
}

void PrintPosition::cmdtobum_Click() {
    setTopb(nudged(m_topb, +1));
}

} // namespace itinerary
