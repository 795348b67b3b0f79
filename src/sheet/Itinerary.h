#pragma once

#include "sheet/FieldMap.h"
#include "sheet/Passenger.h"

#include <QObject>
#include <QString>

#include <array>

namespace itinerary {

// The itinerary sheet: 59 field texts with their rules, the domestic/international flag, the
// passenger list with the current passenger and the enabled state of the two passenger
// buttons. Views bind to it both ways; it runs without a display.
//
// Every change of a field, by the program or by the operator, runs the change rule at once,
// nested inside the write, as the window system's change events nest: upper case, full-width
// colons folded, full-width digits folded in the check code, and the record code mirrored
// between fields 3 and 4 (trimmed). The focus-leave rule (fare formatting and the total) is a
// separate call that only a view makes, when the operator's focus leaves a fare field.
class Itinerary final : public QObject {
    Q_OBJECT

public:
    explicit Itinerary(QObject *parent = nullptr);

    QString text(int index) const;
    QStringList texts() const;

    // A program write: stores the text when it differs and runs the change rule; the caret
    // of the field goes to the end of its text.
    void setText(int index, const QString &text);

    // An edit by the operator (typing or pasting) leaving `caret` in the edited text. Runs the
    // change rule like a program write, but the caret stays where the edit left it: the
    // rule's rewrites keep the text's length, except the record code mirror's trim, which
    // moves the caret left by the leading blanks it removed. Returns the field's caret.
    int operatorEdit(int index, const QString &text, int caret);

    // Where the caret of a field belongs after its last change.
    int caret(int index) const;

    // The focus-leave rule: run when the operator's keyboard focus leaves field `index`.
    void leaveField(int index);

    // Domestic (0) / international (1).
    qint16 intlFlag() const { return m_intlFlag; }
    void setIntlFlag(qint16 flag);

    // The passenger list; absent until the first successful name parse of a booking.
    bool hasPassengerList() const { return m_hasPassengerList; }
    const PassengerList &passengers() const { return m_passengers; }
    void setPassengers(const PassengerList &passengers);
    qint16 currentPassenger() const { return m_currentPassenger; }
    void setCurrentPassenger(qint16 index) { m_currentPassenger = index; }
    // Writes row `row` of the list into fields 0, 1 and 34, in that order, then its own fare
    // row, when it has one, into 30, 31, 32, 58 and 33.
    void showPassenger(int row);
    // Writes a fare row into 30, 31, 32, 58 and 33, in that order (left to right).
    void showFareRow(const FareRow &row);

    // The passenger buttons "上一位" (previous) and "下一位" (next).
    bool previousEnabled() const { return m_previousEnabled; }
    bool nextEnabled() const { return m_nextEnabled; }
    void setPreviousEnabled(bool enabled);
    void setNextEnabled(bool enabled);
    // Steps to the next (previous) passenger of the list and shows it; nothing at the end of
    // the list (its start) or without a list.
    void showNextPassenger();
    void showPreviousPassenger();

Q_SIGNALS:
    // A field's stored text changed; emitted once per stored change, in nesting order.
    void textChanged(int index);
    void intlFlagChanged(qint16 flag);
    void passengerButtonsChanged();

private:
    void store(int index, const QString &text);
    void applyChangeRule(int index);
    void recomputeTotal();

    std::array<QString, FieldCount> m_texts;
    std::array<int, FieldCount> m_carets{};
    qint16 m_intlFlag = 0;
    PassengerList m_passengers;
    bool m_hasPassengerList = false;
    qint16 m_currentPassenger = 0;
    bool m_previousEnabled = false;
    bool m_nextEnabled = false;
    // The field the operator is editing while its change rule runs, and its caret.
    int m_editedField = -1;
    int m_editedCaret = 0;
};

} // namespace itinerary
