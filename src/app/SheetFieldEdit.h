#pragma once

#include <QLineEdit>

namespace itinerary {

class Itinerary;

// One field of the sheet on screen, bound to the model both ways. What the operator types goes
// through the model's change rule and the caret stays where the edit left it; what the
// program writes shows at once with the caret at the end. When keyboard focus moves from this
// field to another control of the same window, the model's focus-leave rule runs before that
// control handles its click; a window that merely loses activation runs nothing.
class SheetFieldEdit final : public QLineEdit {
    Q_OBJECT

public:
    SheetFieldEdit(Itinerary &sheet, int index, QWidget *parent = nullptr);

    int fieldIndex() const { return m_index; }

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void onEdited(const QString &text);
    void showModelText();

    Itinerary &m_sheet;
    int m_index;
};

} // namespace itinerary
