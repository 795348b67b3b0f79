#include "sheet/Itinerary.h"

#include "sheet/FareAmount.h"
#include "sheet/TextRules.h"

#include <QStringList>

#include <algorithm>
#include <limits>

namespace itinerary {

Itinerary::Itinerary(QObject *parent)
    : QObject(parent) {
    for (const FieldInfo &info : fieldTable()) {
        m_texts[info.index] = info.defaultText.toString();
        m_carets[info.index] = int(m_texts[info.index].size());
    }
}

QString Itinerary::text(int index) const {
    return isValidField(index) ? m_texts[index] : QString();
}

QStringList Itinerary::texts() const {
    return QStringList(m_texts.begin(), m_texts.end());
}

int Itinerary::caret(int index) const {
    return isValidField(index) ? m_carets[index] : 0;
}

void Itinerary::setText(int index, const QString &text) {
    if (isValidField(index))
        store(index, text);
}

int Itinerary::operatorEdit(int index, const QString &text, int caret) {
    if (!isValidField(index))
        return 0;
    const int outerField = m_editedField;
    const int outerCaret = m_editedCaret;
    m_editedField = index;
    m_editedCaret = std::clamp(caret, 0, int(text.size()));
    if (m_texts[index] == text)
        m_carets[index] = m_editedCaret;
    else
        store(index, text);
    const int result = m_carets[index];
    m_editedField = outerField;
    m_editedCaret = outerCaret;
    return result;
}

// Stores a differing text and runs the change rule for it, nested: each set inside the rule
// that alters a field is itself a change of that field.
void Itinerary::store(int index, const QString &text) {
    QString &current = m_texts[index];
    if (current == text)
        return;
    if (index == m_editedField) {
        // Only the mirror's trim changes the length of an edited text: the caret moves left
        // by the leading blanks it removed.
        if (text.size() != current.size()) {
            const auto leading = [](const QString &s) {
                qsizetype n = 0;
                while (n < s.size() && s.at(n) == QLatin1Char(' '))
                    ++n;
                return int(n);
            };
            const int removed = std::max(0, leading(current) - leading(text));
            m_editedCaret = std::max(0, m_editedCaret - removed);
        }
        m_editedCaret = std::min(m_editedCaret, int(text.size()));
        m_carets[index] = m_editedCaret;
    } else {
        m_carets[index] = int(text.size());
    }
    current = text;
    Q_EMIT textChanged(index);
    applyChangeRule(index);
}

void Itinerary::applyChangeRule(int index) {
    store(index, toUpperSimple(m_texts[index]));
    store(index, foldFullWidthColons(m_texts[index]));
    if (index == Field::CheckCode)
        store(index, foldFullWidthDigits(m_texts[index]));
    if (index == Field::RecordCodeMirror)
        store(Field::RecordCode, trimBlanks(m_texts[Field::RecordCodeMirror]));
    if (index == Field::RecordCode)
        store(Field::RecordCodeMirror, trimBlanks(m_texts[Field::RecordCode]));
}

void Itinerary::leaveField(int index) {
    if (m_intlFlag != 0 || !isFareField(index))
        return;
    store(index, farePrefix(index) + formatTwoDecimals(parseFareAmount(m_texts[index])));
    if (index != Field::Total)
        recomputeTotal();
}

void Itinerary::recomputeTotal() {
    double sum =
        parseFareAmount(m_texts[Field::Fare]) + parseFareAmount(m_texts[Field::DevelopmentFund]);
    sum += parseFareAmount(m_texts[Field::FuelSurcharge]);
    sum += parseFareAmount(m_texts[Field::OtherTaxes]);
    store(Field::Total, farePrefix(Field::Total) + formatTwoDecimals(sum));
}

void Itinerary::setIntlFlag(qint16 flag) {
    const qint16 normalised = flag == 0 ? 0 : 1;
    if (normalised == m_intlFlag)
        return;
    m_intlFlag = normalised;
    Q_EMIT intlFlagChanged(m_intlFlag);
}

void Itinerary::setPassengers(const PassengerList &passengers) {
    m_passengers = passengers;
    m_hasPassengerList = true;
}

void Itinerary::showPassenger(int row) {
    if (row < 0 || row >= m_passengers.size())
        return;
    const Passenger p = m_passengers.at(row);
    setText(Field::Name, p.name);
    setText(Field::IdNumber, p.idNumber);
    setText(Field::TicketNumber, p.ticketNumber);
    if (p.fares)
        showFareRow(*p.fares);
}

void Itinerary::showFareRow(const FareRow &row) {
    setText(Field::Fare, row.fare);
    setText(Field::DevelopmentFund, row.developmentFund);
    setText(Field::FuelSurcharge, row.fuelSurcharge);
    setText(Field::OtherTaxes, row.otherTaxes);
    setText(Field::Total, row.total);
}

void Itinerary::setPreviousEnabled(bool enabled) {
    if (m_previousEnabled == enabled)
        return;
    m_previousEnabled = enabled;
    Q_EMIT passengerButtonsChanged();
}

void Itinerary::setNextEnabled(bool enabled) {
    if (m_nextEnabled == enabled)
        return;
    m_nextEnabled = enabled;
    Q_EMIT passengerButtonsChanged();
}

void Itinerary::showNextPassenger() {
    // The disabled button is the guard in the window; the model refuses to leave the list.
    const int upperBound = int(m_passengers.size()) - 1;
    // The index is 16-bit: a list longer than that cannot be stepped past its end either.
    if (!m_hasPassengerList || m_currentPassenger >= upperBound ||
        m_currentPassenger == std::numeric_limits<qint16>::max())
        return;
    ++m_currentPassenger;
    setPreviousEnabled(true);
    if (m_currentPassenger == upperBound)
        setNextEnabled(false);
    showPassenger(m_currentPassenger);
}

void Itinerary::showPreviousPassenger() {
    if (!m_hasPassengerList || m_currentPassenger <= 0 || m_currentPassenger > m_passengers.size())
        return;
    --m_currentPassenger;
    setNextEnabled(true);
    if (m_currentPassenger == 0)
        setPreviousEnabled(false);
    showPassenger(m_currentPassenger);
}

} // namespace itinerary
