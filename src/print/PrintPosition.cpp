#include "print/PrintPosition.h"

#include "print/GeneralNumber.h"
#include "print/PrintOffsets.h"

namespace itinerary {

PrintPosition::PrintPosition(QObject *parent)
    : QObject(parent) {}

void PrintPosition::setLeftOffsetMm(const QString &text) {
    if (m_leftOffsetMm == text)
        return;
    m_leftOffsetMm = text;
    Q_EMIT leftOffsetMmChanged(m_leftOffsetMm);
}

void PrintPosition::setTopOffsetMm(const QString &text) {
    if (m_topOffsetMm == text)
        return;
    m_topOffsetMm = text;
    Q_EMIT topOffsetMmChanged(m_topOffsetMm);
}

QString PrintPosition::nudged(const QString &text, int change) {
    // An offset the print cannot use (empty, not a number, beyond the printer's range)
    // starts again from 0 rather than staying stuck where no print can follow it.
    const double value = offsetTwips(text) ? *parseGeneralNumber(text) : 0.0;
    return formatGeneralNumber(value + change);
}

void PrintPosition::nudgeLeft() {
    setLeftOffsetMm(nudged(m_leftOffsetMm, -1));
}

void PrintPosition::nudgeRight() {
    setLeftOffsetMm(nudged(m_leftOffsetMm, +1));
}

void PrintPosition::nudgeUp() {
    setTopOffsetMm(nudged(m_topOffsetMm, -1));
}

void PrintPosition::nudgeDown() {
    setTopOffsetMm(nudged(m_topOffsetMm, +1));
}

} // namespace itinerary
