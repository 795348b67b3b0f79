#pragma once

#include <QLabel>

namespace itinerary {

// A label that reports clicks, like the nudge captions "<<", ">>", "︽", "︾". It takes no
// keyboard focus, so clicking it does not move the focus away from a sheet field.
class ClickableLabel final : public QLabel {
    Q_OBJECT

public:
    explicit ClickableLabel(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace itinerary
